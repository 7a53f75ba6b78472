#include "bench.h"
#include "capture.h"
#include "contact_sheet.h"
#include "options.h"
#include "video_writer.h"
#include "yuv_frame.h"

#include "shell/schedule.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <utility>
#include <vector>

// The 4:3 picture sits centred; where the bars cannot split evenly the right
// (or bottom) one takes the odd pixel.
TEST(RenderUnits, TheFourByThreePictureIsCentredWithTheOddPixelRightOrBelow)
{
    struct Case {
        int width, height;
        bool fourByThree;
        int x, y, areaWidth, areaHeight;
    };
    const Case cases[] = {
        {640, 480, false, 0, 0, 640, 480},      {1920, 1080, false, 0, 0, 1920, 1080},
        {1920, 1080, true, 240, 0, 1440, 1080}, {97, 48, true, 16, 0, 64, 48},
        {640, 600, true, 0, 60, 640, 480},      {640, 481, true, 0, 0, 640, 480},
        {640, 480, true, 0, 0, 640, 480},       {1, 1, true, 0, 0, 1, 1},
    };
    for (const Case& c : cases) {
        const PictureArea area = pictureArea(c.width, c.height, c.fourByThree);
        EXPECT_EQ(std::vector<int>({area.x, area.y, area.width, area.height}),
                  std::vector<int>({c.x, c.y, c.areaWidth, c.areaHeight}))
            << c.width << "x" << c.height << (c.fourByThree ? " 4:3" : "");
    }
}

// Nearest-rank percentiles and the median of the bench lines; the frame times
// of a run at 60 fps.
TEST(RenderUnits, PercentilesAreNearestRankAndFramesFallOnTheRunsGrid)
{
    const std::vector<double> times = {5, 1, 4, 2, 3};
    EXPECT_EQ(percentile(times, 0.95), 5);
    EXPECT_EQ(percentile(times, 0.5), 3);
    // 0.28 * 25 comes out a hair over 7 in doubles: still the seventh value.
    std::vector<double> many;
    for (int i = 25; i >= 1; --i) many.push_back(i);
    EXPECT_EQ(percentile(many, 0.28), 7);
    EXPECT_EQ(percentile(times, 0.0), 1);
    EXPECT_EQ(percentile({}, 0.5), 0);
    EXPECT_EQ(median({4, 1, 3, 2}), 2.5);

    RenderOptions options;
    options.from = 1000;
    options.to = 1050;
    EXPECT_EQ(frameTimes(options), (std::vector<uint32_t>{1000, 1016, 1033, 1050}));
}

// BT.709 at video range, the picture's rows read bottom up, black bars.
TEST(RenderUnits, YuvFramesAreBt709WithTheTopRowFirstAndBlackBars)
{
    YuvFrameMaker maker(4, 2, PictureArea{2, 0, 2, 2});
    // Bottom row white, top row red, as OpenGL reads them back.
    const unsigned char picture[] = {255, 255, 255, 255, 255, 255, 255, 255, 255, 0, 0, 255, 255, 0, 0, 255};
    const std::vector<unsigned char>& frame = maker.make(picture);
    ASSERT_EQ(frame.size(), 12u);
    EXPECT_EQ(std::vector<unsigned char>(frame.begin(), frame.begin() + 8),
              (std::vector<unsigned char>{16, 16, 63, 63, 16, 16, 235, 235}));
    // U and V: black bars at 128; red and white averaged.
    EXPECT_EQ(std::vector<unsigned char>(frame.begin() + 8, frame.end()),
              (std::vector<unsigned char>{128, 115, 128, 184}));
}

