// What the programme carries from frame to frame besides t, and its one owner.
//
// A frame leaves three kinds of state for the next: the scenes' script
// variables (ScriptVariables), the shape left in the shared sphere cache, and OpenGL
// state that no frame sets for itself: the depth test (off until the first
// masked overlay, on from then on), the projection (the start-up one until the
// spheres scene or the widening tunnel leave theirs, 45 degrees with aspect 1)
// and the texture bound on unit 0 (the noise picture drawn last). Everything
// else a scene changes it puts back within the frame, or sets afresh before it
// uses it (the spike mesh, the wave grid, the flares' sizes and positions).
// A frame drawn after catchUpProgrammeState(t, fps) shows exactly what the same
// frame shows in a run of the whole programme from 0 at fps frames a second.
#pragma once

#include "programme/script_variables.h"

#include <cstdint>

// Puts the carried state back to what it is right after loading: every script
// variable at its initial value, the sphere cache not built yet, and OpenGL as
// the start-up leaves it for the first frame (the depth test off, the start-up
// projection for windowWidth x windowHeight with an identity modelview current,
// 2D texturing on unit 0 only, no texture bound, unit 0 active, fog, blending,
// alpha and scissor tests off, depth writes on, a black clear colour). The
// viewport is left alone. Needs the current OpenGL context.
void resetProgrammeState();

// Resets, then brings the carried state to where a run from 0 at fps frames a
// second has it just before drawing its frame at t: every script is stepped,
// in the schedule's order, through each frame time floor(i * 1000 / fps) below
// t, as the scenes step them, and the OpenGL state those frames leave is set,
// but nothing is drawn. Needs the current OpenGL context and the loaded
// pictures; fps is at least 1. Cheap enough to run on a key press.
void catchUpProgrammeState(uint32_t t, int fps);

// The frame times of a run from 0 at fps frames a second: frame i is at
// floor(i * 1000 / fps), in integers.
uint32_t programmeFrameTime(uint64_t frame, int fps);

// True when a run from 0 at fps (1 to 1000) has a frame at `previous` and its
// next frame is at t. A sequence of frames that drew `previous` from that
// run's state can then keep the state the frame left instead of catching up:
// it is what catchUpProgrammeState(t, fps) would make.
bool isNextFrameOfRun(uint32_t previous, uint32_t t, int fps);
