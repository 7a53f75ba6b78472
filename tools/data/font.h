// The pictures' lettering in the font of glyphs.h: letters drawn as blocks,
// scaled to any size.
#pragma once

#include "canvas.h"
#include "glyphs.h"

#include <string>

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
