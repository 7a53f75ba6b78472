#include "noise.h"

#include <cmath>

uint64_t Rng::next()
{
    uint64_t z = (state_ += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
}

double Rng::uniform()
{
    return (next() >> 11) * (1.0 / 9007199254740992.0);
}

float latticeHash(int x, int y, uint32_t seed)
{
    uint32_t h = static_cast<uint32_t>(x) * 0x8DA6B343u ^ static_cast<uint32_t>(y) * 0xD8163841u ^ seed * 0xCB1AB31Fu;
    h ^= h >> 13;
    h *= 0x5BD1E995u;
    h ^= h >> 15;
    h *= 0x27D4EB2Du;
    h ^= h >> 16;
    return (h & 0xFFFFFF) / 16777216.0f;
}

float tileNoise(float x, float y, int period, uint32_t seed)
{
    float fx = std::floor(x), fy = std::floor(y);
    float tx = x - fx, ty = y - fy;
    int ix = static_cast<int>(fx), iy = static_cast<int>(fy);
    auto wrap = [period](int v) { return ((v % period) + period) % period; };
    int x0 = wrap(ix), x1 = wrap(ix + 1), y0 = wrap(iy), y1 = wrap(iy + 1);
    float sx = tx * tx * (3 - 2 * tx), sy = ty * ty * (3 - 2 * ty);
    float a = latticeHash(x0, y0, seed), b = latticeHash(x1, y0, seed);
    float c = latticeHash(x0, y1, seed), d = latticeHash(x1, y1, seed);
    return (a + (b - a) * sx) * (1 - sy) + (c + (d - c) * sx) * sy;
}

float tileFbm(float x, float y, int period, int octaves, uint32_t seed)
{
    float sum = 0, weight = 1, total = 0;
    for (int o = 0; o < octaves; ++o) {
        sum += weight * tileNoise(x, y, period, seed + 101u * o);
        total += weight;
        x *= 2;
        y *= 2;
        period *= 2;
        weight *= 0.5f;
    }
    return sum / total;
}
