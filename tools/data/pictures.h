// The painters of the default data set. A picture is known by its file stem
// ("soya3", "maskine8_alfa", "nois1"); the stem decides what is painted.
#pragma once

#include "canvas.h"

#include <string>

// Paints the picture for this stem; `mask` asks for its opacity picture
// (white where the overlay shows). False for a stem that no painter knows.
bool paintPicture(const std::string& stem, bool mask, Canvas& out);

// The three families, each false for a stem it does not paint.
// Full-screen cards: loading, hearing, credits, pause, the soya sequence.
bool paintCard(const std::string& stem, Canvas& out);
// Overlays cut by their opacity picture: maskine, ost, kost, slut, blob and sphere overlays.
bool paintOverlay(const std::string& stem, bool mask, Canvas& out);
// Scene textures, flares, the environment picture and the film grain.
bool paintTexture(const std::string& stem, Canvas& out);

// Splits "maskine12" into ("maskine", 12); number -1 when the stem has no trailing digits.
void splitStem(const std::string& stem, std::string& word, int& number);
