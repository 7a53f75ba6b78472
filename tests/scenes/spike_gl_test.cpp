#include "scene_gl_fixture.h"

#include "image/catalogue.h"
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
        solid("spike_texture.jpg", 255, 0, 0);
        solid("spike_tunnel_texture.jpg", 0, 255, 0);
        solid("spike_flare_texture.jpg", 128, 128, 255);  // its own red is its opacity: 0.5
        loadSpikeScene();
        glEnable(GL_DEPTH_TEST);  // as the first masked overlay of the programme leaves it
    }

    void render(uint32_t t)
    {
        glLoadIdentity();
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        spikeScene(t);
        readFrame();
    }
};

bool innerTube(Rgb c) { return c.r > 30 && c.g < c.r / 4 && c.b < c.r / 2; }
bool outerTube(Rgb c) { return c.g > 30 && c.r < c.g / 4 && c.b < c.g / 4; }
bool flare(Rgb c) { return c.b > 30 && c.b > c.g + 20; }

}  // namespace

TEST_F(SpikeGl, TubesAndFlaresInFog)
{
    render(32001);
    snapshot("spike-32001");
    EXPECT_GT(count(innerTube), 200);
    EXPECT_GT(count(outerTube), 200);
    EXPECT_GT(count(flare), 20);
    // The far end of the tubes is lost in black fog, and nothing close is at full strength.
    EXPECT_GT(count([](Rgb c) { return c.r + c.g + c.b < 12; }), 20);
    EXPECT_EQ(count([](Rgb c) { return c.r == 255 || c.g == 255; }), 0);

    // The scene leaves no fog, blending or depth-write change behind.
    EXPECT_FALSE(glIsEnabled(GL_FOG));
    EXPECT_FALSE(glIsEnabled(GL_BLEND));
    GLboolean depthWrites = GL_FALSE;
    glGetBooleanv(GL_DEPTH_WRITEMASK, &depthWrites);
    EXPECT_TRUE(depthWrites);
}

TEST_F(SpikeGl, SpikesShowWhereTheStartColumnsChooseThem)
{
    // A phase where sin x = 1: factor 2, every chosen vertex at radius 700.
    const float phase = 3.14159265f * 0.5f + 2 * 3.14159265f * 4;
    int chosen[200];
    std::copy(spikeColumnStart, spikeColumnStart + 200, chosen);

    std::fill(spikeColumnStart, spikeColumnStart + 200, 15);  // no vertex chosen anywhere
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    renderSpikes(5000, phase);
    readFrame();
    snapshot("spike-none");
    const std::vector<unsigned char> smooth = frame;

    std::copy(chosen, chosen + 200, spikeColumnStart);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    renderSpikes(5000, phase);
    readFrame();
    snapshot("spike-factor2");
    // The spikes cover part of the outer tube that the smooth tube left visible.
    int covered = 0;
    for (size_t i = 0; i < frame.size(); i += 3)
        covered += outerTube({smooth[i], smooth[i + 1], smooth[i + 2]}) && innerTube(pixel((i / 3) % width, (i / 3) / width));
    EXPECT_GT(covered, 50);
}
