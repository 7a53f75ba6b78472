// A group of sprites as their scene lists them: which file goes into
// which slot, with which class, and whether the sprite is put full-screen.
// The prefetch reads the files from these rows; createSprites
// (image/create_sprites.h) makes them.
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
    const char* owner;  // the scene that owns these sprites, for messages and tests
    const SpriteRow* rows;
    size_t count;
};
