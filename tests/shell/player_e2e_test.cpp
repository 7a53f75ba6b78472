// The demo as a player over the default data set, in a window as large as the
// screen: a held frame is the renderer's still of its time, and the keys hold,
// step, seek, show the timeline and quit; a click or a drag on the timeline's
// bar seeks; the end holds; full screen at 4:3 is the renderer's picture with bars.
#include "../data/generated_data_set.h"
#include "files.h"
#include "process.h"

#include <gtest/gtest.h>

#include <map>
#include <memory>
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

// The demo with the controls in an Xvfb of its own, looked at and driven.
struct PlayerRun {
    PlayerRun(const std::string& data, const std::string& stills, int width, int height,
              const std::vector<std::string>& arguments, const std::string& audio)
        : stills(stills), x(width, height)
    {
        std::vector<std::string> argv = {binaryPath("skarvelin")};
        argv.insert(argv.end(), arguments.begin(), arguments.end());
        demo = std::make_unique<Process>(argv, data,
                                         std::map<std::string, std::string>{{"DISPLAY", x.display()},
                                                                            {"SDL_AUDIODRIVER", "disk"},
                                                                            {"SDL_DISKAUDIOFILE", audio}});
        window = x.waitForWindow(TITLE);
    }

    std::string look() { return x.windowPixels(window, &shown) ? shown.rgb : std::string(); }
    // The pixels of the still of t where the window is on screen.
    std::string still(const char* t)
    {
        return pictureRegionRgb(stills + "/" + t + ".png", shown.left, shown.top, shown.width, shown.height);
    }
    // Looks at the window until `wanted` says yes (the demo draws when it gets
    // to it), for up to 30 s.
    template <typename Wanted>
    bool waitFor(Wanted wanted)
    {
        const double start = nowSeconds();
        while (!wanted(look())) {
            if (secondsSince(start) > 30 || !demo->running()) return false;
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
        }
        return true;
    }
    // How many pixels differ from the still of t once the window shows it (or at the time limit).
    size_t showsStill(const char* t)
    {
        size_t differing = SIZE_MAX;
        waitFor([&](const std::string& pixels) {
            differing = differingPixels(pixels, still(t));
            return differing <= DRIVER_PIXELS;
        });
        return differing;
    }
    void press(const char* key) { x.run({"xdotool", "key", "--window", window, key}); }
    void mouse(const std::vector<std::string>& actions)
    {
        std::vector<std::string> argv = {"xdotool"};
        argv.insert(argv.end(), actions.begin(), actions.end());
        x.run(argv);
    }

    std::string stills;
    Xvfb x;
    std::unique_ptr<Process> demo;
    std::string window;
    Xvfb::WindowPixels shown;
};

}  // namespace

TEST(Player, HeldFramesAreTheStillsOfTheirTimesAndTheKeysHoldStepAndSeek)
{
    std::string failure;
    const std::string data = generatedDataSet(&failure);
    ASSERT_FALSE(data.empty()) << failure;
    TempDir scratch;
    ProcessResult stills = runProcess({binaryPath("skarvelin-render"), "--size", "640x480", "--times",
                                       "40000,40016,45016,35016,66000,99000,118800,0", "--fps", "60", "--png",
                                       scratch / "stills"},
                                      data, {}, 120);
    ASSERT_EQ(stills.status, 0) << stills.err;

    PlayerRun run(data, scratch / "stills", 640, 480, {"--controls", "--from", "40000", "--paused"},
                  scratch / "audio.raw");
    ASSERT_TRUE(run.x.ok());
    ASSERT_FALSE(run.window.empty()) << run.demo->errorSoFar();
    auto look = [&] { return run.look(); };
    auto waitFor = [&](auto wanted) { return run.waitFor(wanted); };
    auto showsStill = [&](const char* t) { return run.showsStill(t); };
    auto press = [&](const char* key) { run.press(key); };

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
    // A click on the middle of its bar (8 px in from either side of a window
    // 640 wide, 34 to 44 px above the bottom) seeks to the middle of the
    // programme; a drag from a quarter to three quarters, to 99000.
    const std::string window = run.window;
    run.mouse({"mousemove", "--window", window, "320", "440", "click", "1"});
    press("o");
    EXPECT_LE(showsStill("066000"), DRIVER_PIXELS);
    press("o");
    run.mouse({"mousemove", "--window", window, "164", "440", "mousedown", "1", "mousemove", "--window", window, "300",
               "441", "mousemove", "--window", window, "476", "441", "mouseup", "1"});
    press("o");
    EXPECT_LE(showsStill("099000"), DRIVER_PIXELS);

    // 90 %: the closing scene, whose wave has slowed frame by frame.
    press("9");
    EXPECT_LE(showsStill("118800"), DRIVER_PIXELS);
    press("Home");
    EXPECT_EQ(showsStill("000000"), 0u);
    // P (either case) plays: the picture moves on. Space holds: it stays.
    const std::string atZero = look();
    press("P");
    EXPECT_TRUE(waitFor([&](const std::string& pixels) { return pixels != atZero; }));
    press("space");
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    const std::string holding = look();
    std::this_thread::sleep_for(std::chrono::milliseconds(700));
    EXPECT_EQ(look(), holding);

    press("q");
    ProcessResult result = run.demo->wait(20);
    EXPECT_TRUE(result.exited) << result.err;
    EXPECT_EQ(result.status, 0) << result.err;
}

