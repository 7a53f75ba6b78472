// Overlays: frames, ornaments and lettering at the edges of the screen, cut
// out by their opacity pictures (shown where the opacity is above one half)
// so the 3D scene shows through the open middle.
#include "overlays.h"

#include "geometry/pi.h"
#include "noise.h"
#include "paint_kit.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr int S = CARD_SIZE;
constexpr float Q = SCREEN_SQUEEZE;  // horizontal lengths are this much shorter

Layer textAt(const std::string& text, float cell, float cx, float top)
{
    return textLayer(S, text, cx, top, screenText(cell));
}

// An L-shaped bracket in one corner (cornerX, cornerY in {0, 1}).
void bracket(Layer& l, int cornerX, int cornerY, float inset, float length, float thick)
{
    float x0 = cornerX ? S - inset * Q : inset * Q;
    float y0 = cornerY ? S - inset : inset;
    float sx = cornerX ? -1.0f : 1.0f, sy = cornerY ? -1.0f : 1.0f;
    addRect(l, x0, y0, x0 + sx * length * Q, y0 + sy * thick);
    addRect(l, x0, y0, x0 + sx * thick * Q, y0 + sy * length);
}

// A rectangular outline `thick` pixels high (narrower sideways) at `inset` from the edges.
void frameLine(Layer& l, float inset, float thick)
{
    float x0 = inset * Q, x1 = S - inset * Q, y0 = inset, y1 = S - inset;
    addRect(l, x0, y0, x1, y0 + thick);
    addRect(l, x0, y1 - thick, x1, y1);
    addRect(l, x0, y0, x0 + thick * Q, y1);
    addRect(l, x1 - thick * Q, y0, x1, y1);
}

// ---- maskine: machine-room frames over the twisting column ----

Layer machineWord()
{
    Layer l(S, S);
    float cell = fitCell("MACHINE", S * 0.9f, 11);
    drawTextCentred(l, "MACHINE", 256, S - 24 - cell * 7, screenText(cell));
    return l;
}

Layer maskineShape(int n)
{
    Layer l(S, S);
    switch (n) {
    case 1:
        for (int cx = 0; cx < 2; ++cx)
            for (int cy = 0; cy < 2; ++cy) bracket(l, cx, cy, 18, 120, 14);
        drawText(l, "SYS 01", 50, 44, screenText(3.2f));
        drawText(l, "CORE", S - 50 - textWidth("CORE", screenText(3.2f)), S - 44 - 7 * 3.2f, screenText(3.2f));
        break;
    case 2: {
        addPolygon(l, {0, 0, S, 0, S, 34, S - 40 * Q, 48, 40 * Q, 48, 0, 34});
        addPolygon(l, {0, S, S, S, S, S - 34.0f, S - 40 * Q, S - 48.0f, 40 * Q, S - 48.0f, 0, S - 34.0f});
        addRect(l, 60 * Q, 54, S - 60 * Q, 57);
        addRect(l, 60 * Q, S - 57.0f, S - 60 * Q, S - 54.0f);
        break;
    }
    case 3:
        for (int side = 0; side < 2; ++side) {
            float x0 = side ? S - 52 * Q : 14 * Q, x1 = side ? S - 14 * Q : 52 * Q;
            for (int i = 0; i < 14; ++i) addRect(l, x0, 52 + i * 28.0f, x1, 52 + i * 28.0f + 22);
        }
        drawText(l, "PSI", 14 * Q, S - 46.0f, screenText(3.5f));
        drawText(l, "RPM", S - 14 * Q - textWidth("RPM", screenText(3.5f)), S - 46.0f, screenText(3.5f));
        break;
    case 4: {
        float r = 206;
        addEllipse(l, 256, 256, r * Q, r);
        cutEllipse(l, 256, 256, (r - 6) * Q, r - 6);
        addRect(l, 253, 256 - r - 30, 259, 256 - r + 24);
        addRect(l, 253, 256 + r - 24, 259, 256 + r + 30);
        addRect(l, 256 - (r + 30) * Q, 253, 256 - (r - 24) * Q, 259);
        addRect(l, 256 + (r - 24) * Q, 253, 256 + (r + 30) * Q, 259);
        addRect(l, 248, 254.5f, 264, 257.5f);
        addRect(l, 254.5f, 245, 257.5f, 267);
        for (int cx = 0; cx < 2; ++cx)
            for (int cy = 0; cy < 2; ++cy) bracket(l, cx, cy, 24, 40, 6);
        drawText(l, "TARGET LOCK", 40 * Q, S - 40.0f, screenText(3));
        break;
    }
    case 5:
        for (int cx = 0; cx < 2; ++cx)
            for (int cy = 0; cy < 2; ++cy) {
                float x0 = cx ? S : 0, y0 = cy ? S : 0, sx = cx ? -1.0f : 1.0f, sy = cy ? -1.0f : 1.0f;
                addPolygon(l, {x0, y0, x0 + sx * 170 * Q, y0, x0, y0 + sy * 170});
            }
        addRect(l, 0, 0, S, 10);
        addRect(l, 0, S - 10.0f, S, S);
        break;
    case 6: {
        // The word with a dark rim, so it reads over the column's bright metal.
        l = dilate(machineWord(), 2);
        addRect(l, 0, 0, S, 12);
        addRect(l, 0, 12, 160 * Q, 22);
        break;
    }
    case 7: {
        Rng rng(707);
        float cw = 14 * Q, ch = 14;
        for (int row = 0; row < S / 14; ++row)
            for (int col = 0; col < S / cw; ++col) {
                bool edge = row < 3 || row >= S / 14 - 3 || col < 2 || col >= static_cast<int>(S / cw) - 2;
                if (edge && rng.uniform() < 0.55)
                    addRect(l, col * cw + 1, row * ch + 1, (col + 1) * cw - 1, (row + 1) * ch - 1);
            }
        break;
    }
    default:  // 8, and the nine colour pictures that share its opacity picture
        addRect(l, 0, 0, S, 58);
        addRect(l, 176, 58, 336, 70);
        addRect(l, 0, S - 58.0f, S, S);
        addRect(l, 176, S - 70.0f, 336, S - 58.0f);
        addRect(l, 0, 0, 18 * Q, S);
        addRect(l, S - 18 * Q, 0, S, S);
        for (int i = 0; i < 6; ++i) {
            addRect(l, 18 * Q, 110 + i * 56.0f, 30 * Q, 130 + i * 56.0f);
            addRect(l, S - 30 * Q, 110 + i * 56.0f, S - 18 * Q, 130 + i * 56.0f);
        }
        break;
    }
    return l;
}

