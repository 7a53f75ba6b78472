#include "scene_gl_fixture.h"

#include "image/image_wrapper.h"
#include "scenes/frame.h"
#include "scenes/sphere_scenes.h"

#include <array>
#include <cstdlib>
#include <string>

namespace {

class SphereScenesGl : public SceneGlTest {
protected:
    SphereScenesGl() { width = height = 96; }

    void SetUp() override
    {
        SceneGlTest::SetUp();
        // Both overlays, which the scenes' loaders make, cover the left
        // quarter of the window in magenta.
        for (const std::string overlay : {"bloboverlay", "sphereoverlay"}) {
            picture(overlay + ".jpg", {255, 0, 255});
            picture(overlay + "_alfa.jpg", {255, 255, 255}, leftQuarter);
        }
    }

    void render(void (*scene)(uint32_t), uint32_t t)
    {
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        scene(t);
        readFrame();
        snapshot("scene-" + std::to_string(t));
    }

    bool overlayOnlyOnTheLeft()
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
    picture("kasse_texture.jpg", {255, 0, 0});
    picture("kasse_trans_texture.jpg", {128, 255, 128});  // opacity 0.5
    loadBlobScene();

    render(blobScene, 67523);
    EXPECT_TRUE(overlayOnlyOnTheLeft());
    // Through the cube's near face the red blob is tinted green; where only
    // the cube is, its faces show green over black.
    EXPECT_GT(count([](Rgb c) { return c.r > 150 && c.g > 90 && c.g < c.r; }), 300);
    EXPECT_GT(count([](Rgb c) { return c.g > 100 && c.r < c.g * 3 / 4; }), 100);
    const std::vector<unsigned char> first = frame;

    // Untinted red would be blob outside the cube; a stray pixel or two may
    // fall on the 0.1 margin between their edges.
    for (uint32_t t = 67600; t < 70000; t += 200) {
        render(blobScene, t);
        EXPECT_LE(count([](Rgb c) { return c.r > 200 && c.g < 60 && c.b < 60; }), 3) << t;
    }
    render(blobScene, 67523);
    EXPECT_NE(first, frame) << "the same time again shows the blob deformed by the frame before";
}

TEST_F(SphereScenesGl, FourSpheresInsideTheNoiseSphereWithFlares)
{
    picture("spheres_texture1.jpg", {255, 0, 0});
    picture("spheres_texture2.jpg", {0, 255, 0});
    picture("spheres_texture3.jpg", {255, 255, 0});
    picture("sphere_flare.jpg", {255, 255, 255}, disc);
    picture("nois1.jpg", {40, 40, 255});
    noise[0] = new AlphaImageWrapper("data/nois1.jpg", "data/nois1.jpg");
    loadSpheresScene();
    const std::array<float, 16> startup = projection();

    render(spheresScene, 84530);  // the camera looks past the spheres at the backdrop
    EXPECT_TRUE(overlayOnlyOnTheLeft());
    EXPECT_GT(count([](Rgb c) { return c.b > 200 && c.r < 80 && c.g < 80; }), 300);    // backdrop
    EXPECT_GT(count([](Rgb c) { return c.r > 200 && c.g < 60 && c.b < 60; }), 300);    // red
    EXPECT_GT(count([](Rgb c) { return c.g > 200 && c.r < 60 && c.b < 60; }), 100);    // green
    EXPECT_GT(count([](Rgb c) { return c.r > 200 && c.g > 200 && c.b < 60; }), 300);   // yellow
    EXPECT_GT(count([](Rgb c) { return c.r > 230 && c.g > 230 && c.b > 230; }), 300);  // flares
    EXPECT_EQ(projection(), startup) << "the field of view is set back to 45 degrees";

    // One millisecond changes little, except where a close-up begins and the view narrows.
    auto changedSince = [this](const std::vector<unsigned char>& before) {
        int changed = 0;
        for (size_t i = 0; i < frame.size(); i += 3)
            changed += std::abs(frame[i] - before[i]) + std::abs(frame[i + 1] - before[i + 1]) +
                           std::abs(frame[i + 2] - before[i + 2]) >
                       60;
        return changed;
    };
    render(spheresScene, 84396);
    std::vector<unsigned char> before = frame;
    render(spheresScene, 84397);
    EXPECT_LT(changedSince(before), 200);
    before = frame;
    render(spheresScene, 84398);
    EXPECT_GT(changedSince(before), 2000);
    EXPECT_EQ(projection(), startup);
}
