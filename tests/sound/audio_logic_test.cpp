#include "files.h"
#include "sound.h"
#include "sound/audio.h"
#include "sound/music_samples.h"

#include <SDL.h>
#include <SDL_mixer.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstring>
#include <cstdlib>
#include <thread>

namespace {

// The player's mode word: the bytes are in memory, the track plays once.
constexpr unsigned PLAY_ONCE_FROM_MEMORY = 0x802B;

// SDL's disk driver announces itself with two lines at the critical level
// every time it opens ("You are using the SDL disk i/o audio driver!" and the
// file it writes to). Here that driver is the point, so those two lines are
// dropped; every other message goes where SDL sends it.
SDL_LogOutputFunction sdlOutput = nullptr;
void* sdlOutputData = nullptr;

void logUnlessDiskDriverNotice(void* data, int category, SDL_LogPriority priority, const char* message)
{
    const std::string text = message;
    const bool notice = category == SDL_LOG_CATEGORY_AUDIO && priority == SDL_LOG_PRIORITY_CRITICAL &&
                        (text.rfind("You are using the SDL disk i/o audio driver!", 0) == 0 ||
                         text.rfind(" Writing to file [", 0) == 0);
    if (!notice && sdlOutput) sdlOutput(data, category, priority, message);
}

void useDriver(const char* driver, const std::string& diskFile = "")
{
    // The output function outlives SDL_Quit: set once per process.
    if (!sdlOutput) {
        SDL_LogGetOutputFunction(&sdlOutput, &sdlOutputData);
        SDL_LogSetOutputFunction(logUnlessDiskDriverNotice, sdlOutputData);
    }
    setenv("SDL_AUDIODRIVER", driver, 1);
    if (!diskFile.empty()) setenv("SDL_DISKAUDIOFILE", diskFile.c_str(), 1);
}

void pause(int milliseconds)
{
    std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
}

// What the renderer decodes for a start at fromMs is what the mixer played
// there, sample for sample: the disk driver's output from the buffer in which
// the music began (the first that is not silent; the mixer fills 1024 frames
// at a time).
// What the renderer decodes for a start at fromMs is what the mixer played
// there, sample for sample, in the disk driver's output. The mixer fills 1024
// frames at a time, so the music begins at a buffer's start: the first buffer
// that is not silent, or one before it when the music itself begins silent.
void expectDecodedAsPlayed(const std::string& sound, unsigned fromMs, const std::string& output)
{
    const std::string raw = readFile(output);
    const size_t frames = raw.size() / 4;
    std::vector<int16_t> played(frames * 2);
    memcpy(played.data(), raw.data(), frames * 4);
    size_t first = 0;
    while (first < frames && played[2 * first] == 0 && played[2 * first + 1] == 0) ++first;
    ASSERT_LT(first, frames) << "nothing was played";
    const size_t compared = 8192;
    std::vector<int16_t> decoded;
    std::string error;
    ASSERT_TRUE(decodeMusic(sound.data(), sound.size(), fromMs, compared, &decoded, &error)) << error;
    ASSERT_EQ(decoded.size(), compared * 2);
    // As much as was played from there, a buffer at least (a busy machine
    // may let the driver write little).
    for (size_t start = first - first % 1024;; start -= 1024) {
        const size_t length = std::min(compared, frames - start);
        if (length >= 1024 && std::equal(decoded.begin(), decoded.begin() + 2 * length, played.begin() + 2 * start))
            return;
        if (start == 0) break;
    }
    ADD_FAILURE() << "the decoded sound is not what was played from any buffer's start up to frame " << first;
}

class AudioLayer : public ::testing::Test {
protected:
    void TearDown() override { audioClose(); }

    // A sine MP3 made by lame with these options, read into memory.
    std::string mp3(const std::string& name, double seconds, int rate, int channels,
                    const std::vector<std::string>& options = {"-b", "128"})
    {
        encodeMp3(folder / name, sineSamples(seconds, rate, channels), rate, channels, options);
        return readFile(folder / name);
    }

    TempDir folder;
};

}  // namespace

