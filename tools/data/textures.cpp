// Scene textures (seamless, since the scenes repeat them up to 50 times),
// the sphere-map environment, the flares and the film grain.
#include "textures.h"

#include "geometry/pi.h"
#include "noise.h"
#include "paint_kit.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr int T = TEXTURE_SIZE;

float fractional(float v)
{
    return v - std::floor(v);
}

// Distance (in texture fractions) from v to the nearest multiple of step.
float toGrid(float v, float step)
{
    return std::fabs(fractional(v / step + 0.5f) - 0.5f) * step;
}

float smooth(float edge0, float edge1, float x)
{
    float t = std::clamp((x - edge0) / (edge1 - edge0), 0.0f, 1.0f);
    return t * t * (3 - 2 * t);
}

// A texture painted from a function of (u, v) in [0, 1).
Canvas texture(int size, const std::function<Colour(float u, float v)>& f)
{
    Canvas c(size, size);
    shade(c, [&](float x, float y) { return f(x / size, y / size); });
    return c;
}

// The box column of the twist column: two riveted steel panels per tile,
// with a glowing strip across each (the tile is shown squashed to 5 x 2).
Canvas twistBox()
{
    return texture(T, [](float u, float v) {
        Colour col = brushedMetal(u * T, v * T, T, hex(0x68788c), 3);
        float groove = toGrid(v, 0.5f);
        if (groove < 0.02f) col = scale(col, 0.25f);
        else if (groove < 0.035f) col = scale(col, 1.35f);
        float strip = std::fabs(fractional(v * 2) - 0.5f);
        if (strip < 0.06f && u > 0.25f && u < 0.75f) col = mix(col, hex(0xffb040), 1 - strip / 0.06f);
        float rx = std::min(std::fabs(u - 0.1f), std::fabs(u - 0.9f)) * 2.5f;
        float ry = std::fabs(fractional(v * 2) - 0.5f);
        if (std::sqrt(rx * rx + ry * ry) < 0.08f) col = mix(col, hex(0xe0e8f0), 0.8f);
        return col;
    });
}

// The bars' column (stretched 20 times along its height): stripes across u only.
Canvas twistOne()
{
    return texture(T, [](float u, float v) {
        float band = fractional(u * 4);
        float ridge = std::sin(band * PI_F);
        Colour hot = mix(hex(0x5a0a10), hex(0xff6a20), ridge);
        hot = mix(hot, hex(0xffe8a0), std::pow(ridge, 12.0f));
        float grain = tileNoise(u * 32, v * 8, 8, 14) * 0.15f;
        if (band < 0.08f) hot = scale(hot, 0.2f);
        return scale(hot, 0.9f + grain);
    });
}

// The crossing bars (shown 20 times longer than high): copper stripes across v.
Canvas twistTwo()
{
    return texture(T, [](float u, float v) {
        float band = fractional(v * 3);
        float ridge = std::sin(band * PI_F);
        Colour metal = mix(hex(0x3a1a08), hex(0xe8a050), ridge);
        metal = add(metal, scale(hex(0xfff0d0), std::pow(ridge, 20.0f) * 0.6f));
        float streak = tileNoise(u * 4, v * 64, 4, 9);
        return scale(metal, 0.8f + 0.3f * streak);
    });
}

// The room's walls: dark tiles with glowing seams and the odd lit panel.
Canvas twistThree()
{
    return texture(T, [](float u, float v) {
        int tx = static_cast<int>(u * 4), ty = static_cast<int>(v * 4);
        float lit = latticeHash(tx, ty, 303);
        Colour tile = brushedMetal(u * T, v * T, T, hex(0x283848), 30);
        if (lit > 0.8f)
            tile = add(tile, scale(hex(0x3080ff), 0.5f * (1 - 2 * std::max(std::fabs(fractional(u * 4) - 0.5f),
                                                                           std::fabs(fractional(v * 4) - 0.5f)))));
        float seam = std::min(toGrid(u, 0.25f), toGrid(v, 0.25f));
        tile = add(tile, scale(hex(0x40f0ff), std::exp(-seam * 180) * 0.9f));
        return tile;
    });
}

// Tunnel walls: panels with a light bar across the tube once per tile, so
// the lights rush past as the camera flies.
Canvas tunnelWalls()
{
    return texture(T, [](float u, float v) {
        Colour col = brushedMetal(v * T, u * T, T, hex(0x505860), 41);
        float seamV = toGrid(v, 0.5f), seamU = toGrid(u, 0.25f);
        if (seamV < 0.012f || seamU < 0.008f) col = scale(col, 0.3f);
        float light = std::fabs(u - 0.5f);
        col = add(col, scale(hex(0xffe0a0), std::exp(-light * 60) * 1.2f));
        if (light < 0.02f) col = hex(0xfffff0);
        float dots = std::fabs(fractional(v * 8) - 0.5f);
        if (std::fabs(u - 0.125f) < 0.01f && dots < 0.2f) col = hex(0xff4030);
        return col;
    });
}