struct MachineScheme {
    uint32_t metal, accent, text;  // bars, plates, lettering on the plates (flash schemes)
    const char* top;
    const char* bottom;
};

// maskine8 to maskine10 are calm; maskine11 to 17 flash over maskine10 in saturated colours.
const MachineScheme MACHINE_SCHEMES[] = {
    {0x5a6270, 0xffa000, 0xffc040, "UNIT 08", "PRESSURE OK"}, {0x60584e, 0xff7020, 0xffa060, "UNIT 09", "HEAT RISING"},
    {0x4e5a60, 0xff3020, 0xff8060, "UNIT 10", "OVERDRIVE"},   {0xd0d8e0, 0xff2020, 0xffffff, "WARNING", "WARNING"},
    {0xff3a20, 0xffe040, 0x600000, "OVERLOAD", "OVERLOAD"},   {0xffd020, 0x101010, 0xffd020, "CORE HOT", "CORE HOT"},
    {0x20c8ff, 0xffffff, 0x002040, "VENTING", "VENTING"},     {0xff40c0, 0x40ffff, 0x400040, "PURGE", "PURGE"},
    {0x40ff60, 0x004010, 0x60ff80, "REBOOT", "REBOOT"},       {0xffffff, 0x2080ff, 0xffffff, "ONLINE", "ONLINE"},
};