TEST_F(AudioLayer, AnOutputDeviceThatCannotOpenFailsInitialisationWithCode3)
{
    useDriver("no-such-audio-driver");
    EXPECT_FALSE(audioInit(44100, 32, 0));
    EXPECT_EQ(audioLastError(), AUDIO_ERR_INIT);

    // Nothing works before a successful initialisation.
    std::string bytes = "ID3";
    EXPECT_EQ(audioStreamOpen(bytes.data(), PLAY_ONCE_FROM_MEMORY, 3), nullptr);
    EXPECT_EQ(audioLastError(), AUDIO_ERR_NOT_INITIALISED);
    EXPECT_EQ(audioStreamPlay(AUDIO_FREE, nullptr), -1);
    EXPECT_EQ(audioLastError(), AUDIO_ERR_NOT_INITIALISED);

    // A working driver afterwards initialises.
    useDriver("dummy");
    EXPECT_TRUE(audioInit(44100, 32, 0));
    EXPECT_EQ(audioLastError(), AUDIO_OK);
}

TEST_F(AudioLayer, StreamsThatAreNotMp3FailToOpenAndTheirPlayReportsWhy)
{
    useDriver("dummy");
    ASSERT_TRUE(audioInit(44100, 32, 0));
    EXPECT_FALSE(audioInit(44100, 32, 0));
    EXPECT_EQ(audioLastError(), AUDIO_ERR_ALREADY_INITIALISED);

    std::string text;
    for (int i = 0; i < 2000; ++i) text += "This is not a sound file at all. ";
    EXPECT_EQ(audioStreamOpen(text.data(), PLAY_ONCE_FROM_MEMORY, static_cast<int>(text.size())), nullptr);
    EXPECT_EQ(audioLastError(), AUDIO_ERR_FORMAT);
    // Another call in between does not hide the open's failure from play.
    EXPECT_TRUE(audioSetPan(0, AUDIO_STEREOPAN));
    EXPECT_EQ(audioStreamPlay(AUDIO_FREE, nullptr), -1);
    EXPECT_EQ(audioLastError(), AUDIO_ERR_FORMAT);

    // A tag with nothing after it, and an MP3 cut to its first bytes.
    std::string tagOnly = id3v2Tag("nothing", 4096);
    EXPECT_EQ(audioStreamOpen(tagOnly.data(), PLAY_ONCE_FROM_MEMORY, static_cast<int>(tagOnly.size())), nullptr);
    EXPECT_EQ(audioLastError(), AUDIO_ERR_FORMAT);
    std::string sound = mp3("cut.mp3", 1.0, 44100, 2);
    EXPECT_EQ(audioStreamOpen(sound.data(), PLAY_ONCE_FROM_MEMORY, 100), nullptr);
    EXPECT_EQ(audioLastError(), AUDIO_ERR_FORMAT);

    for (int length : {0, -1}) {
        EXPECT_EQ(audioStreamOpen(sound.data(), PLAY_ONCE_FROM_MEMORY, length), nullptr);
        EXPECT_EQ(audioLastError(), AUDIO_ERR_INVALID_PARAM);
    }
    EXPECT_EQ(audioStreamOpen(sound.data(), 0x2B, static_cast<int>(sound.size())), nullptr);
    EXPECT_EQ(audioLastError(), AUDIO_ERR_INVALID_PARAM);
}

