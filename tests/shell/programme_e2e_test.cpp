// The whole programme in the windowed demo over the default data set: it plays
// its 132 seconds, draws its scenes into the window, and ends by itself.
#include "../data/generated_data_set.h"
#include "fingerprints.h"
#include "files.h"
#include "process.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>
#include <thread>

namespace {

// The mean brightness of the screen, 0 to 1, as the fingerprints measure it
// (the mean of every channel of every pixel), or -1 if it could not be taken.
double screenBrightness(const Xvfb& x)
{
    ProcessResult shot = runProcess({"import", "-window", "root", "-depth", "8", "rgb:-"}, "",
                                    {{"DISPLAY", x.display()}}, 20);
    if (!shot.exited || shot.status != 0 || shot.out.empty()) return -1;
    double sum = 0;
    for (unsigned char c : shot.out) sum += c;
    return sum / shot.out.size() / 255;
}

// A frame of the reference at least this bright is far from a black screen,
// and a screen at least half as bright shows a scene.
constexpr double BRIGHT = 0.06;

// Between the moment a screenshot is asked for and the moment the frame it
// catches was drawn, and between the programme's end and the moment the
// test sees the process gone, lies at most a frame and the time it takes to
// be scheduled: this much on a machine busy with other work.
constexpr double SLACK_SECONDS = 1.0;

}  // namespace

TEST(Programme, PlaysToTheEndAndExitsByItself)
{
    std::string failure;
    std::string data = generatedDataSet(&failure);
    ASSERT_FALSE(data.empty()) << failure;
    const std::vector<Fingerprint> reference = readFingerprints(fingerprintTablePath(), &failure);
    ASSERT_FALSE(reference.empty()) << failure;
    Xvfb x(640, 480);
    ASSERT_TRUE(x.ok());
    TempDir scratch;

    const double start = nowSeconds();
    Process demo({binaryPath("skarvelin")}, data,
                 {{"DISPLAY", x.display()}, {"SDL_AUDIODRIVER", "disk"}, {"SDL_DISKAUDIOFILE", scratch / "audio.raw"}});
    ASSERT_FALSE(x.waitForWindow("Skarvelin by QARLO6").empty()) << demo.errorSoFar();

    // Screenshots every few seconds while it plays, each with the span of
    // time in which it was taken. How long loading takes is not known in
    // advance, so which milliseconds of the programme a screenshot may show is
    // worked out afterwards, from when the programme ended.
    struct Shot {
        double from, to;  // seconds since the start of the process
        double brightness;
    };
    std::vector<Shot> shots;
    for (double at = 8; at < 110 && demo.running(); at += 4) {
        while (secondsSince(start) < at && demo.running()) std::this_thread::sleep_for(std::chrono::milliseconds(50));
        const double from = secondsSince(start);
        const double brightness = screenBrightness(x);
        if (demo.running() && brightness >= 0) shots.push_back({from, secondsSince(start), brightness});
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
    // before the end, or up to the slack earlier. A screenshot shows a frame
    // of the programme between its earliest and latest time so worked out;
    // where every frame of the reference in that span is bright, the screen
    // must show a scene, not a black screen. (Elsewhere it may be dark: the
    // twist column starts nearly black, and the scenes have gaps between them.)
    const double musicStart = end - 132.0;
    int checked = 0;
    for (const Shot& shot : shots) {
        const double first = (shot.from - musicStart - SLACK_SECONDS) * 1000;
        const double last = (shot.to - musicStart + SLACK_SECONDS) * 1000;
        if (first < 0 || last > reference.back().t) continue;  // the loading, or after the end
        double darkest = 1;
        for (const Fingerprint& frame : reference)
            if (frame.t >= first - 1000.0 / FINGERPRINT_FPS && frame.t <= last + 1000.0 / FINGERPRINT_FPS)
                darkest = std::min(darkest, frame.brightness());
        if (darkest < BRIGHT) continue;
        ++checked;
        EXPECT_GT(shot.brightness, BRIGHT / 2) << "a screenshot taken " << shot.from - musicStart << " to "
                                               << shot.to - musicStart << " s into the programme, where its frames "
                                               << "are " << darkest << " bright at least";
    }
    EXPECT_GE(checked, 3) << "the programme started " << musicStart << " s after the process";
}
