#include "scene_gl_fixture.h"

#include "geometry/render_state.h"
#include "image/catalogue.h"
#include "image/image_wrapper.h"
#include "scenes/sphere_scenes.h"

#include <array>
#include <cstdlib>

namespace {

class SphereScenesGl : public SceneGlTest {
protected:
    SphereScenesGl() { width = height = 96; }

    void SetUp() override
    {
        SceneGlTest::SetUp();
        glEnable(GL_DEPTH_TEST);
        // The overlays cover the left quarter of the window in magenta.
        solid("bloboverlay.jpg", 255, 0, 255);
        leftQuarter("bloboverlay_alfa.jpg");
        solid("sphereoverlay.jpg", 255, 0, 255);
        leftQuarter("sphereoverlay_alfa.jpg");
        blobOverlay = new AlphaImageWrapper("data/bloboverlay_alfa.jpg", "data/bloboverlay.jpg");
        placeOnScreen(blobOverlay);
        sphereOverlay = new AlphaImageWrapper("data/sphereoverlay_alfa.jpg", "data/sphereoverlay.jpg");
        placeOnScreen(sphereOverlay);
    }

    void render(void (*scene)(uint32_t), uint32_t t)
    {
        glLoadIdentity();
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        scene(t);
        readFrame();
    }

    bool overlayShown()
    {
        return near(pixel(4, height / 2), {255, 0, 255}, 24) && !near(pixel(width - 4, height / 2), {255, 0, 255}, 60);
    }

    std::array<float, 16> projection()
    {
        std::array<float, 16> m;
        glGetFloatv(GL_PROJECTION_MATRIX, m.data());
        return m;
    }
};

}  // namespace

TEST_F(SphereScenesGl, BlobWobblesInsideItsTranslucentCube)
{
    solid("kasse_texture.jpg", 255, 0, 0);
    solid("kasse_trans_texture.jpg", 128, 255, 128);  // opacity 0.5
    loadBlobScene();

    render(blobScene, 67523);
    snapshot("blob-67523");
    EXPECT_TRUE(overlayShown());
    // Seen through the cube's near face the red blob is tinted green; where
    // only the cube is, both faces show green over black.
    auto throughCube = [](Rgb c) { return c.r > 150 && c.g > 90 && c.g < c.r; };
    auto cubeOnly = [](Rgb c) { return c.g > 100 && c.r < c.g * 3 / 4; };
    EXPECT_GT(count(throughCube), 300);
    EXPECT_GT(count(cubeOnly), 100);
    const std::vector<unsigned char> first = frame;

    // The blob's shape changes from frame to frame, and it never pokes out of
    // the cube: an untinted red pixel would be blob outside the cube.
    for (uint32_t t = 67600; t < 70000; t += 200) {
        render(blobScene, t);
        // A stray pixel or two may fall on the 0.1 margin between blob and cube edges.
        EXPECT_LE(count([](Rgb c) { return c.r > 200 && c.g < 60 && c.b < 60; }), 3) << t;
    }
    snapshot("blob-69800");
    render(blobScene, 67523);
    EXPECT_NE(first, frame) << "the second frame at the same time should show the deformed blob";
    EXPECT_FALSE(glIsEnabled(GL_BLEND));
}

TEST_F(SphereScenesGl, FourSpheresInsideTheNoiseSphereWithFlares)
{
    solid("spheres_texture1.jpg", 255, 0, 0);
    solid("spheres_texture2.jpg", 0, 255, 0);
    solid("spheres_texture3.jpg", 255, 255, 0);
    disc("sphere_flare.jpg", 255, 255, 255);
    solid("nois1.jpg", 40, 40, 255);
    noise[0] = new AlphaImageWrapper("data/nois1.jpg", "data/nois1.jpg");
    loadSpheresScene();
    const std::array<float, 16> startup = projection();

    // A moment when the camera looks past the spheres at the backdrop.
    render(spheresScene, 84530);
    snapshot("spheres-84530");
    EXPECT_TRUE(overlayShown());
    auto backdrop = [](Rgb c) { return c.b > 200 && c.r < 80 && c.g < 80; };
    auto red = [](Rgb c) { return c.r > 200 && c.g < 60 && c.b < 60; };
    auto green = [](Rgb c) { return c.g > 200 && c.r < 60 && c.b < 60; };
    auto yellow = [](Rgb c) { return c.r > 200 && c.g > 200 && c.b < 60; };
    auto flareWhite = [](Rgb c) { return c.r > 230 && c.g > 230 && c.b > 230; };
    EXPECT_GT(count(backdrop), 300);
    EXPECT_GT(count(red), 300);
    EXPECT_GT(count(green), 100);
    EXPECT_GT(count(yellow), 300);
    EXPECT_GT(count(flareWhite), 300);
    // The field of view is set back to the start-up 45 degrees.
    EXPECT_EQ(projection(), startup);

    // One millisecond changes the picture little, except where a close-up
    // window begins: then the camera jumps closer and the view narrows.
    auto changedPixels = [this](const std::vector<unsigned char>& before) {
        int changed = 0;
        for (size_t i = 0; i < frame.size(); i += 3)
            for (size_t c = 0; c < 3; ++c)
                if (std::abs(frame[i + c] - before[i + c]) > 60) {
                    ++changed;
                    break;
                }
        return changed;
    };
    render(spheresScene, 84396);
    std::vector<unsigned char> before = frame;
    render(spheresScene, 84397);
    EXPECT_LT(changedPixels(before), 200);
    before = frame;
    render(spheresScene, 84398);
    snapshot("spheres-84398");
    EXPECT_GT(changedPixels(before), 2000);
    EXPECT_EQ(projection(), startup);
}
