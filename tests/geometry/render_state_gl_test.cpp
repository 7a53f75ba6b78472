#include "feedback.h"
#include "gl_fixture.h"

#include "geometry/pi.h"
#include "geometry/render_state.h"

#include <GL/gl.h>

#include <cmath>

namespace {

// A list that fills whatever the scissor rectangle lets through with white.
GLuint makeWhiteFillList()
{
    GLuint list = glGenLists(1);
    glNewList(list, GL_COMPILE);
    glClearColor(1, 1, 1, 1);
    glClear(GL_COLOR_BUFFER_BIT);
    glEndList();
    return list;
}

class BandsGl : public GlTest {
protected:
    // Counts the white rows of the frame.
    int whiteRows()
    {
        readFrame();
        int rows = 0;
        for (int y = 0; y < height; ++y) rows += isWhite(height - 1 - y) ? 1 : 0;
        return rows;
    }
    // glRow counts from the bottom, like the scissor's y.
    bool isWhite(int glRow) const { return near(pixel(width / 2, height - 1 - glRow), {255, 255, 255}, 0); }
    void clearBlack()
    {
        glClearColor(0, 0, 0, 0);
        glClear(GL_COLOR_BUFFER_BIT);
    }
};

// A narrow window of the given height keeps the pixel count small.
template <int Rows>
class BandsOf : public BandsGl {
protected:
    BandsOf()
    {
        width = 8;
        height = Rows;
    }
};
using Bands480 = BandsOf<480>;
using Bands768 = BandsOf<768>;

class RenderStateGl : public GlTest {};

class WideWindow : public GlTest {
protected:
    WideWindow()
    {
        width = 128;
        height = 64;
    }
};

}  // namespace

// 240 bands of two rows tile a 480-row window without gaps, in both variants,
// and leave the scissor test off and the matrix stack as they found it.
TEST_F(Bands480, BandsTileTheWholeWindow)
{
    GLuint list = makeWhiteFillList();
    GLint depthBefore = 0;
    glGetIntegerv(GL_MODELVIEW_STACK_DEPTH, &depthBefore);
    glTranslatef(1, 2, 3);

    drawSlicesY(list, 0.7f);
    EXPECT_EQ(whiteRows(), 480);
    EXPECT_FALSE(glIsEnabled(GL_SCISSOR_TEST));
    GLint depthAfter = 0;
    glGetIntegerv(GL_MODELVIEW_STACK_DEPTH, &depthAfter);
    EXPECT_EQ(depthAfter, depthBefore);
    GLfloat modelview[16];
    glGetFloatv(GL_MODELVIEW_MATRIX, modelview);
    EXPECT_FLOAT_EQ(modelview[12], 1);
    EXPECT_FLOAT_EQ(modelview[13], 2);
    EXPECT_FLOAT_EQ(modelview[14], 3);
    EXPECT_FLOAT_EQ(modelview[0], 1);

    clearBlack();
    drawSlicesX(list, -2.0f);
    EXPECT_EQ(whiteRows(), 480);
    EXPECT_FALSE(glIsEnabled(GL_SCISSOR_TEST));
}

// Fewer bands than rows, or none: a zero band height draws nothing, no bands
// call nothing; the band counts are read at call time.
TEST_F(Bands480, DegenerateBandCountsDrawNothing)
{
    GLuint list = makeWhiteFillList();
    clearBlack();
    SLICES_Y = 0;
    drawSlicesY(list, 0);
    EXPECT_FALSE(glIsEnabled(GL_SCISSOR_TEST));
    SLICES_X = 600;
    drawSlicesX(list, 0);
    EXPECT_EQ(whiteRows(), 0);

    SLICES_Y = 4;  // 120-row bands
    drawSlicesY(list, 0);
    EXPECT_EQ(whiteRows(), 480);
}

