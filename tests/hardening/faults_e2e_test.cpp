// The demo itself against what machines and users bring: no display, music
// that is cut short, noise or unreadable, and broken pictures. Whatever the
// case, it either plays or stops with a clear message; it never dies of a signal.
#include "quiet_regex.h"
#include "../data/generated_data_set.h"
#include "broken_files.h"
#include "command_line/version.h"
#include "files.h"
#include "picture_set.h"
#include "process.h"
#include "sound.h"

#include <gtest/gtest.h>

#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstring>
#include <filesystem>
#include <iostream>
#include <regex>
#include <set>
#include <sstream>
#include <thread>

namespace {

const char* TITLE = "Skarvelin by QARLO6";

// The lines the demo may end with when its music cannot be played.
const char* SOUND_MESSAGES[] = {
    "File not found data/music.mp3", "Unknown file format", "Error loading file", "Not enough memory ",
    "Playing the sound failed.",     "Unknown error",
};

// The picture messages among what the demo wrote (the disk audio driver adds its own lines).
std::string pictureMessages(const std::string& text)
{
    std::istringstream lines(text);
    std::string each, kept;
    while (std::getline(lines, each))
        if (each.rfind("Error loading", 0) == 0) kept += each + "\n";
    return kept;
}

// Waits up to timeoutSeconds for a file whose name starts with prefix in folder.
bool waitForFileStartingWith(const std::string& folder, const std::string& prefix, double timeoutSeconds)
{
    const double start = nowSeconds();
    while (secondsSince(start) < timeoutSeconds) {
        for (const auto& entry : std::filesystem::directory_iterator(folder))
            if (entry.path().filename().string().rfind(prefix, 0) == 0) return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return false;
}

bool endsWithASoundMessage(const std::string& text)
{
    for (const char* message : SOUND_MESSAGES)
        if (hasLine(text, message)) return true;
    return false;
}

class DemoFaults : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(x.ok()) << "Xvfb did not start";
        writePictureSet(folder.path(), 8);
    }

    std::map<std::string, std::string> environment() const
    {
        return {{"DISPLAY", x.display()}, {"SDL_AUDIODRIVER", "disk"}, {"SDL_DISKAUDIOFILE", folder / "audio.raw"}};
    }

    // Starts the demo; if it opens its window and is still running after
    // playSeconds, presses Esc. Returns how it ended.
    ProcessResult playFor(double playSeconds, bool* played)
    {
        Process demo({binaryPath("skarvelin")}, folder.path(), environment());
        *played = false;
        const double start = nowSeconds();
        while (secondsSince(start) < 30 && demo.running()) {
            if (!x.run({"xdotool", "search", "--name", TITLE}).empty()) break;
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
        }
        const std::string window = demo.running() ? x.waitForWindow(TITLE, 5) : "";
        if (!window.empty()) {
            const double shown = nowSeconds();
            while (secondsSince(shown) < playSeconds && demo.running())
                std::this_thread::sleep_for(std::chrono::milliseconds(100));
            if (demo.running()) {
                *played = true;
                x.run({"xdotool", "key", "--window", window, "Escape"});
            }
        }
        return demo.wait(30);
    }

    Xvfb x;
    TempDir folder;
};

}  // namespace

// GLUT cannot open a display: its own message and a non-zero status, not a
// crash, before anything is loaded or played; the last line says that the
// renderer needs no display.
TEST(NoDisplay, EndsWithAMessageAndAnErrorStatus)
{
    TempDir folder;
    writePictureSet(folder.path(), 8);
    writeSineMp3(folder / "data/music.mp3", 1.0);
    // A display number with no server behind it.
    int unused = 90;
    while (access(("/tmp/.X11-unix/X" + std::to_string(unused)).c_str(), F_OK) == 0) ++unused;
    const std::map<std::string, std::string> cases[] = {
        {{"DISPLAY", ""}, {"SDL_AUDIODRIVER", "dummy"}},
        {{"DISPLAY", ":" + std::to_string(unused)}, {"SDL_AUDIODRIVER", "dummy"}},
    };
    for (const auto& env : cases) {
        SCOPED_TRACE("DISPLAY=" + env.at("DISPLAY"));
        const ProcessResult result = runProcess({binaryPath("skarvelin")}, folder.path(), env, 30);
        EXPECT_TRUE(result.exited) << "signal " << result.signal;
        EXPECT_NE(result.status, 0);
        EXPECT_NE(result.err.find("display"), std::string::npos) << result.err;
        EXPECT_NE(result.err.find("\nskarvelin: there is no display to open a window on; skarvelin-render draws "
                                  "the programme without one: skarvelin-render --video FILE"),
                  std::string::npos)
            << result.err;
    }
}

