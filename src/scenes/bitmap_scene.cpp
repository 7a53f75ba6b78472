#include "scenes/bitmap_scene.h"

#include "geometry/mesh_grid.h"
#include "image/create_sprites.h"
#include "image/image_wrapper.h"
#include "programme/script_variables.h"
#include "programme/time.h"

#include <GL/gl.h>
#include <GL/glext.h>

#include <cmath>

ImageWrapper* bitmapTexture = nullptr;
ImageWrapper* bitmapEnv = nullptr;
ImageWrapper* slut[17] = {};

namespace {

const SpriteRow bitmapPictures[] = {
    {&bitmapTexture, "data/bitmap_texture.jpg", nullptr, false},
    {&bitmapEnv, "data/bitmap_env.jpg", nullptr, false},
    {&slut[0], "data/slut1.jpg", "data/slut1_alfa.jpg", true},
    {&slut[1], "data/slut2.jpg", "data/slut2_alfa.jpg", true},
    {&slut[2], "data/slut3.jpg", "data/slut3_alfa.jpg", true},
    {&slut[3], "data/slut4.jpg", "data/slut4_alfa.jpg", true},
    {&slut[4], "data/slut5.jpg", "data/slut5_alfa.jpg", true},
    {&slut[5], "data/slut6.jpg", "data/slut6_alfa.jpg", true},
    {&slut[6], "data/slut7.jpg", "data/slut7_alfa.jpg", true},
    {&slut[7], "data/slut8.jpg", "data/slut8_alfa.jpg", true},
    {&slut[8], "data/slut9.jpg", "data/slut9_alfa.jpg", true},
    {&slut[9], "data/slut10.jpg", "data/slut10_alfa.jpg", true},
    {&slut[10], "data/ost1.jpg", "data/ost1_alfa.jpg", true},
    {&slut[11], "data/ost2.jpg", "data/ost2_alfa.jpg", true},
    {&slut[12], "data/ost3.jpg", "data/ost3_alfa.jpg", true},
    {&slut[13], "data/ost4.jpg", "data/ost4_alfa.jpg", true},
    {&slut[14], "data/ost5.jpg", "data/ost5_alfa.jpg", true},
    {&slut[15], "data/ost6.jpg", "data/ost6_alfa.jpg", true},
    {&slut[16], "data/ost7.jpg", "data/ost7_alfa.jpg", true},
};

const ScheduleRow bitmapWindows[] = {
    {110151, 131026, "bitmap-wave", bitmapScene, stepBitmapScene, nullptr, nullptr},
};

}  // namespace

const SceneUnit BITMAP_UNIT = sceneUnit("bitmap", bitmapWindows, bitmapPictures, loadBitmapScene);

MeshVertex* waveGrid = nullptr;
float columnWave[25];

namespace {

constexpr int GRID = 25;

// The float nearest 1/3.
constexpr float ONE_THIRD = 0.3333333432674408f;

// In every frame inside this window the animation slows by 0.5, down to 1.
constexpr uint32_t SLOW_DOWN_FROM = 117237;
constexpr uint32_t SLOW_DOWN_TO = 120999;

struct EndingRule {
    uint32_t after;  // applies when t > after
    int index;
};

const EndingRule ENDING_LADDER[] = {
    {119478, 1}, {121253, 2}, {123031, 3}, {124804, 4}, {125693, 5}, {126583, 6}, {127472, 7}, {128357, 8}, {129244, 9},
};

// Troughs are twice as deep as crests; a wave of exactly 0 stays 0.
float deepenTrough(float wave)
{
    return wave < 0 ? 2 * wave : wave;
}

}  // namespace

float nextWaveSpeed(uint32_t t, float previous)
{
    float speed = previous;
    if (SLOW_DOWN_FROM <= t && t <= SLOW_DOWN_TO) speed = static_cast<float>(speed - 0.5);
    if (speed < 1) speed = 1;
    return speed;
}

