// The programme without a window. Loads what the demo loads (except the
// sound) into an EGL context of the render size, then renders frames in order
// with the demo's own renderFrame. The state the scenes carry from frame to
// frame is first brought to where a run from 0 has it, so a still or a clip
// shows what the demo shows at that millisecond.
#pragma once

#include "options.h"

// Bad arguments and unusable surroundings (2) are told apart from failures
// while rendering or writing (1).
constexpr int EXIT_USAGE = 2;
constexpr int EXIT_FAILED = 1;

// Renders the frames the options ask for to their outputs, with messages on
// standard error; returns the exit status.
int renderProgramme(const RenderOptions& options);
