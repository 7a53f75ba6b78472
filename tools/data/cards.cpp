// Full-screen cards: the loading picture, the opening pair, the credits, the
// pause pictures and the seven-picture soya sequence.
#include "cards.h"

#include "geometry/pi.h"
#include "noise.h"
#include "paint_kit.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr int S = CARD_SIZE;

// Deep space: a dark radial gradient, faint nebula and a few stars.
void spaceBackground(Canvas& c, Colour centre, Colour edge, Colour nebula, uint32_t seed)
{
    shade(c, [&](float x, float y) {
        float u = (x / S - 0.5f) / SCREEN_SQUEEZE, v = y / S - 0.45f;
        float d = std::min(1.0f, std::sqrt(u * u + v * v) * 1.4f);
        Colour col = mix(centre, edge, d);
        float n = tileFbm(x / S * 4, y / S * 4, 4, 5, seed);
        return add(col, scale(nebula, std::pow(std::max(0.0f, n - 0.45f) * 2.2f, 2.0f)));
    });
    Rng rng(seed);
    for (int i = 0; i < 220; ++i) {
        int x = rng.below(S), y = rng.below(S);
        float b = static_cast<float>(rng.range(0.2, 0.9));
        c.blend(x, y, {1, 1, 1}, b);
    }
}

// A chrome logo with a drop shadow and a coloured glow, centred at cy.
void paintLogo(Canvas& c, const std::string& text, float cy, float maxCell, Colour sky, Colour ground,
               Colour glowColour)
{
    float cell = fitCell(text, S * 0.88f, maxCell);
    TextStyle style = screenText(cell);
    Layer layer = textLayer(S, text, S / 2.0f, cy - cell * GLYPH_ROWS / 2, style);
    glow(c, layer, glowColour, 10, 0.9f);
    paintShifted(c, layer, static_cast<int>(cell * 0.35f), static_cast<int>(cell * 0.45f), {0, 0, 0}, 0.8f);
    int top, bottom;
    layerRows(layer, top, bottom);
    Layer edge = dilate(layer, 2);
    paint(c, edge, scale(glowColour, 0.5f));
    paint(c, layer, [&](float, float y) { return chrome((y - top) / std::max(1, bottom - top), sky, ground); });
}

Layer line(const std::string& text, float cell, float cy)
{
    return textLayer(S, text, S / 2.0f, cy - cell * GLYPH_ROWS / 2, screenText(cell));
}

void paintLoading(Canvas& c)
{
    c = Canvas(S, S);
    spaceBackground(c, hex(0x1c1238), hex(0x020108), hex(0x5a2a8a), 11);
    paintLogo(c, "SKARVELIN", 210, 14, hex(0x7ab8ff), hex(0xff8a3a), hex(0x6a4cff));
    paint(c, line("A QARLO6 PRODUCTION", 3.5f, 110), hex(0xb8a8ff));
    paint(c, line("LOADING", 5, 330), hex(0xe8e0ff));
    // An empty progress bar with its first steps lit.
    Layer frame(S, S), fill(S, S);
    addRect(frame, 156, 362, 356, 384);
    cutRect(frame, 159, 365, 353, 381);
    for (int i = 0; i < 4; ++i) addRect(fill, 163 + i * 16.0f, 368, 175 + i * 16.0f, 378);
    paint(c, frame, hex(0x9a88ff));
    paint(c, fill, hex(0xffc070));
    glow(c, fill, hex(0xff8a3a), 4, 0.6f);
    scanlines(c, 0.18f);
    vignette(c, 0.5f);
}

// The opening pair: the same card, the second with a shifted waveform, a
// colder tint and a few torn rows, so the irregular flicker reads as a live signal.
void paintHearing(Canvas& c, int k)
{
    c = Canvas(S, S);
    Colour ink = k == 0 ? hex(0x9affc8) : hex(0x8af0ff);
    shade(c, [&](float x, float y) {
        float v = y / S;
        Colour base = mix(hex(0x041a14), hex(0x000000), std::fabs(v - 0.5f) * 2);
        // A faint oscilloscope graticule.
        bool grid = static_cast<int>(x) % 64 == 0 || static_cast<int>(y) % 64 == 0;
        return grid ? add(base, {0.02f, 0.09f, 0.06f}) : base;
    });
    Layer wave(S, S);
    float phase = k == 0 ? 0.0f : 1.3f;
    float prevY = 0;
    for (int x = 0; x <= S; x += 2) {
        float u = x / static_cast<float>(S);
        float env = std::sin(u * PI_F);
        float y = 256 + env * (48 * std::sin(u * 23 + phase) + 22 * std::sin(u * 57 - 2 * phase) +
                               10 * std::sin(u * 131 + 3 * phase));
        if (x > 0) addLine(wave, x - 2.0f, prevY, static_cast<float>(x), y, 3);
        prevY = y;
    }
    glow(c, wave, ink, 6, 1.2f);
    paint(c, wave, mix(ink, {1, 1, 1}, 0.6f));

    Layer title = line("QARLO6", 13, 125);
    glow(c, title, ink, 8, 0.8f);
    paint(c, title, mix(ink, {1, 1, 1}, 0.5f));
    Layer sub = line("PRESENTS", 5.5f, 395);
    paint(c, sub, ink);
    if (k == 1) shiftBands(c, 77, 6, 14);
    scanlines(c, 0.3f);
    vignette(c, 0.6f);
}

