#include "shell/schedule.h"

#include "image/catalogue.h"
#include "image/image_wrapper.h"
#include "scenes/bitmap_scene.h"
#include "scenes/picture_scenes.h"
#include "scenes/sphere_scenes.h"
#include "scenes/spike_scene.h"
#include "scenes/tunnel_scene.h"
#include "scenes/twist_scenes.h"

#include <GL/gl.h>

// Two windows overlap, 10126..10650: the credits draw first, the twist column after them.
const ScheduleRow SCHEDULE[SCHEDULE_ROWS] = {
    {1, 3559, "title", hearingScene, nullptr, nullptr, nullptr},
    {3651, 10650, "credits", creditsScene, nullptr, nullptr, nullptr},
    {10126, 31999, "twist-column", twistColumnScene, stepTwistColumnScene, nullptr, nullptr},
    {32001, 45999, "spiked-tube", spikeScene, stepSpikeScene, nullptr, nullptr},
    {46158, 51502, "slideshow", soyaScene, nullptr, nullptr, nullptr},
    {53313, 66517, "twist-room", twistRoomScene, stepTwistRoomScene, nullptr, nullptr},
    {67523, 81510, "blob", blobScene, stepBlobScene, blobShapesSphereCache, nullptr},
    {81680, 88392, "spheres", spheresScene, stepSpheresScene, spheresShapeSphereCache, spheresLeaveSquareProjection},
    {88841, 109586, "tunnel", tunnelScene, nullptr, nullptr, tunnelWidensView},
    {110151, 131026, "bitmap-wave", bitmapScene, stepBitmapScene, nullptr, nullptr},
};

void renderFrame(uint32_t t)
{
    glLoadIdentity();
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    for (const ScheduleRow& row : SCHEDULE)
        if (rowContains(row, t)) row.scene(t);
    noise[t & 1]->drawBlended();
}
