// The demo as a player (--controls): the programme runs or is held at a time,
// and keys seek, step and hold it as video players do. This unit is the
// player's state and arithmetic only; main.cpp turns its actions into a
// catch-up, a move of the music and a latch of the clock.
#pragma once

#include <cstdint>
#include <deque>
#include <string>
#include <vector>

// Keys that are not characters, as the player knows them: above every byte, so
// a key is its character or one of these.
constexpr int PLAYER_KEY_LEFT = 0x100;
constexpr int PLAYER_KEY_RIGHT = 0x101;
constexpr int PLAYER_KEY_UP = 0x102;
constexpr int PLAYER_KEY_DOWN = 0x103;
constexpr int PLAYER_KEY_HOME = 0x104;

// The step of a frame: the 60-fps grid whose frame i is at floor(i * 1000 / 60).
// The first grid time after t, and the last one before it (0 for t = 0).
uint32_t nextGridFrame(uint32_t t);
uint32_t previousGridFrame(uint32_t t);

// What a key asks main to do.
struct PlayerAction {
    enum Kind {
        NOTHING,
        QUIT,            // Esc, or a move to the programme's end or past it: end with status 0
        HOLD,            // hold the programme at ms (the frame on screen) and the music with it
        RESUME,          // run on from ms: the music moves there and plays, the clock reads ms
        MOVE,            // bring the programme to ms; held, it stays held there
        TOGGLE_OVERLAY,  // show or hide the timeline
    };
    Kind kind = NOTHING;
    uint32_t ms = 0;
};

class Player {
public:
    // Starts at startMs, running or held there.
    Player(uint32_t startMs, bool held);

    // What a key does, given that the frame on screen is at shownMs. The
    // player's own state follows at once: held or not, the held time, the overlay.
    PlayerAction press(int key, uint32_t shownMs);

    bool held() const { return held_; }
    uint32_t heldMs() const { return heldMs_; }
    bool overlayShown() const { return overlay_; }

    // Counts a frame presented while running at wall-clock time nowMs (any
    // steady millisecond count).
    void frameShown(double nowMs);
    // Frames presented in the second before nowMs; while held, the figure
    // from the moment the programme was held, so a held picture never changes.
    int framesPerSecond(double nowMs) const;

private:
    bool held_;
    uint32_t heldMs_;
    bool overlay_ = false;
    std::deque<double> frameTimes_;
    int heldFramesPerSecond_ = 0;
};

// What the timeline overlay says at t: the time as m:ss.mmm and the scenes
// drawing there (the schedule's names, "-" for none), then the frame rate and
// "paused" when held.
std::vector<std::string> overlayLines(uint32_t t, int framesPerSecond, bool held);

// The bar of the whole programme: each scene's window and the position, as
// fractions of the programme from 0 to 1.
struct TimelineSpan {
    double from, to;
};
std::vector<TimelineSpan> timelineSceneSpans();
double timelinePosition(uint32_t t);