struct Credit {
    const char* stem;
    const char* role;
    const char* name;
    uint32_t background;
    uint32_t accent;
};

const Credit CREDITS[] = {
    {"code", "CODE", "FJORD", 0x062630, 0x3ff0e0},
    {"gfx", "GRAPHICS", "LUMEN", 0x2c0628, 0xff58d8},
    {"msx", "MUSIC", "NOVAK", 0x2c1a04, 0xffb030},
};

// Four variants with the words in the same place: clean, torn rows, split
// colour channels, hollow letters on stripes. Any order of them reads well.
void paintCredit(Canvas& c, const Credit& credit, int k)
{
    c = Canvas(S, S);
    Colour bg = hex(credit.background), accent = hex(credit.accent);
    shade(c, [&](float x, float y) {
        float v = y / S;
        Colour col = mix(bg, hex(0x000000), std::min(1.0f, std::fabs(v - 0.45f) * 2.2f));
        if (k == 3 && static_cast<int>(x + y) / 12 % 2 == 0) col = add(col, scale(accent, 0.08f));
        return col;
    });
    float roleCell = fitCell(credit.role, S * 0.8f, 8), nameCell = fitCell(credit.name, S * 0.85f, 15);
    Layer role = line(credit.role, roleCell, 165);
    Layer name = line(credit.name, nameCell, 290);
    Layer bar(S, S);
    addRect(bar, 96, 212, 416, 218);
    if (k == 2) {
        paintShifted(c, name, -7, 0, {1, 0, 0}, 0.9f);
        paintShifted(c, name, 7, 0, {0, 0.4f, 1}, 0.9f);
        paintShifted(c, role, 5, 0, {0, 1, 0.3f}, 0.7f);
    }
    glow(c, name, accent, 9, k == 0 ? 0.9f : 0.6f);
    paint(c, role, accent);
    paint(c, bar, scale(accent, 0.8f));
    if (k == 3) {
        Layer outline = dilate(name, 3);
        paint(c, outline, mix(accent, {1, 1, 1}, 0.4f));
        paint(c, name, scale(bg, 0.6f));
    } else {
        paint(c, name, mix(accent, {1, 1, 1}, 0.65f));
    }
    if (k == 1) shiftBands(c, 1000 + credit.background, 9, 24);
    if (k == 2) shiftBands(c, 2000 + credit.background, 3, 10);
    scanlines(c, k == 3 ? 0.35f : 0.2f);
    vignette(c, 0.5f);
}

// pause1 is a white-hot flash of the title; pause2 the title over a horizon,
// its lower half a grid floor with the byline (that half is blacked out late on).
void paintPause(Canvas& c, int k)
{
    c = Canvas(S, S);
    if (k == 0) {
        shade(c, [&](float x, float y) {
            float u = (x / S - 0.5f) / SCREEN_SQUEEZE, v = y / S - 0.45f;
            return mix(hex(0xffffff), hex(0x58c8ff), std::min(1.0f, std::sqrt(u * u + v * v) * 1.6f));
        });
        float cell = fitCell("SKARVELIN", S * 0.88f, 14);
        Layer logo = line("SKARVELIN", cell, 250);
        paintShifted(c, logo, 5, 6, hex(0x2080c0), 0.5f);
        paint(c, logo, hex(0x0a1030));
        scanlines(c, 0.08f);
        return;
    }
    shade(c, [&](float x, float y) {
        if (y < 256) return mix(hex(0x020214), hex(0x6a1a6a), std::pow(y / 256, 2.2f));
        // A perspective grid floor running to the horizon.
        float depth = (y - 252) / 260.0f;
        float z = 1 / std::max(depth, 0.02f);
        float gx = (x - 256) * z / 80, gz = z * 2;
        float lx = std::fabs(gx - std::round(gx)), lz = std::fabs(gz - std::round(gz));
        float lineness = std::max(std::max(0.0f, 1 - lx * 12 * depth), std::max(0.0f, 1 - lz * 4));
        Colour floor = mix(hex(0x10001a), hex(0x000000), depth);
        return add(floor, scale(hex(0xff3ac8), lineness * std::min(1.0f, depth * 3)));
    });
    Layer sun(S, S);
    addEllipse(sun, 256, 256, 90 * SCREEN_SQUEEZE, 90);
    cutRect(sun, 0, 256, S, S);
    for (int i = 0; i < 6; ++i) cutRect(sun, 0, 200 + i * 10.0f, S, 203 + i * 10.0f + i);
    paint(c, sun, [](float, float y) { return mix(hex(0xffe060), hex(0xff3a7a), (y - 166) / 90); });
    paintLogo(c, "SKARVELIN", 130, 13, hex(0x7ab8ff), hex(0xff8a3a), hex(0x8a4cff));
    Layer by = line("A DEMO BY QARLO6", 4.5f, 380);
    paintShifted(c, by, 3, 3, {0, 0, 0}, 0.8f);
    paint(c, by, hex(0xffd0f0));
    scanlines(c, 0.15f);
    vignette(c, 0.4f);
}

