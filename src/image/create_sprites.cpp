#include "image/create_sprites.h"

#include "image/image_wrapper.h"

void createSprites(const SpriteGroup& group, PicturePrefetch* pictures)
{
    for (size_t i = 0; i < group.count; ++i) {
        const SpriteRow& row = group.rows[i];
        if (row.alpha) *row.slot = new AlphaImageWrapper(row.alpha, row.colour, pictures);
        else *row.slot = new ImageWrapper(row.colour, pictures);
        if (row.fullScreen) placeOnScreen(*row.slot);
    }
}