void paintMaskine(Canvas& c, int n)
{
    c = Canvas(S, S);
    Colour metal = hex(0x5a6270), accent = hex(0xffa000);
    const MachineScheme* scheme = n >= 8 ? &MACHINE_SCHEMES[n - 8] : nullptr;
    if (scheme) metal = hex(scheme->metal), accent = hex(scheme->accent);
    shade(c, [&](float x, float y) {
        Colour m = brushedMetal(x, y, S, metal, 31u + n);
        // A bevel light along the top of every band.
        return scale(m, 0.85f + 0.3f * std::pow(1 - std::fabs(y - 256) / 256, 0.5f));
    });
    switch (n) {
    case 1:
        // Hazard-striped brackets with amber labels.
        shade(c, [&](float x, float y) {
            bool stripe = static_cast<int>((x / Q + y) / 12) % 2 == 0;
            return stripe ? hex(0xffb000) : hex(0x202020);
        });
        {
            Layer labels(S, S);
            drawText(labels, "SYS 01", 50, 44, screenText(3.2f));
            drawText(labels, "CORE", S - 50 - textWidth("CORE", screenText(3.2f)), S - 44 - 7 * 3.2f, screenText(3.2f));
            shade(c, [&](float x, float y) {
                Colour base = c.get(static_cast<int>(x), static_cast<int>(y));
                return labels.get(static_cast<int>(x), static_cast<int>(y)) > 0 ? hex(0xffc040) : base;
            });
        }
        break;
    case 4:
        // A head-up display in hot red.
        shade(c, [&](float, float y) { return mix(hex(0xff6040), hex(0xff2010), y / S); });
        break;
    case 6:
        // The big lettering is hot metal, white at the top, orange below, in a dark rim.
        shade(c, [&](float x, float y) { return y < 40 ? brushedMetal(x, y, S, metal, 6) : hex(0x180800); });
        paint(c, machineWord(),
              [](float, float y) { return mix(hex(0xfff0c0), hex(0xff5a00), std::clamp((y - 420) / 70, 0.0f, 1.0f)); });
        break;
    case 2: {
        Layer top = textAt("SKARVELIN DRIVE", 4, 256, 12), bottom = textAt("ENGINE ROOM  -  DECK 2", 3.5f, 256, S - 38);
        paint(c, top, accent);
        paint(c, bottom, accent);
        Layer lines(S, S);
        addRect(lines, 0, 46, S, 48);
        addRect(lines, 0, S - 48.0f, S, S - 46.0f);
        paint(c, lines, accent);
        break;
    }
    case 3:
        // Gauges: lit segments from green at the bottom to red at the top.
        for (int side = 0; side < 2; ++side) {
            int lit = side ? 9 : 12;
            float x0 = side ? S - 52 * Q : 14 * Q, x1 = side ? S - 14 * Q : 52 * Q;
            for (int i = 0; i < 14; ++i) {
                Layer seg(S, S);
                addRect(seg, x0 + 2, 54 + i * 28.0f, x1 - 2, 52 + i * 28.0f + 20);
                float level = (13 - i) / 13.0f;
                Colour on = level < 0.6f ? hex(0x40ff60) : level < 0.85f ? hex(0xffe040) : hex(0xff3020);
                paint(c, seg, 13 - i < lit ? on : scale(on, 0.2f));
            }
        }
        {
            Layer labels(S, S);
            drawText(labels, "PSI", 14 * Q, S - 46.0f, screenText(3.5f));
            drawText(labels, "RPM", S - 14 * Q - textWidth("RPM", screenText(3.5f)), S - 46.0f, screenText(3.5f));
            paint(c, labels, accent);
        }
        break;
    case 5:
        shade(c, [&](float x, float y) {
            bool stripe = static_cast<int>((x / Q + y) / 22) % 2 == 0;
            return stripe ? hex(0xffc800) : hex(0x141414);
        });
        break;
    case 7: {
        shade(c, [&](float x, float y) {
            float b = latticeHash(static_cast<int>(x / (14 * Q)), static_cast<int>(y / 14), 71);
            return mix(hex(0x0a3a10), hex(0x60ff80), b * b);
        });
        break;
    }
    default: {
        // Bars with rivets and the scheme's words; the flash schemes are bold.
        Layer rivets(S, S);
        for (int i = 0; i < 8; ++i) {
            float x = 40 + i * 62.0f;
            if (x > 160 && x < 350) continue;
            addEllipse(rivets, x, 14, 4 * Q, 4);
            addEllipse(rivets, x, S - 14.0f, 4 * Q, 4);
        }
        for (int i = 0; i < 9; ++i) {
            addEllipse(rivets, 9 * Q, 40 + i * 54.0f, 3 * Q, 3);
            addEllipse(rivets, S - 9 * Q, 40 + i * 54.0f, 3 * Q, 3);
        }
        paintShifted(c, rivets, 1, 1, {0, 0, 0}, 0.6f);
        paint(c, rivets, mix(metal, {1, 1, 1}, 0.5f));
        Layer plate(S, S);
        addRect(plate, 176, 40, 336, 66);
        addRect(plate, 176, S - 66.0f, 336, S - 40.0f);
        paint(c, plate, accent);
        std::string longer = std::string(scheme->top).size() > std::string(scheme->bottom).size() ? scheme->top
                                                                                                  : scheme->bottom;
        float cell = fitCell(longer, 150, 4);
        Layer top = textAt(scheme->top, cell, 256, 53 - cell * 3.5f);
        Layer bottom = textAt(scheme->bottom, cell, 256, S - 53 - cell * 3.5f);
        Colour ink = n >= 11 ? hex(scheme->text) : scale(metal, 0.3f);
        paint(c, top, ink);
        paint(c, bottom, ink);
        Layer side(S, S);
        drawText(side, n >= 11 ? "!! ALERT !!" : "SKARVELIN MK2", 60, 18, screenText(2.6f));
        drawText(side, n >= 11 ? "!! ALERT !!" : "SKARVELIN MK2", 330, S - 36.0f, screenText(2.6f));
        // On the flash schemes the small print takes the plates' colour, which stands out of the bars.
        paint(c, side, n >= 11 ? accent : hex(scheme->text));
        Layer rails(S, S);
        for (int i = 0; i < 6; ++i) {
            addRect(rails, 18 * Q, 110 + i * 56.0f, 30 * Q, 130 + i * 56.0f);
            addRect(rails, S - 30 * Q, 110 + i * 56.0f, S - 18 * Q, 130 + i * 56.0f);
        }
        paint(c, rails, accent);
        break;
    }
    }
}

