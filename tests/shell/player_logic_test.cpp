#include "shell/player.h"
#include "shell/programme_state.h"
#include "shell/schedule.h"

#include <gtest/gtest.h>

namespace {

const char* kindName(PlayerAction::Kind kind)
{
    const char* names[] = {"nothing", "quit", "hold", "resume", "move", "overlay", "full screen", "mute"};
    return names[kind];
}

}  // namespace

// What every key does, running (at its time) or held, and where the player
// is held afterwards.
TEST(PlayerKeys, HoldResumeSeekAndStepOnTheSixtyFrameGrid)
{
    using A = PlayerAction;
    struct Case {
        bool held;
        uint32_t at;  // the held time, or where the running programme is
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
        {false, 40000, '.', A::NOTHING, 0, false},
        {false, 40000, ',', A::NOTHING, 0, false},
        // Seeks from where the programme is, or from the held time.
        {false, 40000, PLAYER_KEY_RIGHT, A::MOVE, 45000, false},
        {false, 40000, PLAYER_KEY_LEFT, A::MOVE, 35000, false},
        {false, 40000, PLAYER_KEY_UP, A::MOVE, 100000, false},
        {false, 70000, PLAYER_KEY_DOWN, A::MOVE, 10000, false},
        {true, 40016, PLAYER_KEY_RIGHT, A::MOVE, 45016, true},
        {true, 45016, PLAYER_KEY_LEFT, A::MOVE, 40016, true},
        {false, 3000, PLAYER_KEY_LEFT, A::MOVE, 0, false},
        {true, 40000, PLAYER_KEY_DOWN, A::MOVE, 0, true},
        {false, 126999, PLAYER_KEY_RIGHT, A::MOVE, 131999, false},
        {true, 90000, PLAYER_KEY_HOME, A::MOVE, 0, true},
        {false, 90000, '0', A::MOVE, 0, false},
        {false, 90000, '1', A::MOVE, 13200, false},
        {true, 90000, '5', A::MOVE, 66000, true},
        {false, 90000, '9', A::MOVE, 118800, false},
        // The end: a step, a seek or a jump to it or past it holds there;
        // from there the keys work, and play starts from the beginning.
        {true, 131983, '.', A::HOLD, 132000, true},
        {false, 127000, PLAYER_KEY_RIGHT, A::HOLD, 132000, true},
        {true, 100000, PLAYER_KEY_UP, A::HOLD, 132000, true},
        {true, 132000, '.', A::HOLD, 132000, true},
        {true, 132000, PLAYER_KEY_RIGHT, A::HOLD, 132000, true},
        {true, 132000, ',', A::MOVE, 131983, true},
        {true, 132000, PLAYER_KEY_LEFT, A::MOVE, 127000, true},
        {true, 132000, ' ', A::RESUME, 0, false},
        {true, 132000, 'P', A::RESUME, 0, false},
        // The other keys, letters in either case.
        {false, 90000, 'o', A::TOGGLE_OVERLAY, 90000, false},
        {true, 90000, 'O', A::TOGGLE_OVERLAY, 90000, true},
        {false, 90000, 'f', A::TOGGLE_FULL_SCREEN, 90000, false},
        {true, 90000, 'F', A::TOGGLE_FULL_SCREEN, 90000, true},
        {false, 90000, 'm', A::TOGGLE_MUTE, 90000, false},
        {true, 90000, 'M', A::TOGGLE_MUTE, 90000, true},
        {false, 40000, 'P', A::HOLD, 40000, true},
        {true, 90000, 27, A::QUIT, 0, true},
        {false, 90000, 'q', A::QUIT, 0, false},
        {true, 90000, 'Q', A::QUIT, 0, true},
        {false, 90000, 'x', A::NOTHING, 0, false},
        {false, 90000, 'X', A::NOTHING, 0, false},
    };
    for (const Case& c : cases) {
        Player player(c.at, c.held);
        player.start(500.0);
        const PlayerAction action = player.press(c.key, 500.0);
        const std::string what = std::string(c.held ? "held at " : "running at ") + std::to_string(c.at) + ", key " +
                                 std::to_string(c.key);
        EXPECT_STREQ(kindName(action.kind), kindName(c.kind)) << what;
        if (c.kind != A::NOTHING) {
            EXPECT_EQ(action.ms, c.ms) << what;
        }
        EXPECT_EQ(player.held(), c.heldAfter) << what;
        if (c.kind == A::MOVE || c.kind == A::HOLD || c.kind == A::RESUME) {
            EXPECT_EQ(player.positionMs(500.0), c.ms) << what;
        }
    }

    // Steps against the grid itself, over the whole programme.
    for (uint64_t i = 0; programmeFrameTime(i, 60) < 132000; ++i) {
        const uint32_t frame = programmeFrameTime(i, 60), next = programmeFrameTime(i + 1, 60);
        for (uint32_t t = frame; t < next; ++t) ASSERT_EQ(nextGridFrame(t), next) << t;
        for (uint32_t t = frame + 1; t <= next; ++t) ASSERT_EQ(previousGridFrame(t), frame) << t;
        for (uint32_t t = frame; t <= next; ++t) ASSERT_EQ(nearestGridFrame(t), t - frame <= next - t ? frame : next);
    }
}

