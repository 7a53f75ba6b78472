#include "geometry/sphere.h"

#include "geometry/pi.h"

#include <GL/gl.h>

#include <cmath>
#include <cstring>

float sphereCache[SPHERE_CACHE_ENTRIES][6];
float sphereCacheBackup[SPHERE_CACHE_ENTRIES][6];
unsigned char sphereCacheBuilt = 0;
int sphereCacheSegments = 0;

namespace {

// Point on the unit sphere; y is the polar axis, longitude 0 along +x turning towards +z.
void unitVector(double longitude, double latitude, float out[3])
{
    out[0] = static_cast<float>(std::cos(longitude) * std::cos(latitude));
    out[1] = static_cast<float>(std::sin(latitude));
    out[2] = static_cast<float>(std::sin(longitude) * std::cos(latitude));
}

double ringLatitude(int segments, int ring)
{
    return TWO_PI * ring / segments - PI / 2;
}

// Scales a vector by 1 plus three travelling sine waves of its own coordinates.
void deformVector(const float* from, float* to, double xDivisor, double yDivisor, double zDivisor, double amplitude,
                  double phase)
{
    const double x = from[0], y = from[1], z = from[2];
    const float factor = static_cast<float>(1.0 + amplitude * std::sin(x / xDivisor + 2.2 * phase) +
                                            amplitude * std::sin(y / yDivisor + 5.0 * phase) +
                                            amplitude * std::sin(z / zDivisor + 4.9 * phase));
    to[0] = from[0] * factor;
    to[1] = from[1] * factor;
    to[2] = from[2] * factor;
}

void deformAll(float xDivisor, float yDivisor, float zDivisor, float amplitude, float phase, bool clamp)
{
    for (int k = 0; k < SPHERE_CACHE_ENTRIES; ++k) {
        deformVector(&sphereCacheBackup[k][0], &sphereCache[k][0], xDivisor, yDivisor, zDivisor, amplitude, phase);
        deformVector(&sphereCacheBackup[k][3], &sphereCache[k][3], xDivisor, yDivisor, zDivisor, amplitude, phase);
        if (!clamp) continue;
        for (float& value : sphereCache[k]) {
            // Not-a-number fails every comparison, so it is caught by the negated test.
            if (!(value <= 1.0f)) value = 1.0f;
            if (value < -1.0f) value = -1.0f;
        }
    }
}

}  // namespace

int sphereCacheIndex(int segments, int strip, int column)
{
    return 1 + strip * (segments + 1) + column;
}

void sphereLayoutEntry(int segments, int strip, int column, float entry[6])
{
    const double longitude = TWO_PI * column / segments;
    unitVector(longitude, ringLatitude(segments, strip + 1), entry);
    unitVector(longitude, ringLatitude(segments, strip), entry + 3);
}

void buildSphereCache(int segments)
{
    const int strips = segments / 2;
    for (int i = 0; i < strips; ++i)
        for (int j = 0; j <= segments; ++j)
            sphereLayoutEntry(segments, i, j, sphereCache[sphereCacheIndex(segments, i, j)]);
    std::memcpy(sphereCacheBackup, sphereCache, sizeof sphereCache);
    sphereCacheSegments = segments;
    sphereCacheBuilt = 1;
}

void drawSphere(float cx, float cy, float cz, double radius, int segments, float uScale, float vScale)
{
    if (radius < 0) radius = -radius;
    // Widened so that the most negative int has an absolute value too.
    long long count = segments;
    if (count < 0) count = -count;
    if (count < 4) return;
    if (radius == 0) return;
    // The cache holds one sphere of at most 50 segments, and its entries are laid
    // out for the count that built it: any other count would read the wrong
    // entries or past the end, so such a call draws nothing.
    if (count > SPHERE_MAX_SEGMENTS) return;
    const int S = static_cast<int>(count);
    if (sphereCacheBuilt == 1 && S != sphereCacheSegments) return;

    if (sphereCacheBuilt != 1) buildSphereCache(S);

    const int strips = S / 2;
    for (int i = 0; i < strips; ++i) {
        glBegin(GL_QUAD_STRIP);
        const float vUpper = static_cast<float>(2.0 * vScale * (i + 1) / S);
        const float vLower = static_cast<float>(2.0 * vScale * i / S);
        for (int j = 0; j <= S; ++j) {
            const float* a = sphereCache[sphereCacheIndex(S, i, j)];
            const float* b = a + 3;
            const float u = static_cast<float>(static_cast<double>(j) * uScale / S);
            glNormal3f(a[0], a[1], a[2]);
            glTexCoord2f(u, vUpper);
            glVertex3f(static_cast<float>(cx + radius * a[0]), static_cast<float>(cy + radius * a[1]),
                       static_cast<float>(cz + radius * a[2]));
            glNormal3f(b[0], b[1], b[2]);
            glTexCoord2f(u, vLower);
            glVertex3f(static_cast<float>(cx + radius * b[0]), static_cast<float>(cy + radius * b[1]),
                       static_cast<float>(cz + radius * b[2]));
        }
        glEnd();
    }
    sphereCacheBuilt = 1;
}

void resetSphereCache()
{
    std::memset(sphereCache, 0, sizeof sphereCache);
    std::memset(sphereCacheBackup, 0, sizeof sphereCacheBackup);
    sphereCacheBuilt = 0;
    sphereCacheSegments = 0;
}

void restoreSphere()
{
    std::memcpy(sphereCache, sphereCacheBackup, sizeof sphereCache);
}

void deformBlob(float xDivisor, float yDivisor, float zDivisor, float amplitude, float phase)
{
    deformAll(xDivisor, yDivisor, zDivisor, amplitude, phase, true);
}

void deformBlobUnclamped(float xDivisor, float yDivisor, float zDivisor, float amplitude, float phase)
{
    deformAll(xDivisor, yDivisor, zDivisor, amplitude, phase, false);
}
