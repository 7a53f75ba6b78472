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

    const double start = nowSeconds();
    Process demo({binaryPath("skarvelin")}, data,
                 {{"DISPLAY", x.display()}, {"SDL_AUDIODRIVER", "disk"}, {"SDL_DISKAUDIOFILE", scratch / "audio.raw"}});
    ASSERT_FALSE(x.waitForWindow("Skarvelin by QARLO6").empty()) << demo.errorSoFar();

    // Screenshots every few seconds while it plays. How long loading takes is
    // not known in advance, so which millisecond of the programme each one
    // shows is worked out afterwards, from when the programme ended.
    struct Shot {
        double at;  // seconds since the start of the process
        double brightness;
    };
    std::vector<Shot> shots;
    for (double at = 8; at < 110 && demo.running(); at += 4) {
        while (secondsSince(start) < at && demo.running()) std::this_thread::sleep_for(std::chrono::milliseconds(50));
        const double taken = secondsSince(start);
        const double brightness = screenBrightness(x, scratch / "screen.png");
        if (demo.running()) shots.push_back({(taken + secondsSince(start)) / 2, brightness});
    }

    ProcessResult result = demo.wait(200);
    const double end = secondsSince(start);
    ASSERT_TRUE(result.exited) << "signal " << result.signal << (result.timedOut ? ", timed out" : "") << "\n"
                               << result.err;
    EXPECT_EQ(result.status, 0);
    EXPECT_GE(end, 132.0);
    // Every picture loaded and the music played: no message of ours.
    EXPECT_EQ(result.err.find("Error loading"), std::string::npos) << result.err;
    EXPECT_EQ(result.err.find("File not found"), std::string::npos) << result.err;
    EXPECT_GT(readFile(scratch / "audio.raw").size(), 0u);

    // The programme ends once its clock passes 132 s, so its clock started 132 s
    // before the end. Well inside the twist column (10.1 to 32 s) and the twist
    // room (53.3 to 66.5 s) the window is full of them: no black screen there.
    const double musicStart = end - 132.0;
    int inside = 0;
    for (const Shot& shot : shots) {
        const double t = shot.at - musicStart;
        if ((t > 11.5 && t < 31) || (t > 54.5 && t < 65.5)) {
            ++inside;
            EXPECT_GT(shot.brightness, 0.05) << "at " << t << " s of the programme";
        }
    }
    EXPECT_GE(inside, 3) << "the programme started " << musicStart << " s after the process";
}
