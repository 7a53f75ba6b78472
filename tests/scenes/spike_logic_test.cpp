#include "geometry/mesh_grid.h"
#include "scenes/spike_scene.h"

#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <cstdlib>
#include <vector>

TEST(SpikeScript, BeatOffsetLadderWithItsOutOfOrderRule)
{
    // Before the first threshold the offset keeps whatever it had.
    EXPECT_EQ(beatOffsetAt(32001, 0), 0);
    EXPECT_EQ(beatOffsetAt(32331, 0), 0);
    EXPECT_EQ(beatOffsetAt(32331, 777), 777);
    EXPECT_EQ(beatOffsetAt(32332, 0), 500);

    EXPECT_EQ(beatOffsetAt(33447, 0), 3000);
    // The 33447 rule is tested after 33768, 34106 and 34425, so it wins up to 34599.
    EXPECT_EQ(beatOffsetAt(33448, 0), 1000);
    EXPECT_EQ(beatOffsetAt(33800, 0), 1000);
    EXPECT_EQ(beatOffsetAt(34200, 0), 1000);
    EXPECT_EQ(beatOffsetAt(34599, 0), 1000);
    EXPECT_EQ(beatOffsetAt(34600, 0), 2500);

    EXPECT_EQ(beatOffsetAt(38621, 0), 4000);
    EXPECT_EQ(beatOffsetAt(45198, 0), 12500);
    EXPECT_EQ(beatOffsetAt(45999, 0), 14000);
    EXPECT_EQ(beatOffsetAt(131026, 0), 14000);
}

TEST(SpikeScript, DepthIsDoubledAndFolded)
{
    EXPECT_EQ(spikeDepth(32001, 0), 2);
    EXPECT_EQ(spikeDepth(45999, 14000), 23998);  // 55998 folded once

    EXPECT_EQ(foldSpikeDepth(32000), 32000);
    EXPECT_EQ(foldSpikeDepth(32001), 1);
    EXPECT_EQ(foldSpikeDepth(64001), 1);
    EXPECT_EQ(foldSpikeDepth(2), 2);

    // Over the whole window, following the ladder frame by frame, the camera
    // stays on the drawn part of the tubes.
    int offset = 0, lowest = INT_MAX, highest = INT_MIN;
    for (uint32_t t = 32001; t <= 45999; ++t) {
        offset = beatOffsetAt(t, offset);
        const int d = spikeDepth(t, offset);
        lowest = std::min(lowest, d);
        highest = std::max(highest, d);
    }
    EXPECT_EQ(lowest, 2);
    EXPECT_EQ(highest, 31862);
}

TEST(SpikeScript, PhaseFollowsTheShiftedTime)
{
    EXPECT_NEAR(spikePhase(32001, 0), 21.334, 0.001);
    EXPECT_NEAR(spikePhase(45999, 14000), 39.999, 0.001);
    // A jump of the offset moves the phase with it.
    EXPECT_FLOAT_EQ(spikePhase(33448, 1000), spikePhase(34448, 0));
}

namespace {

std::vector<int> scriptedDraws;
size_t drawsTaken = 0;

int scriptedRand()
{
    return drawsTaken < scriptedDraws.size() ? scriptedDraws[drawsTaken++] : static_cast<int>(drawsTaken++);
}

}  // namespace

TEST(SpikeColumns, StartColumnsNeverRepeatTheirNeighbour)
{
    int table[200];
    buildSpikeColumnStart(table, rand);
    for (int i = 0; i < 200; ++i) {
        EXPECT_GE(table[i], 0) << i;
        EXPECT_LE(table[i], 15) << i;
        if (i > 0) {
            EXPECT_NE(table[i], table[i - 1]) << i;
        }
    }

    // Entry 1 draws 4 (gives 5, as entry 0), then 20 (5 again), then 0 (1).
    // Entry 2 draws the largest value rand can give: (INT_MAX + 2) mod 16 is 1,
    // entry 1 again, so it draws once more and gets (5 + 2) mod 16.
    scriptedDraws = {5, 4, 20, 0, INT_MAX};
    drawsTaken = 0;
    buildSpikeColumnStart(table, scriptedRand);
    EXPECT_EQ(table[0], 5);
    EXPECT_EQ(table[1], 1);
    EXPECT_EQ(table[2], 7);
    EXPECT_EQ(table[3], (6 + 3) % 16);
}

