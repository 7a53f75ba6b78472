// What the programme knows of a scene: its name, its windows in the running
// order, the pictures it owns and the loader that creates them. The list of
// these (shell/programme.h) is the programme: the schedule, the loading order
// and the data set's files are all made from it.
#pragma once

#include "image/sprite_group.h"
#include "programme/schedule_row.h"

#include <cstddef>

class PicturePrefetch;

struct SceneUnit {
    const char* name;
    // The scene's windows: each one a row of the schedule (none for the frame).
    const ScheduleRow* windows;
    size_t windowCount;
    // Created in row order by the loader, or by the loading itself when the
    // scene has no loader.
    SpriteGroup pictures;
    void (*load)(PicturePrefetch* pictures);  // null: createSprites(pictures)
};

template <size_t W, size_t P>
constexpr SceneUnit sceneUnit(const char* name, const ScheduleRow (&windows)[W], const SpriteRow (&pictures)[P],
                              void (*load)(PicturePrefetch*) = nullptr)
{
    return SceneUnit{name, windows, W, SpriteGroup{name, pictures, P}, load};
}

template <size_t P>
constexpr SpriteGroup spriteGroup(const char* name, const SpriteRow (&rows)[P])
{
    return SpriteGroup{name, rows, P};
}
