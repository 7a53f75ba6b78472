#include "shell/timeline_overlay.h"

#include "shell/player.h"

#include <GL/glut.h>

#include <string>
#include <vector>

namespace {

// Pixel sizes of the strip at the bottom of the window.
constexpr int MARGIN = 10;
constexpr int BAR_Y = 8;
constexpr int BAR_HEIGHT = 8;
constexpr int LINE_HEIGHT = 15;
constexpr int STRIP_HEIGHT = BAR_Y + BAR_HEIGHT + 8 + 2 * LINE_HEIGHT;

void fillRectangle(double x0, double y0, double x1, double y1)
{
    glBegin(GL_QUADS);
    glVertex2d(x0, y0);
    glVertex2d(x1, y0);
    glVertex2d(x1, y1);
    glVertex2d(x0, y1);
    glEnd();
}

void drawText(int x, int y, const std::string& text)
{
    glRasterPos2i(x, y);
    for (char c : text) glutBitmapCharacter(GLUT_BITMAP_8_BY_13, static_cast<unsigned char>(c));
}

}  // namespace

void drawTimelineOverlay(uint32_t t, int framesPerSecond, bool held)
{
    // Everything below is undone at the end: every attribute group, both
    // matrices, and the matrix mode with the transform group.
    glPushAttrib(GL_ALL_ATTRIB_BITS);
    GLint viewport[4];
    glGetIntegerv(GL_VIEWPORT, viewport);
    const int width = viewport[2];
    glMatrixMode(GL_PROJECTION);
    glPushMatrix();
    glLoadIdentity();
    glOrtho(0, width, 0, viewport[3], -1, 1);
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    glLoadIdentity();

    glActiveTextureARB(GL_TEXTURE1_ARB);
    glDisable(GL_TEXTURE_2D);
    glActiveTextureARB(GL_TEXTURE0_ARB);
    glDisable(GL_TEXTURE_2D);
    for (GLenum capability : {GL_DEPTH_TEST, GL_FOG, GL_ALPHA_TEST, GL_SCISSOR_TEST, GL_TEXTURE_GEN_S,
                              GL_TEXTURE_GEN_T, GL_CULL_FACE, GL_LIGHTING})
        glDisable(capability);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);

    // A dark strip for legibility, the programme's bar, the scenes lighter
    // on it, the position as a white mark.
    glColor4f(0, 0, 0, 0.6f);
    fillRectangle(0, 0, width, STRIP_HEIGHT);
    const double barWidth = width - 2 * MARGIN;
    glColor4f(0.25f, 0.25f, 0.25f, 1);
    fillRectangle(MARGIN, BAR_Y, MARGIN + barWidth, BAR_Y + BAR_HEIGHT);
    glColor4f(0.6f, 0.6f, 0.65f, 1);
    for (const TimelineSpan& span : timelineSceneSpans())
        fillRectangle(MARGIN + span.from * barWidth, BAR_Y, MARGIN + span.to * barWidth, BAR_Y + BAR_HEIGHT);
    const double x = MARGIN + timelinePosition(t) * barWidth;
    glColor4f(1, 1, 1, 1);
    fillRectangle(x - 1, BAR_Y - 4, x + 1, BAR_Y + BAR_HEIGHT + 4);

    // The time and scenes in white, the rate below them in grey.
    const std::vector<std::string> lines = overlayLines(t, framesPerSecond, held);
    for (size_t i = 0; i < lines.size(); ++i) {
        if (i > 0) glColor4f(0.7f, 0.7f, 0.7f, 1);
        drawText(MARGIN, STRIP_HEIGHT - static_cast<int>(i + 1) * LINE_HEIGHT + 3, lines[i]);
    }

    glMatrixMode(GL_PROJECTION);
    glPopMatrix();
    glMatrixMode(GL_MODELVIEW);
    glPopMatrix();
    glPopAttrib();
}
