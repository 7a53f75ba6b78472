#include "geometry/render_state.h"

#include "programme/screen.h"

#include <GL/glu.h>

#include <cmath>

float fogColour[4] = {0, 0, 0, 0};
int SLICES_Y = 240;
int SLICES_X = 240;

void setFog(float start, float end, float density)
{
    // Exponential fog: start and end are set for completeness, only the density counts.
    glFogi(GL_FOG_MODE, GL_EXP);
    glFogfv(GL_FOG_COLOR, fogColour);
    glFogf(GL_FOG_DENSITY, density);
    glHint(GL_FOG_HINT, GL_DONT_CARE);
    glFogf(GL_FOG_START, start);
    glFogf(GL_FOG_END, end);
    glEnable(GL_FOG);
}

void setFieldOfView(float fovy)
{
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    // A square aspect whatever the window's shape; the same near and far planes as at start-up.
    gluPerspective(static_cast<double>(fovy), 1.0, static_cast<double>(0.1f), 10000.0);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
}

namespace {

// Bottom row of band i of `bands` (band 1 at the top): the exact real spacing, rounded up.
int bandBottom(int height, int bands, int i)
{
    return static_cast<int>(std::ceil(static_cast<double>(height) / bands * (bands - i)));
}

// Draws the list once per horizontal band of the window, each copy clipped to
// its band and turned about the given axis by 360 degrees times the wave.
// The band count is read afresh before every band.
void drawSlices(GLuint list, float phase, const int& bandCount, double spread, bool useSine, float ax, float ay,
                float az)
{
    glEnable(GL_SCISSOR_TEST);
    for (int i = 1; i <= bandCount; ++i) {
        const int bands = bandCount;
        glPushMatrix();
        const int bandHeight = windowHeight / bands;
        scissorInPicture(0, bandBottom(windowHeight, bands, i), windowWidth, bandHeight);
        const double wave = phase + spread / bands * i;
        const float angle = static_cast<float>((useSine ? std::sin(wave) : std::cos(wave)) * 360.0);
        glRotatef(angle, ax, ay, az);
        glCallList(list);
        glPopMatrix();
    }
    glDisable(GL_SCISSOR_TEST);
}

}  // namespace

void drawSlicesY(GLuint list, float phase)
{
    drawSlices(list, phase, SLICES_Y, static_cast<double>(0.8f), true, 0, 1, 0);
}

void drawSlicesX(GLuint list, float phase)
{
    drawSlices(list, phase, SLICES_X, static_cast<double>(0.25f), false, 1, 0, 0);
}

namespace {

struct BoxCorners {
    float x0, x1, y0, y1, z0, z1;
};

BoxCorners boxCorners(float cx, float cy, float cz, float hx, float hy, float hz)
{
    return {cx - hx, cx + hx, cy - hy, cy + hy, cz - hz, cz + hz};
}

// Every face starts at its texture origin; the corners take (0,0), (U,0), (U,V), (0,V) in turn.
void emitBoxEnds(const BoxCorners& b, float U, float V)
{
    // back
    glTexCoord2f(0, 0);
    glVertex3f(b.x1, b.y1, b.z0);
    glTexCoord2f(U, 0);
    glVertex3f(b.x0, b.y1, b.z0);
    glTexCoord2f(U, V);
    glVertex3f(b.x0, b.y0, b.z0);
    glTexCoord2f(0, V);
    glVertex3f(b.x1, b.y0, b.z0);
    // front
    glTexCoord2f(0, 0);
    glVertex3f(b.x0, b.y1, b.z1);
    glTexCoord2f(U, 0);
    glVertex3f(b.x1, b.y1, b.z1);
    glTexCoord2f(U, V);
    glVertex3f(b.x1, b.y0, b.z1);
    glTexCoord2f(0, V);
    glVertex3f(b.x0, b.y0, b.z1);
}

void emitBoxSides(const BoxCorners& b, float U, float V)
{
    // left
    glTexCoord2f(0, 0);
    glVertex3f(b.x0, b.y1, b.z0);
    glTexCoord2f(U, 0);
    glVertex3f(b.x0, b.y1, b.z1);
    glTexCoord2f(U, V);
    glVertex3f(b.x0, b.y0, b.z1);
    glTexCoord2f(0, V);
    glVertex3f(b.x0, b.y0, b.z0);
    // right
    glTexCoord2f(0, 0);
    glVertex3f(b.x1, b.y1, b.z1);
    glTexCoord2f(U, 0);
    glVertex3f(b.x1, b.y1, b.z0);
    glTexCoord2f(U, V);
    glVertex3f(b.x1, b.y0, b.z0);
    glTexCoord2f(0, V);
    glVertex3f(b.x1, b.y0, b.z1);
    // bottom
    glTexCoord2f(0, 0);
    glVertex3f(b.x0, b.y0, b.z0);
    glTexCoord2f(U, 0);
    glVertex3f(b.x0, b.y0, b.z1);
    glTexCoord2f(U, V);
    glVertex3f(b.x1, b.y0, b.z1);
    glTexCoord2f(0, V);
    glVertex3f(b.x1, b.y0, b.z0);
    // top
    glTexCoord2f(0, 0);
    glVertex3f(b.x0, b.y1, b.z1);
    glTexCoord2f(U, 0);
    glVertex3f(b.x0, b.y1, b.z0);
    glTexCoord2f(U, V);
    glVertex3f(b.x1, b.y1, b.z0);
    glTexCoord2f(0, V);
    glVertex3f(b.x1, b.y1, b.z1);
}

}  // namespace

void drawBox(float cx, float cy, float cz, float hx, float hy, float hz, float U, float V)
{
    const BoxCorners corners = boxCorners(cx, cy, cz, hx, hy, hz);
    glBegin(GL_QUADS);
    emitBoxEnds(corners, U, V);
    emitBoxSides(corners, U, V);
    glEnd();
}

void drawBoxEnds(float cx, float cy, float cz, float hx, float hy, float hz, float U, float V)
{
    glBegin(GL_QUADS);
    emitBoxEnds(boxCorners(cx, cy, cz, hx, hy, hz), U, V);
    glEnd();
}

void drawBoxSides(float cx, float cy, float cz, float hx, float hy, float hz, float U, float V)
{
    glBegin(GL_QUADS);
    emitBoxSides(boxCorners(cx, cy, cz, hx, hy, hz), U, V);
    glEnd();
}