// The tunnel's cubes: a framed crate with a cross brace.
Canvas tunnelCrate()
{
    return texture(T, [](float u, float v) {
        Colour wood = mix(hex(0x203040), hex(0x40607a), tileFbm(u * 8, v * 2, 8, 3, 52));
        float edge = std::min(std::min(u, 1 - u), std::min(v, 1 - v));
        float diag = std::min(std::fabs(u - v), std::fabs(u + v - 1)) / 1.4142f;
        if (edge < 0.09f || diag < 0.05f) {
            wood = mix(hex(0xff8a20), hex(0xffd080), tileNoise(u * 16, v * 16, 16, 3));
            if (edge < 0.012f || (edge > 0.078f && edge < 0.09f)) wood = scale(wood, 0.4f);
        }
        return wood;
    });
}

// The blob: molten marble, bright where the folds meet.
Canvas blobSkin()
{
    return texture(T, [](float u, float v) {
        float n = tileFbm(u * 4, v * 4, 4, 5, 61);
        float m = std::sin((u * 2 + n * 3) * TWO_PI_F);
        float t = 0.5f + 0.5f * m;
        Colour col = t < 0.5f ? mix(hex(0x3a0450), hex(0xe0207a), t * 2)
                              : mix(hex(0xe0207a), hex(0xffd040), (t - 0.5f) * 2);
        return add(col, scale({1, 1, 1}, std::pow(t, 30.0f) * 0.6f));
    });
}

// The blob's cube: its own opacity. Bright frame, a finer grid, faint haze.
Canvas cubeGlass()
{
    return texture(T, [](float u, float v) {
        float edge = std::min(std::min(u, 1 - u), std::min(v, 1 - v));
        float grid = std::min(toGrid(u, 0.25f), toGrid(v, 0.25f));
        float a = 0.1f + 0.08f * tileNoise(u * 8, v * 8, 8, 71);
        a = std::max(a, 0.55f * std::exp(-grid * 200));
        a = std::max(a, 0.95f * smooth(0.05f, 0.03f, edge));
        // The red channel is the opacity; the tint stays warm so it shows.
        return Colour{a, a * 0.72f, a * 0.42f + 0.05f * a};
    });
}

// Four spheres: a striped ball, plasma, polka dots (the first serves twice).
Canvas sphereStripes()
{
    static const uint32_t colours[4] = {0xff3040, 0xffe040, 0x3080ff, 0xf8f8f8};
    return texture(T, [](float u, float v) {
        int seg = static_cast<int>(u * 8) % 4;
        Colour col = hex(colours[seg]);
        float edge = toGrid(u, 0.125f);
        if (edge < 0.004f) col = scale(col, 0.5f);
        float band = std::fabs(v - 0.5f);
        if (band < 0.04f) col = hex(0x202020);
        return scale(col, 0.75f + 0.25f * std::sin(v * PI_F));
    });
}

Canvas spherePlasma()
{
    return texture(T, [](float u, float v) {
        float p = std::sin(u * TWO_PI_F * 2) + std::sin(v * TWO_PI_F * 3) + std::sin((u + v) * TWO_PI_F * 2) +
                  std::sin(std::sqrt(2 + std::sin(u * TWO_PI_F) + std::cos(v * TWO_PI_F)) * 4);
        float t = p * 0.6f;
        return Colour{0.5f + 0.5f * std::sin(t * 3.1f), 0.5f + 0.5f * std::sin(t * 3.1f + 2.1f),
                      0.5f + 0.5f * std::sin(t * 3.1f + 4.2f)};
    });
}

Canvas sphereDots()
{
    return texture(T, [](float u, float v) {
        float fy = v * 8, fx = u * 8 + (static_cast<int>(fy) % 2) * 0.5f;
        float dx = fractional(fx) - 0.5f, dy = fractional(fy) - 0.5f;
        float d = std::sqrt(dx * dx + dy * dy);
        Colour bg = mix(hex(0x081040), hex(0x102060), v);
        Colour dot = mix(hex(0x60fff0), hex(0xff60e0), latticeHash(static_cast<int>(fx) % 8, static_cast<int>(fy), 81));
        return mix(bg, dot, smooth(0.33f, 0.3f, d));
    });
}

