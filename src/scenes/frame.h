// What every frame has besides its scenes: the loading picture, shown before
// the programme starts, and the film-noise pictures laid over every frame.
#pragma once

#include "scenes/scene_unit.h"

extern ImageWrapper* loading;
// Frame t shows noise[t & 1]; the spheres scene draws with noise[0] as well.
extern ImageWrapper* noise[2];

// The loading picture's group, created on its own before anything else loads.
extern const SpriteGroup LOADING_SPRITES;
// The noise pictures: a unit without a window, loaded after the scenes.
extern const SceneUnit FRAME_UNIT;
