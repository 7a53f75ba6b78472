#include "scenes/sphere_scenes.h"

#include "geometry/pi.h"
#include "geometry/render_state.h"
#include "geometry/sphere.h"
#include "image/create_sprites.h"
#include "image/image_wrapper.h"
#include "programme/script_variables.h"
#include "programme/time.h"
#include "scenes/frame.h"

#include <GL/gl.h>
#include <GL/glu.h>

#include <cmath>

ImageWrapper* kasseTexture = nullptr;
ImageWrapper* kasseTransTexture = nullptr;
ImageWrapper* blobOverlay = nullptr;
ImageWrapper* sphereFlare = nullptr;
ImageWrapper* spheresTexture[4] = {};
ImageWrapper* sphereOverlay = nullptr;

namespace {

const SpriteRow blobPictures[] = {
    {&kasseTexture, "data/kasse_texture.jpg", nullptr, false},
    {&kasseTransTexture, "data/kasse_trans_texture.jpg", "data/kasse_trans_texture.jpg", false},
    {&blobOverlay, "data/bloboverlay.jpg", "data/bloboverlay_alfa.jpg", true},
};

const SpriteRow spheresPictures[] = {
    {&sphereFlare, "data/sphere_flare.jpg", "data/sphere_flare.jpg", true},
    {&spheresTexture[0], "data/spheres_texture1.jpg", nullptr, false},
    {&spheresTexture[1], "data/spheres_texture2.jpg", nullptr, false},
    {&spheresTexture[2], "data/spheres_texture3.jpg", nullptr, false},
    {&spheresTexture[3], "data/spheres_texture1.jpg", nullptr, false},
    {&sphereOverlay, "data/sphereoverlay.jpg", "data/sphereoverlay_alfa.jpg", true},
};

const ScheduleRow blobWindows[] = {
    {67523, 81510, "blob", blobScene, stepBlobScene, blobShapesSphereCache, nullptr},
};

const ScheduleRow spheresWindows[] = {
    {81680, 88392, "spheres", spheresScene, stepSpheresScene, spheresShapeSphereCache, spheresLeaveSquareProjection},
};

}  // namespace

const SceneUnit BLOB_UNIT = sceneUnit("blob", blobWindows, blobPictures, loadBlobScene);
const SceneUnit SPHERES_UNIT = sceneUnit("spheres", spheresWindows, spheresPictures, loadSpheresScene);

namespace {

constexpr int SEGMENTS = 50;

struct TimeWindow {
    uint32_t from;  // inclusive
    uint32_t to;    // inclusive
};

bool holds(const TimeWindow& window, uint32_t t)
{
    return window.from <= t && t <= window.to;
}

struct DivisorRow {
    TimeWindow window;
    float divisor;
};

// Between the windows the divisor keeps what it last received, so the later
// 1300 rows matter only when a long frame skipped the earlier ones.
const DivisorRow BLOB_DIVISORS[] = {
    {{71081, 71299}, 1000.0f}, {{72175, 73045}, 1300.0f}, {{74612, 74840}, 1300.0f},
    {{74928, 76406}, 1300.0f}, {{77513, 78174}, 1300.0f}, {{79287, 79946}, 1300.0f},
};

// The camera comes in to half the distance, with half the field of view.
const TimeWindow CLOSE_UPS[] = {
    {82636, 82734}, {84398, 84496}, {85277, 85375}, {86247, 86345}, {87945, 88043},
};

void bind(const ImageWrapper* sprite)
{
    glBindTexture(GL_TEXTURE_2D, static_cast<GLuint>(sprite->texture));
}

double phaseOf(uint32_t t)
{
    return static_cast<double>(t) * static_cast<double>(PHASE_SCALE);
}

// The first sphere drawn builds the cache; a frame that only reshapes it
// without drawing builds it the same way first.
void buildSphereCacheIfNeeded()
{
    if (sphereCacheBuilt != 1) buildSphereCache(SEGMENTS);
}

// The clamped shape for the next frame stays inside [-5, 5]^3, within the cube.
void shapeBlob(float phase)
{
    deformBlob(0.5f, 0.3f, 0.2f, 0.7f, phase);
}

}  // namespace

float blobDivisorAt(uint32_t t, float previous)
{
    float divisor = previous;
    for (const DivisorRow& row : BLOB_DIVISORS)
        if (holds(row.window, t)) divisor = row.divisor;
    return divisor;
}