// The soya sequence: a rosette that grows a petal and a ring with every
// picture and turns a little, the background shifting hue, seven progress
// marks along the bottom with one more lit each time.
void paintSoya(Canvas& c, int k)
{
    c = Canvas(S, S);
    static const uint32_t backgrounds[7] = {0x3a0610, 0x3a1a04, 0x2c3204, 0x06321a, 0x062a3a, 0x140a3a, 0x300a36};
    static const uint32_t petals[7] = {0xff5a3a, 0xffa02a, 0xe8f040, 0x40f088, 0x40c8ff, 0x8a70ff, 0xff60e0};
    Colour bg = hex(backgrounds[k - 1]), petal = hex(petals[k - 1]);
    int n = k + 2;
    float turn = k * 0.35f;
    float radius = 70 + 17.0f * k;
    const float cx = 256, cy = 236;
    shade(c, [&](float x, float y) {
        float dx = (x - cx) / SCREEN_SQUEEZE, dy = y - cy;
        float r = std::sqrt(dx * dx + dy * dy), a = std::atan2(dy, dx);
        Colour col = mix(scale(bg, 1.6f), hex(0x000000), std::min(1.0f, r / 420));
        // Rays behind the rosette, one per petal, turning with it.
        float ray = std::pow(std::fabs(std::cos((a - turn) * n * 0.5f)), 24.0f);
        col = add(col, scale(petal, ray * 0.12f * std::max(0.0f, 1 - r / 400)));
        // Rings, one more per picture.
        for (int i = 0; i < k; ++i) {
            float ring = radius + 18 + i * 13.0f;
            float d = std::fabs(r - ring);
            if (d < 2.5f) col = mix(col, mix(petal, {1, 1, 1}, 0.3f), (2.5f - d) / 2.5f * 0.8f);
        }
        // The rosette itself.
        float edge = radius * (0.42f + 0.58f * std::pow(std::fabs(std::cos((a - turn) * n * 0.5f)), 0.7f));
        if (r < edge + 1) {
            float cover = std::clamp(edge + 1 - r, 0.0f, 1.0f);
            float t = r / radius;
            Colour inner = mix(hex(0xfffff0), petal, std::min(1.0f, t * 1.3f));
            inner = scale(inner, 1 - 0.35f * t * t);
            col = mix(col, inner, cover);
        }
        if (r < radius * 0.18f) col = mix(col, scale(bg, 0.7f), std::clamp(radius * 0.18f - r, 0.0f, 1.0f));
        return col;
    });
    for (int i = 0; i < 7; ++i) {
        Layer mark(S, S);
        float x0 = 256 + (i - 3) * 34.0f - 9, y0 = 452;
        addRect(mark, x0, y0, x0 + 18, y0 + 24);
        if (i >= k) cutRect(mark, x0 + 3, y0 + 3, x0 + 15, y0 + 21);
        paint(c, mark, i < k ? mix(petal, {1, 1, 1}, 0.4f) : scale(petal, 0.6f));
    }
    scanlines(c, 0.12f);
    vignette(c, 0.45f);
}

}  // namespace

bool paintCard(const std::string& stem, Canvas& out)
{
    std::string word;
    int number;
    splitStem(stem, word, number);
    if (stem == "loading") return paintLoading(out), true;
    if (word == "hearing" && (number == 1 || number == 2)) return paintHearing(out, number - 1), true;
    if (word == "pause" && (number == 1 || number == 2)) return paintPause(out, number - 1), true;
    if (word == "soya" && number >= 1 && number <= 7) return paintSoya(out, number), true;
    for (const Credit& credit : CREDITS)
        if (word == credit.stem && number >= 1 && number <= 4) return paintCredit(out, credit, number - 1), true;
    return false;
}
