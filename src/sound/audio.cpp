#include "sound/audio.h"

#include <SDL.h>
#include <SDL_mixer.h>
#include <dlfcn.h>
#include <mpg123.h>

#include <algorithm>
#include <new>
#include <vector>

struct AudioStream {
    Mix_Music* music = nullptr;
    bool loop = false;
};

namespace {

// SDL_mixer has a single music channel; streams play there.
constexpr int MUSIC_CHANNEL = 0;
// Samples per mixing buffer: about 23 ms at 44.1 kHz, so the music starts
// close to the moment audioStreamPlay returns.
constexpr int MIX_BUFFER_SAMPLES = 1024;

bool initialised = false;
int lastError = AUDIO_OK;
// The code of the last audioStreamOpen that failed, reported again by a play
// of the null stream it returned.
int lastOpenError = AUDIO_OK;
std::vector<AudioStream*> openStreams;
AudioStream* playingStream = nullptr;

bool fail(int code)
{
    lastError = code;
    return false;
}

bool isOpen(AudioStream* stream)
{
    return std::find(openStreams.begin(), openStreams.end(), stream) != openStreams.end();
}

void release(AudioStream* stream)
{
    if (playingStream == stream) {
        Mix_HaltMusic();
        playingStream = nullptr;
    }
    Mix_FreeMusic(stream->music);
    delete stream;
}

AudioStream* failOpen(int code)
{
    lastError = lastOpenError = code;
    return nullptr;
}

}  // namespace

// SDL_mixer decodes MP3 with libmpg123 and leaves its decoders as libmpg123
// makes them, printing its own diagnostics on standard error (a WAV file
// under an MP3's name gives "[src/libmpg123/parse.c:skip_junk():1317] error:
// Giving up searching valid MPEG header..."), and has no setting for them. The
// player reports what fails in its own words, so every decoder made in this
// process is made through this definition, which takes one from libmpg123
// and makes it quiet.
extern "C" mpg123_handle* mpg123_new(const char* decoder, int* error)
{
    using Make = mpg123_handle* (*)(const char*, int*);
    static const Make make = reinterpret_cast<Make>(dlsym(RTLD_NEXT, "mpg123_new"));
    if (!make) {
        if (error) *error = MPG123_ERR;
        return nullptr;
    }
    mpg123_handle* handle = make(decoder, error);
    if (handle) mpg123_param(handle, MPG123_ADD_FLAGS, MPG123_QUIET, 0);
    return handle;
}

bool audioInit(int mixRate, int softwareChannels, unsigned flags)
{
    lastError = AUDIO_OK;
    if (initialised) return fail(AUDIO_ERR_ALREADY_INITIALISED);
    if (mixRate <= 0 || softwareChannels < 0 || flags != 0) return fail(AUDIO_ERR_INVALID_PARAM);
    // Starting audio brings up SDL's event subsystem, which would replace the
    // SIGINT and SIGTERM dispositions with handlers that only queue a quit
    // event nobody reads: Ctrl-C and kill must end the demo as in any program.
    SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) return fail(AUDIO_ERR_INIT);
    if (Mix_OpenAudio(mixRate, MIX_DEFAULT_FORMAT, 2, MIX_BUFFER_SAMPLES) != 0) {
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
        return fail(AUDIO_ERR_INIT);
    }
    // The MP3 decoder may be missing; audioStreamOpen reports that per stream.
    Mix_Init(MIX_INIT_MP3);
    Mix_AllocateChannels(softwareChannels);
    initialised = true;
    lastOpenError = AUDIO_OK;
    return true;
}

AudioStream* audioStreamOpen(const void* data, unsigned mode, int length)
{
    lastError = AUDIO_OK;
    if (!initialised) return failOpen(AUDIO_ERR_NOT_INITIALISED);
    // Streams are played from memory only.
    if (!data || !(mode & AUDIO_LOADMEMORY) || length <= 0) return failOpen(AUDIO_ERR_INVALID_PARAM);
    SDL_RWops* source = SDL_RWFromConstMem(data, length);
    if (!source) return failOpen(AUDIO_ERR_MEMORY);
    if ((Mix_Init(MIX_INIT_MP3) & MIX_INIT_MP3) == 0) {
        SDL_RWclose(source);
        return failOpen(AUDIO_ERR_CODEC);
    }
    // The type is given rather than guessed: the guess looks only at the first
    // bytes, so an MP3 with anything but a tag or a frame header in front would
    // be handed to the wrong decoders, while the MP3 decoder skips to the first frame.
    // The source is closed by SDL_mixer, on failure at once, else with the music.
    Mix_Music* music = Mix_LoadMUSType_RW(source, MUS_MP3, 1);
    if (!music) return failOpen(AUDIO_ERR_FORMAT);

    AudioStream* stream = new (std::nothrow) AudioStream;
    if (!stream) {
        Mix_FreeMusic(music);
        return failOpen(AUDIO_ERR_MEMORY);
    }
    stream->music = music;
    // The sample-format bits (AUDIO_8BITS, AUDIO_MONO) describe raw PCM data;
    // an MP3 stream decodes to its own format, so they change nothing here.
    stream->loop = (mode & AUDIO_LOOP_NORMAL) && !(mode & AUDIO_LOOP_OFF);
    openStreams.push_back(stream);
    return stream;
}

int audioStreamPlay(int channel, AudioStream* stream)
{
    return audioStreamPlayFrom(channel, stream, 0);
}

