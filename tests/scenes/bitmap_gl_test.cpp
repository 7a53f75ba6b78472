#include "scene_gl_fixture.h"

#include "geometry/mesh_grid.h"
#include "image/catalogue.h"
#include "image/image_wrapper.h"
#include "scenes/bitmap_scene.h"

#include <GL/glext.h>

namespace {

class BitmapGl : public SceneGlTest {
protected:
    void SetUp() override
    {
        SceneGlTest::SetUp();
        glEnable(GL_DEPTH_TEST);
        // Both units modulate: yellow times cyan shows green, one unit alone would not.
        solid("bitmap_texture.jpg", 255, 255, 0);
        solid("bitmap_env.jpg", 0, 255, 255);
        solid("slut1.jpg", 255, 0, 255);
        leftQuarter("slut1_alfa.jpg");
        loadBitmapScene();
        slut[0] = new AlphaImageWrapper("data/slut1_alfa.jpg", "data/slut1.jpg");
        placeOnScreen(slut[0]);
    }

    void render(uint32_t t)
    {
        glLoadIdentity();
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        bitmapScene(t);
        readFrame();
    }
};

}  // namespace

TEST_F(BitmapGl, DoublyTexturedGridUnderTheEndingPicture)
{
    const Rgb green{0, 255, 0};
    render(110151);
    snapshot("bitmap-110151");
    EXPECT_TRUE(near(pixel(width / 2, height / 2), green, 16)) << pixel(width / 2, height / 2);
    EXPECT_TRUE(near(pixel(4, height / 2), green, 16)) << "no ending picture before 117703";

    render(117702);
    EXPECT_TRUE(near(pixel(4, height / 2), green, 16));
    render(117703);
    snapshot("bitmap-117703");
    EXPECT_TRUE(near(pixel(4, height / 2), {255, 0, 255}, 16)) << pixel(4, height / 2);
    EXPECT_TRUE(near(pixel(width / 2, height / 2), green, 16));

    // Afterwards unit 0 is active with texturing on; unit 1 is off, with no coordinate generation.
    GLint active = 0;
    glGetIntegerv(GL_ACTIVE_TEXTURE_ARB, &active);
    EXPECT_EQ(active, GL_TEXTURE0_ARB);
    EXPECT_TRUE(glIsEnabled(GL_TEXTURE_2D));
    glActiveTextureARB(GL_TEXTURE1_ARB);
    EXPECT_FALSE(glIsEnabled(GL_TEXTURE_2D));
    EXPECT_FALSE(glIsEnabled(GL_TEXTURE_GEN_S));
    EXPECT_FALSE(glIsEnabled(GL_TEXTURE_GEN_T));
    glActiveTextureARB(GL_TEXTURE0_ARB);
}

TEST_F(BitmapGl, WaveAtPhaseZero)
{
    renderBitmapWave(0);
    EXPECT_FLOAT_EQ(columnWave[0], 5);
    EXPECT_NEAR(columnWave[4], -0.292, 0.001);
    EXPECT_FLOAT_EQ(waveGrid[0].z, -30);
    // Grid x, y, u and v are as built.
    EXPECT_FLOAT_EQ(waveGrid[0].x, -37.5f);
    EXPECT_FLOAT_EQ(waveGrid[624].u, 1.92f);
    readFrame();
    EXPECT_TRUE(near(pixel(width / 2, height / 2), {0, 255, 0}, 16));
}
