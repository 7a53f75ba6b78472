// A 5x7 bitmap font of our own for the pictures' lettering: A-Z, 0-9, the
// blank and a few signs. Letters are drawn as blocks, scaled to any size.
#pragma once

#include "canvas.h"

#include <string>

constexpr int GLYPH_COLUMNS = 5;
constexpr int GLYPH_ROWS = 7;

// The glyph's rows, top first, as strings of '#' (ink) and '.' (paper);
// null for a character the font does not have. Lower case maps to upper case.
const char* const* glyphRows(char c);
bool glyphHas(char c);

struct TextStyle {
    float cellWidth;    // width of one font pixel, in canvas pixels
    float cellHeight;   // height of one font pixel
    float spacing = 1;  // blank columns between letters, in font pixels
    float ink = 0.92f;  // share of a cell that is inked: a small gap reads as pixels
};

// Width of the text in canvas pixels.
float textWidth(const std::string& text, const TextStyle& style);
// Draws the text with its top-left corner at (x, y). Characters the font does not have are drawn as blanks.
void drawText(Layer& layer, const std::string& text, float x, float y, const TextStyle& style);
// The same, centred horizontally on cx.
void drawTextCentred(Layer& layer, const std::string& text, float cx, float y, const TextStyle& style);
