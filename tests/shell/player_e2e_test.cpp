// The demo as a player over the default data set, in a window as large as the
// screen: a held frame is the renderer's still of its time, and the keys hold,
// step, seek, show the timeline and quit.
#include "../data/generated_data_set.h"
#include "files.h"
#include "process.h"

#include <gtest/gtest.h>

#include <thread>

namespace {

const char* TITLE = "Skarvelin by QARLO6";

// Mesa draws a window's buffer upside down compared with an off-screen
// target, and every texture is sampled nearest, so where a sample falls on a
// texel's edge the window and the renderer's still can take neighbouring
// texels: up to about two hundred single pixels in the 3D scenes, none in the
// flat pictures (drawn into an EGL pbuffer, a window-system buffer too, the
// still equals the window exactly). A frame 16 ms away differs in most pixels.
constexpr size_t DRIVER_PIXELS = 600;

size_t differingPixels(const std::string& a, const std::string& b)
{
    if (a.size() != b.size()) return SIZE_MAX;
    size_t count = 0;
    for (size_t i = 0; i + 2 < a.size(); i += 3)
        if (a.compare(i, 3, b, i, 3) != 0) ++count;
    return count;
}

}  // namespace

TEST(Player, HeldFramesAreTheStillsOfTheirTimesAndTheKeysHoldStepAndSeek)
{
    std::string failure;
    const std::string data = generatedDataSet(&failure);
    ASSERT_FALSE(data.empty()) << failure;
    TempDir scratch;
    ProcessResult stills = runProcess({binaryPath("skarvelin-render"), "--size", "640x480", "--times",
                                       "40000,40016,45016,35016,118800,0", "--fps", "60", "--png", scratch / "stills"},
                                      data, {}, 120);
    ASSERT_EQ(stills.status, 0) << stills.err;

    Xvfb x(640, 480);
    ASSERT_TRUE(x.ok());
    Process demo({binaryPath("skarvelin"), "--controls", "--from", "40000", "--paused"}, data,
                 {{"DISPLAY", x.display()}, {"SDL_AUDIODRIVER", "disk"}, {"SDL_DISKAUDIOFILE", scratch / "audio.raw"}});
    const std::string window = x.waitForWindow(TITLE);
    ASSERT_FALSE(window.empty()) << demo.errorSoFar();

    Xvfb::WindowPixels shown;
    auto look = [&] { return x.windowPixels(window, &shown) ? shown.rgb : std::string(); };
    // The pixels of the still of t where the window is on screen.
    auto still = [&](const char* t) {
        return pictureRegionRgb(scratch / ("stills/" + std::string(t) + ".png"), shown.left, shown.top, shown.width,
                                shown.height);
    };
    // Looks at the window until `wanted` says yes (the demo draws when it gets
    // to it), for up to 30 s.
    auto waitFor = [&](auto wanted) {
        const double start = nowSeconds();
        while (!wanted(look())) {
            if (secondsSince(start) > 30 || !demo.running()) return false;
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
        }
        return true;
    };
    // How many pixels differ from the still of t once the window shows it (or at the time limit).
    auto showsStill = [&](const char* t) {
        size_t differing = SIZE_MAX;
        waitFor([&](const std::string& pixels) {
            differing = differingPixels(pixels, still(t));
            return differing <= DRIVER_PIXELS;
        });
        return differing;
    };
    auto press = [&](const char* key) { x.run({"xdotool", "key", "--window", window, key}); };

    EXPECT_LE(showsStill("040000"), DRIVER_PIXELS);
    press("period");
    EXPECT_LE(showsStill("040016"), DRIVER_PIXELS);
    press("Right");
    EXPECT_LE(showsStill("045016"), DRIVER_PIXELS);
    press("Left");
    press("Left");
    EXPECT_LE(showsStill("035016"), DRIVER_PIXELS);

    // The timeline comes and goes, and leaves the held picture as it was.
    const std::string held = look();
    press("o");
    EXPECT_TRUE(waitFor([&](const std::string& pixels) { return pixels != held; }));
    press("o");
    EXPECT_TRUE(waitFor([&](const std::string& pixels) { return pixels == held; }));

    // 90 %: the closing scene, whose wave has slowed frame by frame.
    press("9");
    EXPECT_LE(showsStill("118800"), DRIVER_PIXELS);
    press("Home");
    EXPECT_EQ(showsStill("000000"), 0u);
    // Space plays: the picture moves on. Space holds: it stays.
    const std::string atZero = look();
    press("space");
    EXPECT_TRUE(waitFor([&](const std::string& pixels) { return pixels != atZero; }));
    press("space");
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    const std::string holding = look();
    std::this_thread::sleep_for(std::chrono::milliseconds(700));
    EXPECT_EQ(look(), holding);

    press("Escape");
    ProcessResult result = demo.wait(20);
    EXPECT_TRUE(result.exited) << result.err;
    EXPECT_EQ(result.status, 0) << result.err;
}
