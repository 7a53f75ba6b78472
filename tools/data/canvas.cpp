#include "canvas.h"

#include <algorithm>
#include <cmath>

Colour mix(Colour a, Colour b, float t)
{
    return {a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t};
}

Colour scale(Colour c, float k)
{
    return {c.r * k, c.g * k, c.b * k};
}

Colour add(Colour a, Colour b)
{
    return {a.r + b.r, a.g + b.g, a.b + b.b};
}

Colour hex(uint32_t rgb)
{
    return {((rgb >> 16) & 255) / 255.0f, ((rgb >> 8) & 255) / 255.0f, (rgb & 255) / 255.0f};
}

Canvas::Canvas(int w, int h, Colour fill) : width(w), height(h), rgb(static_cast<size_t>(w) * h * 3)
{
    for (size_t i = 0; i < rgb.size(); i += 3) {
        rgb[i] = fill.r;
        rgb[i + 1] = fill.g;
        rgb[i + 2] = fill.b;
    }
}

Colour Canvas::get(int x, int y) const
{
    size_t i = (static_cast<size_t>(y) * width + x) * 3;
    return {rgb[i], rgb[i + 1], rgb[i + 2]};
}

void Canvas::set(int x, int y, Colour c)
{
    size_t i = (static_cast<size_t>(y) * width + x) * 3;
    rgb[i] = c.r;
    rgb[i + 1] = c.g;
    rgb[i + 2] = c.b;
}

void Canvas::blend(int x, int y, Colour c, float a)
{
    if (x < 0 || y < 0 || x >= width || y >= height || a <= 0) return;
    set(x, y, mix(get(x, y), c, std::min(a, 1.0f)));
}

std::vector<unsigned char> Canvas::bytes() const
{
    std::vector<unsigned char> out(rgb.size());
    for (size_t i = 0; i < rgb.size(); ++i) {
        float v = std::clamp(rgb[i], 0.0f, 1.0f) * 255.0f + 0.5f;
        out[i] = static_cast<unsigned char>(v);
    }
    return out;
}

Layer::Layer(int w, int h) : width(w), height(h), a(static_cast<size_t>(w) * h, 0.0f) {}

void shade(Canvas& canvas, const std::function<Colour(float x, float y)>& f)
{
    for (int y = 0; y < canvas.height; ++y)
        for (int x = 0; x < canvas.width; ++x) canvas.set(x, y, f(x + 0.5f, y + 0.5f));
}

void shapeFrom(Layer& layer, const std::function<float(float x, float y)>& coverage)
{
    for (int y = 0; y < layer.height; ++y)
        for (int x = 0; x < layer.width; ++x)
            layer.at(x, y) = std::max(layer.at(x, y), std::clamp(coverage(x + 0.5f, y + 0.5f), 0.0f, 1.0f));
}

namespace {

// How much of the unit interval [p, p + 1] lies within [lo, hi].
float overlap(float p, float lo, float hi)
{
    return std::max(0.0f, std::min(p + 1.0f, hi) - std::max(p, lo));
}

template <typename Op>
void eachRectPixel(Layer& layer, float x0, float y0, float x1, float y1, Op op)
{
    if (x1 < x0) std::swap(x0, x1);
    if (y1 < y0) std::swap(y0, y1);
    int xa = std::max(0, static_cast<int>(std::floor(x0)));
    int xb = std::min(layer.width - 1, static_cast<int>(std::ceil(x1)));
    int ya = std::max(0, static_cast<int>(std::floor(y0)));
    int yb = std::min(layer.height - 1, static_cast<int>(std::ceil(y1)));
    for (int y = ya; y <= yb; ++y) {
        float cy = overlap(static_cast<float>(y), y0, y1);
        if (cy <= 0) continue;
        for (int x = xa; x <= xb; ++x) {
            float c = cy * overlap(static_cast<float>(x), x0, x1);
            if (c > 0) op(layer.at(x, y), c);
        }
    }
}

// Coverage of a pixel by an ellipse, from the distance to its edge in pixels.
float ellipseCoverage(float px, float py, float cx, float cy, float rx, float ry)
{
    float dx = (px - cx) / rx, dy = (py - cy) / ry;
    float d = std::sqrt(dx * dx + dy * dy);
    if (d == 0) return 1;
    // Distance to the edge, measured along the radius, in pixels.
    float radius = 1.0f / std::sqrt((dx / d) * (dx / d) / (rx * rx) + (dy / d) * (dy / d) / (ry * ry));
    float edge = radius * (1 - d);
    return std::clamp(edge + 0.5f, 0.0f, 1.0f);
}

}  // namespace

