#include "geometry/mesh_grid.h"
#include "scenes/bitmap_scene.h"

#include <gtest/gtest.h>

#include <cmath>

TEST(BitmapScript, WaveSpeedAndEndingPictures)
{
    float speed = nextWaveSpeed(117236, 20.0f);
    EXPECT_EQ(speed, 20.0f);
    for (uint32_t frame = 1; frame <= 37; ++frame) speed = nextWaveSpeed(117236 + frame, speed);
    EXPECT_EQ(speed, 1.5f);
    speed = nextWaveSpeed(117300, speed);  // the 38th frame in the window
    EXPECT_EQ(speed, 1.0f);
    EXPECT_EQ(nextWaveSpeed(120999, speed), 1.0f);

    // Ten frames 400 ms apart leave the speed at 15 for the rest of the scene.
    speed = 20.0f;
    for (uint32_t t = 117237; t <= 120999; t += 400) speed = nextWaveSpeed(t, speed);
    EXPECT_EQ(speed, 15.0f);
    EXPECT_EQ(nextWaveSpeed(131026, speed), 15.0f);
    EXPECT_EQ(nextWaveSpeed(50, 0.25f), 1.0f);  // the floor holds outside the window too

    EXPECT_EQ(endingIndexAt(117703, 0), 0);
    EXPECT_EQ(endingIndexAt(119478, 0), 0);
    EXPECT_EQ(endingIndexAt(119479, 0), 1);
    EXPECT_EQ(endingIndexAt(129244, 0), 8);
    EXPECT_EQ(endingIndexAt(129245, 0), 9);
}

TEST(BitmapWave, SurfaceAtPhaseZeroAndItsBounds)
{
    MeshVertex grid[625] = {};
    waveGrid = grid;
    updateWaveSurface(0);
    EXPECT_FLOAT_EQ(columnWave[0], 5);
    EXPECT_NEAR(columnWave[4], -0.292, 0.001);  // 2 * 5 cos 1.6: a trough, doubled
    EXPECT_FLOAT_EQ(grid[0].z, -30);            // base -35, row wave 0, column wave 5
    // Row 6 has a small crest, sin(3.12) * 5; row 7 a trough, doubled.
    EXPECT_NEAR(grid[6 * 25].z - grid[0].z, 5 * std::sin(3.12), 1e-4);
    EXPECT_NEAR(grid[7 * 25].z - grid[0].z, 10 * std::sin(3.64), 1e-4);

    for (float x = -50; x < 1600; x += 0.37f) {
        updateWaveSurface(x);
        for (const MeshVertex& v : grid) ASSERT_TRUE(v.z >= -65 && v.z <= -15 && v.x == 0 && v.u == 0) << x;
    }
    waveGrid = nullptr;
}