float spheresDistance(uint32_t t)
{
    for (const TimeWindow& window : CLOSE_UPS)
        if (holds(window, t)) return 2.5f;
    return 5.0f;
}

void loadBlobScene(PicturePrefetch* pictures)
{
    createSprites(BLOB_UNIT.pictures, pictures);
}

bool stepBlobScene(uint32_t t)
{
    script.blobAngleDivisor = blobDivisorAt(t, script.blobAngleDivisor);
    return true;
}

void blobShapesSphereCache(uint32_t t)
{
    buildSphereCacheIfNeeded();
    shapeBlob(static_cast<float>(phaseOf(t)));
}

void blobScene(uint32_t t)
{
    stepBlobScene(t);
    renderBlob(static_cast<float>(phaseOf(t)),
               static_cast<float>(static_cast<double>(t) / static_cast<double>(script.blobAngleDivisor)));
    drawMasked(blobOverlay);
}

void renderBlob(float phase, float angle)
{
    glPushMatrix();
    gluLookAt(20 * std::sin(static_cast<double>(angle)), 20 * std::cos(static_cast<double>(angle)), 20, 2, 0, 0, 0, 1,
              0);

    // The shape is the one the last frame's deformation left in the cache.
    bind(kasseTexture);
    drawSphere(0, 0, 0, 5, SEGMENTS, 2, 2);

    glDepthMask(GL_FALSE);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    bind(kasseTransTexture);
    drawBox(0, 0, 0, 5.1f, 5.1f, 5.1f, 1, 1);

    glBindTexture(GL_TEXTURE_2D, 0);
    glDisable(GL_BLEND);
    glDepthMask(GL_TRUE);

    shapeBlob(phase);

    glBindTexture(GL_TEXTURE_2D, 0);
    glPopMatrix();
}

void loadSpheresScene(PicturePrefetch* pictures)
{
    createSprites(SPHERES_UNIT.pictures, pictures);
}

bool stepSpheresScene(uint32_t)
{
    return true;
}

void spheresShapeSphereCache(uint32_t)
{
    buildSphereCacheIfNeeded();
    restoreSphere();
}

bool spheresLeaveSquareProjection(uint32_t)
{
    return true;
}

void spheresScene(uint32_t t)
{
    renderSpheres(static_cast<float>(phaseOf(t)), spheresDistance(t));
    drawMasked(sphereOverlay);
}

void renderSpheres(float phase, float distance)
{
    const double p = phase;
    deformBlobUnclamped(0.5f, 0.3f, 0.2f, 0.2f, phase);

    glPushMatrix();
    setFieldOfView(distance * 10);  // also resets the modelview matrix
    gluLookAt(10 * std::sin(p), 10 * std::cos(p), distance, 0, 0, 0, 0, 1, 0);

    glPushMatrix();
    glRotatef(static_cast<float>(std::sin(p * 0.5) * 360), 0, 0, 1);

    struct Ball {
        int texture;
        float x, y, z;
    };
    const Ball balls[4] = {
        {0, 0, 7, 0},
        {1, 0, -7, 0},
        {2, 7, 0, 0},
        {3, -7, 0, 0},
    };
    for (const Ball& ball : balls) {
        bind(spheresTexture[ball.texture]);
        drawSphere(ball.x, ball.y, ball.z, 5, SEGMENTS, 1, 1);
    }

    // The backdrop encloses the camera and is never deformed.
    bind(noise[0]);
    restoreSphere();
    drawSphere(0, 0, 0, 50, SEGMENTS, 1, 1);

    glBindTexture(GL_TEXTURE_2D, 0);
    glPopMatrix();
    glPopMatrix();

    // Six flares on a unit circle round the view axis, turning three times as fast as the phase.
    glPushMatrix();
    const float z = static_cast<float>((static_cast<double>(distance) - 20) * static_cast<double>(0.33333334f));
    for (int i = 0; i < 6; ++i) {
        const double a = static_cast<double>(static_cast<float>(i * PI / 3)) + 3 * p;
        sphereFlare->setPosition(static_cast<float>(std::sin(a)), static_cast<float>(std::cos(a)), z);
        sphereFlare->drawBlended();
    }
    glPopMatrix();

    setFieldOfView(45);
    glBindTexture(GL_TEXTURE_2D, 0);
}
