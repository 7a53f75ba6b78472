#include "shell/screen.h"

#include <GL/gl.h>
#include <GL/glu.h>

int windowWidth = 640;
int windowHeight = 480;

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