// ---- ost: thin frames and one big word each over the twist room ----

const char* const OST_WORDS[7] = {"INSIDE", "THE", "CUBE", "THE", "BARS", "KEEP", "TURNING"};

// The frame with its corner marks.
Layer ostFrame(int n)
{
    Layer l(S, S);
    frameLine(l, 14, 4);
    for (int cx = 0; cx < 2; ++cx)
        for (int cy = 0; cy < 2; ++cy) {
            float x = cx ? S - 16 * Q : 16 * Q, y = cy ? S - 16.0f : 16.0f;
            if (n % 2) addRect(l, x - 10 * Q, y - 10, x + 10 * Q, y + 10);
            else addPolygon(l, {x, y - 14, x + 14 * Q, y, x, y + 14, x - 14 * Q, y});
        }
    return l;
}

// The word, the count and one tick more each time along the top edge.
Layer ostLetters(int n)
{
    Layer l(S, S);
    const char* word = OST_WORDS[n - 1];
    float cell = fitCell(word, S * 0.78f, 10);
    drawTextCentred(l, word, 256, S - 34 - cell * 7, screenText(cell));
    std::string count = std::to_string(n) + "/7";
    drawText(l, count, S - 40 * Q - textWidth(count, screenText(3.5f)), 32, screenText(3.5f));
    for (int i = 0; i < n; ++i) addRect(l, (40 + i * 14) * Q, 32, (40 + i * 14 + 8) * Q, 48);
    return l;
}

// The letters carry a dark rim, so they read over bright walls as well as fog.
Layer ostShape(int n)
{
    Layer l = dilate(ostLetters(n), 2);
    Layer frame = ostFrame(n);
    for (size_t i = 0; i < l.a.size(); ++i) l.a[i] = std::max(l.a[i], frame.a[i]);
    return l;
}

void paintOst(Canvas& c, int n)
{
    static const uint32_t tints[7] = {0x60e0ff, 0x80c8ff, 0xa0a8ff, 0x60ffd0, 0x80e0ff, 0xc0a0ff, 0x60f0ff};
    Colour tint = hex(tints[n - 1]);
    c = Canvas(S, S, hex(0x04080c));
    paint(c, ostFrame(n), tint);
    Layer letters = ostLetters(n);
    // Bright at the top of the word, deeper below: the letters look lit from above.
    paint(c, letters, [&](float, float y) {
        if (y > S - 110) return mix(hex(0xffffff), tint, std::min(1.0f, (y - (S - 110)) / 60));
        return mix(tint, hex(0xffffff), 0.4f);
    });
}

// ---- kost: spare machine frames (loaded, never shown) ----

Layer kostShape(int n)
{
    Layer l(S, S);
    addRect(l, 0, 0, S, 24);
    addRect(l, 0, S - 24.0f, S, S);
    for (int i = 0; i < n + 1; ++i) {
        addRect(l, 0, 60 + i * 40.0f, 24 * Q, 80 + i * 40.0f);
        addRect(l, S - 24 * Q, 60 + i * 40.0f, S, 80 + i * 40.0f);
    }
    drawText(l, "SPARE " + std::to_string(n), 40 * Q, 34, screenText(3.5f));
    return l;
}

