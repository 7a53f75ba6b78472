#include "scenes/twist_scenes.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

TEST(TwistColumnCamera, RowsAndTheirSingleMillisecondHoles)
{
    EXPECT_FALSE(twistColumnCameraAt(10126).drawn);
    EXPECT_FALSE(twistColumnCameraAt(17777).drawn);

    // The first row slides lookX from 3.124 down to 0.002, rounded to float.
    TwistColumnCamera first = twistColumnCameraAt(17778);
    EXPECT_TRUE(first.drawn);
    EXPECT_EQ(first.lookX, static_cast<float>(1562 * 0.002));
    EXPECT_FLOAT_EQ(first.lookX, 3.124f);
    EXPECT_EQ(first.distance, 19.0f);
    EXPECT_FLOAT_EQ(twistColumnCameraAt(19339).lookX, 0.002f);
    EXPECT_EQ(twistColumnCameraAt(19339).distance, 19.0f);

    // Each later row looks at the axis from its own distance.
    struct Expect {
        uint32_t t;
        float distance;
    };
    for (Expect e : {Expect{19341, 10}, {19596, 10}, {19598, 39}, {21118, 39}, {21120, 25}, {21374, 25},
                     {21376, 69}, {22770, 69}, {22772, 10}, {23147, 10}, {23149, 19}, {31999, 19}}) {
        TwistColumnCamera camera = twistColumnCameraAt(e.t);
        EXPECT_TRUE(camera.drawn) << e.t;
        EXPECT_EQ(camera.lookX, 0.0f) << e.t;
        EXPECT_EQ(camera.distance, e.distance) << e.t;
    }

    // From 17778 to the end of the scene exactly these milliseconds draw no column.
    std::vector<uint32_t> holes;
    for (uint32_t t = 17778; t <= 31999; ++t)
        if (!twistColumnCameraAt(t).drawn) holes.push_back(t);
    EXPECT_EQ(holes, (std::vector<uint32_t>{19340, 19597, 21119, 21375, 22771, 23148}));
}

TEST(MaskineOverlay, ThresholdsStepTheIndexAndItPersists)
{
    EXPECT_EQ(updateMaskineIndex(10655, 0), 0);
    EXPECT_EQ(updateMaskineIndex(11126, 0), 0);
    EXPECT_EQ(updateMaskineIndex(11127, 0), 1);
    EXPECT_EQ(updateMaskineIndex(17341, 0), 8);
    EXPECT_EQ(updateMaskineIndex(17342, 0), 9);
    EXPECT_EQ(updateMaskineIndex(31999, 0), 9);

    // A time that passes no threshold keeps the index of earlier frames,
    // so the index never falls back (also if the clock is set back).
    EXPECT_EQ(updateMaskineIndex(10700, 9), 9);
    EXPECT_EQ(updateMaskineIndex(11000, 4), 4);

    // Frame by frame, each picture shows from the millisecond after its threshold.
    int index = 0;
    std::vector<uint32_t> changes;
    for (uint32_t t = MASKINE_OVERLAY_AFTER + 1; t <= 31999; ++t) {
        int next = updateMaskineIndex(t, index);
        if (next != index) {
            EXPECT_EQ(next, index + 1) << t;
            changes.push_back(t);
        }
        index = next;
    }
    EXPECT_EQ(changes, (std::vector<uint32_t>{11127, 12012, 12901, 13789, 14215, 14679, 15344, 16453, 17342}));
    EXPECT_EQ(index, 9);
}

TEST(MaskineFlash, RowsHolesAndWindow)
{
    EXPECT_EQ(maskineFlashIndex(25334), -1);
    EXPECT_EQ(maskineFlashIndex(25335), 0);
    EXPECT_EQ(maskineFlashIndex(25997), 0);
    EXPECT_EQ(maskineFlashIndex(25998), 1);
    EXPECT_EQ(maskineFlashIndex(27110), 1);
    EXPECT_EQ(maskineFlashIndex(27112), 2);
    EXPECT_EQ(maskineFlashIndex(27776), 2);
    EXPECT_EQ(maskineFlashIndex(27778), 3);
    EXPECT_EQ(maskineFlashIndex(28439), 3);
    EXPECT_EQ(maskineFlashIndex(28441), 4);
    EXPECT_EQ(maskineFlashIndex(28888), 4);
    EXPECT_EQ(maskineFlashIndex(28890), 5);
    EXPECT_EQ(maskineFlashIndex(29548), 5);
    EXPECT_EQ(maskineFlashIndex(29550), 6);
    EXPECT_EQ(maskineFlashIndex(30663), 6);
    EXPECT_EQ(maskineFlashIndex(30664), -1);
    for (uint32_t hole : {27111u, 27777u, 28440u, 28889u, 29549u}) EXPECT_EQ(maskineFlashIndex(hole), 0) << hole;
}

