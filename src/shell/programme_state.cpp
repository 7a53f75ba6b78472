#include "shell/programme_state.h"

#include "geometry/sphere.h"
#include "scenes/bitmap_scene.h"
#include "scenes/sphere_scenes.h"
#include "scenes/spike_scene.h"
#include "scenes/twist_scenes.h"
#include "shell/schedule.h"

#include <GL/gl.h>

uint32_t programmeFrameTime(uint64_t frame, int fps)
{
    return static_cast<uint32_t>(frame * 1000 / static_cast<uint64_t>(fps));
}

void resetProgrammeState()
{
    beatOffset = 0;
    waveSpeed = WAVE_SPEED_AT_START;
    endingIndex = 0;
    blobAngleDivisor = BLOB_ANGLE_DIVISOR_AT_START;
    maskineIndex = 0;
    twistRoomOffset = 0.0f;
    resetSphereCache();
    glDisable(GL_DEPTH_TEST);
}

void catchUpProgrammeState(uint32_t t, int fps)
{
    resetProgrammeState();
    bool maskedOverlayDrawn = false;
    // The sphere cache's shape depends only on the last frame that touched it,
    // so that frame alone is replayed, after the loop.
    const ScheduleRow* lastShaper = nullptr;
    uint32_t lastShapedAt = 0;
    // No scene runs after the programme's end, so nothing is stepped there.
    const uint32_t end = static_cast<uint32_t>(PROGRAMME_END_MS);
    const uint32_t until = t < end ? t : end;
    for (uint64_t i = 0;; ++i) {
        const uint32_t frame = programmeFrameTime(i, fps);
        if (frame >= until) break;
        for (const ScheduleRow& row : SCHEDULE) {
            if (!rowContains(row, frame)) continue;
            if (row.step && row.step(frame)) maskedOverlayDrawn = true;
            if (row.shapeSphereCache) {
                lastShaper = &row;
                lastShapedAt = frame;
            }
        }
    }
    if (lastShaper) lastShaper->shapeSphereCache(lastShapedAt);
    if (maskedOverlayDrawn) glEnable(GL_DEPTH_TEST);
}
