// The soundtrack as the demo's mixer receives it, for the renderer's videos:
// the same decoder (libmpg123, set up as SDL_mixer sets it up), the same
// position arithmetic and the same conversion to the mixer's output format,
// so a clip hears sample for sample what the demo plays from the same time.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// The mixer's output: 16-bit stereo at 44.1 kHz, interleaved.
constexpr int MUSIC_OUTPUT_RATE = 44100;
constexpr int MUSIC_OUTPUT_CHANNELS = 2;

// The first sample (per channel) of the track that plays when the music
// starts fromMs milliseconds in: the demo's seek, rate * seconds cut to a whole sample.
int64_t musicStartSample(uint32_t fromMs, long rate);

// frames stereo frames of an MP3 held in memory, as the mixer plays them
// from fromMs on; silence where the track has ended (or stops at damage it
// cannot decode past, as playing does). False, with libmpg123's reason, when
// the bytes do not open as MP3.
bool decodeMusic(const void* bytes, size_t length, uint32_t fromMs, size_t frames, std::vector<int16_t>* samples,
                 std::string* error);

// Reads the music file at path with the player's own checks (the file read
// whole, the stream opened by the audio layer on SDL's silent driver) and
// decodes frames stereo frames of it from fromMs. On refusal, message holds
// the line the demo prints ("Unknown file format", "File not found PATH"), and
// hint the line it adds after it (see unplayableMusicHint in
// sound/music_file_kind.h).
bool readMusicAsPlayed(const char* path, uint32_t fromMs, size_t frames, std::vector<int16_t>* samples,
                       std::string* message, std::string* hint);
