#include "scenes/spike_scene.h"

#include "geometry/mesh_grid.h"
#include "image/picture_table.h"

MeshVertex* spikeMesh = nullptr;
MeshVertex* spikeRestMesh = nullptr;
MeshVertex* spikeTunnelMesh = nullptr;
GLuint spikeTunnelList = 0;
int spikeColumnStart[200];
float flarePositions[200][3];
int beatOffset = 0;

void loadSpikeScene()
{
    createSprites(SPIKE_SPRITES);
}

void spikeScene(uint32_t) {}
void renderSpikes(int, float) {}
void displaceSpikes(float, int, int, const MeshVertex*, MeshVertex*) {}