TEST(TwistRoomOffset, OverlappingRowsTakenInTableOrder)
{
    // Rows 20 and 22 both hold 58200; the later one wins.
    EXPECT_EQ(twistRoomOffsetAt(58200, 0), 9000.0f);
    // Rows 21, 22 and 24 hold 58300.
    EXPECT_EQ(twistRoomOffsetAt(58300, 0), 11000.0f);
    // Only row 23 holds 58818, the millisecond row 24 leaves before row 25 starts.
    EXPECT_EQ(twistRoomOffsetAt(58818, 0), 12000.0f);
    EXPECT_EQ(twistRoomOffsetAt(58830, 0), 12310.0f);

    EXPECT_EQ(twistRoomOffsetAt(58102, 0), 11000.0f);
    EXPECT_EQ(twistRoomOffsetAt(58111, 0), 11000.0f);
    EXPECT_EQ(twistRoomOffsetAt(58112, 0), 9000.0f);
    EXPECT_EQ(twistRoomOffsetAt(58298, 0), 9000.0f);
    EXPECT_EQ(twistRoomOffsetAt(58299, 0), 11000.0f);
    EXPECT_EQ(twistRoomOffsetAt(58817, 0), 11000.0f);
    EXPECT_EQ(twistRoomOffsetAt(58819, 0), 12310.0f);
    EXPECT_EQ(twistRoomOffsetAt(58968, 0), 12310.0f);
}

TEST(TwistRoomOffset, HolesKeepThePreviousFramesOffset)
{
    // Before the first row the offset is whatever it was: 0 at the start of the run.
    EXPECT_EQ(twistRoomOffsetAt(53313, 0), 0.0f);
    EXPECT_EQ(twistRoomOffsetAt(53607, 0), 0.0f);
    EXPECT_EQ(twistRoomOffsetAt(53608, 0), 2000.0f);

    EXPECT_EQ(twistRoomOffsetAt(53867, 2000), 2000.0f);
    EXPECT_EQ(twistRoomOffsetAt(53867, 7.5f), 7.5f);
    EXPECT_EQ(twistRoomOffsetAt(53868, 2000), 1000.0f);
    EXPECT_EQ(twistRoomOffsetAt(59193, 14000), 14000.0f);
    EXPECT_EQ(twistRoomOffsetAt(64749, 3000), 3000.0f);
    EXPECT_EQ(twistRoomOffsetAt(65728, 1000), 1000.0f);
    EXPECT_EQ(twistRoomOffsetAt(65728, 4000), 4000.0f);
    EXPECT_EQ(twistRoomOffsetAt(65729, 1000), 500.0f);
    EXPECT_EQ(twistRoomOffsetAt(66517, 1000), 500.0f);

    // Run through the scene a millisecond at a time: a frame keeps its offset
    // only in the gaps between rows, which are single milliseconds.
    float offset = 0;
    int kept = 0;
    for (uint32_t t = 53608; t <= 66517; ++t) {
        float next = twistRoomOffsetAt(t, offset);
        if (twistRoomOffsetAt(t, -1) == -1) {
            ++kept;
            EXPECT_EQ(next, offset) << t;
            EXPECT_NE(twistRoomOffsetAt(t - 1, -1), -1) << "two milliseconds without a row at " << t;
        }
        offset = next;
    }
    EXPECT_EQ(kept, 38);  // 44 rows, 6 of them overlapping
    EXPECT_EQ(offset, 500.0f);
}

TEST(TwistRoomOverlay, SevenOstWindows)
{
    struct Window {
        uint32_t first, last;
        int index;
    };
    const Window windows[] = {{53744, 54636, 10}, {55520, 55857, 11}, {57305, 58191, 12}, {59085, 60859, 13},
                              {61749, 62636, 14}, {62966, 64412, 15}, {65301, 66190, 16}};
    for (const Window& w : windows) {
        EXPECT_EQ(twistRoomOverlayIndex(w.first - 1), -1) << w.first;
        EXPECT_EQ(twistRoomOverlayIndex(w.first), w.index);
        EXPECT_EQ(twistRoomOverlayIndex((w.first + w.last) / 2), w.index);
        EXPECT_EQ(twistRoomOverlayIndex(w.last), w.index);
        EXPECT_EQ(twistRoomOverlayIndex(w.last + 1), -1) << w.last;
    }
    EXPECT_EQ(twistRoomOverlayIndex(53313), -1);
    EXPECT_EQ(twistRoomOverlayIndex(66517), -1);
}
