#include "scenes/tunnel_scene.h"
#include "shell/schedule.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

TEST(TunnelOffset, LadderSwitchesOnTheMillisecondItNames)
{
    EXPECT_EQ(tunnelOffsetAt(88841), 500);
    EXPECT_EQ(tunnelOffsetAt(93722), 500);
    EXPECT_EQ(tunnelOffsetAt(93723), 1500);
    EXPECT_EQ(tunnelOffsetAt(94558), 1500);
    EXPECT_EQ(tunnelOffsetAt(94559), 500);
    EXPECT_EQ(tunnelOffsetAt(101000), 3000);
    EXPECT_EQ(tunnelOffsetAt(107035), 2500);
    EXPECT_EQ(tunnelOffsetAt(107036), 6500);
    EXPECT_EQ(tunnelOffsetAt(109151), 2000);
    EXPECT_EQ(tunnelOffsetAt(109152), 5500);
    EXPECT_EQ(tunnelOffsetAt(109586), 5500);

    // Over the whole scene the offset changes exactly at the ladder's starts.
    std::vector<uint32_t> cuts;
    for (uint32_t t = 88842; t <= 109586; ++t)
        if (tunnelOffsetAt(t) != tunnelOffsetAt(t - 1)) cuts.push_back(t);
    EXPECT_EQ(cuts, (std::vector<uint32_t>{93723, 94559, 97274, 98146, 99920, 100863, 101678, 102040, 103008,
                                           104378, 105229, 107036, 108822, 109152}));
}

TEST(TunnelOffset, PhaseAddsTheOffsetBeforeScaling)
{
    EXPECT_EQ(tunnelPhaseAt(101000), static_cast<float>(104000.0 * static_cast<double>(PHASE_SCALE)));
    EXPECT_NEAR(tunnelPhaseAt(101000), 69.333, 0.001);
    EXPECT_NEAR(tunnelPhaseAt(88841), (88841 + 500) / 1500.0, 0.001);
}

TEST(TunnelFieldOfView, WidensAfter107710Only)
{
    EXPECT_FALSE(tunnelWidensView(88841));
    EXPECT_FALSE(tunnelWidensView(107710));
    EXPECT_EQ(tunnelFieldOfView(107710), 45.0f);
    EXPECT_TRUE(tunnelWidensView(107711));
    EXPECT_EQ(tunnelFieldOfView(107711), static_cast<float>(1.001 * 45));
    EXPECT_NEAR(tunnelFieldOfView(107711), 45.045, 1e-4);
    EXPECT_TRUE(tunnelWidensView(109586));
    EXPECT_NEAR(tunnelFieldOfView(109586), 129.42, 1e-3);
}
