#include "command_line/version.h"
#include "files.h"
#include "picture_set.h"
#include "process.h"
#include "sound.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <algorithm>
#include <iostream>
#include <thread>

namespace {

const char* TITLE = "Skarvelin by QARLO6";

// The demo in a private X server, in a folder of its own, with sound going to a file.
class DemoWindow : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(x.ok()) << "Xvfb did not start";
        // Without its music the demo ends during loading.
        mkdir((folder / "data").c_str(), 0755);
        writeSineMp3(folder / "data/music.mp3", 2.0);
    }

    std::map<std::string, std::string> environment() const
    {
        return {{"DISPLAY", x.display()}, {"SDL_AUDIODRIVER", "disk"}, {"SDL_DISKAUDIOFILE", folder / "audio.raw"}};
    }

    Xvfb x{800, 600};
    TempDir folder;
};

}  // namespace

TEST_F(DemoWindow, OpensItsTitledWindowAndEscapeEndsItWithStatusZero)
{
    Process demo({binaryPath("skarvelin")}, folder.path(), environment());
    std::string window = x.waitForWindow(TITLE);
    ASSERT_FALSE(window.empty()) << demo.errorSoFar();
    int w = 0, h = 0;
    ASSERT_TRUE(x.windowSize(window, &w, &h));
    EXPECT_EQ(w, 640);
    EXPECT_EQ(h, 480);
    std::this_thread::sleep_for(std::chrono::milliseconds(500));
    x.run({"xdotool", "key", "--window", window, "Escape"});
    ProcessResult result = demo.wait(20);
    EXPECT_TRUE(result.exited) << result.err;
    EXPECT_EQ(result.status, 0);
}

TEST_F(DemoWindow, DashFFillsTheScreenEvenAfterGlutTakesItsOwnOptions)
{
    // glutInit removes "-display :N" first, so "-f" is then the first argument.
    Process demo({binaryPath("skarvelin"), "-display", x.display(), "-f"}, folder.path(), environment());
    std::string window = x.waitForWindow(TITLE);
    ASSERT_FALSE(window.empty()) << demo.errorSoFar();
    int w = 0, h = 0;
    double start = nowSeconds();
    while (secondsSince(start) < 10 && x.windowSize(window, &w, &h) && w != 800)
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    EXPECT_EQ(w, 800);
    EXPECT_EQ(h, 600);
}

TEST_F(DemoWindow, OtherFirstArgumentsKeepTheWindowSize)
{
    for (const char* argument : {"-F", "-fx", "-"}) {
        Process demo({binaryPath("skarvelin"), argument, "-f"}, folder.path(), environment());
        std::string window = x.waitForWindow(TITLE);
        ASSERT_FALSE(window.empty()) << demo.errorSoFar();
        std::this_thread::sleep_for(std::chrono::milliseconds(700));
        int w = 0, h = 0;
        ASSERT_TRUE(x.windowSize(window, &w, &h));
        EXPECT_EQ(w, 640) << argument;
        EXPECT_EQ(h, 480) << argument;
        x.run({"xdotool", "key", "--window", window, "Escape"});
        ProcessResult result = demo.wait(20);
        EXPECT_EQ(result.status, 0) << argument;
    }
}

