// A 5x7 bitmap font of our own: A-Z, 0-9, the blank and a few signs. The
// data tool letters its pictures with it, the renderer labels its contact sheet.
#pragma once

constexpr int GLYPH_COLUMNS = 5;
constexpr int GLYPH_ROWS = 7;

// The glyph's rows, top first, as strings of '#' (ink) and '.' (paper);
// null for a character the font does not have. Lower case maps to upper case.
const char* const* glyphRows(char c);
bool glyphHas(char c);
