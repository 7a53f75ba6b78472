#include "scene_gl_fixture.h"

#include "geometry/pi.h"
#include "image/image_wrapper.h"
#include "scenes/spike_scene.h"

#include <algorithm>

namespace {

class SpikeGl : public SceneGlTest {
protected:
    SpikeGl() { width = height = 96; }

    void SetUp() override
    {
        SceneGlTest::SetUp();
        picture("spike_texture.jpg", {255, 0, 0});
        picture("spike_tunnel_texture.jpg", {0, 255, 0});
        picture("spike_flare_texture.jpg", {128, 128, 255});  // its own red is its opacity: 0.5
        loadSpikeScene();
    }
};

bool innerTube(Rgb c)
{
    return c.r > 30 && c.g < c.r / 4 && c.b < c.r / 2;
}
bool outerTube(Rgb c)
{
    return c.g > 30 && c.r < c.g / 4 && c.b < c.g / 4;
}

}  // namespace

TEST_F(SpikeGl, TubesAndFlaresInFog)
{
    spikeScene(32001);
    readFrame();
    snapshot("spike-32001");
    EXPECT_GT(count(innerTube), 200);
    EXPECT_GT(count(outerTube), 200);
    EXPECT_GT(count([](Rgb c) { return c.b > 30 && c.b > c.g + 20; }), 20);  // flares
    // The far end is lost in black fog, and even the nearest walls are slightly dimmed.
    EXPECT_GT(count([](Rgb c) { return c.r + c.g + c.b < 12; }), 20);
    EXPECT_EQ(count([](Rgb c) { return c.r == 255 || c.g == 255; }), 0);

    EXPECT_FALSE(glIsEnabled(GL_FOG) || glIsEnabled(GL_BLEND));
    GLboolean depthWrites = GL_FALSE;
    glGetBooleanv(GL_DEPTH_WRITEMASK, &depthWrites);
    EXPECT_TRUE(depthWrites);
}

TEST_F(SpikeGl, SpikesShowWhereTheStartColumnsChooseThem)
{
    const float phase = PI_F * 8.5f;  // sin = 1: factor 2
    int chosen[200];
    std::copy(spikeColumnStart, spikeColumnStart + 200, chosen);
    std::fill(spikeColumnStart, spikeColumnStart + 200, 15);  // no vertex chosen anywhere
    renderSpikes(5000, phase);
    readFrame();
    const std::vector<unsigned char> smooth = frame;

    std::copy(chosen, chosen + 200, spikeColumnStart);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    renderSpikes(5000, phase);
    readFrame();
    snapshot("spike-spiked");
    // Spikes of the inner tube now cover parts of the outer tube.
    int covered = 0;
    for (int i = 0; i < width * height; ++i)
        covered += outerTube({smooth[i * 3], smooth[i * 3 + 1], smooth[i * 3 + 2]}) &&
                   innerTube(pixel(i % width, i / width));
    EXPECT_GT(covered, 50);
}
