// What a music file the player cannot play is, and what to do about it: the
// words the demo and the renderer say after the player's own message.
#pragma once

#include <cstddef>
#include <string>

// What a sound file is by its first bytes, when it is a kind that is not MP3:
// "a WAV file", "an Ogg file", "a FLAC file", "an M4A (MP4) file"; null otherwise.
const char* otherSoundKind(const unsigned char* head, size_t length);

// The line said after the player's message for a music file it could not
// play: the file, what it is when it is not MP3 (a folder, empty, a WAV...)
// and what to do.
std::string unplayableMusicHint(const char* path);