// 768 rows in 240 bands: bottoms 3.2 rows apart rounded up, heights truncated to 3,
// so some rows belong to no band and keep what the frame held.
TEST_F(Bands768, RowsBetweenBandsAreLeftUndrawn)
{
    GLuint list = makeWhiteFillList();
    clearBlack();
    drawSlicesY(list, 0.3f);
    EXPECT_EQ(whiteRows(), 240 * 3);
    EXPECT_TRUE(isWhite(0));
    EXPECT_TRUE(isWhite(2));
    EXPECT_FALSE(isWhite(3));
    EXPECT_TRUE(isWhite(4));
    EXPECT_TRUE(isWhite(767));  // the top band: bottom ceil(3.2 * 239) = 765
}

// Each band's copy is turned by 360 degrees times the sine (about Y) or cosine
// (about X) of the phase plus 0.8/N or 0.25/N per band, band 1 first.
TEST_F(RenderStateGl, BandsTurnTheListAlongTheWave)
{
    SLICES_Y = SLICES_X = 4;
    GLuint pointOnX = glGenLists(2), pointOnY = pointOnX + 1;
    glNewList(pointOnX, GL_COMPILE);
    glBegin(GL_POINTS);
    glVertex3f(100, 0, 0);
    glEnd();
    glEndList();
    glNewList(pointOnY, GL_COMPILE);
    glBegin(GL_POINTS);
    glVertex3f(0, 100, 0);
    glEnd();
    glEndList();

    const float phase = 0.5f;
    FeedbackCapture y = captureFeedback([&] { drawSlicesY(pointOnX, phase); });
    ASSERT_EQ(y.points, 4);
    FeedbackCapture x = captureFeedback([&] { drawSlicesX(pointOnY, phase); });
    ASSERT_EQ(x.points, 4);
    const double rad = PI / 180.0;
    for (int i = 1; i <= 4; ++i) {
        const double aY = std::sin(phase + 0.8 / 4 * i) * 360 * rad;
        EXPECT_NEAR(y.pointVertices[i - 1].x, 100 * std::cos(aY), 0.01) << i;
        EXPECT_NEAR(y.pointVertices[i - 1].y, 0, 0.01) << i;
        EXPECT_NEAR(y.pointVertices[i - 1].z, -100 * std::sin(aY), 0.01) << i;
        const double aX = std::cos(phase + 0.25 / 4 * i) * 360 * rad;
        EXPECT_NEAR(x.pointVertices[i - 1].x, 0, 0.01) << i;
        EXPECT_NEAR(x.pointVertices[i - 1].y, 100 * std::cos(aX), 0.01) << i;
        EXPECT_NEAR(x.pointVertices[i - 1].z, 100 * std::sin(aX), 0.01) << i;
    }
}

// Exponential black fog: on after the call, with the given density, darkening
// distant geometry far more than near geometry.
TEST_F(RenderStateGl, FogDarkensDistantGeometry)
{
    setFog(0, 500, 0.01f);
    EXPECT_TRUE(glIsEnabled(GL_FOG));
    GLint mode = 0;
    glGetIntegerv(GL_FOG_MODE, &mode);
    EXPECT_EQ(mode, GL_EXP);
    GLfloat density = 0, colour[4] = {1, 1, 1, 1};
    glGetFloatv(GL_FOG_DENSITY, &density);
    glGetFloatv(GL_FOG_COLOR, colour);
    EXPECT_FLOAT_EQ(density, 0.01f);
    for (float c : colour) EXPECT_EQ(c, 0);

    // A white square filling the view at distance d: fog factor exp(-0.01 d).
    auto brightnessAt = [&](float d) {
        glClear(GL_COLOR_BUFFER_BIT);
        glBegin(GL_QUADS);
        glVertex3f(-d, -d, -d);
        glVertex3f(d, -d, -d);
        glVertex3f(d, d, -d);
        glVertex3f(-d, d, -d);
        glEnd();
        readFrame();
        return pixel(width / 2, height / 2).g;
    };
    const int nearLevel = brightnessAt(2);
    const int farLevel = brightnessAt(300);
    EXPECT_NEAR(nearLevel, 255 * std::exp(-0.02), 3);
    EXPECT_NEAR(farLevel, 255 * std::exp(-3.0), 3);

    glDisable(GL_FOG);
    EXPECT_EQ(brightnessAt(300), 255);
}

