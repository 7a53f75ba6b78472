#include "scenes/tunnel_scene.h"

#include "geometry/render_state.h"
#include "image/create_sprites.h"
#include "image/image_wrapper.h"
#include "programme/time.h"

#include <GL/glu.h>

#include <cmath>

ImageWrapper* tunnelTexture = nullptr;
ImageWrapper* tunnelKasseTexture = nullptr;

namespace {

const SpriteRow tunnelPictures[] = {
    {&tunnelTexture, "data/tunnel_texture.jpg", nullptr, false},
    {&tunnelKasseTexture, "data/tunnel_kasse_texture.jpg", nullptr, false},
};

const ScheduleRow tunnelWindows[] = {
    {88841, 109586, "tunnel", tunnelScene, nullptr, nullptr, tunnelWidensView},
};

}  // namespace

const SceneUnit TUNNEL_UNIT = sceneUnit("tunnel", tunnelWindows, tunnelPictures, loadTunnelScene);

GLuint tunnelList = 0;

namespace {

// The camera's offset ladder: from each start on, the offset of its row.
// Each change jumps the camera along its path by the difference.
struct OffsetStep {
    uint32_t from;
    int offset;
};

const OffsetStep TUNNEL_OFFSETS[] = {
    {0, 500},  // from the start of the scene
    {93723, 1500},  {94559, 500},   {97274, 2000},  {98146, 3500},  {99920, 1500},  {100863, 3000}, {101678, 4500},
    {102040, 3000}, {103008, 5000}, {104378, 3500}, {105229, 2500}, {107036, 6500}, {108822, 2000}, {109152, 5500},
};

constexpr int CUBE_COUNT = 20;
constexpr int TUBE_SECTIONS = 50;
constexpr int TUBE_SECTION_LENGTH = 2000 / TUBE_SECTIONS;

}  // namespace

int tunnelOffsetAt(uint32_t t)
{
    int offset = TUNNEL_OFFSETS[0].offset;
    for (const OffsetStep& step : TUNNEL_OFFSETS)
        if (t >= step.from) offset = step.offset;
    return offset;
}

float tunnelPhaseAt(uint32_t t)
{
    return static_cast<float>((tunnelOffsetAt(t) + static_cast<double>(t)) * PHASE_SCALE);
}

bool tunnelWidensView(uint32_t t)
{
    return t > TUNNEL_WIDENING_AFTER;
}

float tunnelFieldOfView(uint32_t t)
{
    if (!tunnelWidensView(t)) return 45;
    return static_cast<float>((1 + (t - TUNNEL_WIDENING_AFTER) * 0.001) * 45);
}

void loadTunnelScene(PicturePrefetch* pictures)
{
    createSprites(TUNNEL_UNIT.pictures, pictures);

    tunnelList = glGenLists(1);
    glNewList(tunnelList, GL_COMPILE);

    // The tube, 2000 long and closed at both ends; its picture repeats 50 times
    // along the length, and the end caps take the same coordinates. The walls are
    // laid as 50 sections, one repeat of the picture each, so the picture is the
    // same as on single 2000-long faces: fog is worked out at the corners of each
    // polygon, and a wall face whose far corners lie hundreds of units away would
    // be fogged black even beside the camera.
    glBindTexture(GL_TEXTURE_2D, tunnelTexture->texture);
    drawBoxEnds(0, 0, 0, 12, 12, 1000, 50, 1);
    for (int i = 0; i < TUBE_SECTIONS; ++i) {
        const float z = static_cast<float>(-1000 + TUBE_SECTION_LENGTH * i + TUBE_SECTION_LENGTH / 2);
        drawBoxSides(0, 0, z, 12, 12, TUBE_SECTION_LENGTH / 2, 1, 1);
    }
    glBindTexture(GL_TEXTURE_2D, 0);

    // A cube every 100 units along the axis, from z = -1000 to 900.
    for (int i = 0; i < CUBE_COUNT; ++i) {
        const float z = static_cast<float>(i * 100 - 1000);
        glBindTexture(GL_TEXTURE_2D, tunnelKasseTexture->texture);
        drawBox(0, 0, z, 7, 7, 7, 1, 1);
        glBindTexture(GL_TEXTURE_2D, 0);
    }

    glEndList();
}

void renderTunnel(float phase)
{
    const double p = phase;
    setFog(0, 500, 0.01f);
    glPushMatrix();
    // The eye circles the axis at radius 10 while swinging between z = -800
    // and +800, looking at a point a little ahead on a similar path.
    gluLookAt(10 * std::sin(p), 10 * std::cos(p), 800 * std::cos(p * 0.5), 10 * std::sin(p + 0.2),
              10 * std::cos(p + 0.2), 800 * std::cos(p * 0.5 + 0.2), 0, 1, 0);
    glCallList(tunnelList);
    glPopMatrix();
    glDisable(GL_FOG);
}

void tunnelScene(uint32_t t)
{
    const bool widens = tunnelWidensView(t);
    if (widens) setFieldOfView(tunnelFieldOfView(t));
    renderTunnel(tunnelPhaseAt(t));
    if (widens) setFieldOfView(45);
}
