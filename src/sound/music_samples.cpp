#include "sound/music_samples.h"

#include "sound/audio.h"
#include "sound/mp3_player.h"
#include "sound/music_file_kind.h"

#include <SDL.h>
#include <mpg123.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>

namespace {

// The mixer decodes this much at a time, and its converter resamples each
// piece on its own: the same pieces give the same samples.
constexpr size_t READ_BYTES = 1024 * sizeof(int16_t) * MUSIC_OUTPUT_CHANNELS;

// mpg123 reads the bytes through SDL's memory reader, as SDL_mixer hands it
// the stream the player opens.
mpg123_ssize_t readBytes(void* source, void* buffer, size_t bytes)
{
    return static_cast<mpg123_ssize_t>(SDL_RWread(static_cast<SDL_RWops*>(source), buffer, 1, bytes));
}

off_t seekBytes(void* source, off_t offset, int whence)
{
    return static_cast<off_t>(SDL_RWseek(static_cast<SDL_RWops*>(source), offset, whence));
}

SDL_AudioFormat sdlFormat(int encoding)
{
    switch (encoding) {
    case MPG123_ENC_SIGNED_8:
        return AUDIO_S8;
    case MPG123_ENC_UNSIGNED_8:
        return AUDIO_U8;
    case MPG123_ENC_SIGNED_16:
        return AUDIO_S16SYS;
    case MPG123_ENC_UNSIGNED_16:
        return AUDIO_U16SYS;
    case MPG123_ENC_SIGNED_32:
        return AUDIO_S32SYS;
    case MPG123_ENC_FLOAT_32:
        return AUDIO_F32SYS;
    default:
        return 0;
    }
}

// One decoder over one stream of bytes, freed with everything it holds.
struct Decoder {
    SDL_RWops* source = nullptr;
    mpg123_handle* handle = nullptr;
    SDL_AudioStream* converter = nullptr;

    ~Decoder()
    {
        if (converter) SDL_FreeAudioStream(converter);
        if (handle) {
            mpg123_close(handle);
            mpg123_delete(handle);
        }
        if (source) SDL_RWclose(source);
    }

    // A converter from what mpg123 gives to the mixer's output format, as
    // the mixer makes one whenever the format changes.
    bool convertFrom(long rate, int channels, int encoding)
    {
        if (converter) SDL_FreeAudioStream(converter);
        converter = SDL_NewAudioStream(sdlFormat(encoding), static_cast<Uint8>(channels), static_cast<int>(rate),
                                       AUDIO_S16SYS, MUSIC_OUTPUT_CHANNELS, MUSIC_OUTPUT_RATE);
        return converter != nullptr;
    }
};

std::string decoderError(mpg123_handle* handle, int code)
{
    return code == MPG123_ERR && handle ? mpg123_strerror(handle) : mpg123_plain_strerror(code);
}

}  // namespace

int64_t musicStartSample(uint32_t fromMs, long rate)
{
    // The mixer's position is in seconds, a double; its MP3 decoder seeks
    // to rate * seconds, cut to a whole sample.
    return static_cast<int64_t>(static_cast<double>(rate) * (fromMs / 1000.0));
}

