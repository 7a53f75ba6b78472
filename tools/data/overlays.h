// Overlays cut by their opacity picture: maskine, ost, kost, slut, blob and sphere overlays.
#pragma once

#include "canvas.h"

#include <string>

// Paints the overlay for this stem, or with `mask` its opacity picture (asked
// for by its own stem, "maskine8_alfa"); false for a stem that is no overlay.
bool paintOverlay(const std::string& stem, bool mask, Canvas& out);
