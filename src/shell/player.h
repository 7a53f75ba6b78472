// The demo as a player (--controls): the programme runs or is held at a time,
// and keys seek, step and hold it as video players do. This unit is the
// player's state and arithmetic only; main.cpp turns its actions into a
// catch-up, a move of the music and the window's changes.
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
// The grid time nearest t (the earlier one of two as near).
uint32_t nearestGridFrame(uint32_t t);

// What a key asks main to do.
struct PlayerAction {
    enum Kind {
        NOTHING,
        QUIT,                // Esc or q: end with status 0
        HOLD,                // hold the programme at ms and the music with it (also at the end)
        RESUME,              // run on from ms: the music moves there and plays
        MOVE,                // bring the programme to ms; held, it stays held there
        TOGGLE_OVERLAY,      // show or hide the timeline
        TOGGLE_FULL_SCREEN,  // full screen, or back to the window's last size
        TOGGLE_MUTE,         // silence the music, or bring it back
    };
    Kind kind = NOTHING;
    uint32_t ms = 0;
};

// The player keeps the programme's time itself. Running, the programme is
// where the last start, resume or move put it plus the wall-clock time since;
// held, at the held time. Every key acts on that, so keys that come faster
// than frames each move on from where the one before left the programme.
// Wall-clock times are any steady count of milliseconds.
class Player {
public:
    // Starts at startMs, held there or to run from there once started.
    Player(uint32_t startMs, bool held);

    // The programme starts running from its start time at wall time nowMs
    // (held, it stays held).
    void start(double nowMs);

    // Where the programme is at wall time nowMs. Running, this passes the end
    // until holdIfPastEnd holds it there.
    int64_t positionMs(double nowMs) const;

    // What a key does at wall time nowMs; the player's state follows at once.
    // Letters act the same in either case.
    PlayerAction press(int key, double nowMs);

    // A seek to ms (a click on the timeline), playing or held.
    PlayerAction seek(uint32_t ms, double nowMs);

    // A programme running past its end holds on its last frame, the end
    // itself: true when it has just done so (the music is then to stop).
    bool holdIfPastEnd(double nowMs);

    bool held() const { return held_; }
    uint32_t heldMs() const { return heldMs_; }
    bool overlayShown() const { return overlay_; }
    bool muted() const { return muted_; }

    // Counts a frame presented while running at wall time nowMs.
    void frameShown(double nowMs);
    // Frames presented in the second before nowMs while running.
    int framesPerSecond(double nowMs) const;

private:
    PlayerAction moveTo(int64_t target, double nowMs);
    void runFrom(uint32_t ms, double nowMs);

    bool held_;
    uint32_t heldMs_;
    // Running: the programme was at anchorMs_ at wall time anchorWallMs_.
    uint32_t anchorMs_;
    double anchorWallMs_ = 0;
    bool overlay_ = false;
    bool muted_ = false;
    std::deque<double> frameTimes_;
};

// What the timeline says at t: the time with the programme's length
// ("0:40.695 / 2:12.000"), the scenes drawing there by their names ("between
// scenes" where none is), and how the player is: "paused" when held, else the
// frame rate, then "muted" when muted.
struct TimelineText {
    std::string time;
    std::string scenes;
    std::string status;
};
TimelineText timelineText(uint32_t t, int framesPerSecond, bool held, bool muted);

// The keys, as one line for the timeline: the same hint from its longest form
// to its shortest, for the timeline to take the longest that fits.
const std::vector<std::string>& timelineKeyHints();

// The bar of the whole programme: each scene's window as fractions of the
// programme from 0 to 1, with its name; the position of t; and the time a
// point of the bar stands for (a fraction, clamped to 0..1), on the 60-fps grid.
struct TimelineSpan {
    double from, to;
    const char* name;
};
std::vector<TimelineSpan> timelineSceneSpans();
double timelinePosition(uint32_t t);
uint32_t timelineTimeAt(double fraction);