// Where ffmpeg's frame-size check stops a video, as ffmpeg 5.1 does it: each
// pair is the last even size it takes and the next one it refuses.
TEST(RenderUnits, VideoSizesStopWhereFfmpegsFrameSizeCheckStops)
{
    struct Case {
        int width, height;
        bool taken;
    };
    const Case cases[] = {
        {16384, 16128, true}, {16384, 16130, false}, {16128, 16384, true}, {16130, 16384, false},
        {16322, 16190, true}, {16322, 16192, false}, {16384, 8192, true},  {2, 2, true},
    };
    for (const Case& c : cases) EXPECT_EQ(videoTakesSize(c.width, c.height), c.taken) << c.width << "x" << c.height;
    EXPECT_EQ(largestVideoHeight(16384), 16128);
    EXPECT_EQ(largestVideoWidth(16384), 16128);
    EXPECT_EQ(largestVideoHeight(16322), 16190);
}

// The contact sheet: every scene's start and the 4-second grid where a scene
// draws, none a near repeat of a start; pictures scaled by area; a grid at
// least 1200 pixels wide whose cells do not touch.
TEST(RenderUnits, TheSheetShowsEveryScenesStartAndTheGridScaledByArea)
{
    const std::vector<uint32_t> times = sheetTimes();
    EXPECT_GE(times.size(), 35u);
    EXPECT_LE(times.size(), 45u);
    EXPECT_TRUE(std::is_sorted(times.begin(), times.end()));
    for (const ScheduleRow& row : SCHEDULE) EXPECT_EQ(std::count(times.begin(), times.end(), row.first), 1) << row.name;
    for (uint32_t t : times) EXPECT_NE(sceneNamesAt(t), "") << t;
    // 32000 draws no scene, 4000 and 68000 come soon after a start, 8000 and 128000 do not.
    for (uint32_t t : {4000u, 32000u, 52000u, 68000u, 132000u})
        EXPECT_EQ(std::count(times.begin(), times.end(), t), 0) << t;
    for (uint32_t t : {8000u, 44000u, 128000u}) EXPECT_EQ(std::count(times.begin(), times.end(), t), 1) << t;
    EXPECT_EQ(sceneNamesAt(10126), "credits + twist-column");

    struct Scale {
        int fromWidth, fromHeight, width, height;
        std::vector<unsigned char> in, out;  // one channel shown, the others the same
    };
    const Scale scales[] = {
        {2, 2, 1, 1, {10, 20, 30, 41}, {25}},      // the mean, rounded to nearest
        {3, 1, 2, 1, {0, 90, 180}, {30, 150}},     // the middle pixel half in each
        {3, 1, 3, 1, {0, 90, 180}, {0, 90, 180}},  // the same size: unchanged
        {1, 3, 1, 2, {0, 90, 180}, {30, 150}},     // down as across
        {4, 1, 1, 1, {255, 255, 255, 254}, {255}},
    };
    for (const Scale& c : scales) {
        std::vector<unsigned char> rgb, expected;
        for (unsigned char v : c.in) rgb.insert(rgb.end(), {v, v, static_cast<unsigned char>(255 - v)});
        for (unsigned char v : c.out) expected.insert(expected.end(), {v, v, static_cast<unsigned char>(255 - v)});
        EXPECT_EQ(scaleDown(rgb, c.fromWidth, c.fromHeight, c.width, c.height), expected)
            << c.fromWidth << "x" << c.fromHeight << " to " << c.width << "x" << c.height;
    }

    for (auto [stillWidth, stillHeight] : {std::pair{640, 480}, {1280, 720}, {240, 240}}) {
        const SheetLayout layout = sheetLayout(stillWidth, stillHeight, times.size());
        EXPECT_GE(layout.width, 1200);
        EXPECT_EQ(layout.pictureWidth, 240);
        EXPECT_EQ(layout.pictureHeight, 240 * stillHeight / stillWidth);
        const size_t last = times.size() - 1;
        EXPECT_LE(layout.pictureX(last) + layout.pictureWidth, layout.width);
        EXPECT_LE(layout.pictureY(last) + layout.pictureHeight, layout.height);
        // Neighbours leave room for a frame and, below, for the labels.
        EXPECT_GE(layout.pictureX(1) - (layout.pictureX(0) + layout.pictureWidth), 2);
        EXPECT_GE(layout.pictureY(layout.columns) - (layout.pictureY(0) + layout.pictureHeight), 30);
    }
}
