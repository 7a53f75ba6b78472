#include "shell/player.h"
#include "shell/programme_state.h"

#include <gtest/gtest.h>

namespace {

const char* kindName(PlayerAction::Kind kind)
{
    const char* names[] = {"nothing", "quit", "hold", "resume", "move", "overlay"};
    return names[kind];
}

}  // namespace

// What every key does, running (at the frame on screen) or held, and where
// the player is held afterwards.
TEST(PlayerKeys, HoldResumeSeekAndStepOnTheSixtyFrameGrid)
{
    using A = PlayerAction;
    struct Case {
        bool held;
        uint32_t at;  // the held time, or the frame on screen while running
        int key;
        A::Kind kind;
        uint32_t ms;
        bool heldAfter;
    };
    const Case cases[] = {
        {false, 40000, ' ', A::HOLD, 40000, true},
        {false, 40007, 'p', A::HOLD, 40007, true},
        {true, 40016, ' ', A::RESUME, 40016, false},
        {true, 40016, 'p', A::RESUME, 40016, false},
        // Frames on the grid floor(i * 1000 / 60), from on it or between.
        {true, 40000, '.', A::MOVE, 40016, true},
        {true, 40016, ',', A::MOVE, 40000, true},
        {true, 40005, '.', A::MOVE, 40016, true},
        {true, 40005, ',', A::MOVE, 40000, true},
        {true, 16, ',', A::MOVE, 0, true},
        {true, 0, ',', A::MOVE, 0, true},
        {true, 0, '.', A::MOVE, 16, true},
        {true, 131966, '.', A::MOVE, 131983, true},
        {true, 131983, '.', A::QUIT, 132000, true},
        {false, 40000, '.', A::NOTHING, 0, false},
        {false, 40000, ',', A::NOTHING, 0, false},
        // Seeks from the frame on screen, or from the held time.
        {false, 40000, PLAYER_KEY_RIGHT, A::MOVE, 45000, false},
        {false, 40000, PLAYER_KEY_LEFT, A::MOVE, 35000, false},
        {false, 40000, PLAYER_KEY_UP, A::MOVE, 100000, false},
        {false, 70000, PLAYER_KEY_DOWN, A::MOVE, 10000, false},
        {true, 40016, PLAYER_KEY_RIGHT, A::MOVE, 45016, true},
        {true, 45016, PLAYER_KEY_LEFT, A::MOVE, 40016, true},
        {false, 3000, PLAYER_KEY_LEFT, A::MOVE, 0, false},
        {true, 40000, PLAYER_KEY_DOWN, A::MOVE, 0, true},
        {false, 126999, PLAYER_KEY_RIGHT, A::MOVE, 131999, false},
        {false, 127000, PLAYER_KEY_RIGHT, A::QUIT, 132000, false},
        {true, 100000, PLAYER_KEY_UP, A::QUIT, 132000, true},
        {true, 90000, PLAYER_KEY_HOME, A::MOVE, 0, true},
        {false, 90000, '0', A::MOVE, 0, false},
        {false, 90000, '1', A::MOVE, 13200, false},
        {true, 90000, '5', A::MOVE, 66000, true},
        {false, 90000, '9', A::MOVE, 118800, false},
        {false, 90000, 'o', A::TOGGLE_OVERLAY, 90000, false},
        {true, 90000, 27, A::QUIT, 0, true},
        {false, 90000, 'x', A::NOTHING, 0, false},
        {false, 90000, 'P', A::NOTHING, 0, false},
    };
    for (const Case& c : cases) {
        Player player(c.held ? c.at : 1234, c.held);
        const PlayerAction action = player.press(c.key, c.at);
        const std::string what = std::string(c.held ? "held at " : "running at ") + std::to_string(c.at) + ", key " +
                                 std::to_string(c.key);
        EXPECT_STREQ(kindName(action.kind), kindName(c.kind)) << what;
        if (c.kind != A::NOTHING) {
            EXPECT_EQ(action.ms, c.ms) << what;
        }
        EXPECT_EQ(player.held(), c.heldAfter) << what;
        if (c.heldAfter && c.kind == A::MOVE) {
            EXPECT_EQ(player.heldMs(), c.ms) << what;
        }
    }

    // Steps against the grid itself, over the whole programme.
    for (uint64_t i = 0; programmeFrameTime(i, 60) < 132000; ++i) {
        const uint32_t frame = programmeFrameTime(i, 60), next = programmeFrameTime(i + 1, 60);
        for (uint32_t t = frame; t < next; ++t) ASSERT_EQ(nextGridFrame(t), next) << t;
        for (uint32_t t = frame + 1; t <= next; ++t) ASSERT_EQ(previousGridFrame(t), frame) << t;
    }
}

// The timeline's words: the time as m:ss.mmm with the scenes there, the
// frame rate over the last second, frozen while held.
TEST(Timeline, SaysTheTimeTheScenesAndTheFrameRate)
{
    EXPECT_EQ(overlayLines(40016, 60, true), (std::vector<std::string>{"0:40.016  spiked-tube", "60 fps  paused"}));
    EXPECT_EQ(overlayLines(10400, 59, false),
              (std::vector<std::string>{"0:10.400  credits + twist-column", "59 fps"}));
    EXPECT_EQ(overlayLines(132000, 0, false), (std::vector<std::string>{"2:12.000  -", "0 fps"}));
    EXPECT_EQ(overlayLines(65001, 7, false)[0], "1:05.001  twist-room");

    Player player(0, false);
    for (int i = 0; i < 120; ++i) player.frameShown(i * 10.0);  // 100 frames a second, for 1.2 s
    EXPECT_EQ(player.framesPerSecond(1190), 100);
    EXPECT_EQ(player.framesPerSecond(1690), 50);
    player.press(' ', 5000);
    EXPECT_EQ(player.framesPerSecond(9000), 100);
}
