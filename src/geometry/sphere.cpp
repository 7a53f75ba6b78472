#include "geometry/sphere.h"

float sphereCache[SPHERE_CACHE_ENTRIES][6];
float sphereCacheBackup[SPHERE_CACHE_ENTRIES][6];
unsigned char sphereCacheBuilt = 0;

void drawSphere(float, float, float, double, int, float, float) {}
void restoreSphere() {}
void deformBlob(float, float, float, float, float) {}
void deformBlobUnclamped(float, float, float, float, float) {}