// GLUT reads no key while the loading frame runs, so the loading looks for Esc
// itself: pressed while large pictures load, Esc ends the demo there, as it
// does later. The demo's own events tell that it stopped in the middle: the
// music never started, and the loading never reached the last picture, which
// is missing and would have said so.
TEST_F(DemoWindow, EscapeWhileLoadingEndsTheDemoThere)
{
    const int side = 2048;
    std::vector<unsigned char> grey(side * side);
    for (size_t i = 0; i < grey.size(); ++i) grey[i] = static_cast<unsigned char>((i % side + i / side) / 16);
    writeJpeg(folder / "large.jpg", side, side, grey, 1, 90);
    const std::string large = readFile(folder / "large.jpg");
    const std::vector<std::string> files = pictureFiles();
    // The loading picture is drawn before the scenes' pictures load: small.
    writeSolidJpeg(folder / files.front(), 8, 8, 200, 40, 40);
    for (size_t i = 1; i + 1 < files.size(); ++i) writeFile(folder / files[i], large);

    Process demo({binaryPath("skarvelin")}, folder.path(), environment());
    const std::string window = x.waitForWindow(TITLE);
    ASSERT_FALSE(window.empty()) << demo.errorSoFar();
    // The sound system opens its file in the loading frame, just before the scenes' pictures load.
    const double start = nowSeconds();
    while (!fileExists(folder / "audio.raw") && demo.running() && secondsSince(start) < 30)
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    ASSERT_TRUE(demo.running()) << demo.errorSoFar();
    x.run({"xdotool", "key", "--window", window, "Escape"});
    const double keySent = nowSeconds();
    const ProcessResult result = demo.wait(60);
    const double secondsToExit = secondsSince(keySent);
    std::cout << "  ended " << static_cast<int>(secondsToExit * 1000) << " ms after the key\n";

    EXPECT_TRUE(result.exited) << result.err;
    EXPECT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(result.err.find("Error loading"), std::string::npos) << result.err;
    EXPECT_EQ(analyseStereoOutput(folder / "audio.raw").loudFrames, 0u);
    // Within half a second when the machine is not busy; a loaded one gets room.
    EXPECT_LT(secondsToExit, 2.0);
}

// Started 131 seconds in, the demo plays the programme's last second and ends
// by itself with status 0.
TEST_F(DemoWindow, StartedNearTheEndItPlaysTheRestAndEndsByItself)
{
    const double start = nowSeconds();
    Process demo({binaryPath("skarvelin"), "--from", "131000"}, folder.path(), environment());
    ProcessResult result = demo.wait(30);
    EXPECT_TRUE(result.exited) << result.err;
    EXPECT_EQ(result.status, 0) << result.err;
    EXPECT_LT(secondsSince(start), 15.0);
}

// A start that is not a time of the programme is refused before any window
// opens, in one line and with status 2; --help prints the usage.
TEST(DemoArguments, BadStartsAreRefusedAndHelpPrintsTheUsage)
{
    TempDir folder;
    for (const std::vector<std::string>& arguments : std::vector<std::vector<std::string>>{
             {"--from", "soon"}, {"--from", "132001"}, {"--from=-5"}, {"-f", "--from"}}) {
        std::vector<std::string> argv = {binaryPath("skarvelin")};
        argv.insert(argv.end(), arguments.begin(), arguments.end());
        ProcessResult result = runProcess(argv, folder.path(), {{"DISPLAY", ""}}, 20);
        EXPECT_EQ(result.status, 2) << arguments.back() << ": " << result.err;
        EXPECT_EQ(result.err.rfind("skarvelin: --from", 0), 0u) << result.err;
        EXPECT_EQ(std::count(result.err.begin(), result.err.end(), '\n'), 1) << result.err;
    }
    ProcessResult help = runProcess({binaryPath("skarvelin"), "--help"}, folder.path(), {{"DISPLAY", ""}}, 20);
    EXPECT_EQ(help.status, 0);
    EXPECT_NE(help.out.find("--from MS"), std::string::npos) << help.out;
    EXPECT_NE(help.out.find("--data DIR"), std::string::npos) << help.out;
    // Answered without a display, as is a --data that names no folder.
    ProcessResult version = runProcess({binaryPath("skarvelin"), "--version"}, folder.path(), {{"DISPLAY", ""}}, 20);
    EXPECT_EQ(version.status, 0);
    EXPECT_EQ(version.out.rfind("skarvelin " + std::string(PROJECT_VERSION), 0), 0u) << version.out;
    ProcessResult noSet = runProcess({binaryPath("skarvelin"), "--data", folder / "none"}, folder.path(),
                                     {{"DISPLAY", ""}}, 20);
    EXPECT_EQ(noSet.status, 2);
    EXPECT_EQ(noSet.err, "skarvelin: --data " + folder / "none" + ": there is no such folder\n");
}
