// Full-screen cards: loading, hearing, credits, pause, the soya sequence.
#pragma once

#include "canvas.h"

#include <string>

// Paints the card for this stem; false for a stem that is no card.
bool paintCard(const std::string& stem, Canvas& out);
