#include "scene_frames.h"

#include "scenes/tunnel_scene.h"

#include <GL/gl.h>

#include <cmath>

namespace {

const Rgb TUBE{200, 200, 200};
const Rgb CUBE{255, 128, 0};

bool isCube(Rgb c) { return c.r > 12 && c.r > c.g + c.g / 3 && c.g > c.b + 4; }

class TunnelFrames : public GlTest {
protected:
    void SetUp() override
    {
        GlTest::SetUp();
        data.solid("tunnel_texture.jpg", TUBE);
        data.solid("tunnel_kasse_texture.jpg", CUBE);
        data.load(loadTunnelScene);
        glEnable(GL_DEPTH_TEST);  // on since the first masked overlay, long before the tunnel
    }

    void frame(uint32_t t)
    {
        glLoadIdentity();
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        tunnelScene(t);
        readFrame();
    }

    int count(bool (*kind)(Rgb)) const
    {
        int n = 0;
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x) n += kind(pixel(x, y));
        return n;
    }

    static void projection(GLfloat m[16]) { glGetFloatv(GL_PROJECTION_MATRIX, m); }

    SceneData data;
};

}  // namespace

TEST_F(TunnelFrames, TubeAndCubesFadeIntoBlackFog)
{
    frame(100000);
    // The cubes are one colour, but the farther they are the darker they show.
    int cubePixels = 0, brightest = 0, darkest = 255;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            if (isCube(pixel(x, y))) {
                ++cubePixels;
                brightest = std::max(brightest, brightness(pixel(x, y)));
                darkest = std::min(darkest, brightness(pixel(x, y)));
            }
    EXPECT_GT(cubePixels, 20);
    EXPECT_LT(darkest * 2, brightest) << darkest << " " << brightest;
    // The tube is closed, so without fog no pixel would stay black; far down it everything is.
    int black = 0;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) black += brightness(pixel(x, y)) < 12;
    EXPECT_GT(black, width * height / 4);
    EXPECT_FALSE(glIsEnabled(GL_FOG));
}

TEST_F(TunnelFrames, ViewWidensAtTheEndAndIsSetBackInTheSameFrame)
{
    GLfloat startup[16], after[16];
    projection(startup);

    // Up to 107710 the scene leaves the projection alone, whatever it is.
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(-1, 1, -1, 1, -1, 1);
    glMatrixMode(GL_MODELVIEW);
    GLfloat ortho[16];
    projection(ortho);
    frame(107710);
    projection(after);
    for (int i = 0; i < 16; ++i) EXPECT_EQ(after[i], ortho[i]) << i;

    glMatrixMode(GL_PROJECTION);
    glLoadMatrixf(startup);
    glMatrixMode(GL_MODELVIEW);

    // The same camera under the 45-degree view, then the scene's widened one.
    glLoadIdentity();
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    renderTunnel(tunnelPhaseAt(109586));
    readFrame();
    const int narrowCube = count(isCube);

    frame(109586);
    const int wideCube = count(isCube);
    EXPECT_GT(narrowCube, 40);
    EXPECT_GT(wideCube, 0);
    EXPECT_LT(wideCube * 4, narrowCube);

    // Set back to 45 degrees with an identity modelview, ready for the noise overlay.
    projection(after);
    for (int i = 0; i < 16; ++i) EXPECT_NEAR(after[i], startup[i], 1e-6) << i;
    GLint mode = 0;
    glGetIntegerv(GL_MATRIX_MODE, &mode);
    EXPECT_EQ(mode, GL_MODELVIEW);
    GLfloat modelview[16];
    glGetFloatv(GL_MODELVIEW_MATRIX, modelview);
    for (int i = 0; i < 16; ++i) EXPECT_EQ(modelview[i], i % 5 == 0 ? 1.0f : 0.0f) << i;
}
