#include "files.h"
#include "process.h"
#include "sound.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <algorithm>
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
    for (const std::vector<std::string>& arguments :
         std::vector<std::vector<std::string>>{{"--from", "soon"}, {"--from", "132001"}, {"--from=-5"}, {"-f", "--from"}}) {
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
}
