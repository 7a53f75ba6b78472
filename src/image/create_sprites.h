// Makes the sprites of a group of picture rows.
#pragma once

#include "image/sprite_group.h"

class PicturePrefetch;

// Creates the sprite of each row in order: construct (taking the picture from
// the prefetch when there is one), store in the slot, then put it
// full-screen where the row says so.
void createSprites(const SpriteGroup& group, PicturePrefetch* pictures = nullptr);
