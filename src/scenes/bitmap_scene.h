// The closing scene: a rippling grid with two textures under the ending pictures.
#pragma once

#include <cstdint>

struct MeshVertex;

extern MeshVertex* waveGrid;
extern float columnWave[25];
extern float waveSpeed;
extern int endingIndex;

void loadBitmapScene();
void bitmapScene(uint32_t t);
void renderBitmapWave(float phase);