int endingIndexAt(uint32_t t, int previous)
{
    int index = previous;
    for (const EndingRule& rule : ENDING_LADDER)
        if (t > rule.after) index = rule.index;
    return index;
}

void loadBitmapScene(PicturePrefetch* pictures)
{
    createSprites(BITMAP_UNIT.pictures, pictures);
    waveGrid = makeFlatGrid(75, 75, GRID, GRID, -10, 2, 2);
}

bool stepBitmapScene(uint32_t t)
{
    script.waveSpeed = nextWaveSpeed(t, script.waveSpeed);
    if (t <= ENDING_PICTURES_AFTER) return false;
    script.endingIndex = endingIndexAt(t, script.endingIndex);
    return true;
}

void bitmapScene(uint32_t t)
{
    const double p = static_cast<double>(t) * static_cast<double>(PHASE_SCALE);
    const bool ending = stepBitmapScene(t);
    renderBitmapWave(static_cast<float>(p * script.waveSpeed));
    if (ending) drawMasked(slut[script.endingIndex]);
}

void updateWaveSurface(float phase)
{
    const double x = phase;
    // One cosine per column, shared by every row.
    for (int j = 0; j < GRID; ++j) columnWave[j] = deepenTrough(static_cast<float>(std::cos(x + 0.4 * j) * 5));

    const float base = static_cast<float>(std::sin(x * ONE_THIRD) * 10 - 35);
    for (int i = 0; i < GRID; ++i) {
        const float w = deepenTrough(static_cast<float>(std::sin(0.52 * i + x) * 5));
        const double row = static_cast<double>(w) + base;
        for (int j = 0; j < GRID; ++j) waveGrid[i * GRID + j].z = static_cast<float>(row + columnWave[j]);
    }
}

void renderBitmapWave(float phase)
{
    const double x = phase;
    glPushMatrix();
    glClearColor(0, 0, 0, 0);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glLoadIdentity();

    glRotatef(static_cast<float>(std::sin(x * 0.125) * 360), 0, 0, 1);
    // The same value moves the grid sideways and in depth.
    const float tx = static_cast<float>(std::sin(x * 0.5) * 10);
    const float ty = static_cast<float>(std::cos(x * ONE_THIRD) * 10);
    glTranslatef(tx, ty, tx);

    updateWaveSurface(phase);

    // Unit 0: the picture, with blocky nearest-neighbour filtering.
    glActiveTextureARB(GL_TEXTURE0_ARB);
    glEnable(GL_TEXTURE_2D);
    glBindTexture(GL_TEXTURE_2D, static_cast<GLuint>(bitmapTexture->texture));
    glTexParameterf(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, static_cast<float>(GL_NEAREST));
    glTexParameterf(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, static_cast<float>(GL_NEAREST));

    // Unit 1: the environment picture, its coordinates generated by sphere mapping.
    glActiveTextureARB(GL_TEXTURE1_ARB);
    glEnable(GL_TEXTURE_2D);
    glBindTexture(GL_TEXTURE_2D, static_cast<GLuint>(bitmapEnv->texture));
    glTexGeni(GL_S, GL_TEXTURE_GEN_MODE, GL_SPHERE_MAP);
    glEnable(GL_TEXTURE_GEN_S);
    glTexGeni(GL_T, GL_TEXTURE_GEN_MODE, GL_SPHERE_MAP);
    glEnable(GL_TEXTURE_GEN_T);

    drawGridMultiTex(GRID, GRID, waveGrid);

    // Unit 1 is still active here.
    glBindTexture(GL_TEXTURE_2D, 0);
    glDisable(GL_TEXTURE_GEN_T);
    glDisable(GL_TEXTURE_GEN_S);
    glActiveTextureARB(GL_TEXTURE1_ARB);
    glDisable(GL_TEXTURE_2D);
    glActiveTextureARB(GL_TEXTURE0_ARB);
    glPopMatrix();
}
