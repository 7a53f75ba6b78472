#include "geometry/mesh_grid.h"
#include "scenes/spike_scene.h"

#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <cstdlib>
#include <vector>

TEST(SpikeScript, BeatOffsetLadderDepthAndPhase)
{
    EXPECT_EQ(beatOffsetAt(32331, 777), 777);  // no rule yet: the value is kept
    EXPECT_EQ(beatOffsetAt(32332, 0), 500);
    EXPECT_EQ(beatOffsetAt(33447, 0), 3000);
    // The 33447 rule comes after 33768, 34106 and 34425 and overrides them up to 34599.
    EXPECT_EQ(beatOffsetAt(33448, 0), 1000);
    EXPECT_EQ(beatOffsetAt(34599, 0), 1000);
    EXPECT_EQ(beatOffsetAt(34600, 0), 2500);
    EXPECT_EQ(beatOffsetAt(45999, 0), 14000);

    EXPECT_EQ(spikeDepth(32001, 0), 2);
    EXPECT_EQ(spikeDepth(45999, 14000), 23998);  // 55998 folded once
    EXPECT_EQ(foldSpikeDepth(32000), 32000);
    EXPECT_EQ(foldSpikeDepth(32001), 1);
    EXPECT_NEAR(spikePhase(32001, 0), 21.334, 0.001);
    EXPECT_NEAR(spikePhase(45999, 14000), 39.999, 0.001);

    // Frame by frame over the whole window the camera stays on the drawn part of the tubes.
    int offset = 0, lowest = INT_MAX, highest = INT_MIN;
    for (uint32_t t = 32001; t <= 45999; ++t) {
        offset = beatOffsetAt(t, offset);
        lowest = std::min(lowest, spikeDepth(t, offset));
        highest = std::max(highest, spikeDepth(t, offset));
    }
    EXPECT_EQ(lowest, 2);
    EXPECT_EQ(highest, 31862);
}

namespace {

std::vector<int> draws;
size_t drawn = 0;
int scripted()
{
    return drawn < draws.size() ? draws[drawn++] : static_cast<int>(drawn++);
}

}  // namespace

TEST(SpikeTables, StartColumnsAndFlarePositions)
{
    int table[200];
    buildSpikeColumnStart(table, rand);
    for (int i = 0; i < 200; ++i) {
        EXPECT_TRUE(table[i] >= 0 && table[i] <= 15) << i;
        EXPECT_TRUE(i == 0 || table[i] != table[i - 1]) << i;
    }
    // Entry 1: 4 and 20 both give 5, entry 0's value, so 0 gives 1. Entry 2:
    // (INT_MAX + 2) mod 16 is 1 again (and must not overflow), so the next draw, 5, gives 7.
    draws = {5, 4, 20, 0, INT_MAX};
    drawn = 0;
    buildSpikeColumnStart(table, scripted);
    EXPECT_EQ(table[0], 5);
    EXPECT_EQ(table[1], 1);
    EXPECT_EQ(table[2], 7);

    float flares[200][3];
    buildFlarePositions(flares);
    EXPECT_EQ(flares[0][0], 0.0f);
    EXPECT_EQ(flares[0][1], 700.0f);
    EXPECT_NEAR(flares[1][0], -0.00006, 0.00001);
    EXPECT_NEAR(flares[199][0], -0.002, 0.0001);
    EXPECT_EQ(flares[199][2], 39800.0f);
    for (int i = 0; i < 200; ++i) EXPECT_FLOAT_EQ(flares[i][1], i % 2 ? -700 : 700) << i;
}

TEST(SpikeDisplacement, SpikesGrowFromTheRestTubeAndNeverAccumulate)
{
    MeshVertex* rest = makeCylinderGrid(200, 15, 350, 200, 2, 20);
    MeshVertex* live = makeCylinderGrid(200, 15, 350, 200, 2, 20);
    buildSpikeColumnStart(spikeColumnStart, rand);

    displaceSpikes(2.0f, 200, 15, rest, live);
    int spikes = 0, expected = 0;
    for (int ring = 0; ring <= 200; ++ring) {
        const int start = spikeColumnStart[std::min(ring, 199)];
        if (ring % 2 == 1) expected += (15 - start + 3) / 4;
        for (int c = 0; c < 15; ++c) {
            const MeshVertex &before = rest[ring * 15 + c], &after = live[ring * 15 + c];
            const bool chosen = ring % 2 == 1 && ring < 200 && c >= start && (c - start) % 4 == 0;
            spikes += chosen;
            EXPECT_NEAR(std::hypot(after.x, after.y), chosen ? 700 : 350, 0.01) << ring << "," << c;
            EXPECT_TRUE(after.z == before.z && after.u == before.u && after.v == before.v);
        }
    }
    EXPECT_EQ(spikes, expected);

    // Factor 1 after a frame at factor 2 gives the rest tube back exactly.
    displaceSpikes(1.0f, 200, 15, rest, live);
    for (int i = 0; i < 201 * 15; ++i) EXPECT_TRUE(live[i].x == rest[i].x && live[i].y == rest[i].y) << i;
    delete[] live;
    delete[] rest;
}
