// A group of sprites as the picture table lists them: which file goes into
// which slot, with which class, and whether the sprite is put full-screen.
// The prefetch reads the files from these rows; createSprites makes them.
#pragma once

#include <cstddef>

class ImageWrapper;

struct SpriteRow {
    ImageWrapper** slot;
    const char* colour;
    const char* alpha;  // null for a plain ImageWrapper
    bool fullScreen;
};

struct SpriteGroup {
    const char* loader;  // the function that creates these sprites
    const SpriteRow* rows;
    size_t count;
};