void paintKost(Canvas& c, int n)
{
    c = Canvas(S, S);
    shade(c, [&](float x, float y) { return brushedMetal(x, y, S, hex(0x6a5a48), 90u + n); });
    Layer words(S, S);
    drawTextCentred(words, "SPARE PART STORE", 256, 6, screenText(1.8f));
    paint(c, words, hex(0xffa000));
}

// ---- slut: the closing captions over the wave, and the last card ----

struct Caption {
    const char* top;
    const char* bottom;
};

const Caption CAPTIONS[9] = {
    {"SKARVELIN", "BY QARLO6"},
    {"CODE", "FJORD"},
    {"GRAPHICS", "LUMEN"},
    {"MUSIC", "NOVAK"},
    {"EVERY PIXEL", "PAINTED BY CODE"},
    {"EVERY SOUND", "SYNTHESIZED"},
    {"132 SECONDS", "OF TWISTING"},
    {"NO WAVE", "LASTS FOREVER"},
    {"THANKS FOR", "WATCHING"},
};

Layer slutLetters(int n)
{
    Layer l(S, S);
    if (n == 10) {
        float cell = fitCell("THE END", S * 0.8f, 13);
        drawTextCentred(l, "THE END", 256, 74 - cell * 3.5f, screenText(cell));
        drawTextCentred(l, "SKARVELIN  -  QARLO6", 256, S - 74 - 14.0f, screenText(4));
        return l;
    }
    const Caption& cap = CAPTIONS[n - 1];
    float topCell = fitCell(cap.top, S * 0.8f, 8), bottomCell = fitCell(cap.bottom, S * 0.8f, 8);
    drawTextCentred(l, cap.top, 256, 30, screenText(topCell));
    drawTextCentred(l, cap.bottom, 256, S - 30 - bottomCell * 7, screenText(bottomCell));
    return l;
}

Layer slutShape(int n)
{
    Layer l = dilate(slutLetters(n), 3);
    if (n == 10) {
        addRect(l, 0, 0, S, 150);
        addRect(l, 0, S - 150.0f, S, S);
        addRect(l, 0, 150, S, 156);
        addRect(l, 0, S - 156.0f, S, S - 150.0f);
        return l;
    }
    frameLine(l, 8, 3);
    return l;
}

void paintSlut(Canvas& c, int n)
{
    c = Canvas(S, S);
    // Dark outline everywhere; the letters get a sunset ramp.
    shade(c, [&](float, float y) { return mix(hex(0x200818), hex(0x080410), y / S); });
    if (n == 10) {
        shade(c, [&](float x, float y) {
            float band = y < 256 ? y / 150 : (S - y) / 150;
            Colour base = mix(hex(0x000000), hex(0x2a0a30), std::clamp(band, 0.0f, 1.0f));
            return add(base, scale(hex(0x40103a), 0.3f * tileNoise(x / 32, y / 32, 16, 5)));
        });
        Layer edges(S, S);
        addRect(edges, 0, 150, S, 156);
        addRect(edges, 0, S - 156.0f, S, S - 150.0f);
        paint(c, edges, hex(0xff7a40));
    }
    Layer frame(S, S);
    if (n != 10) frameLine(frame, 8, 3);
    paint(c, frame, hex(0xffb070));
    Layer letters = slutLetters(n);
    int top, bottom;
    layerRows(letters, top, bottom);
    glow(c, letters, hex(0xff5a20), 6, 0.5f);
    paint(c, letters, [&](float, float y) {
        float t = y < 256 ? (y - top) / 60 : (y - (S - 90)) / 60;
        return mix(hex(0xfff4c0), hex(0xff4a60), std::clamp(t, 0.0f, 1.0f));
    });
}

// ---- the blob's slime border and the spheres' porthole ----

Layer blobShape()
{
    Layer l(S, S);
    addRect(l, 0, 0, S, 16);
    addRect(l, 0, S - 16.0f, S, S);
    addRect(l, 0, 0, 14 * Q, S);
    addRect(l, S - 14 * Q, 0, S, S);
    Rng rng(4242);
    for (int i = 0; i < 70; ++i) {
        float r = static_cast<float>(rng.range(10, 46));
        // A point on the border, pushed inwards a little.
        float along = static_cast<float>(rng.uniform()) * 4;
        float in = static_cast<float>(rng.range(0, 22));
        float x, y;
        if (along < 1) x = along * S, y = in;
        else if (along < 2) x = S - in * Q, y = (along - 1) * S;
        else if (along < 3) x = (3 - along) * S, y = S - in;
        else x = in * Q, y = (4 - along) * S;
        addEllipse(l, x, y, r * Q, r);
    }
    drawText(l, "LIQUID STATE", S - 30 * Q - textWidth("LIQUID STATE", screenText(3.5f)), S - 78.0f, screenText(3.5f));
    return l;
}

