// The programme's running order: which scenes draw a frame at time t.
#pragma once

#include <cstdint>

// Milliseconds to animation phase: the float nearest 1/1500 (bits 0x3A2EC33E).
extern const float PHASE_SCALE;

struct ScheduleRow {
    uint32_t first;  // inclusive
    uint32_t last;   // inclusive
    const char* name;
    void (*scene)(uint32_t t);
    // What a frame of the scene carries to the next, without drawing it: the
    // scene's script variables, stepped as the scene steps them (null: none),
    // true when the frame lays a masked overlay, which leaves the depth test on.
    bool (*step)(uint32_t t);
    // How a frame of the scene leaves the shared sphere cache (null: untouched).
    void (*shapeSphereCache)(uint32_t t);
    // True when a frame of the scene at t leaves the projection at 45 degrees
    // with aspect 1, as setFieldOfView(45) sets it (null: never touched).
    bool (*leavesSquareProjection)(uint32_t t);
};

// The programme ends once the clock passes this many milliseconds: a frame at
// exactly this time is still shown.
constexpr int32_t PROGRAMME_END_MS = 132000;

// A display's refresh: the frame rate at which the demo brings the scenes'
// scripts to a later start, and the renderer's default rate.
constexpr int DISPLAY_FPS = 60;

constexpr int SCHEDULE_ROWS = 10;
extern const ScheduleRow SCHEDULE[SCHEDULE_ROWS];

bool rowContains(const ScheduleRow& row, uint32_t t);

// Clears the frame, calls every scene whose window holds t in table order,
// then lays the film-noise overlay over everything.
void renderFrame(uint32_t t);
