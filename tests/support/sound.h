// Sound helpers for tests: sine-wave MP3 files made with the lame command,
// hand-made ID3v2 tags, and a look at what the SDL disk audio driver wrote.
#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

// Interleaved 16-bit samples of a sine tone on every channel.
std::vector<int16_t> sineSamples(double seconds, int rate, int channels, double frequency = 440.0,
                                 double amplitude = 0.5);

// Sine tones one after another: each pair is a length in seconds and a frequency in Hz.
std::vector<int16_t> tonesInTurn(const std::vector<std::pair<double, double>>& tones, int rate, int channels);

// Encodes samples with lame into an MP3 file; lameOptions choose bit rate, VBR, tags.
// Throws when lame fails.
void encodeMp3(const std::string& mp3Path, const std::vector<int16_t>& samples, int rate, int channels,
               const std::vector<std::string>& lameOptions = {});

// A 440 Hz stereo MP3 at 44.1 kHz and 128 kbit/s of the given length, such as a
// demo needs as its data/music.mp3.
void writeSineMp3(const std::string& mp3Path, double seconds);

// An ID3v2.3 tag holding a title frame, followed by paddingBytes zero bytes of padding.
std::string id3v2Tag(const std::string& title, size_t paddingBytes);

// What a tone in 16-bit stereo output (the SDL disk driver's file) looks like.
struct ToneInfo {
    size_t loudFrames = 0;      // frames whose left sample exceeds a quarter of full scale
    size_t firstLoudFrame = 0;  // where the first of them is
    double frequency = 0;       // of the left channel from the first loud frame on, in Hz
};
ToneInfo analyseStereoOutput(const std::string& rawS16Path, int rate = 44100);

// A track whose pitch tells its position: a stereo sine at 44.1 kHz whose
// frequency rises from 200 Hz by 100 Hz a second, so a stretch of it as short
// as one mixing buffer says where in the track it comes from.
void writePositionToneMp3(const std::string& mp3Path, double seconds);

// Where the position tone starts playing from a new place in what the disk
// driver wrote (16-bit stereo at 44.1 kHz). The mixer fills bufferFrames frames
// at a time, so the music moves only at those boundaries; each buffer's
// position is read from its pitch.
struct MusicMove {
    size_t frame = 0;           // where in the output the buffer starts
    double fromMs = 0;          // the track's position at that frame
    bool afterSilence = false;  // the output was silent (held, or not started) before it
    double previousEndMs = 0;   // where the music heard before it had got to (0 if none was)
};
std::vector<MusicMove> musicMoves(const std::string& rawS16Path, size_t bufferFrames = 1024);