TEST(SpikeFlares, FlaresAlternateAboveAndBelowTheAxis)
{
    float positions[200][3];
    buildFlarePositions(positions);
    EXPECT_EQ(positions[0][0], 0.0f);
    EXPECT_EQ(positions[0][1], 700.0f);
    EXPECT_EQ(positions[0][2], 0.0f);

    EXPECT_NEAR(positions[1][0], -0.00006, 0.00001);
    EXPECT_FLOAT_EQ(positions[1][1], -700);
    EXPECT_EQ(positions[1][2], 200.0f);

    EXPECT_NEAR(positions[199][0], -0.002, 0.0001);
    EXPECT_FLOAT_EQ(positions[199][1], -700);
    EXPECT_EQ(positions[199][2], 39800.0f);

    for (int i = 0; i < 200; ++i) {
        EXPECT_FLOAT_EQ(positions[i][1], i % 2 ? -700 : 700) << i;
        EXPECT_LT(std::fabs(positions[i][0]), 0.05) << i;
    }
}

namespace {

float radius(const MeshVertex& v)
{
    return std::hypot(v.x, v.y);
}

}  // namespace

TEST(SpikeDisplacement, SpikesGrowFromTheRestTubeAndNeverAccumulate)
{
    constexpr int COUNT = 201 * 15;
    MeshVertex* rest = makeCylinderGrid(200, 15, 350, 200, 2, 20);
    MeshVertex* live = makeCylinderGrid(200, 15, 350, 200, 2, 20);
    ASSERT_NE(rest, nullptr);
    buildSpikeColumnStart(spikeColumnStart, rand);
    spikeColumnStart[1] = 0;   // four spikes on ring 1
    spikeColumnStart[3] = 15;  // none on ring 3

    displaceSpikes(2.0f, 200, 15, rest, live);
    int spikes = 0;
    for (int ring = 0; ring <= 200; ++ring) {
        for (int c = 0; c < 15; ++c) {
            const MeshVertex& before = rest[ring * 15 + c];
            const MeshVertex& after = live[ring * 15 + c];
            const bool chosen = ring >= 1 && ring <= 199 && ring % 2 == 1 && c >= spikeColumnStart[ring] &&
                                (c - spikeColumnStart[ring]) % 4 == 0;
            EXPECT_EQ(after.z, before.z);
            EXPECT_EQ(after.u, before.u);
            EXPECT_EQ(after.v, before.v);
            if (chosen) {
                ++spikes;
                EXPECT_NEAR(radius(after), 700, 0.01) << ring << "," << c;
                // Straight out from the axis: the direction is kept.
                EXPECT_FLOAT_EQ(after.x, 2 * before.x);
                EXPECT_FLOAT_EQ(after.y, 2 * before.y);
            } else {
                EXPECT_EQ(after.x, before.x) << ring << "," << c;
                EXPECT_EQ(after.y, before.y) << ring << "," << c;
            }
        }
    }
    int expected = 0;
    for (int ring = 1; ring < 200; ring += 2) expected += (15 - spikeColumnStart[ring] + 3) / 4;
    EXPECT_EQ(spikes, expected);
    EXPECT_NEAR(radius(live[1 * 15 + 12]), 700, 0.01);
    EXPECT_EQ(radius(live[3 * 15 + 12]), radius(rest[3 * 15 + 12]));

    // Factor 1, after a frame at factor 2, gives the rest tube back exactly.
    displaceSpikes(1.0f, 200, 15, rest, live);
    for (int i = 0; i < COUNT; ++i) {
        EXPECT_EQ(live[i].x, rest[i].x) << i;
        EXPECT_EQ(live[i].y, rest[i].y) << i;
    }
}