bool decodeMusic(const void* bytes, size_t length, uint32_t fromMs, size_t frames, std::vector<int16_t>* samples,
                 std::string* error)
{
    samples->assign(frames * MUSIC_OUTPUT_CHANNELS, 0);
    if (mpg123_init() != MPG123_OK) {
        *error = "libmpg123 does not start";
        return false;
    }
    Decoder decoder;
    int status = MPG123_OK;
    decoder.handle = mpg123_new(nullptr, &status);
    if (!decoder.handle) {
        *error = decoderError(nullptr, status);
        return false;
    }
    // Its diagnostics are not for the user: what fails is reported by us.
    mpg123_param(decoder.handle, MPG123_ADD_FLAGS, MPG123_QUIET, 0);
    decoder.source = SDL_RWFromConstMem(bytes, static_cast<int>(length));
    if (!decoder.source) {
        *error = SDL_GetError();
        return false;
    }
    // Every rate, mono or stereo, the encodings the mixer converts from: it
    // leaves the choice to mpg123, so this does too.
    mpg123_replace_reader_handle(decoder.handle, readBytes, seekBytes, nullptr);
    mpg123_format_none(decoder.handle);
    const long* rates = nullptr;
    size_t rateCount = 0;
    mpg123_rates(&rates, &rateCount);
    for (size_t i = 0; i < rateCount; ++i)
        mpg123_format(decoder.handle, rates[i], MPG123_MONO | MPG123_STEREO,
                      MPG123_ENC_SIGNED_8 | MPG123_ENC_UNSIGNED_8 | MPG123_ENC_SIGNED_16 | MPG123_ENC_UNSIGNED_16 |
                          MPG123_ENC_SIGNED_32 | MPG123_ENC_FLOAT_32);
    long rate = 0;
    int channels = 0, encoding = 0;
    if ((status = mpg123_open_handle(decoder.handle, decoder.source)) != MPG123_OK ||
        (status = mpg123_getformat(decoder.handle, &rate, &channels, &encoding)) != MPG123_OK) {
        *error = decoderError(decoder.handle, status);
        return false;
    }
    if (!decoder.convertFrom(rate, channels, encoding)) {
        *error = SDL_GetError();
        return false;
    }
    // The mixer's start: back to the beginning, then to the position. A
    // start the decoder cannot reach (past the end) plays nothing.
    if (mpg123_seek(decoder.handle, 0, SEEK_SET) < 0 ||
        mpg123_seek(decoder.handle, static_cast<off_t>(musicStartSample(fromMs, rate)), SEEK_SET) < 0)
        return true;

    const size_t wanted = samples->size() * sizeof(int16_t);
    unsigned char* const out = reinterpret_cast<unsigned char*>(samples->data());
    size_t filled = 0;
    std::vector<unsigned char> buffer(READ_BYTES);
    bool ended = false;
    while (filled < wanted) {
        const int got = SDL_AudioStreamGet(decoder.converter, out + filled, static_cast<int>(wanted - filled));
        if (got < 0) break;
        filled += static_cast<size_t>(got);
        if (got > 0 || filled >= wanted) continue;
        if (ended) break;
        size_t decoded = 0;
        status = mpg123_read(decoder.handle, buffer.data(), buffer.size(), &decoded);
        if (status == MPG123_OK) {
            if (SDL_AudioStreamPut(decoder.converter, buffer.data(), static_cast<int>(decoded)) != 0) break;
        } else if (status == MPG123_NEW_FORMAT) {
            // What the old converter still held is dropped, as the mixer drops it.
            if (mpg123_getformat(decoder.handle, &rate, &channels, &encoding) != MPG123_OK ||
                !decoder.convertFrom(rate, channels, encoding))
                break;
        } else if (status == MPG123_DONE) {
            SDL_AudioStreamFlush(decoder.converter);
            ended = true;
        } else {
            // Damage the decoder cannot pass ends the music there, as it ends playing.
            break;
        }
    }
    // What is not filled stays silent: the track has ended.
    return true;
}

bool readMusicAsPlayed(const char* path, uint32_t fromMs, size_t frames, std::vector<int16_t>* samples,
                       std::string* message, std::string* hint)
{
    // The player's own open, on SDL's silent driver whatever SDL_AUDIODRIVER
    // says (SDL forgets the hint when it is shut down).
    SDL_SetHintWithPriority(SDL_HINT_AUDIODRIVER, "dummy", SDL_HINT_OVERRIDE);
    if (!audioInit(44100, 0, 0)) {
        *message = soundErrorText(audioLastError());
        hint->clear();
        return false;
    }
    AudioStream* stream = nullptr;
    int length = 0;
    void* bytes = openMusicFile(path, &stream, message, &length);
    if (bytes && !stream) *message = soundErrorText(audioLastError());
    if (stream) audioStreamClose(stream);
    audioClose();
    std::unique_ptr<void, decltype(&free)> owned(bytes, free);
    if (!stream) {
        *hint = unplayableMusicHint(path);
        return false;
    }
    std::string error;
    if (!decodeMusic(bytes, static_cast<size_t>(length), fromMs, frames, samples, &error)) {
        // The mixer opened it with this decoder: not expected, but said as the demo would.
        *message = soundErrorText(AUDIO_ERR_FORMAT) + std::string(" (") + error + ")";
        *hint = unplayableMusicHint(path);
        return false;
    }
    return true;
}
