// The programme: its scenes' descriptions in loading order. The schedule
// (shell/schedule.h), the loading order (shell/loading.h) and the data set's
// files are made from this list; adding a scene is its own file plus a line
// here.
#pragma once

#include "scenes/scene_unit.h"

#include <vector>

const std::vector<const SceneUnit*>& programmeUnits();
