#include "scenes/spike_scene.h"

#include "geometry/mesh_grid.h"
#include "geometry/pi.h"
#include "geometry/render_state.h"
#include "image/create_sprites.h"
#include "image/image_wrapper.h"
#include "programme/script_variables.h"
#include "programme/time.h"

#include <GL/glu.h>

#include <cmath>
#include <cstdlib>

ImageWrapper* spikeTexture = nullptr;
ImageWrapper* spikeTunnelTexture = nullptr;
ImageWrapper* spikeFlare = nullptr;

namespace {

const SpriteRow spikePictures[] = {
    {&spikeTexture, "data/spike_texture.jpg", nullptr, false},
    {&spikeTunnelTexture, "data/spike_tunnel_texture.jpg", nullptr, false},
    // The flare gets its size from the loader and its positions from the scene.
    {&spikeFlare, "data/spike_flare_texture.jpg", "data/spike_flare_texture.jpg", false},
};

const ScheduleRow spikeWindows[] = {
    {32001, 45999, "spiked-tube", spikeScene, stepSpikeScene, nullptr, nullptr},
};

}  // namespace

const SceneUnit SPIKE_UNIT = sceneUnit("spike", spikeWindows, spikePictures, loadSpikeScene);

MeshVertex* spikeMesh = nullptr;
MeshVertex* spikeRestMesh = nullptr;
MeshVertex* spikeTunnelMesh = nullptr;
GLuint spikeTunnelList = 0;
int spikeColumnStart[200];
float flarePositions[200][3];

namespace {

constexpr int RINGS = 200;
constexpr int COLUMNS = 15;

struct BeatRule {
    uint32_t after;  // the rule applies when t > after
    int offset;
};

// Tested top to bottom, the last match winning. The 33447 rule really does
// come after 33768, 34106 and 34425: between 33448 and 34599 it overrides them.
const BeatRule BEAT_LADDER[] = {
    {32331, 500},   {32542, 1000},  {32775, 1500},  {33210, 3000},  {33768, 1500},  {34106, 3500},  {34425, 2500},
    {33447, 1000},  {34599, 2500},  {34892, 1500},  {34994, 4000},  {35104, 4500},  {35544, 5000},  {35882, 3500},
    {36095, 6000},  {36318, 5500},  {36763, 7000},  {36993, 6000},  {37320, 7500},  {37874, 8000},  {38103, 9500},
    {38431, 8000},  {38532, 7000},  {38620, 4000},  {39104, 9000},  {39425, 8000},  {39674, 9500},  {39879, 6000},
    {40325, 8000},  {40511, 9000},  {41193, 10000}, {41413, 10500}, {41561, 9000},  {42648, 11000}, {42979, 11500},
    {43191, 11000}, {43421, 12500}, {43865, 11500}, {44080, 10500}, {44432, 13000}, {44740, 11000}, {44979, 12500},
    {45198, 14000},
};

}  // namespace

int beatOffsetAt(uint32_t t, int previous)
{
    int offset = previous;
    for (const BeatRule& rule : BEAT_LADDER)
        if (t > rule.after) offset = rule.offset;
    return offset;
}

int foldSpikeDepth(int depth)
{
    while (depth > 32000) depth -= 32000;
    return depth;
}

int spikeDepth(uint32_t t, int offset)
{
    // Wrapping 32-bit arithmetic, read back as signed.
    const uint32_t ahead = t + static_cast<uint32_t>(offset) - 32000u;
    return foldSpikeDepth(static_cast<int32_t>(ahead * 2u));
}

float spikePhase(uint32_t t, int offset)
{
    const uint32_t shifted = t + static_cast<uint32_t>(offset);
    return static_cast<float>(static_cast<double>(shifted) * static_cast<double>(PHASE_SCALE));
}

void buildSpikeColumnStart(int table[200], int (*next)())
{
    for (int i = 0; i < RINGS; ++i) {
        // Unsigned so that a draw near INT_MAX cannot overflow; 16 divides 2^32,
        // so the remainder is the same as the true (r + i) mod 16.
        int entry;
        do {
            entry = static_cast<int>((static_cast<unsigned>(next()) + static_cast<unsigned>(i)) % 16u);
        } while (i >= 1 && entry == table[i - 1]);
        table[i] = entry;
    }
}

