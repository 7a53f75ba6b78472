// The one cached unit sphere shared by every sphere of the programme, and its blob deformation.
#pragma once

constexpr int SPHERE_CACHE_ENTRIES = 1276;
// The largest segment count the cache holds: 1 + 25 x 51 entries.
constexpr int SPHERE_MAX_SEGMENTS = 50;

extern float sphereCache[SPHERE_CACHE_ENTRIES][6];
extern float sphereCacheBackup[SPHERE_CACHE_ENTRIES][6];
extern unsigned char sphereCacheBuilt;
// The segment count the cache was built with; 0 until it is built.
extern int sphereCacheSegments;

void drawSphere(float cx, float cy, float cz, double radius, int segments, float uScale, float vScale);
void restoreSphere();
// Empties the cache as it is at start-up: the next sphere drawn builds it afresh.
void resetSphereCache();
void deformBlob(float xDivisor, float yDivisor, float zDivisor, float amplitude, float phase);
void deformBlobUnclamped(float xDivisor, float yDivisor, float zDivisor, float amplitude, float phase);

// Index of the entry for strip i, column j of a sphere of `segments` segments.
int sphereCacheIndex(int segments, int strip, int column);
// The two vectors of that entry (upper ring a, then lower ring b), each component rounded to float.
void sphereLayoutEntry(int segments, int strip, int column, float entry[6]);
// Fills the cache for `segments` (4 to 50) segments, copies it to the backup,
// records the count and marks the cache built. drawSphere calls it on first use.
void buildSphereCache(int segments);
