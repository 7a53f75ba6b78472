// Scene textures, flares, the environment picture and the film grain.
#pragma once

#include "canvas.h"

#include <string>

// Paints the texture for this stem; false for a stem that is no texture.
bool paintTexture(const std::string& stem, Canvas& out);
