#include "files.h"
#include "process.h"
#include "sound.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <filesystem>
#include <iostream>
#include <iterator>
#include <sstream>
#include <sys/stat.h>
#include <unistd.h>
#include <thread>

namespace {

const char* TITLE = "Skarvelin by QARLO6";

// The sound messages the demo can print: its own file message and the error texts.
const char* SOUND_MESSAGES[] = {
    "File not found",
    "Error initializing output device.",
    "Unknown file format",
    "Error loading file",
    "Not enough memory ",
    "Playing the sound failed.",
    "Failed to allocate a new channel",
    "Unknown error",
};

bool mentionsSound(const std::string& text)
{
    for (const char* message : SOUND_MESSAGES)
        if (text.find(message) != std::string::npos) return true;
    return false;
}

// The demo in a private X server, in a folder with a data/ folder, sound to a file.
class DemoMusic : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(x.ok()) << "Xvfb did not start";
        mkdir((folder / "data").c_str(), 0755);
    }

    std::map<std::string, std::string> environment(const std::string& driver = "disk") const
    {
        return {{"DISPLAY", x.display()}, {"SDL_AUDIODRIVER", driver}, {"SDL_DISKAUDIOFILE", audioFile()}};
    }
    std::string audioFile() const { return folder / "audio.raw"; }
    std::string musicFile() const { return folder / "data/music.mp3"; }

    Xvfb x;
    TempDir folder;
};

}  // namespace

TEST_F(DemoMusic, TheTrackIsHeardAfterLoadingAndEscapeStopsIt)
{
    writeSineMp3(musicFile(), 3.0);
    Process demo({binaryPath("skarvelin")}, folder.path(), environment());
    std::string window = x.waitForWindow(TITLE);
    ASSERT_FALSE(window.empty()) << demo.errorSoFar();

    // Wait for a second of the tone in what the disk driver writes.
    double start = nowSeconds();
    while (secondsSince(start) < 15 && analyseStereoOutput(audioFile()).loudFrames < 30000 && demo.running())
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    x.run({"xdotool", "key", "--window", window, "Escape"});
    ProcessResult result = demo.wait(20);
    EXPECT_TRUE(result.exited);
    EXPECT_EQ(result.status, 0);
    EXPECT_FALSE(mentionsSound(result.err)) << result.err;

    ToneInfo tone = analyseStereoOutput(audioFile());
    EXPECT_GE(tone.loudFrames, 30000u);
    EXPECT_NEAR(tone.frequency, 440.0, 10.0);
}

// A WAV file of a second of tone: what a user may save under the MP3's name.
void writeWav(const std::string& path)
{
    const std::vector<int16_t> samples = sineSamples(1.0, 44100, 2);
    const std::string data(reinterpret_cast<const char*>(samples.data()), samples.size() * 2);
    auto u32 = [](uint32_t v) { return std::string{char(v), char(v >> 8), char(v >> 16), char(v >> 24)}; };
    auto u16 = [](uint16_t v) { return std::string{char(v), char(v >> 8)}; };
    writeFile(path, "RIFF" + u32(36 + static_cast<uint32_t>(data.size())) + "WAVE" + "fmt " + u32(16) + u16(1) +
                        u16(2) + u32(44100) + u32(44100 * 4) + u16(4) + u16(16) + "data" +
                        u32(static_cast<uint32_t>(data.size())) + data);
}