void buildFlarePositions(float positions[200][3])
{
    for (int i = 0; i < RINGS; ++i) {
        const float a = static_cast<float>(i * PI);
        positions[i][0] = static_cast<float>(700.0 * std::sin(static_cast<double>(a)));
        positions[i][1] = static_cast<float>(700.0 * std::cos(static_cast<double>(a)));
        positions[i][2] = static_cast<float>(200.0 * i);
    }
}

void loadSpikeScene(PicturePrefetch* pictures)
{
    spikeMesh = makeCylinderGrid(RINGS, COLUMNS, 350, 200, 2, 20);
    spikeRestMesh = makeCylinderGrid(RINGS, COLUMNS, 350, 200, 2, 20);
    spikeTunnelMesh = makeCylinderGrid(RINGS, COLUMNS, 800, 200, 2, 20);

    createSprites(SPIKE_UNIT.pictures, pictures);

    buildSpikeColumnStart(spikeColumnStart, rand);
    spikeFlare->setSize(100);
    buildFlarePositions(flarePositions);

    spikeTunnelList = glGenLists(1);
    glNewList(spikeTunnelList, GL_COMPILE);
    glBindTexture(GL_TEXTURE_2D, static_cast<GLuint>(spikeTunnelTexture->texture));
    drawGrid(RINGS, COLUMNS, spikeTunnelMesh);
    glBindTexture(GL_TEXTURE_2D, 0);
    glEndList();
}

bool stepSpikeScene(uint32_t t)
{
    script.beatOffset = beatOffsetAt(t, script.beatOffset);
    return false;
}

void spikeScene(uint32_t t)
{
    stepSpikeScene(t);
    renderSpikes(spikeDepth(t, script.beatOffset), spikePhase(t, script.beatOffset));
}

void renderSpikes(int depth, float phase)
{
    const double x = phase;
    setFog(0, 1000, 0.0002f);

    const float factor = static_cast<float>(std::sin(x) * 0.5 + 0.5 + 1);
    displaceSpikes(factor, RINGS, COLUMNS, spikeRestMesh, spikeMesh);

    const float twice = 2.0f * phase;
    spikeFlare->setSize(static_cast<float>(std::sin(static_cast<double>(twice)) * 50 + 100));

    glPushMatrix();
    // On the circle of radius 500 round the axis, looking 1000 ahead at the
    // point 0.2 radians further round.
    const double y = static_cast<float>(x + 0.2);
    gluLookAt(500 * std::sin(x), 500 * std::cos(x), depth, 500 * std::sin(y), 500 * std::cos(y), depth + 1000.0, 0, 1,
              0);

    glBindTexture(GL_TEXTURE_2D, static_cast<GLuint>(spikeTexture->texture));
    drawGrid(RINGS, COLUMNS, spikeMesh);
    glCallList(spikeTunnelList);

    // The flares are depth-tested against the tubes but write no depth.
    glDepthMask(GL_FALSE);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glBindTexture(GL_TEXTURE_2D, static_cast<GLuint>(spikeFlare->texture));
    for (int i = 0; i < RINGS; ++i) {
        spikeFlare->setPosition(flarePositions[i][0], flarePositions[i][1], flarePositions[i][2]);
        spikeFlare->drawTriangles();
    }
    glDisable(GL_BLEND);
    glDepthMask(GL_TRUE);
    glBindTexture(GL_TEXTURE_2D, 0);
    glPopMatrix();
    glDisable(GL_FOG);
}

void displaceSpikes(float factor, int rings, int columns, const MeshVertex* rest, MeshVertex* live)
{
    // Every frame starts again from the rest grid, so nothing accumulates.
    for (int i = 1; i < rings; ++i) {
        const bool odd = (i & 1) != 0;
        for (int c = spikeColumnStart[i]; c < columns; c += 4) {
            const MeshVertex& from = rest[i * columns + c];
            MeshVertex& to = live[i * columns + c];
            if (odd) {
                to.x = from.x * factor;
                to.y = from.y * factor;
            } else {
                to.x = from.x;
                to.y = from.y;
            }
            to.z = from.z;
        }
    }
}
