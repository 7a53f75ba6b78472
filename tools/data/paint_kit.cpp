#include "paint_kit.h"

#include "noise.h"

#include <algorithm>
#include <cctype>
#include <cmath>

TextStyle screenText(float cell, float spacing)
{
    TextStyle style{cell * SCREEN_SQUEEZE, cell};
    style.spacing = spacing;
    return style;
}

float fitCell(const std::string& text, float width, float maxCell)
{
    float atOne = textWidth(text, screenText(1));
    return atOne > 0 ? std::min(maxCell, width / atOne) : maxCell;
}

void glow(Canvas& canvas, const Layer& layer, Colour colour, int radius, float strength)
{
    Layer soft = blur(layer, radius, 3);
    for (int y = 0; y < canvas.height; ++y)
        for (int x = 0; x < canvas.width; ++x) {
            float a = soft.get(x, y) * strength;
            if (a > 0) canvas.set(x, y, add(canvas.get(x, y), scale(colour, a)));
        }
}

void vignette(Canvas& canvas, float strength)
{
    for (int y = 0; y < canvas.height; ++y)
        for (int x = 0; x < canvas.width; ++x) {
            float u = (x + 0.5f) / canvas.width * 2 - 1, v = (y + 0.5f) / canvas.height * 2 - 1;
            float d = std::min(1.0f, (u * u + v * v) / 2);
            canvas.set(x, y, scale(canvas.get(x, y), 1 - strength * d * d * 2));
        }
}

void scanlines(Canvas& canvas, float depth, int period)
{
    for (int y = 0; y < canvas.height; ++y) {
        if (y % period != 0) continue;
        for (int x = 0; x < canvas.width; ++x) canvas.set(x, y, scale(canvas.get(x, y), 1 - depth));
    }
}

void shiftBands(Canvas& canvas, uint64_t seed, int bands, int maxShift)
{
    Rng rng(seed);
    Canvas src = canvas;
    for (int b = 0; b < bands; ++b) {
        int y0 = rng.below(canvas.height);
        int h = 2 + rng.below(canvas.height / 16);
        int shift = static_cast<int>(rng.range(-maxShift, maxShift));
        for (int y = y0; y < std::min(canvas.height, y0 + h); ++y)
            for (int x = 0; x < canvas.width; ++x)
                canvas.set(x, y, src.get(((x - shift) % canvas.width + canvas.width) % canvas.width, y));
    }
}

Colour chrome(float t, Colour sky, Colour ground)
{
    t = std::clamp(t, 0.0f, 1.0f);
    if (t < 0.5f) return mix(sky, Colour{1, 1, 1}, std::pow(t / 0.5f, 2.0f));
    if (t < 0.56f) return mix(Colour{1, 1, 1}, scale(ground, 0.35f), (t - 0.5f) / 0.06f);
    return mix(scale(ground, 0.35f), ground, (t - 0.56f) / 0.44f);
}

Colour brushedMetal(float x, float y, int size, Colour base, uint32_t seed)
{
    float period = static_cast<float>(size);
    // Long streaks along x, fine grain across.
    float streak = tileNoise(x / period * 2, y / period * 96, 96, seed);
    float grain = tileNoise(x / period * 64, y / period * 64, 64, seed + 7);
    float k = 0.8f + 0.3f * streak + 0.1f * grain;
    return scale(base, k);
}

Layer textLayer(int size, const std::string& text, float cx, float y, const TextStyle& style)
{
    Layer layer(size, size);
    drawTextCentred(layer, text, cx, y, style);
    return layer;
}

void layerRows(const Layer& layer, int& top, int& bottom)
{
    top = layer.height;
    bottom = -1;
    for (int y = 0; y < layer.height; ++y)
        for (int x = 0; x < layer.width; ++x)
            if (layer.get(x, y) > 0) {
                top = std::min(top, y);
                bottom = std::max(bottom, y);
                break;
            }
    if (bottom < 0) top = bottom = 0;
}

void splitStem(const std::string& stem, std::string& word, int& number)
{
    size_t end = stem.size();
    while (end > 0 && std::isdigit(static_cast<unsigned char>(stem[end - 1]))) --end;
    word = stem.substr(0, end);
    number = end < stem.size() ? std::stoi(stem.substr(end)) : -1;
}