void addRect(Layer& layer, float x0, float y0, float x1, float y1, float value)
{
    eachRectPixel(layer, x0, y0, x1, y1, [value](float& a, float c) { a = std::max(a, c * value); });
}

void cutRect(Layer& layer, float x0, float y0, float x1, float y1)
{
    eachRectPixel(layer, x0, y0, x1, y1, [](float& a, float c) { a = std::min(a, 1 - c); });
}

void addEllipse(Layer& layer, float cx, float cy, float rx, float ry, float value)
{
    int xa = std::max(0, static_cast<int>(cx - rx - 2)), xb = std::min(layer.width - 1, static_cast<int>(cx + rx + 2));
    int ya = std::max(0, static_cast<int>(cy - ry - 2)), yb = std::min(layer.height - 1, static_cast<int>(cy + ry + 2));
    for (int y = ya; y <= yb; ++y)
        for (int x = xa; x <= xb; ++x)
            layer.at(x, y) = std::max(layer.at(x, y), value * ellipseCoverage(x + 0.5f, y + 0.5f, cx, cy, rx, ry));
}

void cutEllipse(Layer& layer, float cx, float cy, float rx, float ry)
{
    int xa = std::max(0, static_cast<int>(cx - rx - 2)), xb = std::min(layer.width - 1, static_cast<int>(cx + rx + 2));
    int ya = std::max(0, static_cast<int>(cy - ry - 2)), yb = std::min(layer.height - 1, static_cast<int>(cy + ry + 2));
    for (int y = ya; y <= yb; ++y)
        for (int x = xa; x <= xb; ++x)
            layer.at(x, y) = std::min(layer.at(x, y), 1 - ellipseCoverage(x + 0.5f, y + 0.5f, cx, cy, rx, ry));
}

void addLine(Layer& layer, float x0, float y0, float x1, float y1, float thickness, float value)
{
    float r = thickness / 2;
    int xa = std::max(0, static_cast<int>(std::min(x0, x1) - r - 2));
    int xb = std::min(layer.width - 1, static_cast<int>(std::max(x0, x1) + r + 2));
    int ya = std::max(0, static_cast<int>(std::min(y0, y1) - r - 2));
    int yb = std::min(layer.height - 1, static_cast<int>(std::max(y0, y1) + r + 2));
    float dx = x1 - x0, dy = y1 - y0;
    float len2 = dx * dx + dy * dy;
    for (int y = ya; y <= yb; ++y)
        for (int x = xa; x <= xb; ++x) {
            float px = x + 0.5f - x0, py = y + 0.5f - y0;
            float t = len2 > 0 ? std::clamp((px * dx + py * dy) / len2, 0.0f, 1.0f) : 0.0f;
            float ex = px - t * dx, ey = py - t * dy;
            float c = std::clamp(r - std::sqrt(ex * ex + ey * ey) + 0.5f, 0.0f, 1.0f);
            layer.at(x, y) = std::max(layer.at(x, y), c * value);
        }
}

void addPolygon(Layer& layer, const std::vector<float>& xy, float value)
{
    size_t n = xy.size() / 2;
    if (n < 3) return;
    float minX = xy[0], maxX = xy[0], minY = xy[1], maxY = xy[1];
    for (size_t i = 0; i < n; ++i) {
        minX = std::min(minX, xy[2 * i]);
        maxX = std::max(maxX, xy[2 * i]);
        minY = std::min(minY, xy[2 * i + 1]);
        maxY = std::max(maxY, xy[2 * i + 1]);
    }
    auto inside = [&](float px, float py) {
        bool in = false;
        for (size_t i = 0, j = n - 1; i < n; j = i++) {
            float xi = xy[2 * i], yi = xy[2 * i + 1], xj = xy[2 * j], yj = xy[2 * j + 1];
            if ((yi > py) != (yj > py) && px < (xj - xi) * (py - yi) / (yj - yi) + xi) in = !in;
        }
        return in;
    };
    int xa = std::max(0, static_cast<int>(minX) - 1), xb = std::min(layer.width - 1, static_cast<int>(maxX) + 1);
    int ya = std::max(0, static_cast<int>(minY) - 1), yb = std::min(layer.height - 1, static_cast<int>(maxY) + 1);
    for (int y = ya; y <= yb; ++y)
        for (int x = xa; x <= xb; ++x) {
            int hits = 0;
            for (int sy = 0; sy < 4; ++sy)
                for (int sx = 0; sx < 4; ++sx)
                    if (inside(x + (sx + 0.5f) / 4, y + (sy + 0.5f) / 4)) ++hits;
            layer.at(x, y) = std::max(layer.at(x, y), value * hits / 16.0f);
        }
}