void paintBlob(Canvas& c)
{
    c = Canvas(S, S);
    Layer shape = blobShape();
    Layer soft = blur(shape, 8, 2);
    shade(c, [&](float x, float y) {
        // Thicker slime is deeper green; the thin rims catch the light.
        float depth = soft.get(static_cast<int>(x), static_cast<int>(y));
        float n = tileFbm(x / S * 6, y / S * 6, 6, 4, 17);
        Colour col = mix(hex(0xb0ff60), hex(0x0a5a2a), depth);
        col = add(col, scale(hex(0x40ffa0), 0.25f * n));
        float gloss = std::pow(std::max(0.0f, 1 - std::fabs(depth - 0.55f) * 8), 3.0f);
        return add(col, scale({1, 1, 1}, 0.5f * gloss));
    });
    Layer label(S, S);
    drawText(label, "LIQUID STATE", S - 30 * Q - textWidth("LIQUID STATE", screenText(3.5f)), S - 78.0f,
             screenText(3.5f));
    paint(c, label, hex(0xeaffd0));
}

constexpr float PORT_R = 234;

Layer sphereShape()
{
    Layer l(S, S);
    addRect(l, 0, 0, S, S);
    cutEllipse(l, 256, 256, PORT_R * Q, PORT_R);
    return l;
}

void paintSphere(Canvas& c)
{
    c = Canvas(S, S);
    shade(c, [&](float x, float y) {
        float dx = (x - 256) / Q, dy = y - 256;
        float r = std::sqrt(dx * dx + dy * dy);
        Colour plate = brushedMetal(x, y, S, hex(0x3a4250), 12);
        // The porthole's rim: a bevelled ring lit from the top left.
        if (r > PORT_R - 4 && r < PORT_R + 26) {
            float t = (r - PORT_R) / 26;
            float light = 0.5f + 0.5f * (-(dx + dy) / std::max(r, 1.0f)) * (1 - 2 * t);
            plate = mix(hex(0x20242a), hex(0xd8e4f0), std::clamp(light, 0.0f, 1.0f));
        }
        return plate;
    });
    Layer rivets(S, S);
    for (int i = 0; i < 24; ++i) {
        float a = i * TWO_PI_F / 24;
        float r = PORT_R + 40;
        addEllipse(rivets, 256 + std::cos(a) * r * Q, 256 + std::sin(a) * r, 6 * Q, 6);
    }
    paintShifted(c, rivets, 2, 2, {0, 0, 0}, 0.7f);
    paint(c, rivets, hex(0xb8c4d0));
    Layer text(S, S);
    drawText(text, "OBSERVATION", 14 * Q, 16, screenText(3));
    drawText(text, "PORT 4", S - 14 * Q - textWidth("PORT 4", screenText(3)), S - 38.0f, screenText(3));
    paint(c, text, hex(0xffc040));
}

}  // namespace

bool paintOverlay(const std::string& stem, bool mask, Canvas& out)
{
    std::string base = stem;
    const std::string suffix = "_alfa";
    if (mask) {
        if (base.size() <= suffix.size() || base.compare(base.size() - suffix.size(), suffix.size(), suffix) != 0)
            return false;
        base.erase(base.size() - suffix.size());
    }
    std::string word;
    int n;
    splitStem(base, word, n);
    if (word == "maskine" && n >= 1 && n <= (mask ? 8 : 17)) {
        if (mask) out = maskFrom(maskineShape(n));
        else paintMaskine(out, n);
        return true;
    }
    if (word == "ost" && n >= 1 && n <= 7) {
        if (mask) out = maskFrom(ostShape(n));
        else paintOst(out, n);
        return true;
    }
    if (word == "kost" && n >= 1 && n <= 3) {
        if (mask) out = maskFrom(kostShape(n));
        else paintKost(out, n);
        return true;
    }
    if (word == "slut" && n >= 1 && n <= 10) {
        if (mask) out = maskFrom(slutShape(n));
        else paintSlut(out, n);
        return true;
    }
    if (base == "bloboverlay") {
        if (mask) out = maskFrom(blobShape());
        else paintBlob(out);
        return true;
    }
    if (base == "sphereoverlay") {
        if (mask) out = maskFrom(sphereShape());
        else paintSphere(out);
        return true;
    }
    return false;
}
