// The size of the screen as read at start-up; the scenes derive scissor
// rectangles from it. The renderer sets it to its render size.
#pragma once

extern int windowWidth;
extern int windowHeight;

// The start-up projection's aspect: width / height in integer arithmetic.
// A screen taller than wide would give 0 and a degenerate projection, so it gets 1.
int startupAspect(int width, int height);

// The OpenGL state every frame starts from, as the demo's main leaves it for a
// screen (or a render target) of width x height: windowWidth and windowHeight
// set to it, 2D texturing on, the viewport over all of it, the start-up
// projection, a black clear colour. The depth test stays at OpenGL's default, off.
void setStartupState(int width, int height);

// Loads the start-up projection (45 degrees, the integer aspect of the size,
// near 0.1f widened to double, far 10000) and leaves an identity modelview current.
void setStartupProjection(int width, int height);