// A square aspect on a wide window, near 0.1f widened and far 10000, and an identity modelview after.
TEST_F(WideWindow, FieldOfViewKeepsASquareAspect)
{
    glTranslatef(5, 6, 7);
    glMatrixMode(GL_PROJECTION);
    setFieldOfView(60);

    GLint mode = 0;
    glGetIntegerv(GL_MATRIX_MODE, &mode);
    EXPECT_EQ(mode, GL_MODELVIEW);
    GLdouble m[16];
    glGetDoublev(GL_MODELVIEW_MATRIX, m);
    for (int i = 0; i < 16; ++i) EXPECT_EQ(m[i], i % 5 == 0 ? 1.0 : 0.0) << i;

    glGetDoublev(GL_PROJECTION_MATRIX, m);
    const double f = 1 / std::tan(30 * PI / 180);
    const double n = 0.10000000149011612, far = 10000;
    const double expected[16] = {f, 0, 0, 0, 0, f, 0, 0, 0, 0, (far + n) / (n - far), -1, 0, 0, 2 * far * n / (n - far),
                                 0};
    for (int i = 0; i < 16; ++i) EXPECT_NEAR(m[i], expected[i], 1e-6 * (1 + std::fabs(expected[i]))) << i;
}

// Six faces of four corners, each starting at its texture origin; texture
// coordinates (0,0), (U,0), (U,V), (0,V) in turn.
TEST_F(RenderStateGl, BoxCornersAndTextureCoordinatesInOrder)
{
    const float cx = 1, cy = 2, cz = 3, hx = 10, hy = 20, hz = 30, U = 2, V = 3;
    FeedbackCapture capture = captureFeedback([&] { drawBox(cx, cy, cz, hx, hy, hz, U, V); });
    ASSERT_EQ(capture.polygons.size(), 12u);  // each quad reaches feedback as two triangles

    // Corner signs (x, y, z) of each face, in order.
    const int faces[6][4][3] = {
        {{+1, +1, -1}, {-1, +1, -1}, {-1, -1, -1}, {+1, -1, -1}},  // back
        {{-1, +1, +1}, {+1, +1, +1}, {+1, -1, +1}, {-1, -1, +1}},  // front
        {{-1, +1, -1}, {-1, +1, +1}, {-1, -1, +1}, {-1, -1, -1}},  // left
        {{+1, +1, +1}, {+1, +1, -1}, {+1, -1, -1}, {+1, -1, +1}},  // right
        {{-1, -1, -1}, {-1, -1, +1}, {+1, -1, +1}, {+1, -1, -1}},  // bottom
        {{-1, +1, +1}, {-1, +1, -1}, {+1, +1, -1}, {+1, +1, +1}},  // top
    };
    const float texture[4][2] = {{0, 0}, {U, 0}, {U, V}, {0, V}};
    for (int face = 0; face < 6; ++face) {
        // The corners of a face are told apart by their texture coordinates, so the
        // check does not depend on how the quad was split into triangles.
        int found = 0;
        for (int corner = 0; corner < 4; ++corner) {
            const int* sign = faces[face][corner];
            bool seen = false;
            for (int half = 0; half < 2; ++half)
                for (const FeedbackVertex& v : capture.polygons[face * 2 + half]) {
                    if (v.s != texture[corner][0] || v.t != texture[corner][1]) continue;
                    seen = true;
                    EXPECT_NEAR(v.x, cx + sign[0] * hx, 1e-3) << face << " " << corner;
                    EXPECT_NEAR(v.y, cy + sign[1] * hy, 1e-3) << face << " " << corner;
                    EXPECT_NEAR(v.z, cz + sign[2] * hz, 1e-3) << face << " " << corner;
                }
            found += seen;
        }
        EXPECT_EQ(found, 4) << face;
    }
    // The last corner sent is the top face's (0, V) corner.
    GLfloat current[4];
    glGetFloatv(GL_CURRENT_TEXTURE_COORDS, current);
    EXPECT_EQ(current[0], 0);
    EXPECT_EQ(current[1], V);
}
