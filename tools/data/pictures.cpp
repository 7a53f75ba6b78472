#include "pictures.h"

#include "cards.h"
#include "overlays.h"
#include "textures.h"

bool paintPicture(const std::string& stem, bool mask, Canvas& out)
{
    if (mask) return paintOverlay(stem, true, out);
    return paintCard(stem, out) || paintOverlay(stem, false, out) || paintTexture(stem, out);
}
