#include "../data/generated_data_set.h"
#include "gl_fixture.h"
#include "working_folder.h"

#include "geometry/sphere.h"
#include "image/image_wrapper.h"
#include "programme/screen.h"
#include "scenes/frame.h"
#include "shell/loading.h"
#include "shell/programme_state.h"
#include "shell/schedule.h"

#include <GL/gl.h>
#include <GL/glext.h>

#include <algorithm>
#include <cstring>
#include <iterator>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

using ProgrammeStateGl = GlTest;

// Bringing the state to the end of the programme steps every script without
// drawing: the frame keeps the colour it was cleared to. The depth test is on
// from the frame after the first masked overlay (10655 ms) of the run meant.
TEST_F(ProgrammeStateGl, CatchUpDrawsNothingAndTurnsTheDepthTestOnAfterTheFirstOverlay)
{
    std::string failure;
    const std::string data = generatedDataSet(&failure);
    ASSERT_FALSE(data.empty()) << failure;
    {
        WorkingFolder inside(data);
        loadScenesAndPictures();
    }
    glClearColor(0.2f, 0.4f, 0.6f, 1);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glClearColor(0, 0, 0, 0);
    readFrame();
    const Rgb cleared = pixel(0, 0);

    catchUpProgrammeState(131000, 60);
    EXPECT_TRUE(glIsEnabled(GL_DEPTH_TEST));
    readFrame();
    int changed = 0;
    for (int i = 0; i < width * height; ++i) changed += !near(pixel(i % width, i / width), cleared, 0);
    EXPECT_EQ(changed, 0);

    catchUpProgrammeState(10655, 1000);
    EXPECT_FALSE(glIsEnabled(GL_DEPTH_TEST));
    catchUpProgrammeState(10656, 1000);
    EXPECT_TRUE(glIsEnabled(GL_DEPTH_TEST));
    resetProgrammeState();
    EXPECT_FALSE(glIsEnabled(GL_DEPTH_TEST));
}