int audioStreamPlayFrom(int channel, AudioStream* stream, unsigned fromMs)
{
    lastError = AUDIO_OK;
    if (!initialised) {
        fail(AUDIO_ERR_NOT_INITIALISED);
        return -1;
    }
    if (!stream) {
        fail(lastOpenError != AUDIO_OK ? lastOpenError : AUDIO_ERR_INVALID_PARAM);
        return -1;
    }
    if (!isOpen(stream) || (channel != AUDIO_FREE && channel != MUSIC_CHANNEL)) {
        fail(AUDIO_ERR_INVALID_PARAM);
        return -1;
    }
    // A free channel is asked for: the one music channel must not be busy.
    if (channel == AUDIO_FREE && Mix_PlayingMusic()) {
        fail(AUDIO_ERR_CHANNEL_ALLOC);
        return -1;
    }
    const int loops = stream->loop ? -1 : 1;
    // Started at its position in one step (a fade-in of 0 ms), so nothing of
    // the beginning is heard first. Whether the track lasts that long is left
    // to the seek: a start past its end succeeds, the decoder is at its end at
    // once and plays nothing, as the track would have ended by then. The
    // decoder's length is only an estimate (for an MP3 of varying bit rate
    // without a table of its frames, taken from the first frame alone and
    // often far too short), so it cannot decide.
    const int started = fromMs == 0 ? Mix_PlayMusic(stream->music, loops)
                                    : Mix_FadeInMusicPos(stream->music, loops, 0, fromMs / 1000.0);
    if (started != 0) {
        playingStream = nullptr;
        fail(AUDIO_ERR_PLAY);
        return -1;
    }
    playingStream = stream;
    return MUSIC_CHANNEL;
}

// Holding and moving the music, for the player.

int audioStreamPlayHeld(int channel, AudioStream* stream, unsigned fromMs)
{
    if (!initialised) return audioStreamPlayFrom(channel, stream, fromMs);
    // Starting the music makes the mixer's music active; the mixing thread may
    // take a buffer of it before the pause that follows. That buffer is mixed
    // at volume 0, and a resume moves the stream to its time first anyway.
    const int volume = Mix_VolumeMusic(-1);
    Mix_VolumeMusic(0);
    const int played = audioStreamPlayFrom(channel, stream, fromMs);
    Mix_PauseMusic();
    Mix_VolumeMusic(volume);
    return played;
}

bool audioSetPaused(int channel, bool paused)
{
    lastError = AUDIO_OK;
    if (!initialised) return fail(AUDIO_ERR_NOT_INITIALISED);
    if (channel != MUSIC_CHANNEL) return fail(AUDIO_ERR_INVALID_PARAM);
    // The mixer stops and starts taking samples from the stream at its next
    // buffer: the stream keeps its place, whatever is playing or not.
    if (paused) Mix_PauseMusic();
    else Mix_ResumeMusic();
    return true;
}

bool audioSetMuted(int channel, bool muted)
{
    lastError = AUDIO_OK;
    if (!initialised) return fail(AUDIO_ERR_NOT_INITIALISED);
    if (channel != MUSIC_CHANNEL) return fail(AUDIO_ERR_INVALID_PARAM);
    // The mixer keeps the music's volume across every start of it.
    Mix_VolumeMusic(muted ? 0 : MIX_MAX_VOLUME);
    return true;
}

bool audioStreamSetTime(AudioStream* stream, unsigned ms)
{
    lastError = AUDIO_OK;
    if (!initialised) return fail(AUDIO_ERR_NOT_INITIALISED);
    if (!stream || !isOpen(stream)) return fail(AUDIO_ERR_INVALID_PARAM);
    // The stream in the mixer, playing or held, jumps there: its next buffer
    // starts at ms. Past its end the decoder finds nothing more and the track ends.
    if (playingStream == stream && Mix_PlayingMusic() && Mix_SetMusicPosition(ms / 1000.0) == 0) return true;
    // Not in the mixer any more (played to its end, or started past it): it
    // starts afresh at ms, held if the channel is held.
    const bool held = Mix_PausedMusic() != 0;
    Mix_HaltMusic();
    playingStream = nullptr;
    const int started = held ? audioStreamPlayHeld(MUSIC_CHANNEL, stream, ms)
                             : audioStreamPlayFrom(MUSIC_CHANNEL, stream, ms);
    return started != -1;
}

bool audioSetPan(int channel, int pan)
{
    lastError = AUDIO_OK;
    if (!initialised) return fail(AUDIO_ERR_NOT_INITIALISED);
    if (channel != MUSIC_CHANNEL) return fail(AUDIO_ERR_INVALID_PARAM);
    // SDL_mixer mixes music straight into the stereo output; its panning
    // effects act only on sample channels. So the music is always in true
    // stereo, and that is the only pan the music channel can take.
    if (pan != AUDIO_STEREOPAN) return fail(AUDIO_ERR_INVALID_PARAM);
    return true;
}

bool audioStreamClose(AudioStream* stream)
{
    lastError = AUDIO_OK;
    if (!initialised) return fail(AUDIO_ERR_NOT_INITIALISED);
    auto found = std::find(openStreams.begin(), openStreams.end(), stream);
    if (!stream || found == openStreams.end()) return fail(AUDIO_ERR_INVALID_PARAM);
    openStreams.erase(found);
    release(stream);
    return true;
}

void audioClose()
{
    lastError = AUDIO_OK;
    if (!initialised) return;
    for (AudioStream* stream : openStreams) release(stream);
    openStreams.clear();
    Mix_CloseAudio();
    Mix_Quit();
    SDL_Quit();
    initialised = false;
}

int audioLastError()
{
    return lastError;
}
