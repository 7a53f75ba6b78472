#include "geometry/mesh_grid.h"

MeshVertex* makeCylinderGrid(int, int, float, float, float, float) { return nullptr; }
MeshVertex* makeFlatGrid(float, float, int, int, float, float, float) { return nullptr; }
void drawGrid(int, int, const MeshVertex*) {}
void drawGridMultiTex(int, int, const MeshVertex*) {}
