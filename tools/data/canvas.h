// Pictures in the making: a float RGB canvas, a coverage layer for shapes,
// and the few drawing operations the painters share.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

struct Colour {
    float r, g, b;
};

Colour mix(Colour a, Colour b, float t);
Colour scale(Colour c, float k);
Colour add(Colour a, Colour b);
// A colour from 0xRRGGBB.
Colour hex(uint32_t rgb);

// Red, green, blue per pixel, 0..1, top row first.
struct Canvas {
    int width = 0;
    int height = 0;
    std::vector<float> rgb;

    Canvas() = default;
    Canvas(int w, int h, Colour fill = {0, 0, 0});
    Colour get(int x, int y) const;
    void set(int x, int y, Colour c);
    // Lays c over the pixel with opacity a (0..1).
    void blend(int x, int y, Colour c, float a);
    // 8-bit RGB, rounded and clamped, top row first.
    std::vector<unsigned char> bytes() const;
};

// Shape coverage per pixel, 0..1.
struct Layer {
    int width = 0;
    int height = 0;
    std::vector<float> a;

    Layer() = default;
    Layer(int w, int h);
    float get(int x, int y) const { return a[static_cast<size_t>(y) * width + x]; }
    float& at(int x, int y) { return a[static_cast<size_t>(y) * width + x]; }
};

// Every pixel from a function of its centre (x + 0.5, y + 0.5) in pixels.
void shade(Canvas& canvas, const std::function<Colour(float x, float y)>& f);
void shapeFrom(Layer& layer, const std::function<float(float x, float y)>& coverage);

// Shapes, in pixel coordinates with fractional edges; `add` unites, `cut` removes.
void addRect(Layer& layer, float x0, float y0, float x1, float y1, float value = 1);
void cutRect(Layer& layer, float x0, float y0, float x1, float y1);
void addEllipse(Layer& layer, float cx, float cy, float rx, float ry, float value = 1);
void cutEllipse(Layer& layer, float cx, float cy, float rx, float ry);
// A thick line from (x0, y0) to (x1, y1) with round ends.
void addLine(Layer& layer, float x0, float y0, float x1, float y1, float thickness, float value = 1);
// Convex or concave polygon, even-odd rule, pixel centres sampled 4x4.
void addPolygon(Layer& layer, const std::vector<float>& xy, float value = 1);

// Paints the layer's coverage onto the canvas in one colour, or a colour per pixel.
void paint(Canvas& canvas, const Layer& layer, Colour colour, float opacity = 1);
void paint(Canvas& canvas, const Layer& layer, const std::function<Colour(float x, float y)>& colour,
           float opacity = 1);
// Same, with the layer moved by (dx, dy) whole pixels: drop shadows and glitch copies.
void paintShifted(Canvas& canvas, const Layer& layer, int dx, int dy, Colour colour, float opacity = 1);

// An opacity picture: white where the layer covers more than half, black elsewhere.
Canvas maskFrom(const Layer& layer);
// The layer grown by r pixels (square neighbourhood): outlines and glows.
Layer dilate(const Layer& layer, int r);
// A box blur of radius r, repeated `passes` times: soft glows.
Layer blur(const Layer& layer, int r, int passes = 2);
