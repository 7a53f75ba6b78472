// The flight between the spiked tube and the outer tube among the flares.
#pragma once

#include <GL/gl.h>

#include <cstdint>

struct MeshVertex;

extern MeshVertex* spikeMesh;
extern MeshVertex* spikeRestMesh;
extern MeshVertex* spikeTunnelMesh;
extern GLuint spikeTunnelList;
extern int spikeColumnStart[200];
extern float flarePositions[200][3];
extern int beatOffset;

void loadSpikeScene();
void spikeScene(uint32_t t);
void renderSpikes(int depth, float phase);
void displaceSpikes(float factor, int rings, int columns, const MeshVertex* rest, MeshVertex* live);
