#include "shell/programme.h"

#include "scenes/bitmap_scene.h"
#include "scenes/frame.h"
#include "scenes/picture_scenes.h"
#include "scenes/sphere_scenes.h"
#include "scenes/spike_scene.h"
#include "scenes/tunnel_scene.h"
#include "scenes/twist_scenes.h"

const std::vector<const SceneUnit*>& programmeUnits()
{
    // The loading order. The spike's loader draws from the C library's rand,
    // unseeded; the loaders run in this order so that what it draws stays the
    // same. The scenes without a loader and the frame's noise come after them.
    static const std::vector<const SceneUnit*> units = {
        &TWIST_UNIT, &TUNNEL_UNIT, &BLOB_UNIT,    &SPHERES_UNIT,   &BITMAP_UNIT,
        &SPIKE_UNIT, &TITLE_UNIT,  &CREDITS_UNIT, &SLIDESHOW_UNIT, &FRAME_UNIT,
    };
    return units;
}
