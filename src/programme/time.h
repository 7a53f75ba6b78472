// The programme's time: milliseconds since the music started, and the
// constants every floor reads it by.
#pragma once

#include <cstdint>

// Milliseconds to animation phase: the float nearest 1/1500 (bits 0x3A2EC33E).
extern const float PHASE_SCALE;

// The programme ends once the clock passes this many milliseconds: a frame at
// exactly this time is still shown.
constexpr int32_t PROGRAMME_END_MS = 132000;

// A display's refresh: the frame rate at which the demo brings the scenes'
// scripts to a later start, and the renderer's default rate.
constexpr int DISPLAY_FPS = 60;