void paint(Canvas& canvas, const Layer& layer, Colour colour, float opacity)
{
    for (int y = 0; y < canvas.height; ++y)
        for (int x = 0; x < canvas.width; ++x) {
            float a = layer.get(x, y) * opacity;
            if (a > 0) canvas.blend(x, y, colour, a);
        }
}

void paint(Canvas& canvas, const Layer& layer, const std::function<Colour(float x, float y)>& colour, float opacity)
{
    for (int y = 0; y < canvas.height; ++y)
        for (int x = 0; x < canvas.width; ++x) {
            float a = layer.get(x, y) * opacity;
            if (a > 0) canvas.blend(x, y, colour(x + 0.5f, y + 0.5f), a);
        }
}

void paintShifted(Canvas& canvas, const Layer& layer, int dx, int dy, Colour colour, float opacity)
{
    for (int y = 0; y < canvas.height; ++y)
        for (int x = 0; x < canvas.width; ++x) {
            int sx = x - dx, sy = y - dy;
            if (sx < 0 || sy < 0 || sx >= layer.width || sy >= layer.height) continue;
            float a = layer.get(sx, sy) * opacity;
            if (a > 0) canvas.blend(x, y, colour, a);
        }
}

Canvas maskFrom(const Layer& layer)
{
    Canvas mask(layer.width, layer.height);
    for (int y = 0; y < layer.height; ++y)
        for (int x = 0; x < layer.width; ++x)
            if (layer.get(x, y) > 0.5f) mask.set(x, y, {1, 1, 1});
    return mask;
}

Layer dilate(const Layer& layer, int r)
{
    // Separable maximum: rows, then columns.
    Layer rows(layer.width, layer.height), out(layer.width, layer.height);
    for (int y = 0; y < layer.height; ++y)
        for (int x = 0; x < layer.width; ++x) {
            float m = 0;
            for (int k = std::max(0, x - r); k <= std::min(layer.width - 1, x + r); ++k)
                m = std::max(m, layer.get(k, y));
            rows.at(x, y) = m;
        }
    for (int y = 0; y < layer.height; ++y)
        for (int x = 0; x < layer.width; ++x) {
            float m = 0;
            for (int k = std::max(0, y - r); k <= std::min(layer.height - 1, y + r); ++k)
                m = std::max(m, rows.get(x, k));
            out.at(x, y) = m;
        }
    return out;
}

Layer blur(const Layer& layer, int r, int passes)
{
    Layer cur = layer, tmp(layer.width, layer.height);
    float norm = 1.0f / (2 * r + 1);
    for (int p = 0; p < passes; ++p) {
        for (int y = 0; y < cur.height; ++y) {
            float sum = 0;
            for (int k = -r; k <= r; ++k) sum += cur.get(std::clamp(k, 0, cur.width - 1), y);
            for (int x = 0; x < cur.width; ++x) {
                tmp.at(x, y) = sum * norm;
                sum += cur.get(std::min(x + r + 1, cur.width - 1), y) - cur.get(std::max(x - r, 0), y);
            }
        }
        for (int x = 0; x < cur.width; ++x) {
            float sum = 0;
            for (int k = -r; k <= r; ++k) sum += tmp.get(x, std::clamp(k, 0, cur.height - 1));
            for (int y = 0; y < cur.height; ++y) {
                cur.at(x, y) = sum * norm;
                sum += tmp.get(x, std::min(y + r + 1, cur.height - 1)) - tmp.get(x, std::max(y - r, 0));
            }
        }
    }
    return cur;
}
