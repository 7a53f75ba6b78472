// The closing scene: a rippling grid with two textures under the ending pictures.
#pragma once

#include "scenes/scene_unit.h"

#include <cstdint>

extern ImageWrapper* bitmapTexture;
extern ImageWrapper* bitmapEnv;
// 0..9 "slut1".."slut10", 10..16 "ost1".."ost7" (the twist room shows these)
extern ImageWrapper* slut[17];

extern const SceneUnit BITMAP_UNIT;

struct MeshVertex;

extern MeshVertex* waveGrid;
extern float columnWave[25];
class PicturePrefetch;
void loadBitmapScene(PicturePrefetch* pictures = nullptr);
void bitmapScene(uint32_t t);
// The scene's script through a frame at t, without drawing: the wave speed
// (script.waveSpeed, which steps once per frame, so its course depends on the
// frame rate) and the ending picture (script.endingIndex). True when the frame
// lays its ending picture (masked).
bool stepBitmapScene(uint32_t t);
void renderBitmapWave(float phase);

// This frame's wave speed from the last one: 0.5 less in the slow-down
// window 117237..120999, and never below 1.
float nextWaveSpeed(uint32_t t, float previous);
// The ending picture for t: the last rule whose threshold t exceeds, or `previous`.
int endingIndexAt(uint32_t t, int previous);
// The ending picture is laid over the grid only after this time.
constexpr uint32_t ENDING_PICTURES_AFTER = 117702;
// Recomputes columnWave and the z of every vertex of waveGrid for phase x.
void updateWaveSurface(float phase);
