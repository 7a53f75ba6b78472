#include "shell/programme_state.h"

#include <gtest/gtest.h>

// A sequence of frames keeps the carried state only from one frame of the run
// from 0 to that run's very next frame; every other pair is caught up.
TEST(NextFrameOfRun, OnlyConsecutiveFramesOfTheRunFollowEachOther)
{
    struct Case {
        uint32_t previous, t;
        int fps;
        bool next;
    };
    const Case cases[] = {
        {0, 16, 60, true},           {16, 33, 60, true},          {117150, 117166, 60, true},
        {16, 34, 60, false},         {16, 50, 60, false},         {17, 33, 60, false},  // 17 is no frame
        {117151, 117167, 60, false}, {117166, 117150, 60, false}, {50000, 50000, 60, false},
        {142, 285, 7, true},         {143, 285, 7, false},        {0, 1000, 1, true},
        {131000, 132000, 1, true},   {999, 1000, 1000, true},     {1000, 1000, 1000, false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(isNextFrameOfRun(c.previous, c.t, c.fps), c.next) << c.previous << " -> " << c.t << " at " << c.fps;
}
