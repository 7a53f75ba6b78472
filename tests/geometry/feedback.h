// Captures what a draw call really sends to OpenGL, through the feedback render mode.
#pragma once

#include <GL/gl.h>

#include <functional>
#include <vector>

struct FeedbackVertex {
    float x, y, z;  // object coordinates, recovered from the window coordinates
    float s, t;     // texture coordinates of unit 0
};

using FeedbackPolygon = std::vector<FeedbackVertex>;

struct FeedbackCapture {
    bool overflow = false;
    int points = 0;
    std::vector<FeedbackPolygon> polygons;
    std::vector<FeedbackVertex> pointVertices;
};

// Runs `draw` in feedback mode with identity modelview and an orthographic
// projection of +-extent on every axis, and decodes the buffer. Object
// coordinates inside that cube reach feedback unclipped; positions come back
// to within about extent / 10^7. The caller's matrices and viewport are restored.
inline FeedbackCapture captureFeedback(const std::function<void()>& draw, double extent = 1000.0,
                                       size_t capacity = 1 << 20)
{
    constexpr int VIEW = 1024;
    constexpr int STRIDE = 12;  // x y z w, r g b a, s t r q
    std::vector<GLfloat> buffer(capacity);
    GLint viewport[4];
    glGetIntegerv(GL_VIEWPORT, viewport);
    glMatrixMode(GL_PROJECTION);
    glPushMatrix();
    glLoadIdentity();
    glOrtho(-extent, extent, -extent, extent, -extent, extent);
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    glLoadIdentity();
    glViewport(0, 0, VIEW, VIEW);

    glFeedbackBuffer(static_cast<GLsizei>(buffer.size()), GL_4D_COLOR_TEXTURE, buffer.data());
    glRenderMode(GL_FEEDBACK);
    draw();
    GLint used = glRenderMode(GL_RENDER);

    glViewport(viewport[0], viewport[1], viewport[2], viewport[3]);
    glMatrixMode(GL_PROJECTION);
    glPopMatrix();
    glMatrixMode(GL_MODELVIEW);
    glPopMatrix();

    FeedbackCapture capture;
    if (used < 0) {
        capture.overflow = true;
        return capture;
    }
    auto vertexAt = [&](GLint at) {
        const GLfloat* f = &buffer[at];
        FeedbackVertex v;
        v.x = static_cast<float>((f[0] / (VIEW / 2.0) - 1.0) * extent);
        v.y = static_cast<float>((f[1] / (VIEW / 2.0) - 1.0) * extent);
        v.z = static_cast<float>((1.0 - 2.0 * f[2]) * extent);
        v.s = f[8];
        v.t = f[9];
        return v;
    };
    GLint at = 0;
    while (at < used) {
        GLint token = static_cast<GLint>(buffer[at++]);
        if (token == GL_POLYGON_TOKEN) {
            GLint count = static_cast<GLint>(buffer[at++]);
            FeedbackPolygon polygon;
            for (GLint i = 0; i < count; ++i, at += STRIDE) polygon.push_back(vertexAt(at));
            capture.polygons.push_back(polygon);
        } else if (token == GL_POINT_TOKEN) {
            capture.pointVertices.push_back(vertexAt(at));
            at += STRIDE;
            ++capture.points;
        } else if (token == GL_LINE_TOKEN || token == GL_LINE_RESET_TOKEN) {
            at += 2 * STRIDE;
        } else if (token == GL_PASS_THROUGH_TOKEN) {
            at += 1;
        } else {
            at += STRIDE;  // bitmap and pixel tokens carry one vertex; not produced by these tests
        }
    }
    return capture;
}
