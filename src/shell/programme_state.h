// What the programme carries from frame to frame besides t: the scenes' script
// variables (beatOffset, waveSpeed, endingIndex, blobAngleDivisor, maskineIndex,
// twistRoomOffset), the shape left in the shared sphere cache, and one piece of
// OpenGL state, the depth test, off until the first masked overlay and on from
// then on. A frame drawn after these two calls shows exactly what the same
// frame shows in a run of the whole programme from 0.
#pragma once

#include <cstdint>

// Puts the carried state back to what it is right after loading: every script
// variable at its initial value, the sphere cache not built yet, the depth
// test off. Needs the current OpenGL context.
void resetProgrammeState();

// Resets, then brings the carried state to where a run from 0 at fps frames a
// second has it just before drawing its frame at t: every script is stepped,
// in the schedule's order, through each frame time floor(i * 1000 / fps) below
// t, as the scenes step them, but nothing is drawn. Needs the current OpenGL
// context; fps is at least 1.
void catchUpProgrammeState(uint32_t t, int fps);

// The frame times of a run from 0 at fps frames a second: frame i is at
// floor(i * 1000 / fps), in integers.
uint32_t programmeFrameTime(uint64_t frame, int fps);
