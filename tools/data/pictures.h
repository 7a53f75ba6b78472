// The painters of the default data set. A picture is known by its file stem
// ("soya3", "maskine8_alfa", "nois1"); the stem decides what is painted.
#pragma once

#include "canvas.h"

#include <string>

// Paints the picture for this stem; `mask` asks for its opacity picture
// (white where the overlay shows). False for a stem that no painter knows.
// It asks the three families (cards.h, overlays.h, textures.h) in turn.
bool paintPicture(const std::string& stem, bool mask, Canvas& out);