TEST_F(AudioLayer, PlaysOnTheFreeChannelInStereoAndClosesCleanly)
{
    useDriver("dummy");
    ASSERT_TRUE(audioInit(44100, 32, 0));
    std::string first = mp3("first.mp3", 2.0, 44100, 2);
    std::string second = mp3("second.mp3", 2.0, 44100, 2);
    AudioStream* a = audioStreamOpen(first.data(), PLAY_ONCE_FROM_MEMORY, static_cast<int>(first.size()));
    AudioStream* b = audioStreamOpen(second.data(), PLAY_ONCE_FROM_MEMORY, static_cast<int>(second.size()));
    ASSERT_NE(a, nullptr);
    ASSERT_NE(b, nullptr);

    int channel = audioStreamPlay(AUDIO_FREE, a);
    EXPECT_EQ(channel, 0);
    EXPECT_EQ(audioLastError(), AUDIO_OK);
    EXPECT_TRUE(audioSetPan(channel, AUDIO_STEREOPAN));
    EXPECT_FALSE(audioSetPan(channel, 128));
    EXPECT_EQ(audioLastError(), AUDIO_ERR_INVALID_PARAM);
    EXPECT_FALSE(audioSetPan(5, AUDIO_STEREOPAN));

    // The one music channel is busy; a channel that does not exist is refused.
    EXPECT_EQ(audioStreamPlay(AUDIO_FREE, b), -1);
    EXPECT_EQ(audioLastError(), AUDIO_ERR_CHANNEL_ALLOC);
    EXPECT_EQ(audioStreamPlay(7, b), -1);
    EXPECT_EQ(audioLastError(), AUDIO_ERR_INVALID_PARAM);

    // Closing the playing stream frees the channel; a closed stream is no longer known.
    EXPECT_TRUE(audioStreamClose(a));
    EXPECT_FALSE(audioStreamClose(a));
    EXPECT_EQ(audioLastError(), AUDIO_ERR_INVALID_PARAM);
    EXPECT_EQ(audioStreamPlay(AUDIO_FREE, b), 0);

    // Closing the sound system releases the stream still open and allows a new start.
    audioClose();
    ASSERT_TRUE(audioInit(44100, 32, 0));
    EXPECT_FALSE(audioStreamClose(b));
}

TEST_F(AudioLayer, TheTrackPlaysOnceUnlessOnlyTheLoopBitIsSet)
{
    useDriver("dummy");
    ASSERT_TRUE(audioInit(44100, 32, 0));
    std::string shortTrack = mp3("short.mp3", 0.3, 44100, 2);
    std::string other = mp3("other.mp3", 0.3, 44100, 2);
    int size = static_cast<int>(shortTrack.size());
    AudioStream* next = audioStreamOpen(other.data(), PLAY_ONCE_FROM_MEMORY, static_cast<int>(other.size()));
    ASSERT_NE(next, nullptr);

    // Both loop bits: played once, so the channel is free again after the end.
    AudioStream* once = audioStreamOpen(shortTrack.data(), PLAY_ONCE_FROM_MEMORY, size);
    ASSERT_EQ(audioStreamPlay(AUDIO_FREE, once), 0);
    pause(1200);
    EXPECT_EQ(audioStreamPlay(AUDIO_FREE, next), 0);
    ASSERT_TRUE(audioStreamClose(next));
    ASSERT_TRUE(audioStreamClose(once));

    // Only the repeat bit: still playing long after its end.
    next = audioStreamOpen(other.data(), PLAY_ONCE_FROM_MEMORY, static_cast<int>(other.size()));
    AudioStream* looping = audioStreamOpen(shortTrack.data(), AUDIO_LOADMEMORY | AUDIO_LOOP_NORMAL, size);
    ASSERT_EQ(audioStreamPlay(AUDIO_FREE, looping), 0);
    pause(1200);
    EXPECT_EQ(audioStreamPlay(AUDIO_FREE, next), -1);
    EXPECT_EQ(audioLastError(), AUDIO_ERR_CHANNEL_ALLOC);
}

// Real MP3 variants decode to the tone they were made from, at its pitch,
// in what the disk driver writes.
TEST_F(AudioLayer, RealMp3VariantsPlayTheirToneAtItsPitch)
{
    struct Variant {
        const char* name;
        int rate;
        int channels;
        std::vector<std::string> options;
        std::string prefix;  // bytes put in front of what lame made
    };
    std::string junk;
    for (int i = 0; i < 20; ++i) junk += "junk";
    const Variant variants[] = {
        {"cbr", 44100, 2, {"--cbr", "-b", "192"}, ""},
        {"vbr", 44100, 2, {"-V", "4"}, ""},
        {"mono", 44100, 1, {"-b", "64"}, ""},
        {"22kHz", 22050, 2, {"-b", "64"}, ""},
        {"big-tag", 44100, 2, {"-b", "128", "--id3v2-only", "--tt", "Tagged"}, id3v2Tag("Padded", 300000)},
        {"junk-in-front", 44100, 2, {"-b", "128"}, junk},
    };
    for (const Variant& variant : variants) {
        SCOPED_TRACE(variant.name);
        std::string sound = mp3(std::string(variant.name) + ".mp3", 1.5, variant.rate, variant.channels,
                                variant.options);
        sound = variant.prefix + sound;
        std::string output = folder / (std::string(variant.name) + ".raw");
        useDriver("disk", output);
        ASSERT_TRUE(audioInit(44100, 32, 0));
        AudioStream* stream = audioStreamOpen(sound.data(), PLAY_ONCE_FROM_MEMORY, static_cast<int>(sound.size()));
        ASSERT_NE(stream, nullptr) << audioLastError();
        EXPECT_EQ(audioStreamPlay(AUDIO_FREE, stream), 0);
        pause(700);
        EXPECT_TRUE(audioStreamClose(stream));
        audioClose();

        ToneInfo tone = analyseStereoOutput(output);
        EXPECT_GT(tone.loudFrames, 44100u / 10);
        EXPECT_NEAR(tone.frequency, 440.0, 10.0);
        expectDecodedAsPlayed(sound, 0, output);
    }
}

