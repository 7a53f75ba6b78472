// The one list of the programme's pictures: which file goes into which slot,
// with which class, and whether the sprite is put full-screen. Each loader
// creates its own group of rows, in table order; the order of the groups is
// the loading order (shell/loading.h).
#pragma once

#include "image/sprite_group.h"

class PicturePrefetch;

extern const SpriteGroup LOADING_SPRITES;
extern const SpriteGroup TWIST_SPRITES;
extern const SpriteGroup TUNNEL_SPRITES;
extern const SpriteGroup BLOB_SPRITES;
extern const SpriteGroup SPHERES_SPRITES;
extern const SpriteGroup BITMAP_SPRITES;
extern const SpriteGroup SPIKE_SPRITES;
extern const SpriteGroup CATALOGUE_SPRITES;

// Creates the sprite of each row in order: construct (taking the picture from
// the prefetch when there is one), store in the slot, then put it
// full-screen where the row says so.
void createSprites(const SpriteGroup& group, PicturePrefetch* pictures = nullptr);

// Creates the pictures that no scene loader owns (CATALOGUE_SPRITES).
void loadImageCatalogue(PicturePrefetch* pictures = nullptr);
