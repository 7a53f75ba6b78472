#include "geometry/mesh_grid.h"
#include "scenes/bitmap_scene.h"

#include <gtest/gtest.h>

#include <cmath>

TEST(BitmapScript, WaveSpeedFallsOncePerFrameInsideTheWindow)
{
    float speed = 20.0f;
    speed = nextWaveSpeed(110151, speed);
    EXPECT_EQ(speed, 20.0f);
    speed = nextWaveSpeed(117236, speed);
    EXPECT_EQ(speed, 20.0f);

    speed = nextWaveSpeed(117237, speed);
    EXPECT_EQ(speed, 19.5f);
    for (uint32_t frame = 2; frame <= 38; ++frame) speed = nextWaveSpeed(117236 + frame, speed);
    EXPECT_EQ(speed, 1.0f);
    speed = nextWaveSpeed(117300, speed);
    EXPECT_EQ(speed, 1.0f);
    speed = nextWaveSpeed(120999, speed);
    EXPECT_EQ(speed, 1.0f);
    speed = nextWaveSpeed(131026, speed);
    EXPECT_EQ(speed, 1.0f);

    // Ten slow frames (e.g. 400 ms apart) leave the speed at 15 for good.
    speed = 20.0f;
    for (uint32_t t = 117237; t <= 120999; t += 400) speed = nextWaveSpeed(t, speed);
    EXPECT_EQ(speed, 15.0f);
    speed = nextWaveSpeed(121000, speed);
    speed = nextWaveSpeed(131026, speed);
    EXPECT_EQ(speed, 15.0f);

    // The floor holds in every frame, inside the window or not.
    EXPECT_EQ(nextWaveSpeed(120000, 1.2f), 1.0f);
    EXPECT_EQ(nextWaveSpeed(50, 0.25f), 1.0f);
}

TEST(BitmapScript, EndingPictureLadder)
{
    EXPECT_EQ(ENDING_PICTURES_AFTER, 117702u);
    EXPECT_EQ(endingIndexAt(117703, 0), 0);
    EXPECT_EQ(endingIndexAt(119478, 0), 0);
    EXPECT_EQ(endingIndexAt(119479, 0), 1);
    EXPECT_EQ(endingIndexAt(121254, 0), 2);
    EXPECT_EQ(endingIndexAt(128357, 0), 7);
    EXPECT_EQ(endingIndexAt(129244, 0), 8);
    EXPECT_EQ(endingIndexAt(129245, 0), 9);
    EXPECT_EQ(endingIndexAt(131026, 0), 9);
}

TEST(BitmapWave, SurfaceAtPhaseZeroAndItsBounds)
{
    MeshVertex grid[625] = {};
    waveGrid = grid;

    updateWaveSurface(0);
    EXPECT_FLOAT_EQ(columnWave[0], 5);
    EXPECT_NEAR(columnWave[4], 10 * std::cos(1.6), 1e-5);  // a trough, doubled
    EXPECT_NEAR(columnWave[4], -0.292, 0.001);
    EXPECT_FLOAT_EQ(grid[0].z, -30);             // base -35, row wave 0, column wave 5
    EXPECT_NEAR(grid[4].z, -35.292, 0.001);
    // Row 6: sin(3.12) * 5 is a small crest; row 7: sin(3.64) is a trough, doubled.
    EXPECT_NEAR(grid[6 * 25].z - grid[0].z, 5 * std::sin(3.12), 1e-4);
    EXPECT_NEAR(grid[7 * 25].z - grid[0].z, 10 * std::sin(3.64), 1e-4);

    // Nothing but z is written, and z stays between -65 and -15.
    for (float x = -50; x < 1600; x += 0.37f) {
        updateWaveSurface(x);
        for (const MeshVertex& v : grid) {
            ASSERT_GE(v.z, -65.0f) << x;
            ASSERT_LE(v.z, -15.0f) << x;
            ASSERT_EQ(v.x, 0.0f);
            ASSERT_EQ(v.u, 0.0f);
        }
    }
    waveGrid = nullptr;
}
