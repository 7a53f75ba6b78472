#include "scenes/bitmap_scene.h"

#include "geometry/mesh_grid.h"
#include "image/picture_table.h"

MeshVertex* waveGrid = nullptr;
float columnWave[25];
float waveSpeed = 20.0f;
int endingIndex = 0;

void loadBitmapScene()
{
    createSprites(BITMAP_SPRITES);
}

void bitmapScene(uint32_t) {}
void renderBitmapWave(float) {}
