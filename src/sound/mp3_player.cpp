#include "sound/mp3_player.h"

#include "sound/audio.h"
#include "sound/music_file_kind.h"

#include <climits>
#include <cstdio>
#include <cstdlib>

namespace {

constexpr int MIX_RATE = 44100;
constexpr int SOFTWARE_CHANNELS = 32;
// The file's bytes are in memory; the loop bits are both set and play-once
// wins, so the track is heard once; the sample-format bits do not apply to MP3.
constexpr unsigned STREAM_MODE = AUDIO_LOADMEMORY | AUDIO_MONO | AUDIO_8BITS | AUDIO_LOOP_NORMAL | AUDIO_LOOP_OFF;
static_assert(STREAM_MODE == 0x802B, "the stream mode word");

const char* const ERROR_TEXTS[] = {
    "No errors",
    "Cannot call this command after FSOUND_Init.  Call FSOUND_Close first.",
    "This command failed because FSOUND_Init was not called",
    "Error initializing output device.",
    "The output device is already in use and cannot be reused.",
    "Playing the sound failed.",
    "Soundcard does not support the features needed for this soundsystem (16bit stereo output)",
    "Error setting cooperative level for hardware.",
    "Error creating hardware sound buffer.",
    "File not found",
    "Unknown file format",
    "Error loading file",
    "Not enough memory ",
    "The version number of this file format is not supported",
    "An invalid parameter was passed to this function",
    "Tried to use an EAX command on a non EAX enabled channel or output.",
    "Tried to use an advanced EAX2 command on a non EAX2 enabled channel or output.",
    "Failed to allocate a new channel",
    "Recording not supported on this device",
    "Required Mediaplayer codec is not installed",
};
constexpr int ERROR_TEXT_COUNT = sizeof(ERROR_TEXTS) / sizeof(ERROR_TEXTS[0]);

// Reads the whole of an open file into a new malloc'd block. False when the
// file cannot be sized, is empty, is too long for a stream, or cannot be
// allocated or read in full (a directory, a read error).
bool readWhole(FILE* file, void** buffer, int* length)
{
    if (fseek(file, 0, SEEK_END) != 0) return false;
    long size = ftell(file);
    if (size <= 0 || size > INT_MAX) return false;
    if (fseek(file, 0, SEEK_SET) != 0) return false;
    void* block = malloc(static_cast<size_t>(size));
    if (!block) return false;
    if (fread(block, static_cast<size_t>(size), 1, file) != 1) {
        free(block);
        return false;
    }
    *buffer = block;
    *length = static_cast<int>(size);
    return true;
}

// A sound failure after start-up: its message, the sound system closed, status 1.
[[noreturn]] void exitWithSoundError()
{
    fprintf(stderr, "%s\n", soundErrorText(audioLastError()));
    audioClose();
    exit(1);
}

}  // namespace

void* musicFileBytes = nullptr;

void* openMusicFile(const char* path, AudioStream** stream, std::string* message, int* length)
{
    *stream = nullptr;
    FILE* file = fopen(path, "rb");
    if (!file) {
        *message = std::string("File not found ") + path;
        return nullptr;
    }
    void* buffer = nullptr;
    int bytes = 0;
    bool read = readWhole(file, &buffer, &bytes);
    fclose(file);
    if (!read) {
        *message = soundErrorText(AUDIO_ERR_FILE_LOAD);
        return nullptr;
    }
    if (length) *length = bytes;
    *stream = audioStreamOpen(buffer, STREAM_MODE, bytes);
    return buffer;
}

MP3Player::MP3Player(const char* path)
{
    if (!audioInit(MIX_RATE, SOFTWARE_CHANNELS, 0)) {
        fprintf(stderr, "%s\n", soundErrorText(audioLastError()));
        fputs(
            "skarvelin: no sound device could be opened; to play without sound, start it with "
            "SDL_AUDIODRIVER=dummy (or SDL_AUDIODRIVER=disk, which writes the sound to the file "
            "SDL_DISKAUDIOFILE names)\n",
            stderr);
        exit(1);
    }
    std::string message;
    musicFileBytes = openMusicFile(path, &stream, &message);
    // A stream that does not open is refused here, at once, rather than by
    // play() after every picture has loaded.
    if (musicFileBytes && !stream) message = soundErrorText(audioLastError());
    if (!stream) {
        fprintf(stderr, "%s\n", message.c_str());
        const std::string hint = unplayableMusicHint(path);
        if (!hint.empty()) fprintf(stderr, "skarvelin: %s\n", hint.c_str());
        audioClose();
        exit(1);
    }
}

MP3Player::~MP3Player()
{
    audioStreamClose(stream);
    audioClose();
}

void MP3Player::play(uint32_t fromMs)
{
    channel = audioStreamPlayFrom(AUDIO_FREE, stream, fromMs);
    if (channel == -1) exitWithSoundError();
    audioSetPan(channel, AUDIO_STEREOPAN);
}

void MP3Player::playHeld(uint32_t fromMs)
{
    channel = audioStreamPlayHeld(AUDIO_FREE, stream, fromMs);
    if (channel == -1) exitWithSoundError();
    audioSetPan(channel, AUDIO_STEREOPAN);
}

void MP3Player::pause()
{
    if (!audioSetPaused(channel, true)) exitWithSoundError();
}

void MP3Player::resume()
{
    if (!audioSetPaused(channel, false)) exitWithSoundError();
}

void MP3Player::moveTo(uint32_t ms)
{
    if (!audioStreamSetTime(stream, ms)) exitWithSoundError();
}

void MP3Player::setMuted(bool muted)
{
    if (!audioSetMuted(channel, muted)) exitWithSoundError();
}

const char* soundErrorText(int code)
{
    if (code < 0 || code >= ERROR_TEXT_COUNT) return "Unknown error";
    return ERROR_TEXTS[code];
}
