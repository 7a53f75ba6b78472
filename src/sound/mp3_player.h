// The soundtrack: one MP3 file held in memory and played once.
#pragma once

struct AudioStream;

class MP3Player {
public:
    // Starts the sound system and opens the whole file as an in-memory stream.
    // Every failure prints its message and ends the process with status 1.
    explicit MP3Player(const char* path);
    virtual ~MP3Player();

    // Starts playback on a free channel in true stereo; failure ends the process.
    void play();

    AudioStream* stream = nullptr;
    int channel = -1;
};

// The sound system's error text for a code; "Unknown error" outside 0..19.
const char* soundErrorText(int code);