// Started later into the track, the output begins with what lies there: here
// the second tone instead of the first. A start past the end of the track
// succeeds and plays nothing, as a track that has ended. The decoder's own
// estimate of the length does not decide: for an MP3 of varying bit rate
// without a frame table (lame -t) it takes the first frame's rate for the
// whole file, and says 9 s for this minute.
TEST_F(AudioLayer, PlayingFromAPositionStartsThereAndPastTheEndPlaysNothing)
{
    encodeMp3(folder / "two-tones.mp3", tonesInTurn({{1.0, 440.0}, {1.0, 880.0}}, 44100, 2), 44100, 2, {"-b", "128"});
    encodeMp3(folder / "vbr-untabled.mp3", tonesInTurn({{18.0, 440.0}, {42.0, 880.0}}, 44100, 2), 44100, 2,
              {"-V", "4", "-t"});
    struct Start {
        const char* track;
        unsigned fromMs;
        double frequency;  // of what is heard; 0: nothing
    };
    const Start starts[] = {
        {"two-tones.mp3", 1200, 880.0},
        {"two-tones.mp3", 5000, 0.0},
        {"vbr-untabled.mp3", 20000, 880.0},
        {"vbr-untabled.mp3", 70000, 0.0},
    };
    for (const Start& start : starts) {
        SCOPED_TRACE(std::string(start.track) + " from " + std::to_string(start.fromMs));
        const std::string sound = readFile(folder / start.track);
        const std::string output = folder / "from.raw";
        std::remove(output.c_str());
        useDriver("disk", output);
        ASSERT_TRUE(audioInit(44100, 32, 0));
        if (start.fromMs == 20000) {
            // What makes the case: the estimate ends before the start.
            Mix_Music* music = Mix_LoadMUSType_RW(SDL_RWFromConstMem(sound.data(), static_cast<int>(sound.size())),
                                                  MUS_MP3, 1);
            ASSERT_NE(music, nullptr);
            EXPECT_LT(Mix_MusicDuration(music), 20.0);
            Mix_FreeMusic(music);
        }
        AudioStream* stream = audioStreamOpen(sound.data(), PLAY_ONCE_FROM_MEMORY, static_cast<int>(sound.size()));
        ASSERT_NE(stream, nullptr) << audioLastError();
        EXPECT_EQ(audioStreamPlayFrom(AUDIO_FREE, stream, start.fromMs), 0);
        EXPECT_EQ(audioLastError(), AUDIO_OK);
        pause(400);
        EXPECT_TRUE(audioStreamClose(stream));
        audioClose();

        const ToneInfo tone = analyseStereoOutput(output);
        if (start.frequency > 0) {
            EXPECT_GT(tone.loudFrames, 44100u / 10);
            EXPECT_NEAR(tone.frequency, start.frequency, 20.0);
            expectDecodedAsPlayed(sound, start.fromMs, output);
        } else {
            EXPECT_EQ(tone.loudFrames, 0u);
            std::vector<int16_t> decoded;
            std::string error;
            ASSERT_TRUE(decodeMusic(sound.data(), sound.size(), start.fromMs, 4096, &decoded, &error)) << error;
            EXPECT_EQ(decoded, std::vector<int16_t>(2 * 4096, 0));
        }
    }
}
