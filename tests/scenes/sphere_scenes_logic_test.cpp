#include "scenes/sphere_scenes.h"

#include <gtest/gtest.h>

TEST(BlobScript, DivisorCutsAndPersists)
{
    // Frames that land in every window.
    float divisor = 1500.0f;
    divisor = blobDivisorAt(67523, divisor);
    EXPECT_EQ(divisor, 1500.0f);
    divisor = blobDivisorAt(71080, divisor);
    EXPECT_EQ(divisor, 1500.0f);
    EXPECT_NEAR(71080 / divisor, 47.39, 0.01);
    divisor = blobDivisorAt(71081, divisor);
    EXPECT_EQ(divisor, 1000.0f);
    divisor = blobDivisorAt(71300, divisor);  // past the window: kept
    EXPECT_EQ(divisor, 1000.0f);
    divisor = blobDivisorAt(72174, divisor);
    EXPECT_EQ(divisor, 1000.0f);
    divisor = blobDivisorAt(72175, divisor);
    EXPECT_EQ(divisor, 1300.0f);
    divisor = blobDivisorAt(81510, divisor);
    EXPECT_EQ(divisor, 1300.0f);

    // A long frame that skips 71081..71299 keeps 1500 until the next window.
    divisor = blobDivisorAt(71000, 1500.0f);
    divisor = blobDivisorAt(71300, divisor);
    EXPECT_EQ(divisor, 1500.0f);
    divisor = blobDivisorAt(73046, divisor);
    EXPECT_EQ(divisor, 1500.0f);
    EXPECT_EQ(blobDivisorAt(74612, 1000.0f), 1300.0f);
    EXPECT_EQ(blobDivisorAt(74927, 1000.0f), 1000.0f);
    EXPECT_EQ(blobDivisorAt(79946, 1000.0f), 1300.0f);
    EXPECT_EQ(blobDivisorAt(79947, 1000.0f), 1000.0f);
}

TEST(SpheresScript, CloseUpWindowsAreInclusive)
{
    EXPECT_EQ(spheresDistance(81680), 5.0f);
    EXPECT_EQ(spheresDistance(82635), 5.0f);
    EXPECT_EQ(spheresDistance(82636), 2.5f);
    EXPECT_EQ(spheresDistance(82700), 2.5f);
    EXPECT_EQ(spheresDistance(82734), 2.5f);
    EXPECT_EQ(spheresDistance(82735), 5.0f);

    const uint32_t windows[][2] = {{84398, 84496}, {85277, 85375}, {86247, 86345}, {87945, 88043}};
    for (const auto& w : windows) {
        EXPECT_EQ(spheresDistance(w[0] - 1), 5.0f) << w[0];
        EXPECT_EQ(spheresDistance(w[0]), 2.5f) << w[0];
        EXPECT_EQ(spheresDistance(w[1]), 2.5f) << w[1];
        EXPECT_EQ(spheresDistance(w[1] + 1), 5.0f) << w[1];
    }
    EXPECT_EQ(spheresDistance(88392), 5.0f);
}