// Music that plays, however odd, and music that cannot: a track cut off in the
// middle of a frame plays what is there; noise and a file nobody may read
// either play or end the demo with a message of the table and status 1.
TEST_F(DemoFaults, MusicCutShortNoiseOrUnreadable)
{
    writeSineMp3(folder / "music-whole.mp3", 3.0);
    const std::string whole = readFile(folder / "music-whole.mp3");
    struct Case {
        const char* what;
        std::string bytes;
        bool unreadable;
        bool mustPlay;
    };
    const Case cases[] = {
        {"truncated halfway", whole.substr(0, whole.size() / 2 + 17), false, true},
        {"random bytes", randomBytes(64 * 1024, 11), false, false},
        {"random bytes after an MP3 frame header", "\xFF\xFB\x90\x64" + randomBytes(64 * 1024, 12), false, false},
        {"unreadable", whole, true, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const std::string music = folder / "data/music.mp3";
        writeFile(music, c.bytes);
        const bool readable = c.unreadable ? makeUnreadable(music) : true;
        std::remove((folder / "audio.raw").c_str());

        bool played = false;
        const ProcessResult result = playFor(1.5, &played);
        chmod(music.c_str(), 0644);
        std::string ending = played ? "played" : "ended with status " + std::to_string(result.status);
        if (!played && !result.err.empty()) {
            const std::string text = result.err.substr(0, result.err.size() - 1);
            ending += ": " + text.substr(text.find_last_of('\n') + 1);
        }
        std::cout << "  music " << c.what << ": " << ending << "\n";
        if (played) {
            EXPECT_EQ(result.status, 0) << result.err;
            EXPECT_FALSE(endsWithASoundMessage(result.err)) << result.err;
        } else {
            EXPECT_EQ(result.status, 1) << result.err;
            EXPECT_TRUE(endsWithASoundMessage(result.err)) << result.err;
        }
        if (c.mustPlay) {
            EXPECT_TRUE(played);
            EXPECT_GT(analyseStereoOutput(folder / "audio.raw").loudFrames, 44100u / 4);
        }
        // Without permission to read, the file cannot be opened: the table's message.
        if (c.unreadable && !readable) {
            EXPECT_TRUE(hasLine(result.err, "File not found data/music.mp3"));
        }
        // Root reads it anyway, and the track plays.
        if (c.unreadable && readable) {
            EXPECT_TRUE(played);
        }
    }
}

// Pictures missing and broken in the windowed demo: the loading picture, the
// hearing pictures, the shared opacity picture. The messages come in the order
// of loading, and the programme plays on until Esc.
TEST_F(DemoFaults, BrokenPicturesAreReportedAndTheProgrammePlaysOn)
{
    writeSineMp3(folder / "data/music.mp3", 3.0);
    writeFile(folder / "data/loading.jpg", randomBytes(2000, 3));
    std::remove((folder / "data/hearing1.jpg").c_str());
    std::string jpeg = readFile(folder / "data/maskine8_alfa.jpg");
    ASSERT_TRUE(patchFrameSize(jpeg, 65500, 65500));
    writeFile(folder / "data/maskine8_alfa.jpg", jpeg);
    writeFile(folder / "data/soya2.jpg", "");

    bool played = false;
    const ProcessResult result = playFor(2.0, &played);
    EXPECT_TRUE(played);
    EXPECT_TRUE(result.exited) << "signal " << result.signal;
    EXPECT_EQ(result.status, 0);
    std::string pairs3, pairs7;
    for (int i = 0; i < 3; ++i) pairs3 += "Error loading\n";
    for (int i = 0; i < 7; ++i) pairs7 += "Error loading\n";
    EXPECT_EQ(pictureMessages(result.err), "Error loading data/loading.jpg\n" + pairs3 + pairs7 +
                                               "Error loading data/hearing1.jpg\n" + "Error loading data/soya2.jpg\n");
}

// Ctrl-C and kill end the demo at once, as they end any program, also once
// the sound system runs (its disk driver has opened its file).
TEST_F(DemoFaults, InterruptAndTerminateEndTheDemo)
{
    writeSineMp3(folder / "data/music.mp3", 10.0);
    for (int signalNumber : {SIGINT, SIGTERM}) {
        SCOPED_TRACE(strsignal(signalNumber));
        std::remove((folder / "audio.raw").c_str());
        Process demo({binaryPath("skarvelin")}, folder.path(), environment());
        ASSERT_TRUE(waitForFileStartingWith(folder.path(), "audio.raw", 30));
        ASSERT_TRUE(demo.running());
        kill(demo.pid(), signalNumber);
        const ProcessResult result = demo.wait(1.0);
        EXPECT_FALSE(result.timedOut);
        EXPECT_EQ(result.signal, signalNumber);
    }
}

// The renderer refuses at once, with status 2 and before loading, a folder as
// the video, a video in a folder that is not there (without making it), a
// container it does not make, a size the encoder cannot take, and times past the programme's end (which
// would also make its list of frame times unbounded). It keeps the signals it found ignored:
// under nohup a hangup does not stop it and the video is finished. Killed,
// it leaves neither its unfinished video nor its encoder's log behind.
TEST(RendererFaults, RefusalsAtOnceNohupAndNoTemporaryFilesLeft)
{
    TempDir folder;
    writePictureSet(folder.path(), 8);
    writeSineMp3(folder / "data/music.mp3", 3.0);
    mkdir((folder / "a-folder.mp4").c_str(), 0755);
    mkdir((folder / "tmp").c_str(), 0755);
    const std::string renderer = binaryPath("skarvelin-render");
    const std::vector<std::pair<std::vector<std::string>, std::string>> refusals = {
        {{renderer, "--video", "a-folder.mp4"}, "is a folder"},
        {{renderer, "--to", "4294967295", "--fps", "1000", "--bench"}, "past the end"},
        {{renderer, "--times", "100,132001", "--bench"}, "past the end"},
        {{renderer, "--video", "missing/x.mp4"}, "there is no folder missing"},
        // ffmpeg's frame-size check, which a video reaches only once the frames come.
        {{renderer, "--size", "16384x16384", "--video", "v.mp4"}, "at most 16384x16128 at this width"},
        // A container the renderer does not make, or none: refused before ffmpeg is asked.
        {{renderer, "--video", "x.bak"}, "the extension names the container, .mp4, .mov or .mkv, not '.bak'"},
        {{renderer, "--video", "x.txt"}, "not '.txt'"},
        {{renderer, "--video", "x"}, "and it has none"},
    };
    for (const auto& [argv, reason] : refusals) {
        const double start = nowSeconds();
        const ProcessResult result = runProcess(argv, folder.path(), {}, 10);
        EXPECT_LT(secondsSince(start), 1.0) << argv[1];
        EXPECT_EQ(result.status, 2) << argv[1];
        EXPECT_EQ(result.err.rfind("skarvelin-render: ", 0), 0u) << result.err;
        EXPECT_NE(result.err.find(reason), std::string::npos) << result.err;
        EXPECT_EQ(result.err.find("Error loading"), std::string::npos) << result.err;
    }
    EXPECT_FALSE(fileExists(folder / "missing"));

    // The unfinished video appears once the encoder runs, before loading.
    auto render = [&](const std::string& video, int signalNumber, bool nohup) {
        std::vector<std::string> argv = {renderer, "--to", "20000", "--fps", "10", "--size", "32x32", "--video", video};
        if (nohup) argv.insert(argv.begin(), "nohup");
        Process render(argv, folder.path(), {{"TMPDIR", folder / "tmp"}});
        EXPECT_TRUE(waitForFileStartingWith(folder.path(), "." + video.substr(0, video.find('.')) + ".partial-", 30));
        kill(render.pid(), signalNumber);
        return render.wait(120);
    };
    ProcessResult result = render("hungup.mp4", SIGHUP, true);
    EXPECT_EQ(result.status, 0) << "signal " << result.signal << result.err;
    EXPECT_TRUE(fileExists(folder / "hungup.mp4"));
    for (int signalNumber : {SIGTERM, SIGHUP, SIGINT, SIGQUIT}) {
        SCOPED_TRACE(strsignal(signalNumber));
        EXPECT_EQ(render("killed.mp4", signalNumber, false).signal, signalNumber);
        EXPECT_FALSE(waitForFileStartingWith(folder.path(), ".killed", 0.2));
        EXPECT_FALSE(fileExists(folder / "killed.mp4"));
    }
    EXPECT_TRUE(std::filesystem::is_empty(folder / "tmp"));
}

// skarvelin-data refuses what it does not know instead of taking it for a
// folder, answers --help on standard output, and fills in only what is
// missing from a user's data, unless --force; on a terminal it shows its progress.
TEST(DataToolFaults, OptionsAndAUsersOwnFiles)
{
    TempDir folder;
    const std::string tool = binaryPath("skarvelin-data");
    for (const std::vector<std::string>& argv :
         std::vector<std::vector<std::string>>{{tool, "--verbose"}, {tool, "one", "two"}}) {
        const ProcessResult result = runProcess(argv, folder.path(), {}, 10);
        EXPECT_EQ(result.status, 2);
        EXPECT_EQ(result.err.find("usage: skarvelin-data"), result.err.find('\n') + 1) << result.err;
        EXPECT_TRUE(std::filesystem::is_empty(folder.path()));
    }
    ProcessResult result = runProcess({tool, "--help"}, folder.path(), {}, 10);
    EXPECT_EQ(result.status, 0);
    EXPECT_EQ(result.out.rfind("usage: skarvelin-data", 0), 0u) << result.out;
    result = runProcess({tool, "--version"}, folder.path(), {}, 10);
    EXPECT_EQ(result.status, 0);
    EXPECT_EQ(result.out.rfind("skarvelin-data " + std::string(PROJECT_VERSION), 0), 0u) << result.out;
    EXPECT_TRUE(std::filesystem::is_empty(folder.path()));

    std::string failure;
    const std::string defaultData = generatedDataSet(&failure);
    ASSERT_FALSE(defaultData.empty()) << failure;
    copyFolder(defaultData + "/data", folder / "data");
    writeSolidJpeg(folder / "data/code1.jpg", 16, 16, 1, 2, 3);
    const std::string mine = readFile(folder / "data/code1.jpg");
    std::remove((folder / "data/slut3_alfa.jpg").c_str());
    result = runProcess({tool}, folder.path(), {}, 60);
    EXPECT_EQ(result.status, 0) << result.err;
    EXPECT_NE(result.out.find("wrote 1 file, "), std::string::npos) << result.out;
    // The set's files are the pictures and the music: all kept but the one written.
    const size_t setFiles = pictureFiles().size() + 1;
    const std::string kept = "kept " + std::to_string(setFiles - 1) + " files";
    EXPECT_NE(result.out.find(kept), std::string::npos) << result.out;
    EXPECT_EQ(readFile(folder / "data/code1.jpg"), mine);
    EXPECT_EQ(readFile(folder / "data/slut3_alfa.jpg"), readFile(defaultData + "/data/slut3_alfa.jpg"));

    // On a terminal (script's) it shows how far it has come, and wipes that
    // line before its summary, which stands on a line of its own.
    result = runProcess({"script", "-qec", "'" + tool + "' --force .", "/dev/null"}, folder.path(), {}, 120);
    EXPECT_EQ(result.status, 0) << result.err;
    const size_t summary = result.out.find("skarvelin-data: wrote " + std::to_string(setFiles) + " files");
    ASSERT_NE(summary, std::string::npos) << result.out;
    const std::string started = "skarvelin-data: pictures 0/" + std::to_string(setFiles - 1) + ", music composing, 0 s";
    EXPECT_LT(result.out.find(started), summary) << result.out;
    EXPECT_TRUE(summary > 0 && result.out[summary - 1] == '\r') << result.out;
    EXPECT_EQ(readFile(folder / "data/code1.jpg"), readFile(defaultData + "/data/code1.jpg"));
}

// A full disk under each writer: the program ends with status 1 and one line
// naming the file and the system's reason; what it leaves is whole (every PNG
// ends with its IEND chunk, every JPEG with its end marker), frames written
// before the failure stay, and no temporary file is left, nor the encoder's log.
// PNG frames are written several at a time; whichever frame fails, the run
// stops at the earliest frame not written: the line names it, every frame
// before it is there, none after it. Disk sizes are swept page by page around
// one frame's size, so that some runs fill the disk with the last buffered
// bytes of a frame, or of frames.txt, which only closing the file writes; and
// around a short video's, whose end the encoder writes last.
TEST(WriteFaults, AFullDiskEndsWithOneLineAndLeavesOnlyWholeFiles)
{
    std::string failure;
    const std::string data = generatedDataSet(&failure);
    ASSERT_FALSE(data.empty()) << failure;
    TempDir folder;
    const std::string disk = folder / "disk";
    const std::string renderer = binaryPath("skarvelin-render");
    // The names of the frames of a span, by millisecond.
    auto span = [](int from, int to, int fps) {
        std::vector<std::string> names;
        char name[16];
        for (int i = 0; from + i * 1000 / fps <= to; ++i) {
            std::snprintf(name, sizeof name, "%06d.png", from + i * 1000 / fps);
            names.push_back(name);
        }
        return names;
    };
    // The size of one frame, to sweep the disk's size around it a page at a time.
    const std::vector<std::string> still = {"--size", "320x240", "--times", "40000", "--png-names", "index"};
    std::vector<std::string> argv = still;
    argv.insert(argv.begin(), renderer);
    argv.insert(argv.end(), {"--png", folder / "probe"});
    ASSERT_EQ(runProcess(argv, data, {}, 120).status, 0);
    const int pages = static_cast<int>((std::filesystem::file_size(folder / "probe/000000.png") + 4095) / 4096);
    std::vector<int> aroundOneFrame;
    for (int page = pages - 2; page <= pages + 1; ++page) aroundOneFrame.push_back(4 * page);
    // Full after 5 to 13 frames of 640x480, which are written two or more at
    // a time: at some sizes a later frame is finished while an earlier one fails.
    std::vector<int> aroundAFewFrames;
    for (int kilobytes = 1500; kilobytes <= 3900; kilobytes += 150) aroundAFewFrames.push_back(kilobytes);
    // A short video, made on a disk with room: the encoder writes its index
    // and its last bytes at the end, and says it could not while exiting with 0.
    const std::vector<std::string> clip = {"--size", "320x240", "--to", "2000", "--fps", "10", "--video"};
    argv = clip;
    argv.insert(argv.begin(), renderer);
    argv.push_back(folder / "probe/v.mp4");
    ASSERT_EQ(runProcess(argv, data, {{"TMPDIR", folder.path()}}, 120).status, 0);
    const std::string video = readFile(folder / "probe/v.mp4");
    std::vector<int> aroundTheVideo;
    for (int page = static_cast<int>(video.size() / 4096) - 3; page <= static_cast<int>(video.size() / 4096) + 2;
         ++page)
        aroundTheVideo.push_back(4 * page);

    struct Row {
        std::vector<std::string> argv;
        std::vector<int> kilobytes;  // a run at each size
        std::string line;            // what standard error must be, as a regular expression
        bool framesStay;
        std::string whole;  // what a run that succeeds writes: a file as it is when written on a disk with room
        std::vector<std::string> frames;  // the PNG frames asked for, in order
    };
    const std::string noSpace = ": No space left on device\n";
    // The frame a PNG run stopped at, or frames.txt.
    const std::string pngLine = "skarvelin-render: cannot write " + disk +
                                "/frames/(([0-9]{6}\\.png)( \\(the frame at [0-9]+ ms\\))?|frames\\.txt)" + noSpace;
    argv = still;
    argv.insert(argv.begin(), renderer);
    argv.insert(argv.end(), {"--png", disk + "/frames"});
    std::vector<std::string> clipArgv = clip;
    clipArgv.insert(clipArgv.begin(), renderer);
    clipArgv.push_back(disk + "/v.mp4");
    const std::string videoLine = "skarvelin-render: cannot write " + disk + "/v\\.mp4" + noSpace;
    const std::vector<Row> rows = {
        {{renderer, "--size", "320x240", "--to", "30000", "--fps", "5", "--png", disk + "/frames"},
         {600},
         pngLine,
         true,
         "",
         span(0, 30000, 5)},
        {{renderer, "--fps", "4", "--from", "30000", "--to", "40000", "--png", disk + "/frames"},
         aroundAFewFrames,
         pngLine,
         true,
         "",
         span(30000, 40000, 4)},
        {argv, aroundOneFrame, pngLine, true, "", {"000000.png"}},
        {{renderer, "--size", "320x240", "--to", "60000", "--fps", "10", "--video", disk + "/v.mp4"},
         {300},
         videoLine,
         false,
         "",
         {}},
        {clipArgv, aroundTheVideo, videoLine, false, video, {}},
        {{binaryPath("skarvelin-data"), disk},
         {3 * 1024},
         "skarvelin-data: cannot write " + disk + "/data/\\w+\\.(jpg|mp3)" + noSpace,
         true,
         "",
         {}},
    };
    for (const Row& row : rows) {
        int stopped = 0, completed = 0;  // runs that failed as they should, runs that wrote it all
        for (int kilobytes : row.kilobytes) {
            SCOPED_TRACE(row.argv[row.argv.size() - 2] + " on " + std::to_string(kilobytes) + " kB");
            for (const char* name : {"disk", "left", "tmp"}) {
                std::filesystem::remove_all(folder / name);
                std::filesystem::create_directory(folder / name);
            }
            bool possible = false;
            const ProcessResult result = runOnSmallDisk(row.argv, data, {{"TMPDIR", folder / "tmp"}}, disk, kilobytes,
                                                        folder / "left", 300, &possible);
            if (!possible)
                GTEST_SKIP() << "cannot mount a small file system in a private namespace here: " << result.err;
            std::set<std::string> left;
            for (const auto& entry : std::filesystem::recursive_directory_iterator(folder / "left")) {
                if (entry.is_directory()) continue;
                const std::string name = entry.path().filename().string();
                const std::string bytes = readFile(entry.path().string());
                EXPECT_NE(name[0], '.') << "a temporary file is left: " << name;
                const std::string extension = entry.path().extension().string();
                // The IEND chunk: no data, its type, its CRC.
                const std::string end = extension == ".png"   ? std::string("\0\0\0\0IEND\xAE\x42\x60\x82", 12)
                                        : extension == ".jpg" ? "\xFF\xD9"
                                                              : "";
                EXPECT_TRUE(bytes.size() >= end.size() &&
                            bytes.compare(bytes.size() - end.size(), end.size(), end) == 0)
                    << name << " is cut short";
                left.insert(name);
            }
            EXPECT_TRUE(std::filesystem::is_empty(folder / "tmp"));
            std::smatch match;
            if (!row.whole.empty() && result.status == 0) {
                EXPECT_TRUE(readFile(folder / "left/v.mp4") == row.whole) << "the video is not whole";
                ++completed;
                continue;
            }
            if (!row.frames.empty() && result.status == 0) {
                // It all fitted: every frame, and their list in order.
                std::string list;
                for (const std::string& frame : row.frames) {
                    EXPECT_TRUE(left.count(frame)) << frame << " is missing";
                    list += frame + " ";
                }
                std::string listed;
                std::istringstream lines(readFile(folder / "left/frames/frames.txt"));
                for (std::string name, ms; lines >> name >> ms;) listed += name + " ";
                EXPECT_EQ(listed, list);
                ++completed;
                continue;
            }
            EXPECT_EQ(result.status, 1) << result.err;
            ASSERT_TRUE(std::regex_match(result.err, match, std::regex(row.line))) << result.err;
            if (row.frames.empty()) {
                EXPECT_EQ(!left.empty(), row.framesStay) << left.size() << " files left";
                stopped += !row.whole.empty();
                continue;
            }
            // Stopped at a frame, or at the list once every frame was written.
            const std::string stop = match[2].matched ? match[2].str() : "";
            stopped += !stop.empty();
            completed += stop.empty();
            bool before = true;
            for (const std::string& frame : row.frames) {
                before = before && frame != stop;
                EXPECT_EQ(left.count(frame), before ? 1u : 0u)
                    << frame << (before ? " is missing before " : " is left after ") << stop;
            }
        }
        // The sweep reaches both sides of a frame's (or the video's) size.
        if (!row.frames.empty() || !row.whole.empty()) {
            EXPECT_GT(stopped, 0);
        }
        if (row.frames.size() == 1 || !row.whole.empty()) {
            EXPECT_GT(completed, 0);
        }
    }
}

// Ctrl-C, kill, a closed terminal or Ctrl-\ while the data set is being
// written: the tool dies of the signal and no half-written file is left.
TEST(DataToolFaults, SignalsLeaveNoTemporaryFile)
{
    for (int signalNumber : {SIGINT, SIGTERM, SIGHUP, SIGQUIT}) {
        SCOPED_TRACE(strsignal(signalNumber));
        TempDir folder;
        Process tool({binaryPath("skarvelin-data")}, folder.path());
        // The music is encoded for a second or more under its temporary name.
        bool writing = false;
        const double start = nowSeconds();
        while (!writing && secondsSince(start) < 60 && tool.running()) {
            std::error_code ignored;
            for (const auto& entry : std::filesystem::directory_iterator(folder / "data", ignored))
                writing = writing || entry.path().filename().string().find(".partial") != std::string::npos;
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
        ASSERT_TRUE(writing) << "no temporary file seen";
        kill(tool.pid(), signalNumber);
        EXPECT_EQ(tool.wait(30).signal, signalNumber);
        for (const auto& entry : std::filesystem::directory_iterator(folder / "data"))
            EXPECT_EQ(entry.path().filename().string().find(".partial"), std::string::npos) << entry.path();
    }
}
