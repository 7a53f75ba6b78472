#include "shell/programme_state.h"

#include "geometry/render_state.h"
#include "geometry/sphere.h"
#include "image/image_wrapper.h"
#include "programme/screen.h"
#include "scenes/frame.h"
#include "shell/schedule.h"

#include <GL/gl.h>
#include <GL/glext.h>

#include <initializer_list>

uint32_t programmeFrameTime(uint64_t frame, int fps)
{
    return static_cast<uint32_t>(frame * 1000 / static_cast<uint64_t>(fps));
}

bool isNextFrameOfRun(uint32_t previous, uint32_t t, int fps)
{
    // The first frame at or after `previous`: the least i with i * 1000 / fps >= previous.
    const uint64_t i = (static_cast<uint64_t>(previous) * static_cast<uint64_t>(fps) + 999) / 1000;
    return programmeFrameTime(i, fps) == previous && programmeFrameTime(i + 1, fps) == t;
}

void resetProgrammeState()
{
    script = ScriptVariables();
    resetSphereCache();

    // The scenes put back within a frame most of what is set here; it is set
    // all the same, so that a frame after a reset owes nothing to what was
    // drawn before it (an earlier still, a test). Unit 0 last: it stays active.
    for (GLenum unit : {GL_TEXTURE1_ARB, GL_TEXTURE0_ARB}) {
        glActiveTextureARB(unit);
        if (unit == GL_TEXTURE0_ARB) glEnable(GL_TEXTURE_2D);
        else glDisable(GL_TEXTURE_2D);
        glDisable(GL_TEXTURE_GEN_S);
        glDisable(GL_TEXTURE_GEN_T);
        glBindTexture(GL_TEXTURE_2D, 0);
    }
    for (GLenum capability : {GL_DEPTH_TEST, GL_FOG, GL_BLEND, GL_ALPHA_TEST, GL_SCISSOR_TEST}) glDisable(capability);
    glDepthMask(GL_TRUE);
    glClearColor(0, 0, 0, 0);
    setStartupProjection(windowWidth, windowHeight);
}

void catchUpProgrammeState(uint32_t t, int fps)
{
    resetProgrammeState();
    bool maskedOverlayDrawn = false;
    bool squareProjection = false;
    // The sphere cache's shape depends only on the last frame that touched it,
    // so that frame alone is replayed, after the loop.
    const ScheduleRow* lastShaper = nullptr;
    uint32_t lastShapedAt = 0;
    bool anyFrame = false;
    uint32_t lastFrame = 0;
    // A run shows no frame after the programme's end, so none is stepped there.
    const uint32_t end = static_cast<uint32_t>(PROGRAMME_END_MS) + 1;
    const uint32_t until = t < end ? t : end;
    for (uint64_t i = 0;; ++i) {
        const uint32_t frame = programmeFrameTime(i, fps);
        if (frame >= until) break;
        anyFrame = true;
        lastFrame = frame;
        for (const ScheduleRow& row : SCHEDULE) {
            if (!rowContains(row, frame)) continue;
            if (row.step && row.step(frame)) maskedOverlayDrawn = true;
            if (row.shapeSphereCache) {
                lastShaper = &row;
                lastShapedAt = frame;
            }
            if (row.leavesSquareProjection && row.leavesSquareProjection(frame)) squareProjection = true;
        }
    }
    if (lastShaper) lastShaper->shapeSphereCache(lastShapedAt);
    if (maskedOverlayDrawn) glEnable(GL_DEPTH_TEST);
    if (squareProjection) setFieldOfView(45);
    // Every frame ends with its noise picture, which stays bound.
    const ImageWrapper* lastNoise = anyFrame ? noise[lastFrame & 1] : nullptr;
    if (lastNoise) glBindTexture(GL_TEXTURE_2D, static_cast<GLuint>(lastNoise->texture));
}
