#include "font.h"

float textWidth(const std::string& text, const TextStyle& style)
{
    if (text.empty()) return 0;
    float columns = text.size() * (GLYPH_COLUMNS + style.spacing) - style.spacing;
    return columns * style.cellWidth;
}

void drawText(Layer& layer, const std::string& text, float x, float y, const TextStyle& style)
{
    float advance = (GLYPH_COLUMNS + style.spacing) * style.cellWidth;
    float gapX = style.cellWidth * (1 - style.ink) / 2, gapY = style.cellHeight * (1 - style.ink) / 2;
    for (size_t i = 0; i < text.size(); ++i) {
        const char* const* rows = glyphRows(text[i]);
        if (!rows) continue;
        float gx = x + i * advance;
        for (int r = 0; r < GLYPH_ROWS; ++r)
            for (int c = 0; c < GLYPH_COLUMNS; ++c) {
                if (rows[r][c] != '#') continue;
                float x0 = gx + c * style.cellWidth, y0 = y + r * style.cellHeight;
                addRect(layer, x0 + gapX, y0 + gapY, x0 + style.cellWidth - gapX, y0 + style.cellHeight - gapY);
            }
    }
}

void drawTextCentred(Layer& layer, const std::string& text, float cx, float y, const TextStyle& style)
{
    drawText(layer, text, cx - textWidth(text, style) / 2, y, style);
}