// Keys that come before the next frame, or while a slow frame is drawn, each
// act on where the key before left the programme: a burst of N x Right is
// +5N s, and moves that net zero net zero, running or held. Running, the
// programme goes on by the wall-clock time between the keys.
TEST(PlayerKeys, EveryKeyMovesOnFromWhereTheKeyBeforeLeftTheProgramme)
{
    using A = PlayerAction;
    for (bool held : {false, true}) {
        SCOPED_TRACE(held ? "held" : "running");
        Player burst(14000, held);
        burst.start(1000.0);
        for (int i = 0; i < 4; ++i) burst.press(PLAYER_KEY_RIGHT, 1000.0);
        EXPECT_EQ(burst.positionMs(1000.0), 34000);
        burst.press(PLAYER_KEY_LEFT, 1000.0);
        EXPECT_EQ(burst.positionMs(1000.0), 29000);

        // Hold, on, play, back, a minute on and back, thirty times at once.
        Player mixed(60000, held);
        mixed.start(0.0);
        for (int round = 0; round < 30; ++round)
            for (int key : {int(' '), PLAYER_KEY_RIGHT, int(' '), PLAYER_KEY_LEFT, PLAYER_KEY_UP, PLAYER_KEY_DOWN})
                mixed.press(key, 0.0);
        EXPECT_EQ(mixed.positionMs(0.0), 60000);
        EXPECT_EQ(mixed.held(), held);
    }

    // Autorepeat every 30 ms while a frame takes a second to draw: each
    // repeat counts, and so does the time the programme ran meanwhile.
    Player repeat(20000, false);
    repeat.start(0.0);
    for (int i = 1; i <= 10; ++i) repeat.press(PLAYER_KEY_RIGHT, i * 30.0);
    EXPECT_EQ(repeat.positionMs(1000.0), 20000 + 10 * 5000 + 1000);

    // Played into the end: held on the end itself (a frame at exactly the
    // end is still drawn running); Left goes back from there and holds, play
    // starts again from 0.
    Player ending(131000, false);
    ending.start(0.0);
    EXPECT_FALSE(ending.holdIfPastEnd(1000.0));
    EXPECT_FALSE(ending.held());
    EXPECT_TRUE(ending.holdIfPastEnd(1000.5 + 1));
    EXPECT_TRUE(ending.held());
    EXPECT_EQ(ending.positionMs(5000.0), 132000);
    EXPECT_FALSE(ending.holdIfPastEnd(6000.0));
    const A back = ending.press(PLAYER_KEY_LEFT, 7000.0);
    EXPECT_EQ(back.kind, A::MOVE);
    EXPECT_EQ(back.ms, 127000u);
    EXPECT_TRUE(ending.held());
    ending.press(PLAYER_KEY_UP, 7000.0);
    const A again = ending.press(' ', 8000.0);
    EXPECT_EQ(again.kind, A::RESUME);
    EXPECT_EQ(again.ms, 0u);
    EXPECT_EQ(ending.positionMs(8250.0), 250);

    // Running, a key in the last frame past the end acts from the end.
    Player late(131990, false);
    late.start(0.0);
    const A hold = late.press('p', 100.0);
    EXPECT_EQ(hold.kind, A::HOLD);
    EXPECT_EQ(hold.ms, 132000u);
}

// A click on the bar: the time under it on the 60-fps grid, playing or held.
TEST(PlayerKeys, TheTimelinesBarSeeksOnTheGrid)
{
    EXPECT_EQ(timelineTimeAt(-0.5), 0u);
    EXPECT_EQ(timelineTimeAt(0.0), 0u);
    EXPECT_EQ(timelineTimeAt(0.5), 66000u);
    EXPECT_EQ(timelineTimeAt(40007.0 / 132000), 40000u);
    EXPECT_EQ(timelineTimeAt(40009.0 / 132000), 40016u);
    EXPECT_EQ(timelineTimeAt(1.0), 132000u);
    EXPECT_EQ(timelineTimeAt(1.5), 132000u);
    EXPECT_DOUBLE_EQ(timelinePosition(66000), 0.5);

    Player running(10000, false);
    running.start(0.0);
    EXPECT_EQ(running.seek(66000, 100.0).kind, PlayerAction::MOVE);
    EXPECT_EQ(running.positionMs(600.0), 66500);
    Player held(10000, true);
    held.seek(40016, 100.0);
    EXPECT_TRUE(held.held());
    EXPECT_EQ(held.positionMs(600.0), 40016);
    EXPECT_EQ(held.seek(132000, 100.0).kind, PlayerAction::HOLD);
}

// The timeline's words: the time with the programme's length, the scenes
// there by the schedule's names, "paused" while held (no frame rate then),
// the rate over the last second while running, "muted".
TEST(Timeline, SaysTheTimeTheScenesAndHowThePlayerIs)
{
    const std::string spike = SCHEDULE[3].name, credits = SCHEDULE[1].name, twistColumn = SCHEDULE[2].name;
    auto says = [](uint32_t t, int rate, bool held, bool muted) {
        const TimelineText text = timelineText(t, rate, held, muted);
        return std::vector<std::string>{text.time, text.scenes, text.status};
    };
    EXPECT_EQ(says(40016, 60, true, false), (std::vector<std::string>{"0:40.016 / 2:12.000", spike, "paused"}));
    EXPECT_EQ(says(10400, 59, false, true),
              (std::vector<std::string>{"0:10.400 / 2:12.000", credits + " + " + twistColumn, "59 fps  muted"}));
    EXPECT_EQ(says(132000, 0, true, true),
              (std::vector<std::string>{"2:12.000 / 2:12.000", "between scenes", "paused  muted"}));
    EXPECT_EQ(says(0, 0, false, false)[1], "between scenes");
    EXPECT_EQ(says(65001, 7, false, false)[0], "1:05.001 / 2:12.000");

    Player player(0, false);
    for (int i = 0; i < 120; ++i) player.frameShown(i * 10.0);  // 100 frames a second, for 1.2 s
    EXPECT_EQ(player.framesPerSecond(1190), 100);
    EXPECT_EQ(player.framesPerSecond(1690), 50);
}
