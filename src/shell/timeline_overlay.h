// The player's timeline, drawn over a finished frame in the demo's window.
#pragma once

#include <cstdint>

// What the timeline shows besides the time.
struct TimelineState {
    int framesPerSecond = 0;
    bool held = false;
    bool muted = false;
};

// Draws, along the bottom of the whole window (width x height, whatever part
// of it the picture takes), the time t with the programme's length, the
// scenes there and how the player is, a bar of the programme with every
// scene's segment, the part played and the position, the scenes' names under
// their segments where they fit, and a line of the keys, in a GLUT bitmap
// font sized for the window. Every OpenGL state it touches is put back, so
// the next frame is drawn as if it had never been there. Needs GLUT
// initialised and the window's context current.
void drawTimelineOverlay(int width, int height, uint32_t t, const TimelineState& state);

// Whether the point x, y of a window of width x height (pixels from its top
// left corner) is on the timeline's bar, or near enough to grab it.
bool onTimelineBar(int width, int height, int x, int y);

// The time the column x of the bar stands for, on the 60-fps grid; left and
// right of the bar, its ends.
uint32_t timelineTimeAtColumn(int width, int x);
