#include "scene_gl_fixture.h"

#include "image/image_wrapper.h"
#include "scenes/bitmap_scene.h"

#include <GL/glext.h>

TEST_F(SceneGlTest, BitmapGridIsDoublyTexturedUnderTheEndingPicture)
{
    // Both units modulate: yellow times cyan shows green, either unit alone would not.
    picture("bitmap_texture.jpg", {255, 255, 0});
    picture("bitmap_env.jpg", {0, 255, 255});
    picture("slut1.jpg", {255, 0, 255});
    picture("slut1_alfa.jpg", {255, 255, 255}, leftQuarter);
    loadBitmapScene();  // its ending pictures too, slut1 among them
    auto render = [this](uint32_t t) {
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        bitmapScene(t);
        readFrame();
        snapshot("bitmap-" + std::to_string(t));
    };
    const Rgb green{0, 255, 0}, magenta{255, 0, 255};

    render(110151);
    EXPECT_TRUE(near(pixel(width / 2, height / 2), green, 16)) << pixel(width / 2, height / 2);
    render(117702);
    EXPECT_TRUE(near(pixel(4, height / 2), green, 16)) << "no ending picture up to 117702";
    render(117703);
    EXPECT_TRUE(near(pixel(4, height / 2), magenta, 16)) << pixel(4, height / 2);
    EXPECT_TRUE(near(pixel(width / 2, height / 2), green, 16));

    // Afterwards unit 0 is active with texturing on; unit 1 is off, with no coordinate generation.
    GLint active = 0;
    glGetIntegerv(GL_ACTIVE_TEXTURE_ARB, &active);
    EXPECT_EQ(active, GL_TEXTURE0_ARB);
    EXPECT_TRUE(glIsEnabled(GL_TEXTURE_2D));
    glActiveTextureARB(GL_TEXTURE1_ARB);
    EXPECT_FALSE(glIsEnabled(GL_TEXTURE_2D) || glIsEnabled(GL_TEXTURE_GEN_S) || glIsEnabled(GL_TEXTURE_GEN_T));
    glActiveTextureARB(GL_TEXTURE0_ARB);
}
