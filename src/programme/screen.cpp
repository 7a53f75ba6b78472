#include "programme/screen.h"

#include <GL/gl.h>
#include <GL/glu.h>

#include <algorithm>
#include <cstdint>

int windowWidth = 640;
int windowHeight = 480;
int pictureLeft = 0;
int pictureBottom = 0;

void scissorInPicture(int x, int y, int width, int height)
{
    glScissor(pictureLeft + x, pictureBottom + y, width, height);
}

PictureArea pictureArea(int frameWidth, int frameHeight, bool fourByThree)
{
    PictureArea area{0, 0, frameWidth, frameHeight};
    if (!fourByThree) return area;
    const int64_t w = frameWidth, h = frameHeight;
    if (w * 3 > h * 4) {
        // Wider than 4:3: full height, width 4h/3 rounded to the nearest pixel.
        area.width = static_cast<int>(std::max<int64_t>(1, (8 * h + 3) / 6));
        area.x = (frameWidth - area.width) / 2;
    } else if (w * 3 < h * 4) {
        area.height = static_cast<int>(std::max<int64_t>(1, (3 * w + 2) / 4));
        area.y = (frameHeight - area.height) / 2;
    }
    return area;
}

bool parseAspect(const std::string& value, bool* fourByThree, std::string* error)
{
    if (value != "4:3") {
        *error = "takes 4:3, the picture's own shape, not '" + value + "'";
        return false;
    }
    *fourByThree = true;
    return true;
}

int startupAspect(int width, int height)
{
    if (height <= 0) return 1;
    int aspect = width / height;
    return aspect == 0 ? 1 : aspect;
}

void setStartupProjection(int width, int height)
{
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    gluPerspective(45.0, static_cast<double>(startupAspect(width, height)), static_cast<double>(0.1f), 10000.0);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
}

void setStartupState(int width, int height)
{
    windowWidth = width;
    windowHeight = height;
    glEnable(GL_TEXTURE_2D);
    glViewport(0, 0, width, height);
    setStartupProjection(width, height);
    glClearColor(0, 0, 0, 0);
}