namespace {

// Everything a frame may leave for the next one, as the live run holds it:
// the script variables, the sphere cache, and the OpenGL state the scenes
// touch. Units are texture units 0 and 1.
struct CarriedState {
    ScriptVariables script;
    std::vector<float> cache, backup;
    int cacheBuilt = 0, cacheSegments = 0;
    std::vector<GLboolean> enabled;  // one per CAPABILITIES row
    GLfloat projection[16] = {}, modelview[16] = {};
    GLint bound[2] = {}, activeUnit = 0, matrixMode = 0;
    GLboolean depthMask = GL_TRUE;
    GLfloat clearColour[4] = {};
};

struct Capability {
    int unit;
    GLenum name;
    const char* text;
};

const Capability CAPABILITIES[] = {
    {0, GL_TEXTURE_2D, "unit 0 2D texturing"},
    {0, GL_TEXTURE_GEN_S, "unit 0 texgen S"},
    {0, GL_TEXTURE_GEN_T, "unit 0 texgen T"},
    {0, GL_DEPTH_TEST, "depth test"},
    {0, GL_FOG, "fog"},
    {0, GL_BLEND, "blending"},
    {0, GL_ALPHA_TEST, "alpha test"},
    {0, GL_SCISSOR_TEST, "scissor test"},
    {1, GL_TEXTURE_2D, "unit 1 2D texturing"},
    {1, GL_TEXTURE_GEN_S, "unit 1 texgen S"},
    {1, GL_TEXTURE_GEN_T, "unit 1 texgen T"},
};

CarriedState readCarried()
{
    CarriedState s;
    s.script = script;
    s.cache.assign(&sphereCache[0][0], &sphereCache[0][0] + SPHERE_CACHE_ENTRIES * 6);
    s.backup.assign(&sphereCacheBackup[0][0], &sphereCacheBackup[0][0] + SPHERE_CACHE_ENTRIES * 6);
    s.cacheBuilt = sphereCacheBuilt;
    s.cacheSegments = sphereCacheSegments;
    glGetIntegerv(GL_ACTIVE_TEXTURE_ARB, &s.activeUnit);
    for (const Capability& c : CAPABILITIES) {
        glActiveTextureARB(GL_TEXTURE0_ARB + c.unit);
        s.enabled.push_back(glIsEnabled(c.name));
    }
    for (int unit : {0, 1}) {
        glActiveTextureARB(GL_TEXTURE0_ARB + unit);
        glGetIntegerv(GL_TEXTURE_BINDING_2D, &s.bound[unit]);
    }
    glActiveTextureARB(static_cast<GLenum>(s.activeUnit));
    glGetFloatv(GL_PROJECTION_MATRIX, s.projection);
    glGetFloatv(GL_MODELVIEW_MATRIX, s.modelview);
    glGetIntegerv(GL_MATRIX_MODE, &s.matrixMode);
    glGetBooleanv(GL_DEPTH_WRITEMASK, &s.depthMask);
    glGetFloatv(GL_COLOR_CLEAR_VALUE, s.clearColour);
    return s;
}

void applyCarried(const CarriedState& s)
{
    script = s.script;
    std::copy(s.cache.begin(), s.cache.end(), &sphereCache[0][0]);
    std::copy(s.backup.begin(), s.backup.end(), &sphereCacheBackup[0][0]);
    sphereCacheBuilt = static_cast<unsigned char>(s.cacheBuilt);
    sphereCacheSegments = s.cacheSegments;
    for (size_t i = 0; i < std::size(CAPABILITIES); ++i) {
        glActiveTextureARB(GL_TEXTURE0_ARB + CAPABILITIES[i].unit);
        if (s.enabled[i]) glEnable(CAPABILITIES[i].name);
        else glDisable(CAPABILITIES[i].name);
    }
    for (int unit : {0, 1}) {
        glActiveTextureARB(GL_TEXTURE0_ARB + unit);
        glBindTexture(GL_TEXTURE_2D, static_cast<GLuint>(s.bound[unit]));
    }
    glActiveTextureARB(static_cast<GLenum>(s.activeUnit));
    glMatrixMode(GL_PROJECTION);
    glLoadMatrixf(s.projection);
    glMatrixMode(GL_MODELVIEW);
    glLoadMatrixf(s.modelview);
    glMatrixMode(static_cast<GLenum>(s.matrixMode));
    glDepthMask(s.depthMask);
    glClearColor(s.clearColour[0], s.clearColour[1], s.clearColour[2], s.clearColour[3]);
}

// A state unlike any the programme has, so that whatever a reset and catch-up
// fail to set shows as a difference.
CarriedState scrambled(const CarriedState& like)
{
    CarriedState s = like;
    s.script = ScriptVariables{-7, 3.5f, 5, 77.0f, 11, -1.0f};
    std::fill(s.cache.begin(), s.cache.end(), 0.25f);
    std::fill(s.backup.begin(), s.backup.end(), -0.5f);
    s.cacheBuilt = 1;
    s.cacheSegments = 7;
    for (size_t i = 0; i < s.enabled.size(); ++i) s.enabled[i] = !s.enabled[i];
    for (int k = 0; k < 16; ++k) s.projection[k] = s.modelview[k] = static_cast<float>(k % 5);
    s.bound[0] = s.bound[1] = static_cast<GLint>(noise[0]->texture);
    s.activeUnit = GL_TEXTURE1_ARB;
    s.matrixMode = GL_PROJECTION;
    s.depthMask = GL_FALSE;
    for (GLfloat& c : s.clearColour) c = 0.5f;
    return s;
}

std::string matrixText(const GLfloat* m)
{
    std::ostringstream out;
    for (int k = 0; k < 16; ++k) out << (k ? " " : "") << m[k];
    return out.str();
}

// What differs between the live state and the caught-up one, named; empty when nothing does.
std::string differences(const CarriedState& live, const CarriedState& caught)
{
    std::ostringstream out;
    const ScriptVariables& a = live.script;
    const ScriptVariables& b = caught.script;
    if (std::memcmp(&a, &b, sizeof a) != 0) {
        out << " script variables (live / caught up):";
        auto named = [&](const char* name, double x, double y) {
            if (x != y) out << " " << name << " " << x << " / " << y;
        };
        named("beatOffset", a.beatOffset, b.beatOffset);
        named("waveSpeed", a.waveSpeed, b.waveSpeed);
        named("endingIndex", a.endingIndex, b.endingIndex);
        named("blobAngleDivisor", a.blobAngleDivisor, b.blobAngleDivisor);
        named("maskineIndex", a.maskineIndex, b.maskineIndex);
        named("twistRoomOffset", a.twistRoomOffset, b.twistRoomOffset);
        out << ";";
    }
    const size_t bytes = live.cache.size() * sizeof(float);
    if (std::memcmp(live.cache.data(), caught.cache.data(), bytes) != 0) out << " the sphere cache;";
    if (std::memcmp(live.backup.data(), caught.backup.data(), bytes) != 0) out << " the sphere cache's backup;";
    if (live.cacheBuilt != caught.cacheBuilt || live.cacheSegments != caught.cacheSegments)
        out << " the sphere cache's built flag or segments;";
    for (size_t i = 0; i < live.enabled.size(); ++i)
        if (live.enabled[i] != caught.enabled[i])
            out << " " << CAPABILITIES[i].text << " " << (live.enabled[i] ? "on" : "off") << " / "
                << (caught.enabled[i] ? "on" : "off") << ";";
    if (std::memcmp(live.projection, caught.projection, sizeof live.projection) != 0)
        out << " projection " << matrixText(live.projection) << " / " << matrixText(caught.projection) << ";";
    if (std::memcmp(live.modelview, caught.modelview, sizeof live.modelview) != 0)
        out << " modelview " << matrixText(live.modelview) << " / " << matrixText(caught.modelview) << ";";
    for (int unit : {0, 1})
        if (live.bound[unit] != caught.bound[unit])
            out << " unit " << unit << " texture " << live.bound[unit] << " / " << caught.bound[unit] << ";";
    if (live.activeUnit != caught.activeUnit) out << " active texture unit;";
    if (live.matrixMode != caught.matrixMode) out << " matrix mode;";
    if (live.depthMask != caught.depthMask) out << " depth mask;";
    if (std::memcmp(live.clearColour, caught.clearColour, sizeof live.clearColour) != 0) out << " clear colour;";
    return out.str();
}

}  // namespace

