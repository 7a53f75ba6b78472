// The player's timeline, drawn over a finished frame in the demo's window.
#pragma once

#include <cstdint>

// Draws, along the bottom of the viewport, the time t and the scenes there,
// the frame rate and "paused" when held (in GLUT's bitmap font), and a bar of
// the programme with the scenes' windows and the position. Every OpenGL state
// it touches is put back, so the next frame is drawn as if it had never been
// there. Needs GLUT initialised and the window's context current.
void drawTimelineOverlay(uint32_t t, int framesPerSecond, bool held);