// Pixel art for nearest-neighbour filtering: mirrored random sprites on a
// checkerboard, 32 x 32 art pixels scaled up eight times.
Canvas bitmapArt()
{
    constexpr int ART = 32;
    static const uint32_t palette[4][3] = {
        {0xff4060, 0xffd040, 0x601030},
        {0x40e0ff, 0x2060ff, 0x081860},
        {0x80ff40, 0xf0ff80, 0x185010},
        {0xff80ff, 0xa040ff, 0x301060},
    };
    int pixel[ART][ART];
    for (int y = 0; y < ART; ++y)
        for (int x = 0; x < ART; ++x) pixel[y][x] = ((x / 4 + y / 4) % 2) ? -1 : -2;
    Rng rng(1234);
    for (int s = 0; s < 4; ++s) {
        int ox = (s % 2) * 16, oy = (s / 2) * 16;
        bool on[14][7] = {};
        for (int y = 0; y < 14; ++y)
            for (int x = 0; x < 7; ++x) on[y][x] = rng.uniform() < 0.45 + 0.2 * (x / 7.0);
        for (int y = 0; y < 14; ++y)
            for (int x = 0; x < 14; ++x) {
                int mx = x < 7 ? x : 13 - x;
                if (!on[y][mx]) continue;
                int shadeIndex = y < 5 ? 1 : (y > 10 ? 2 : 0);
                pixel[oy + 1 + y][ox + 1 + x] = s * 3 + shadeIndex;
            }
    }
    Canvas c(T, T);
    for (int y = 0; y < T; ++y)
        for (int x = 0; x < T; ++x) {
            int p = pixel[y / 8][x / 8];
            Colour col = p == -1 ? hex(0x181828) : p == -2 ? hex(0x242438) : hex(palette[p / 3][p % 3]);
            c.set(x, y, col);
        }
    return c;
}

// A sphere-map environment: sky above a bright horizon, warm ground below,
// a sun and a row of studio lights, seen in a mirror ball.
Canvas environment()
{
    Canvas c(T, T);
    shade(c, [](float x, float y) {
        float sx = x / T * 2 - 1, sy = y / T * 2 - 1;
        float r2 = sx * sx + sy * sy;
        if (r2 > 1) r2 = 1;
        float nz = std::sqrt(1 - r2);
        // The reflected direction of a mirror ball seen from the front.
        float rx = 2 * nz * sx, ry = -2 * nz * sy, rz = 2 * nz * nz - 1;
        (void)rz;
        Colour col;
        if (ry > 0) col = mix(hex(0xc8f0ff), hex(0x2050c0), std::pow(ry, 0.7f));
        else col = mix(hex(0xffd8a0), hex(0x5a2a10), std::pow(-ry, 0.6f));
        if (std::fabs(ry) < 0.04f) col = mix(col, {1, 1, 1}, 1 - std::fabs(ry) / 0.04f);
        float sun = std::exp(-((rx + 0.5f) * (rx + 0.5f) + (ry - 0.55f) * (ry - 0.55f)) * 40);
        col = add(col, scale(hex(0xfff0c0), sun * 1.5f));
        float lights = std::exp(-(ry - 0.3f) * (ry - 0.3f) * 900) * std::pow(std::fabs(std::sin(rx * 9)), 8.0f);
        col = add(col, scale({1, 1, 1}, lights));
        return col;
    });
    return c;
}

// The inner spiked tube: ridged organic matter with bright veins.
Canvas spikeSkin()
{
    return texture(T, [](float u, float v) {
        float n = tileFbm(u * 4, v * 4, 4, 5, 91);
        float ridge = 1 - std::fabs(n * 2 - 1);
        Colour col = mix(hex(0x1a0408), hex(0xc03a20), ridge);
        col = add(col, scale(hex(0xffd080), std::pow(ridge, 16.0f)));
        return col;
    });
}

// The outer tube: blue panels, each with a glowing port light.
Canvas spikeTunnelSkin()
{
    return texture(T, [](float u, float v) {
        float fu = fractional(u * 4), fv = fractional(v * 4);
        Colour col = brushedMetal(u * T, v * T, T, hex(0x304870), 95);
        float seam = std::min(std::min(fu, 1 - fu), std::min(fv, 1 - fv));
        if (seam < 0.04f) col = scale(col, 0.35f);
        float dx = fu - 0.5f, dy = fv - 0.5f;
        float d = std::sqrt(dx * dx + dy * dy);
        col = add(col, scale(hex(0x60e0ff), std::exp(-d * d * 120) * 1.4f));
        return col;
    });
}

