// One row of the programme's running order: a scene, the window of time it
// draws in, and what its frames leave for the next.
#pragma once

#include <cstdint>

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

bool rowContains(const ScheduleRow& row, uint32_t t);
