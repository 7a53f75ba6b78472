// The flight between the spiked tube and the outer tube among the flares.
#pragma once

#include "scenes/scene_unit.h"

#include <GL/gl.h>

#include <cstdint>

extern ImageWrapper* spikeTexture;
extern ImageWrapper* spikeTunnelTexture;
extern ImageWrapper* spikeFlare;

extern const SceneUnit SPIKE_UNIT;

struct MeshVertex;

extern MeshVertex* spikeMesh;
extern MeshVertex* spikeRestMesh;
extern MeshVertex* spikeTunnelMesh;
extern GLuint spikeTunnelList;
extern int spikeColumnStart[200];
extern float flarePositions[200][3];

class PicturePrefetch;
void loadSpikeScene(PicturePrefetch* pictures = nullptr);
void spikeScene(uint32_t t);
// The scene's script through a frame at t, without drawing: the offset ladder
// (script.beatOffset).
// False: the scene lays no masked overlay.
bool stepSpikeScene(uint32_t t);
void renderSpikes(int depth, float phase);
void displaceSpikes(float factor, int rings, int columns, const MeshVertex* rest, MeshVertex* live);

// The offset ladder: the value of the last rule whose threshold t exceeds,
// or `previous` when none does.
int beatOffsetAt(uint32_t t, int previous);
// 2 * (t + offset - 32000) in 32-bit arithmetic, folded into 1..32000.
int spikeDepth(uint32_t t, int offset);
// Takes 32000 off while the depth is above 32000; exactly 32000 stays.
int foldSpikeDepth(int depth);
// (t + offset) as unsigned 32-bit times PHASE_SCALE, rounded to float.
float spikePhase(uint32_t t, int offset);

// Fills the 200 start columns from `next` (the C library's rand in the
// demo): entry i = (r + i) mod 16, drawn again while it equals entry i - 1.
void buildSpikeColumnStart(int table[200], int (*next)());
// Flare i at (700 sin a, 700 cos a, 200 i) with a = i * pi rounded to float.
void buildFlarePositions(float positions[200][3]);
