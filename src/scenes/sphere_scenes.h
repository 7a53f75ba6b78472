// The blob in its translucent cube, and the four spheres inside the noise sphere.
#pragma once

#include "scenes/scene_unit.h"

#include <cstdint>

extern ImageWrapper* kasseTexture;
extern ImageWrapper* kasseTransTexture;
extern ImageWrapper* blobOverlay;
extern ImageWrapper* sphereFlare;
extern ImageWrapper* spheresTexture[4];
extern ImageWrapper* sphereOverlay;

extern const SceneUnit BLOB_UNIT;
extern const SceneUnit SPHERES_UNIT;

class PicturePrefetch;
void loadBlobScene(PicturePrefetch* pictures = nullptr);
void blobScene(uint32_t t);
// The blob's script through a frame at t, without drawing: the angle divisor
// (script.blobAngleDivisor).
// True: every frame of the scene lays a masked overlay.
bool stepBlobScene(uint32_t t);
// Leaves the shared sphere cache as a blob frame at t leaves it, without
// drawing: deformed into the shape the next frame draws.
void blobShapesSphereCache(uint32_t t);
void renderBlob(float phase, float angle);
void loadSpheresScene(PicturePrefetch* pictures = nullptr);
void spheresScene(uint32_t t);
// The spheres scene keeps no script variables. True: every frame of the scene
// lays a masked overlay.
bool stepSpheresScene(uint32_t t);
// Leaves the shared sphere cache as a spheres frame leaves it: undeformed.
void spheresShapeSphereCache(uint32_t t);
// True: every frame of the scene sets its projection back to 45 degrees with aspect 1.
bool spheresLeaveSquareProjection(uint32_t t);
void renderSpheres(float phase, float distance);

// The divisor of the window holding t (the last such window in table order),
// or `previous` when t lies in none.
float blobDivisorAt(uint32_t t, float previous);
// The spheres camera distance: 2.5 in the short close-up windows, else 5.
float spheresDistance(uint32_t t);
