// The soundtrack: one MP3 file held in memory and played once.
#pragma once

#include <cstdint>
#include <string>

struct AudioStream;

class MP3Player {
public:
    // Starts the sound system and opens the whole file as an in-memory stream.
    // A sound system that does not start, a file that cannot be opened or
    // read whole, or one that does not open as a stream, prints its message
    // and a line on what to do, and ends the process with status 1, before
    // anything else is loaded.
    explicit MP3Player(const char* path);
    virtual ~MP3Player();

    // Starts playback on a free channel in true stereo, fromMs milliseconds into
    // the track; failure ends the process. The track plays once.
    void play(uint32_t fromMs = 0);

    // For the player: play() with the music held at fromMs, silent until
    // resume(); hold it where it is; play on; move it to ms, playing or held.
    // A failure ends the process as play()'s does.
    void playHeld(uint32_t fromMs);
    void pause();
    void resume();
    void moveTo(uint32_t ms);
    // Silences the music or brings it back; it plays on either way.
    void setMuted(bool muted);

    AudioStream* stream = nullptr;
    int channel = -1;
};

// Reads a music file whole and opens it as the player does, as an in-memory
// stream; the sound system must be started. Returns the file's bytes
// (malloc'd; they must outlive the stream; their count in *length when
// given), or null when the file cannot be opened or read whole, with the line
// the player prints in message. *stream is null when the bytes do not open as
// a stream: audioLastError() says why.
void* openMusicFile(const char* path, AudioStream** stream, std::string* message, int* length = nullptr);

// The sound system's error text for a code (see sound/audio.h for the codes);
// "Unknown error" outside 0..19.
const char* soundErrorText(int code);

// The music file's bytes, read by the player's constructor. The stream plays
// from them, and they are kept for the rest of the process, also after the
// stream is closed; null until a file has been read.
extern void* musicFileBytes;
