#include "scenes/twist_scenes.h"

#include <gtest/gtest.h>

#include <vector>

TEST(TwistColumnScript, CameraRowsAndHoles)
{
    EXPECT_FALSE(twistColumnCameraAt(17777).drawn);
    TwistColumnCamera first = twistColumnCameraAt(17778);
    EXPECT_TRUE(first.drawn);
    EXPECT_EQ(first.lookX, static_cast<float>(1562 * 0.002));  // 3.124, rounded to float
    EXPECT_EQ(first.distance, 19.0f);
    EXPECT_FLOAT_EQ(twistColumnCameraAt(19339).lookX, 0.002f);
    for (auto [t, distance] : {std::pair{19341u, 10.0f},
                               {19598u, 39.0f},
                               {21374u, 25.0f},
                               {21376u, 69.0f},
                               {23147u, 10.0f},
                               {23149u, 19.0f},
                               {31999u, 19.0f}}) {
        EXPECT_EQ(twistColumnCameraAt(t).lookX, 0.0f) << t;
        EXPECT_EQ(twistColumnCameraAt(t).distance, distance) << t;
    }
    std::vector<uint32_t> holes;
    for (uint32_t t = 17778; t <= 31999; ++t)
        if (!twistColumnCameraAt(t).drawn) holes.push_back(t);
    EXPECT_EQ(holes, (std::vector<uint32_t>{19340, 19597, 21119, 21375, 22771, 23148}));
}

TEST(TwistColumnScript, MaskineIndexStepsAfterEachThresholdAndPersists)
{
    EXPECT_EQ(updateMaskineIndex(17341, 0), 8);
    EXPECT_EQ(updateMaskineIndex(17342, 0), 9);
    EXPECT_EQ(updateMaskineIndex(10700, 9), 9);  // no threshold passed: the index stays
    int index = 0;
    std::vector<uint32_t> changes;
    for (uint32_t t = MASKINE_OVERLAY_AFTER + 1; t <= 31999; ++t) {
        int next = updateMaskineIndex(t, index);
        if (next != index) changes.push_back(t);
        index = next;
    }
    EXPECT_EQ(changes, (std::vector<uint32_t>{11127, 12012, 12901, 13789, 14215, 14679, 15344, 16453, 17342}));
    EXPECT_EQ(index, 9);
}

TEST(TwistColumnScript, FlashRowsAndHoles)
{
    for (auto [t, k] : {std::pair{25334u, -1},
                        {25335u, 0},
                        {25997u, 0},
                        {25998u, 1},
                        {27110u, 1},
                        {27111u, 0},
                        {27112u, 2},
                        {27777u, 0},
                        {27778u, 3},
                        {28440u, 0},
                        {28441u, 4},
                        {28889u, 0},
                        {28890u, 5},
                        {29549u, 0},
                        {29550u, 6},
                        {30663u, 6},
                        {30664u, -1}})
        EXPECT_EQ(maskineFlashIndex(t), k) << t;
}

TEST(TwistRoomScript, OffsetLadderOverlapsAndHoles)
{
    // Where rows 20 to 25 overlap, the row further down the table wins.
    for (auto [t, offset] : {std::pair{58111u, 11000.0f},
                             {58112u, 9000.0f},
                             {58200u, 9000.0f},
                             {58298u, 9000.0f},
                             {58299u, 11000.0f},
                             {58300u, 11000.0f},
                             {58817u, 11000.0f},
                             {58818u, 12000.0f},
                             {58830u, 12310.0f}})
        EXPECT_EQ(twistRoomOffsetAt(t, -1), offset) << t;

    // Before the first row and in the single milliseconds between rows the
    // previous frame's offset stays.
    EXPECT_EQ(twistRoomOffsetAt(53607, 0), 0.0f);
    EXPECT_EQ(twistRoomOffsetAt(53867, 2000), 2000.0f);
    EXPECT_EQ(twistRoomOffsetAt(65728, 1000), 1000.0f);
    EXPECT_EQ(twistRoomOffsetAt(65729, 1000), 500.0f);
    int holes = 0;
    for (uint32_t t = 53608; t <= 66517; ++t)
        if (twistRoomOffsetAt(t, -1) == -1) {
            ++holes;
            EXPECT_NE(twistRoomOffsetAt(t - 1, -1), -1) << "more than a millisecond without a row at " << t;
        }
    EXPECT_EQ(holes, 38);  // between 44 rows, less the six that overlap
}

TEST(TwistRoomScript, SevenOstWindows)
{
    const int windows[][3] = {{53744, 54636, 10}, {55520, 55857, 11}, {57305, 58191, 12}, {59085, 60859, 13},
                              {61749, 62636, 14}, {62966, 64412, 15}, {65301, 66190, 16}};
    for (const auto& w : windows) {
        EXPECT_EQ(twistRoomOverlayIndex(w[0] - 1), -1) << w[0];
        EXPECT_EQ(twistRoomOverlayIndex(w[0]), w[2]);
        EXPECT_EQ(twistRoomOverlayIndex(w[1]), w[2]);
        EXPECT_EQ(twistRoomOverlayIndex(w[1] + 1), -1) << w[1];
    }
}