// Music the demo cannot play ends it before any picture of the programme is
// loaded, with its message and then one line on what to do; the renderer
// refuses the same music for a video, at once, with the same words. The
// decoder library's own diagnostics never show.
TEST_F(DemoMusic, MusicThatCannotBePlayedEndsTheDemoWithItsMessageAndStatusOne)
{
    struct Case {
        const char* what;
        void (*make)(const std::string& path);
        const char* driver;
        const char* message;
        const char* hint;  // in the line after it; null: none of ours
    };
    const Case cases[] = {
        {"missing", [](const std::string&) {}, "disk", "File not found data/music.mp3",
         "there is no data/music.mp3: put your MP3 there"},
        {"no data folder", [](const std::string& path) { rmdir(path.substr(0, path.rfind('/')).c_str()); }, "disk",
         "File not found data/music.mp3", nullptr},
        {"text", [](const std::string& path) { writeFile(path, std::string(5000, 'x') + "not a sound\n"); }, "disk",
         "Unknown file format", "data/music.mp3 is not MP3 that the decoder can play"},
        {"wav", writeWav, "disk", "Unknown file format", "data/music.mp3 is a WAV file, not MP3: convert it to MP3"},
        {"empty", [](const std::string& path) { writeFile(path, ""); }, "disk", "Error loading file",
         "data/music.mp3 is empty"},
        {"folder", [](const std::string& path) { mkdir(path.c_str(), 0755); }, "disk", "Error loading file",
         "data/music.mp3 is a folder"},
        {"no device", [](const std::string& path) { writeSineMp3(path, 1.0); }, "no-such-driver",
         "Error initializing output device.",
         "no sound device could be opened; to play without sound, start it with SDL_AUDIODRIVER=dummy"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        TempDir run;
        mkdir((run / "data").c_str(), 0755);
        c.make(run / "data/music.mp3");
        std::map<std::string, std::string> env = environment(c.driver);
        env["XDG_DATA_HOME"] = run / "home";
        ProcessResult result = runProcess({binaryPath("skarvelin")}, run.path(), env, 30);
        EXPECT_TRUE(result.exited);
        EXPECT_EQ(result.status, 1);
        EXPECT_TRUE(hasLine(result.err, c.message)) << result.err;
        const size_t message = result.err.find(std::string(c.message) + "\n");
        ASSERT_NE(message, std::string::npos) << result.err;
        const std::string next = result.err.substr(message + strlen(c.message) + 1);
        if (c.hint) {
            EXPECT_EQ(next.rfind(std::string("skarvelin: ") + c.hint, 0), 0u) << result.err;
            if (std::string(c.what) != "no device") {
                EXPECT_NE(next.find("skarvelin-data --check"), std::string::npos) << result.err;
            }
        }
        // Nothing was loaded but the loading picture, and no library spoke.
        EXPECT_EQ(result.err.find("Error loading data/twist"), std::string::npos) << result.err;
        EXPECT_EQ(result.err.find("libmpg123"), std::string::npos) << result.err;
        // Without a data set, the lines after it name the folders looked in,
        // and the last ends with the command that makes a set found from anywhere.
        const std::string last = result.err.substr(result.err.rfind('\n', result.err.size() - 2) + 1);
        const std::string make = "skarvelin-data' '" + run / "home/skarvelin'\n";
        const bool noSet = std::string(c.what) == "no data folder";
        EXPECT_EQ(last.size() > make.size() && last.compare(last.size() - make.size(), make.size(), make) == 0, noSet)
            << result.err;
        EXPECT_EQ(result.err.find("data/ in " + std::filesystem::canonical(run.path()).string()) != std::string::npos,
                  noSet)
            << result.err;

        if (!c.hint || std::string(c.what) == "no device") continue;
        ProcessResult render = runProcess({binaryPath("skarvelin-render"), "--video", "clip.mp4"}, run.path(), {}, 30);
        EXPECT_EQ(render.status, 2) << render.err;
        EXPECT_NE(render.err.find(c.message), std::string::npos) << render.err;
        EXPECT_NE(render.err.find(std::string("\nskarvelin-render: ") + c.hint), std::string::npos) << render.err;
        EXPECT_EQ(render.err.find("Error loading data/"), std::string::npos) << render.err;
        EXPECT_EQ(render.err.find("libmpg123"), std::string::npos) << render.err;
    }
}

// With the controls, the music plays from the programme's time after every
// move: a resume from --paused, a seek while playing (to a digit's time and
// 5 s on), a hold and resume, frames stepped while held, a seek back into
// the track after one past its end, four keys at once (each counts), a mute
// (the music comes back where the programme has got to), and play at the
// programme's end (from the start). The track's pitch tells its position;
// the mixer moves at buffer boundaries in the output.
TEST_F(DemoMusic, TheMusicPlaysFromTheProgrammesTimeAfterEverySeekStepAndResume)
{
    writePositionToneMp3(musicFile(), 30.0);
    Process demo({binaryPath("skarvelin"), "--controls", "--from", "5000", "--paused"}, folder.path(), environment());
    const std::string window = x.waitForWindow(TITLE);
    ASSERT_FALSE(window.empty()) << demo.errorSoFar();
    // Lets the output grow by this many seconds, so a key has taken effect and
    // the music played long enough to be read.
    auto outputBytes = [&] {
        struct stat info {};
        return stat(audioFile().c_str(), &info) == 0 ? static_cast<size_t>(info.st_size) : 0;
    };
    auto play = [&](double seconds) {
        const size_t until = outputBytes() + static_cast<size_t>(seconds * 44100) * 4;
        const double start = nowSeconds();
        while (secondsSince(start) < 20 && demo.running() && outputBytes() < until)
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
    };
    auto press = [&](const std::vector<std::string>& keys, double thenSeconds) {
        std::vector<std::string> argv = {"xdotool", "key", "--window", window};
        argv.insert(argv.end(), keys.begin(), keys.end());
        x.run(argv);
        play(thenSeconds);
    };
    play(1.0);  // loading, then held: silence
    // The disk driver keeps time by sleeping, not by a sound card's clock, so
    // the moves measured against where the music had got to come after short stretches.
    press({"space"}, 0.7);
    press({"1"}, 0.4);
    press({"Right"}, 0.4);
    press({"space"}, 0.4);
    press({"space"}, 0.7);
    press({"space"}, 0.4);
    press({"1", "period", "period", "period"}, 0.4);
    press({"space"}, 0.7);
    press({"3"}, 0.4);
    press({"1"}, 0.7);
    press({"Home"}, 0.4);
    press({"--delay", "0", "Right", "Right", "Right", "Right"}, 0.7);
    press({"m"}, 1.2);
    press({"M"}, 0.5);
    press({"9"}, 0.3);   // past the track's end: silence
    press({"Up"}, 0.3);  // the programme's end, held
    press({"space"}, 0.5);
    press({"Escape"}, 0);
    ProcessResult result = demo.wait(20);
    ASSERT_TRUE(result.exited) << result.err;
    EXPECT_EQ(result.status, 0) << result.err;

    struct Expected {
        const char* move;
        bool afterSilence;
        double fromMs;             // where the music should play from
        bool byPrevious;           // fromMs is added to where the music had got to
        bool plusSilence = false;  // and so is the time it was silent: it played on unheard
        bool burst = false;        // the mixer may take a buffer between the keys: their moves add up
    };
    const Expected expected[] = {
        {"resume from --paused at 5000", true, 5000, false},
        {"seek to 10 % (13200) while playing", false, 13200, false},
        {"seek 5 s on while playing", false, 5000, true},
        {"hold, then resume", true, 0, true},
        {"hold, to 13200, three frames on, resume", true, 13250, false},
        {"seek past the track's end (39600), then to 13200", true, 13200, false},
        {"Home while playing", false, 0, false},
        {"4 x Right at once while playing", false, 20000, true, false, true},
        {"mute, then unmute", true, 0, true, true},
        {"to 90 %, to the end, then play", true, 0, false},
    };
    const std::vector<MusicMove> moves = musicMoves(audioFile());
    std::ostringstream heard;
    for (const MusicMove& move : moves)
        heard << (move.afterSilence ? " after silence" : " jumping") << " from " << move.previousEndMs << " to "
              << move.fromMs << " ms;";
    size_t m = 0;
    for (const Expected& e : expected) {
        ASSERT_LT(m, moves.size()) << e.move << ": the music played" << heard.str();
        const MusicMove& move = moves[m];
        double target = e.fromMs + (e.byPrevious ? move.previousEndMs : 0);
        if (e.plusSilence && m > 0) {
            // Where the music heard before fell silent, in output frames.
            const double silentFrom = moves[m - 1].frame + (move.previousEndMs - moves[m - 1].fromMs) * 44.1;
            target += (move.frame - silentFrom) / 44.1;
            EXPECT_GE(move.frame - silentFrom, 44100.0) << e.move << ": at least a second of silence";
        }
        double from = move.fromMs;
        ++m;
        // A burst's moves add up to one: the part of each jump past where the music had got to.
        while (e.burst && m < moves.size() && !moves[m].afterSilence) {
            from += moves[m].fromMs - moves[m].previousEndMs;
            ++m;
        }
        const double offset = from - target;
        std::cout << e.move << ": the music plays from " << from << " ms, " << offset << " ms off\n";
        EXPECT_EQ(move.afterSilence, e.afterSilence) << e.move;
        // Where the music had got to is the disk driver's time, which falls
        // behind the wall clock the player keeps when the machine is busy (up
        // to a tenth of a second over these stretches); a move to a given
        // time is exact to a mixing buffer.
        EXPECT_LE(std::fabs(offset), e.byPrevious ? 150.0 : 50.0) << e.move;
    }
    EXPECT_EQ(m, moves.size()) << "the music played" << heard.str();
}
