// The size of the screen as read at start-up; the scenes derive scissor
// rectangles from it. The renderer sets it to its render size, and the demo
// with --aspect to the picture's own size within its window.
#pragma once

#include <string>

extern int windowWidth;
extern int windowHeight;

// Where the picture's lower left corner lies in the window, in pixels: 0, 0
// but for a picture drawn between bars. The scenes' scissor rectangles are
// in the picture's own pixels and are moved there.
extern int pictureLeft;
extern int pictureBottom;

// glScissor for a rectangle given in the picture's own pixels.
void scissorInPicture(int x, int y, int width, int height);

// Where the picture lies in a frame, in pixels from the top-left corner.
struct PictureArea {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
};

// The whole frame, or with fourByThree the largest 4:3 area centred in it: the
// full height with bars left and right on a wider frame, the full width with
// bars above and below on a taller one. Where the bars cannot split evenly the
// right (or bottom) one is a pixel wider.
PictureArea pictureArea(int frameWidth, int frameHeight, bool fourByThree);

// The value of --aspect in both programs: only "4:3", the picture's own
// shape, is taken; anything else fails with a line saying so.
bool parseAspect(const std::string& value, bool* fourByThree, std::string* error);

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
