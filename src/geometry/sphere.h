// The one cached unit sphere shared by every sphere of the programme, and its blob deformation.
#pragma once

constexpr int SPHERE_CACHE_ENTRIES = 1276;

extern float sphereCache[SPHERE_CACHE_ENTRIES][6];
extern float sphereCacheBackup[SPHERE_CACHE_ENTRIES][6];
extern unsigned char sphereCacheBuilt;

void drawSphere(float cx, float cy, float cz, double radius, int segments, float uScale, float vScale);
void restoreSphere();
void deformBlob(float xDivisor, float yDivisor, float zDivisor, float amplitude, float phase);
void deformBlobUnclamped(float xDivisor, float yDivisor, float zDivisor, float amplitude, float phase);
