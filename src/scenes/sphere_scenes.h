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
