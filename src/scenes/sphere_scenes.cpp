#include "scenes/sphere_scenes.h"

#include "image/picture_table.h"

float blobAngleDivisor = 1500.0f;

void loadBlobScene()
{
    createSprites(BLOB_SPRITES);
}

void blobScene(uint32_t) {}
void renderBlob(float, float) {}

void loadSpheresScene()
{
    createSprites(SPHERES_SPRITES);
}

void spheresScene(uint32_t) {}
void renderSpheres(float, float) {}