// The programme drawn frame by frame is the truth: before each frame, what it
// carries must equal what a fresh reset and catch-up to that frame's time
// make, starting from a scrambled state. Runs from 0 start as the programme
// does, from what the start-up state and the loading leave: every
// rate over the whole programme, at a square size or at 2:1, whose start-up
// projection differs from the one the spheres and the tunnel leave (the rates
// are shared out between the two sizes to keep the test under a minute).
// Every millisecond, at both sizes, from a catch-up over the windows whose rows
// leave single milliseconds between them (the scripts that keep their value
// there), the credits' overlap with the twist column and the first masked
// overlay, the blob's divisor windows and the wave's slow-down.
TEST_F(ProgrammeStateGl, EveryFrameOfARunCarriesWhatACatchUpToItsTimeMakes)
{
    struct Run {
        int fps;
        uint32_t from, to;  // the frames of the run from 0 at fps in [from, to]
    };
    const Run everyMillisecond[] = {
        {1000, 10100, 10700}, {1000, 17770, 17800},   {1000, 19330, 19350},   {1000, 25990, 26010},
        {1000, 31995, 32005}, {1000, 53600, 54100},   {1000, 58090, 58220},   {1000, 71075, 71085},
        {1000, 72170, 72180}, {1000, 117230, 117245}, {1000, 120995, 121005},
    };
    struct Size {
        int width, height;
        std::vector<int> wholeProgrammeRates;
    };
    const Size sizes[] = {{8, 8, {1, 24, 60}}, {16, 8, {7, 30, 144}}};

    std::string failure;
    const std::string data = generatedDataSet(&failure);
    ASSERT_FALSE(data.empty()) << failure;
    // Loaded once, as a new process loads: from the start-up state, in a new
    // context large enough for both sizes. (Loading again would leave the
    // first load's meshes behind, which the leak check counts.)
    context.reset();
    context = std::make_unique<HeadlessContext>(16, 8);
    ASSERT_TRUE(context->ok()) << context->error();
    setStartupState(16, 8);
    script = ScriptVariables();
    resetSphereCache();
    {
        WorkingFolder inside(data);
        drawLoadingPicture();
        loadScenesAndPictures();
    }
    // Loading leaves its last picture bound, which no frame reads: each binds
    // its own before drawing.
    glBindTexture(GL_TEXTURE_2D, 0);
    const CarriedState afterLoading = readCarried();
    // Every run from 0 starts from what loading left, with the start-up
    // projection of its size.
    auto startProgramme = [&](const Size& size) {
        setStartupState(size.width, size.height);
        CarriedState start = afterLoading;
        glGetFloatv(GL_PROJECTION_MATRIX, start.projection);
        applyCarried(start);
    };
    for (const Size& size : sizes) {
        std::vector<Run> runs;
        for (int fps : size.wholeProgrammeRates) runs.push_back({fps, 0, PROGRAMME_END_MS});
        runs.insert(runs.end(), std::begin(everyMillisecond), std::end(everyMillisecond));
        for (const Run& run : runs) {
            if (run.from == 0) startProgramme(size);
            else catchUpProgrammeState(run.from, run.fps);
            for (uint64_t i = 0;; ++i) {
                const uint32_t t = programmeFrameTime(i, run.fps);
                if (t > run.to) break;
                if (t < run.from) continue;
                const CarriedState live = readCarried();
                applyCarried(scrambled(live));
                catchUpProgrammeState(t, run.fps);
                const std::string drift = differences(live, readCarried());
                applyCarried(live);
                if (!drift.empty()) {
                    ADD_FAILURE() << size.width << "x" << size.height << " at " << run.fps
                                  << " fps, before the frame at " << t << ":" << drift;
                    break;
                }
                renderFrame(t);
            }
        }
    }
}
