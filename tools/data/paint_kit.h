// Shared brushes of the picture painters: screen-shaped lettering, glows,
// gradients, materials and finishing touches; and how they read a stem.
#pragma once

#include "canvas.h"
#include "font.h"

#include <string>

// Full-screen pictures are 512 x 512 and shown stretched to a 4:3 window, so a
// canvas pixel is shown 4/3 as wide as it is high. Lettering and round shapes
// on them are drawn this much narrower to look right on screen.
constexpr float SCREEN_SQUEEZE = 0.75f;
constexpr int CARD_SIZE = 512;
constexpr int TEXTURE_SIZE = 256;

// Lettering whose font pixels look square on screen, `cell` canvas pixels high.
TextStyle screenText(float cell, float spacing = 1);
// The largest such cell height at which the text fits in `width` pixels, capped at maxCell.
float fitCell(const std::string& text, float width, float maxCell);

// Adds a soft glow of the layer: blurred, tinted, added to the canvas.
void glow(Canvas& canvas, const Layer& layer, Colour colour, int radius, float strength);
// Darkens towards the edges of the screen.
void vignette(Canvas& canvas, float strength);
// Darkens every other `period` rows like a television picture.
void scanlines(Canvas& canvas, float depth, int period = 2);
// Moves bands of rows sideways (wrapping): a deterministic glitch.
void shiftBands(Canvas& canvas, uint64_t seed, int bands, int maxShift);

// A vertical chrome ramp from top (0) to bottom (1): sky, bright horizon, ground.
Colour chrome(float t, Colour sky, Colour ground);
// Brushed metal in tones around `base`: streaks along x, tileable over the canvas size.
Colour brushedMetal(float x, float y, int size, Colour base, uint32_t seed);

// Text layer helpers.
Layer textLayer(int size, const std::string& text, float cx, float y, const TextStyle& style);
// Top and bottom rows covered by the layer (for gradients fitted to lettering).
void layerRows(const Layer& layer, int& top, int& bottom);

// Splits "maskine12" into ("maskine", 12); number -1 when the stem has no trailing digits.
void splitStem(const std::string& stem, std::string& word, int& number);
