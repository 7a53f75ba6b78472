#include "scenes/sphere_scenes.h"

#include <gtest/gtest.h>

TEST(BlobScript, DivisorCutsAndPersists)
{
    EXPECT_EQ(blobDivisorAt(71080, 1500.0f), 1500.0f);
    EXPECT_EQ(blobDivisorAt(71081, 1500.0f), 1000.0f);
    EXPECT_EQ(blobDivisorAt(71300, 1000.0f), 1000.0f);  // between windows: kept
    EXPECT_EQ(blobDivisorAt(72175, 1000.0f), 1300.0f);
    // A long frame that skipped 71081..71299 keeps 1500 until the next window.
    EXPECT_EQ(blobDivisorAt(71300, 1500.0f), 1500.0f);
    EXPECT_EQ(blobDivisorAt(73046, 1500.0f), 1500.0f);
    EXPECT_EQ(blobDivisorAt(74612, 1500.0f), 1300.0f);
    EXPECT_EQ(blobDivisorAt(79946, 1000.0f), 1300.0f);
    EXPECT_EQ(blobDivisorAt(79947, 1000.0f), 1000.0f);
}

TEST(SpheresScript, CloseUpWindowsAreInclusive)
{
    const uint32_t windows[][2] = {{82636, 82734}, {84398, 84496}, {85277, 85375}, {86247, 86345}, {87945, 88043}};
    for (const auto& w : windows) {
        EXPECT_EQ(spheresDistance(w[0] - 1), 5.0f) << w[0];
        EXPECT_EQ(spheresDistance(w[0]), 2.5f) << w[0];
        EXPECT_EQ(spheresDistance(w[1]), 2.5f) << w[1];
        EXPECT_EQ(spheresDistance(w[1] + 1), 5.0f) << w[1];
    }
}
