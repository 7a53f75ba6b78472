// A small audio layer over SDL2_mixer: one sound system, MP3 streams opened
// from memory (or from a file), played on the music channel.
//
// Every call records a code for audioLastError(): AUDIO_OK when it succeeds,
// otherwise one of the codes below, whose texts soundErrorText() gives.
#pragma once

struct AudioStream;

// Error codes (the numbering of soundErrorText's table).
constexpr int AUDIO_OK = 0;
constexpr int AUDIO_ERR_ALREADY_INITIALISED = 1;
constexpr int AUDIO_ERR_NOT_INITIALISED = 2;
constexpr int AUDIO_ERR_INIT = 3;
constexpr int AUDIO_ERR_PLAY = 5;
constexpr int AUDIO_ERR_FORMAT = 10;
constexpr int AUDIO_ERR_FILE_LOAD = 11;
constexpr int AUDIO_ERR_MEMORY = 12;
constexpr int AUDIO_ERR_INVALID_PARAM = 14;
constexpr int AUDIO_ERR_CHANNEL_ALLOC = 17;
constexpr int AUDIO_ERR_CODEC = 19;

// Stream mode bits.
constexpr unsigned AUDIO_LOOP_OFF = 0x1;       // play once (wins over AUDIO_LOOP_NORMAL)
constexpr unsigned AUDIO_LOOP_NORMAL = 0x2;    // repeat from the start at the end
constexpr unsigned AUDIO_8BITS = 0x8;          // sample format of raw data: not used by MP3 streams
constexpr unsigned AUDIO_MONO = 0x20;          // channel layout of raw data: not used by MP3 streams
constexpr unsigned AUDIO_LOADMEMORY = 0x8000;  // data is a file's bytes and length their count

// Channel and pan arguments.
constexpr int AUDIO_FREE = -1;       // any free channel
constexpr int AUDIO_STEREOPAN = -1;  // play the stream's own stereo image, unpanned

// Starts the sound system: the output device at mixRate Hz in stereo with
// softwareChannels mixing channels. No flags are defined; pass 0.
// True on success; false with AUDIO_ERR_INIT when the device cannot be opened.
bool audioInit(int mixRate, int softwareChannels, unsigned flags);

// Opens an MP3 stream on length bytes of a file held in memory at data, which
// must stay valid until the stream is closed; mode must hold AUDIO_LOADMEMORY.
// Null on failure: AUDIO_ERR_FORMAT when the bytes are not MP3 that decodes,
// AUDIO_ERR_INVALID_PARAM for no data, no bytes or a mode without memory.
AudioStream* audioStreamOpen(const void* data, unsigned mode, int length);

// Starts a stream from its beginning on channel (AUDIO_FREE for any free one;
// there is one music channel, 0). Returns the channel, or -1 on failure:
// AUDIO_ERR_PLAY, or for a null stream the code of the open that failed.
int audioStreamPlay(int channel, AudioStream* stream);
// The same, starting fromMs milliseconds into the stream (0: its beginning).
// A start past the end of a track that plays once succeeds and plays nothing;
// a stream that cannot be started there fails with AUDIO_ERR_PLAY.
int audioStreamPlayFrom(int channel, AudioStream* stream, unsigned fromMs);

// As audioStreamPlayFrom, but the channel starts held there: nothing is heard
// until audioSetPaused(channel, false).
int audioStreamPlayHeld(int channel, AudioStream* stream, unsigned fromMs);

// Holds (true) or resumes (false) the music channel: a held stream keeps its
// place and is silent. AUDIO_ERR_INVALID_PARAM for any other channel.
bool audioSetPaused(int channel, bool paused);

// Mutes (true) or unmutes (false) the music channel: a muted stream plays on
// in silence, so it is heard again where it has got to. The mute lasts through
// holds, moves and restarts. AUDIO_ERR_INVALID_PARAM for any other channel.
bool audioSetMuted(int channel, bool muted);

// Moves a stream on the music channel to ms milliseconds into it, playing on
// from there or, on a held channel, staying held there. A stream that is not
// in the mixer any more (it played to its end, or was started past it) starts
// again at ms; a time past the end of the track plays nothing, as it would
// have. Failure: AUDIO_ERR_INVALID_PARAM for a stream that is not open, or
// the code of the start that failed.
bool audioStreamSetTime(AudioStream* stream, unsigned ms);

// Pans a playing channel; only AUDIO_STEREOPAN is supported.
bool audioSetPan(int channel, int pan);

// Stops a stream if it plays and releases it.
bool audioStreamClose(AudioStream* stream);

// Shuts the sound system down, releasing any stream still open.
void audioClose();

// The code recorded by the last call.
int audioLastError();