// Full screen at 4:3 on a 16:9 screen, started a second and a half before
// the end: the end holds on its last frame and waits, the picture the
// renderer's with its bars. Left goes back from there and holds; a 3D
// frame; a flat one that clears a rectangle of its own; a flat frame byte
// for byte again after full screen is left and taken again; Esc ends it with 0.
TEST(Player, TheEndHoldsAndFullScreenAtFourByThreeIsTheRenderersPicture)
{
    std::string failure;
    const std::string data = generatedDataSet(&failure);
    ASSERT_FALSE(data.empty()) << failure;
    TempDir scratch;
    ProcessResult stills = runProcess({binaryPath("skarvelin-render"), "--size", "1280x720", "--aspect", "4:3",
                                       "--times", "132000,127000,66000,10000,47800", "--fps", "60", "--png",
                                       scratch / "stills"},
                                      data, {}, 120);
    ASSERT_EQ(stills.status, 0) << stills.err;

    PlayerRun run(data, scratch / "stills", 1280, 720, {"-f", "--aspect", "4:3", "--controls", "--from", "130500"},
                  scratch / "audio.raw");
    ASSERT_TRUE(run.x.ok());
    ASSERT_FALSE(run.window.empty()) << run.demo->errorSoFar();
    EXPECT_EQ(run.showsStill("132000"), 0u);
    std::this_thread::sleep_for(std::chrono::seconds(6));
    ASSERT_TRUE(run.demo->running()) << run.demo->errorSoFar();
    EXPECT_EQ(run.showsStill("132000"), 0u);

    run.press("Left");
    EXPECT_LE(run.showsStill("127000"), DRIVER_PIXELS);
    run.press("5");  // the twist room, a 3D frame
    EXPECT_LE(run.showsStill("066000"), DRIVER_PIXELS);
    // The credits with their lower half cleared, a rectangle of the picture's own.
    run.press("Home");
    run.press("Right");
    run.press("Right");
    EXPECT_EQ(run.showsStill("010000"), 0u);
    run.press("4");  // 52800
    run.press("Left");
    EXPECT_EQ(run.showsStill("047800"), 0u);

    int width = 0, height = 0;
    run.press("f");
    const double start = nowSeconds();
    while (run.x.windowSize(run.window, &width, &height) && width == 1280 && secondsSince(start) < 10)
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    EXPECT_EQ(width, 640);
    EXPECT_EQ(height, 480);
    run.press("F");
    EXPECT_EQ(run.showsStill("047800"), 0u);
    EXPECT_TRUE(run.x.windowSize(run.window, &width, &height));
    EXPECT_EQ(width, 1280);

    run.press("Escape");
    ProcessResult result = run.demo->wait(20);
    EXPECT_TRUE(result.exited) << result.err;
    EXPECT_EQ(result.status, 0) << result.err;
}
