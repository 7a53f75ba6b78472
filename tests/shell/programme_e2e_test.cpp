// The whole programme in the windowed demo over the default data set: it plays
// its 132 seconds, draws its scenes into the window, and ends by itself.
#include "../data/generated_data_set.h"
#include "files.h"
#include "process.h"

#include <gtest/gtest.h>

#include <sstream>
#include <thread>

namespace {

// The mean brightness of the screen, 0 to 1, or -1 if it could not be taken.
double screenBrightness(const Xvfb& x, const std::string& png)
{
    if (!x.screenshot(png)) return -1;
    ProcessResult mean = runProcess({"convert", png, "-colorspace", "gray", "-format", "%[fx:mean]", "info:"}, "");
    return mean.exited && mean.status == 0 ? std::stod(mean.out) : -1;
}

}  // namespace

TEST(Programme, PlaysToTheEndAndExitsByItself)
{
    std::string failure;
    std::string data = generatedDataSet(&failure);
    ASSERT_FALSE(data.empty()) << failure;
    Xvfb x(640, 480);
    ASSERT_TRUE(x.ok());
    TempDir scratch;

    double start = nowSeconds();
    Process demo({binaryPath("skarvelin")}, data,
                 {{"DISPLAY", x.display()}, {"SDL_AUDIODRIVER", "disk"}, {"SDL_DISKAUDIOFILE", scratch / "audio.raw"}});
    ASSERT_FALSE(x.waitForWindow("Skarvelin by QARLO6").empty()) << demo.errorSoFar();

    // Half a minute in, the twist column twists under its overlay; at the
    // twist room the window is full of the room. Neither is a black screen.
    for (double at : {25.0, 60.0}) {
        while (secondsSince(start) < at && demo.running()) std::this_thread::sleep_for(std::chrono::milliseconds(100));
        ASSERT_TRUE(demo.running()) << demo.errorSoFar();
        double brightness = screenBrightness(x, scratch / "screen.png");
        EXPECT_GT(brightness, 0.05) << "at " << at << " s";
    }

    ProcessResult result = demo.wait(200);
    double seconds = secondsSince(start);
    ASSERT_TRUE(result.exited) << "signal " << result.signal << (result.timedOut ? ", timed out" : "") << "\n"
                               << result.err;
    EXPECT_EQ(result.status, 0);
    EXPECT_GE(seconds, 132.0);
    EXPECT_LT(seconds, 160.0);
    // Every picture loaded and the music played: no message of ours.
    EXPECT_EQ(result.err.find("Error loading"), std::string::npos) << result.err;
    EXPECT_EQ(result.err.find("File not found"), std::string::npos) << result.err;
    EXPECT_GT(readFile(scratch / "audio.raw").size(), 0u);
}