// A glow on black that fades to nothing before the edge; its red channel is
// its opacity, so the warmer, the more it covers.
Canvas flare(Colour core, Colour halo, int rays, float rayAngle)
{
    Canvas c(T, T);
    shade(c, [&](float x, float y) {
        float dx = x / T * 2 - 1, dy = y / T * 2 - 1;
        float r = std::sqrt(dx * dx + dy * dy);
        float a = std::atan2(dy, dx);
        float fade = smooth(1.0f, 0.7f, r);
        float centre = std::exp(-r * r * 60);
        float soft = std::exp(-r * 5) * 0.6f;
        float ray = std::pow(std::fabs(std::cos((a - rayAngle) * rays * 0.5f)), 60.0f) * std::exp(-r * 3.5f);
        float ring = std::exp(-(r - 0.55f) * (r - 0.55f) * 600) * 0.18f;
        Colour col = add(scale(core, centre * 1.2f + ray), scale(halo, soft + ring));
        return scale(col, fade);
    });
    return c;
}

// Film grain: black (transparent) with sparse specks, dust, hairs and a
// scratch or two, since the red channel is the opacity.
Canvas filmGrain(uint32_t seed)
{
    constexpr int N = CARD_SIZE;
    Canvas c(N, N);
    Rng rng(seed);
    // Faint grain on a few pixels.
    for (int i = 0; i < N * N / 40; ++i) {
        int x = rng.below(N), y = rng.below(N);
        float b = static_cast<float>(rng.range(0.03, 0.12));
        c.set(x, y, {b, b, b});
    }
    Layer dust(N, N);
    for (int i = 0; i < 150; ++i) {
        float x = static_cast<float>(rng.range(0, N)), y = static_cast<float>(rng.range(0, N));
        float r = static_cast<float>(rng.range(0.6, 2.2));
        addEllipse(dust, x, y, r, r * static_cast<float>(rng.range(0.7, 1.3)), static_cast<float>(rng.range(0.4, 1.0)));
    }
    // Hairs: short wiggly curves.
    for (int i = 0; i < 5; ++i) {
        float x = static_cast<float>(rng.range(20, N - 20)), y = static_cast<float>(rng.range(20, N - 20));
        float heading = static_cast<float>(rng.range(0, TWO_PI_F));
        float value = static_cast<float>(rng.range(0.5, 0.9));
        int steps = 20 + rng.below(30);
        for (int s = 0; s < steps; ++s) {
            heading += static_cast<float>(rng.range(-0.35, 0.35));
            float nx = x + std::cos(heading) * 2, ny = y + std::sin(heading) * 2;
            addLine(dust, x, y, nx, ny, 1.2f, value);
            x = nx;
            y = ny;
        }
    }
    // Vertical scratches the length of the frame, wavering slightly.
    int scratches = 1 + rng.below(2);
    for (int i = 0; i < scratches; ++i) {
        float x = static_cast<float>(rng.range(40, N - 40));
        float value = static_cast<float>(rng.range(0.35, 0.6));
        for (int y = 0; y < N; y += 4) {
            float nx = x + static_cast<float>(rng.range(-0.4, 0.4));
            addLine(dust, x, static_cast<float>(y), nx, y + 4.0f, 1.0f,
                    value * (0.6f + 0.4f * tileNoise(0, y / 32.0f, 16, seed)));
            x = nx;
        }
    }
    paint(c, dust, {0.95f, 0.95f, 0.92f});
    return c;
}

}  // namespace

bool paintTexture(const std::string& stem, Canvas& out)
{
    if (stem == "twistbox2") out = twistBox();
    else if (stem == "twist_1") out = twistOne();
    else if (stem == "twist_2") out = twistTwo();
    else if (stem == "twist_3") out = twistThree();
    else if (stem == "tunnel_texture") out = tunnelWalls();
    else if (stem == "tunnel_kasse_texture") out = tunnelCrate();
    else if (stem == "kasse_texture") out = blobSkin();
    else if (stem == "kasse_trans_texture") out = cubeGlass();
    else if (stem == "spheres_texture1") out = sphereStripes();
    else if (stem == "spheres_texture2") out = spherePlasma();
    else if (stem == "spheres_texture3") out = sphereDots();
    else if (stem == "bitmap_texture") out = bitmapArt();
    else if (stem == "bitmap_env") out = environment();
    else if (stem == "spike_texture") out = spikeSkin();
    else if (stem == "spike_tunnel_texture") out = spikeTunnelSkin();
    else if (stem == "sphere_flare") out = flare(hex(0xfff8f0), hex(0xb070ff), 6, 0.26f);
    else if (stem == "spike_flare_texture") out = flare(hex(0xfff0d0), hex(0xff7020), 4, 0.785f);
    else if (stem == "nois1") out = filmGrain(1001);
    else if (stem == "nois2") out = filmGrain(2002);
    else return false;
    return true;
}
