#include "scenes/tunnel_scene.h"
#include "shell/schedule.h"

#include <gtest/gtest.h>

#include <vector>

TEST(TunnelScript, OffsetLadderAndPhase)
{
    EXPECT_EQ(tunnelOffsetAt(88841), 500);
    EXPECT_EQ(tunnelOffsetAt(93722), 500);
    EXPECT_EQ(tunnelOffsetAt(93723), 1500);
    EXPECT_EQ(tunnelOffsetAt(94558), 1500);
    EXPECT_EQ(tunnelOffsetAt(94559), 500);
    EXPECT_EQ(tunnelOffsetAt(109586), 5500);
    std::vector<uint32_t> cuts;
    for (uint32_t t = 88842; t <= 109586; ++t)
        if (tunnelOffsetAt(t) != tunnelOffsetAt(t - 1)) cuts.push_back(t);
    EXPECT_EQ(cuts, (std::vector<uint32_t>{93723, 94559, 97274, 98146, 99920, 100863, 101678, 102040, 103008, 104378,
                                           105229, 107036, 108822, 109152}));

    // The offset is added to t before the scaling.
    EXPECT_EQ(tunnelPhaseAt(101000), static_cast<float>(104000.0 * static_cast<double>(PHASE_SCALE)));
    EXPECT_NEAR(tunnelPhaseAt(101000), 69.333, 0.001);
}

TEST(TunnelScript, FieldOfViewWidensAfter107710)
{
    EXPECT_FALSE(tunnelWidensView(107710));
    EXPECT_EQ(tunnelFieldOfView(107710), 45.0f);
    EXPECT_TRUE(tunnelWidensView(107711));
    EXPECT_EQ(tunnelFieldOfView(107711), static_cast<float>(1.001 * 45));
    EXPECT_NEAR(tunnelFieldOfView(109586), 129.42, 1e-3);
}
