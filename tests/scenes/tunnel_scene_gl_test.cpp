#include "scene_gl_fixture.h"

#include "scenes/tunnel_scene.h"

namespace {

bool isCube(Rgb c)
{
    return c.r > 12 && c.r > c.g + c.g / 3 && c.g > c.b + 4;
}  // orange

class TunnelFrames : public SceneGlTest {
protected:
    void SetUp() override
    {
        SceneGlTest::SetUp();
        picture("tunnel_texture.jpg", {200, 200, 200});
        picture("tunnel_kasse_texture.jpg", {255, 128, 0});
        loadTunnelScene();
        glGetFloatv(GL_PROJECTION_MATRIX, startup);
    }

    // Draws t with the scene (or with renderTunnel alone at t's phase) and
    // collects the pixels of the cubes.
    void frame(uint32_t t, bool wholeScene = true)
    {
        glLoadIdentity();
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        if (wholeScene) tunnelScene(t);
        else renderTunnel(tunnelPhaseAt(t));
        readFrame();
        cube.clear();
        black = 0;
        litWall = 0;
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x) {
                if (isCube(pixel(x, y))) cube.push_back(brightness(pixel(x, y)));
                black += brightness(pixel(x, y)) < 12;
                litWall += !isCube(pixel(x, y)) && brightness(pixel(x, y)) > 120;
            }
        EXPECT_FALSE(glIsEnabled(GL_FOG));
    }

    GLfloat startup[16];
    std::vector<int> cube;
    int black = 0;
    int litWall = 0;
};

}  // namespace

TEST_F(TunnelFrames, CubesAndTubeFadeIntoBlackFog)
{
    frame(100000);
    // The cubes are one colour, but the farther ones show darker.
    ASSERT_GT(cube.size(), 20u);
    EXPECT_LT(*std::min_element(cube.begin(), cube.end()) * 2, *std::max_element(cube.begin(), cube.end()));
    // The tube is closed, so without fog no pixel would be black; far down it the walls are.
    EXPECT_GT(black, 0);
    // The walls beside the camera show through the fog: a face reaching far
    // behind the camera must not take the fog of its distant corners.
    EXPECT_GT(litWall, width * height / 10);
}

TEST_F(TunnelFrames, ViewWidensAtTheEndAndIsSetBackInTheSameFrame)
{
    // Up to 107710 the scene leaves the projection alone, whatever it is.
    glMatrixMode(GL_PROJECTION);
    glOrtho(-1, 1, -1, 1, -1, 1);
    GLfloat before[16], after[16];
    glGetFloatv(GL_PROJECTION_MATRIX, before);
    glMatrixMode(GL_MODELVIEW);
    frame(107710);
    glGetFloatv(GL_PROJECTION_MATRIX, after);
    EXPECT_TRUE(std::equal(before, before + 16, after));

    glMatrixMode(GL_PROJECTION);
    glLoadMatrixf(startup);
    glMatrixMode(GL_MODELVIEW);
    frame(109586, false);  // the same camera seen at 45 degrees
    const size_t narrow = cube.size();
    frame(109586);
    EXPECT_GT(narrow, 40u);
    EXPECT_GT(cube.size(), 0u);
    EXPECT_LT(cube.size() * 4, narrow);

    // Back at 45 degrees, with the identity modelview current for the noise overlay.
    glGetFloatv(GL_PROJECTION_MATRIX, after);
    for (int i = 0; i < 16; ++i) EXPECT_NEAR(after[i], startup[i], 1e-6) << i;
    GLint mode = 0;
    glGetIntegerv(GL_MATRIX_MODE, &mode);
    EXPECT_EQ(mode, GL_MODELVIEW);
    glGetFloatv(GL_MODELVIEW_MATRIX, after);
    for (int i = 0; i < 16; ++i) EXPECT_EQ(after[i], i % 5 == 0 ? 1.0f : 0.0f) << i;
}
