#include "geometry/pi.h"
#include "geometry/sphere.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

namespace {

constexpr double DEG = PI / 180.0;

void expectUnit(const float* v, double longitudeDeg, double latitudeDeg)
{
    EXPECT_NEAR(v[0], std::cos(longitudeDeg * DEG) * std::cos(latitudeDeg * DEG), 1e-7);
    EXPECT_NEAR(v[1], std::sin(latitudeDeg * DEG), 1e-7);
    EXPECT_NEAR(v[2], std::sin(longitudeDeg * DEG) * std::cos(latitudeDeg * DEG), 1e-7);
}

bool cacheEqualsBackup()
{
    for (int e = 0; e < SPHERE_CACHE_ENTRIES; ++e)
        for (int c = 0; c < 6; ++c)
            if (sphereCache[e][c] != sphereCacheBackup[e][c]) return false;
    return true;
}

// The cache is process-wide: each test starts from an empty one and leaves it empty.
class SphereCache : public ::testing::Test {
protected:
    void SetUp() override { resetSphereCache(); }
    void TearDown() override { resetSphereCache(); }
};
using BlobDeformation = SphereCache;

}  // namespace

// Entries 1 ... 1275 hold strips south to north, 51 columns each; entry 0 stays zero.
TEST_F(SphereCache, FiftySegmentLayout)
{
    buildSphereCache(50);
    EXPECT_EQ(sphereCacheBuilt, 1);
    EXPECT_EQ(sphereCacheSegments, 50);
    EXPECT_EQ(sphereCacheIndex(50, 0, 0), 1);
    EXPECT_EQ(sphereCacheIndex(50, 24, 50), SPHERE_CACHE_ENTRIES - 1);

    for (float c : sphereCache[0]) EXPECT_EQ(c, 0);

    // Strip 0, column 0: from the south pole up to ring 1 (-82.8 degrees), along +x.
    expectUnit(&sphereCache[1][0], 0, -82.8);
    expectUnit(&sphereCache[1][3], 0, -90);

    // Strip 12, column 13 (entry 626): 93.6 degrees round, from ring 12 at -3.6 degrees up to ring 13 at +3.6.
    ASSERT_EQ(sphereCacheIndex(50, 12, 13), 626);
    expectUnit(&sphereCache[626][0], 93.6, 3.6);
    expectUnit(&sphereCache[626][3], 93.6, -3.6);

    // The last entry: column 50 closes the seam at the north pole.
    expectUnit(&sphereCache[1275][0], 360, 90);
    expectUnit(&sphereCache[1275][3], 360, 82.8);

    // Column 50 repeats column 0 in every strip, and every vector has unit length.
    for (int i = 0; i < 25; ++i) {
        const float* seamStart = sphereCache[sphereCacheIndex(50, i, 0)];
        const float* seamEnd = sphereCache[sphereCacheIndex(50, i, 50)];
        for (int c = 0; c < 6; ++c) EXPECT_NEAR(seamStart[c], seamEnd[c], 1e-6) << i << " " << c;
    }
    for (int e = 1; e < SPHERE_CACHE_ENTRIES; ++e)
        for (int half = 0; half < 2; ++half) {
            const float* v = &sphereCache[e][half * 3];
            EXPECT_NEAR(std::sqrt(double(v[0]) * v[0] + double(v[1]) * v[1] + double(v[2]) * v[2]), 1.0, 1e-6);
        }
    EXPECT_TRUE(cacheEqualsBackup());
}

TEST_F(BlobDeformation, AmplitudeZeroRestoresAndDeformationsDoNotAccumulate)
{
    buildSphereCache(50);
    deformBlob(0.5f, 0.3f, 0.2f, 0.7f, 1.0f);
    EXPECT_FALSE(cacheEqualsBackup());
    deformBlob(0.5f, 0.3f, 0.2f, 0.0f, 3.0f);
    EXPECT_TRUE(cacheEqualsBackup());

    deformBlobUnclamped(0.5f, 0.3f, 0.2f, 0.2f, 2.0f);
    float once[SPHERE_CACHE_ENTRIES][6];
    std::copy(&sphereCache[0][0], &sphereCache[0][0] + SPHERE_CACHE_ENTRIES * 6, &once[0][0]);
    deformBlobUnclamped(0.5f, 0.3f, 0.2f, 0.2f, 2.0f);
    for (int e = 0; e < SPHERE_CACHE_ENTRIES; ++e)
        for (int c = 0; c < 6; ++c) ASSERT_EQ(sphereCache[e][c], once[e][c]);

    restoreSphere();
    EXPECT_TRUE(cacheEqualsBackup());
    // The backup itself is never touched by the deformers.
    expectUnit(&sphereCacheBackup[626][0], 93.6, 3.6);
}

// The blob's amplitude pushes components past 1; the clamped variant keeps them
// in [-1, 1] and turns not-a-number into 1.
TEST_F(BlobDeformation, ClampKeepsTheCubeAndCatchesNotANumber)
{
    buildSphereCache(50);
    deformBlobUnclamped(0.5f, 0.3f, 0.2f, 0.7f, 0.4f);
    float largest = 0;
    for (auto& entry : sphereCache)
        for (float c : entry) largest = std::max(largest, std::fabs(c));
    EXPECT_GT(largest, 1.0f);

    deformBlob(0.5f, 0.3f, 0.2f, 0.7f, 0.4f);
    bool reachedFace = false;
    for (auto& entry : sphereCache)
        for (float c : entry) {
            ASSERT_GE(c, -1.0f);
            ASSERT_LE(c, 1.0f);
            reachedFace = reachedFace || std::fabs(c) == 1.0f;
        }
    EXPECT_TRUE(reachedFace);

    // A zero divisor makes 0/0 at entry 0, a not-a-number factor: clamped to 1, left as is without the clamp.
    deformBlob(0.0f, 0.3f, 0.2f, 0.7f, 0.4f);
    for (float c : sphereCache[0]) EXPECT_EQ(c, 1.0f);
    deformBlobUnclamped(0.0f, 0.3f, 0.2f, 0.7f, 0.4f);
    for (float c : sphereCache[0]) EXPECT_TRUE(std::isnan(c));
}
