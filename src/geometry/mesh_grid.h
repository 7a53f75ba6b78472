// Textured vertex grids: open tubes around the z axis and flat rectangles.
#pragma once

struct MeshVertex {
    float x, y, z;
    float u, v;
};

// (ringSteps + 1) rings of `segments` vertices each, row-major; the caller owns the array.
MeshVertex* makeCylinderGrid(int ringSteps, int segments, float radius, float ringSpacing, float aroundScale,
                             float alongScale);
// rows x columns vertices in the plane z, centred on the origin; the caller owns the array.
MeshVertex* makeFlatGrid(float width, float height, int columns, int rows, float z, float uScale, float vScale);

// Independent triangles with a running quad index that does not skip at the end of a pass.
void drawGrid(int rows, int columns, const MeshVertex* grid);
// Independent triangles over the whole grid, texture coordinates on unit 0.
void drawGridMultiTex(int columns, int rows, const MeshVertex* grid);

// The normal the drawers send with a vertex: length 10, along the line from the
// origin through the vertex. A vertex at the origin gets (0, 0, 10).
void meshNormal(const MeshVertex& vertex, float normal[3]);
