// The blob in its translucent cube, and the four spheres inside the noise sphere.
#pragma once

#include <cstdint>

extern float blobAngleDivisor;

void loadBlobScene();
void blobScene(uint32_t t);
void renderBlob(float phase, float angle);
void loadSpheresScene();
void spheresScene(uint32_t t);
void renderSpheres(float phase, float distance);

// The divisor of the window holding t (the last such window in table order),
// or `previous` when t lies in none.
float blobDivisorAt(uint32_t t, float previous);
// The spheres camera distance: 2.5 in the short close-up windows, else 5.
float spheresDistance(uint32_t t);
