#include "geometry/mesh_grid.h"

#include "geometry/pi.h"

#include <GL/gl.h>
#include <GL/glext.h>

#include <cmath>
#include <cstddef>

namespace {

// Vertex count of a rows x columns grid; a non-positive count gives an empty grid.
size_t gridSize(long long rows, long long columns)
{
    if (rows <= 0 || columns <= 0) return 0;
    return static_cast<size_t>(rows) * static_cast<size_t>(columns);
}

void emitVertex(const MeshVertex& vertex, bool multiTexture)
{
    float normal[3];
    meshNormal(vertex, normal);
    glNormal3f(normal[0], normal[1], normal[2]);
    if (multiTexture) glMultiTexCoord2fARB(GL_TEXTURE0_ARB, vertex.u, vertex.v);
    else glTexCoord2f(vertex.u, vertex.v);
    glVertex3f(vertex.x, vertex.y, vertex.z);
}

// Two triangles, (q, q+1, q+C) and (q+1, q+C+1, q+C): counter-clockwise on a flat grid seen from +z.
void emitQuad(const MeshVertex* grid, int q, int columns, bool multiTexture)
{
    emitVertex(grid[q], multiTexture);
    emitVertex(grid[q + 1], multiTexture);
    emitVertex(grid[q + columns], multiTexture);
    emitVertex(grid[q + 1], multiTexture);
    emitVertex(grid[q + columns + 1], multiTexture);
    emitVertex(grid[q + columns], multiTexture);
}

}  // namespace

void meshNormal(const MeshVertex& vertex, float normal[3])
{
    double x = vertex.x, y = vertex.y, z = vertex.z;
    float length = static_cast<float>(std::sqrt(x * x + y * y + z * z));
    if (length == 0.0f) {
        // The direction from the origin is undefined here; point along +z so
        // the normal keeps its length of 10 and stays finite.
        normal[0] = 0.0f;
        normal[1] = 0.0f;
        normal[2] = 10.0f;
        return;
    }
    double k = 10.0 / length;
    normal[0] = static_cast<float>(x * k);
    normal[1] = static_cast<float>(y * k);
    normal[2] = static_cast<float>(z * k);
}

MeshVertex* makeCylinderGrid(int ringSteps, int segments, float radius, float ringSpacing, float aroundScale,
                             float alongScale)
{
    const int rings = ringSteps + 1;
    MeshVertex* grid = new MeshVertex[gridSize(static_cast<long long>(ringSteps) + 1, segments)];
    for (int i = 0; i < rings; ++i) {
        for (int k = 0; k < segments; ++k) {
            double angle = TWO_PI / segments * k;
            MeshVertex& vertex = grid[static_cast<size_t>(i) * segments + k];
            vertex.x = static_cast<float>(radius * std::sin(angle));
            vertex.y = static_cast<float>(radius * std::cos(angle));
            vertex.z = static_cast<float>(static_cast<double>(i) * ringSpacing);
            // Both texture directions stop one step short of their scale: no seam column, no end ring at su.
            vertex.u = static_cast<float>(static_cast<double>(alongScale) / rings * i);
            vertex.v = static_cast<float>(static_cast<double>(aroundScale) / segments * k);
        }
    }
    return grid;
}

MeshVertex* makeFlatGrid(float width, float height, int columns, int rows, float z, float uScale, float vScale)
{
    MeshVertex* grid = new MeshVertex[gridSize(rows, columns)];
    if (rows <= 0 || columns <= 0) return grid;
    // The row steps are rounded to float before they are multiplied; the column steps are not.
    const float rowStep = static_cast<float>(static_cast<double>(height) / rows);
    const float vStep = static_cast<float>(static_cast<double>(vScale) / rows);
    for (int i = 0; i < rows; ++i) {
        for (int j = 0; j < columns; ++j) {
            MeshVertex& vertex = grid[static_cast<size_t>(i) * columns + j];
            vertex.x = static_cast<float>(j * (static_cast<double>(width) / columns) - width * 0.5);
            vertex.y = static_cast<float>(i * static_cast<double>(rowStep) - height * 0.5);
            vertex.z = z;
            vertex.u = static_cast<float>(j * (static_cast<double>(uScale) / columns));
            vertex.v = static_cast<float>(i * static_cast<double>(vStep));
        }
    }
    return grid;
}

void drawGrid(int rows, int columns, const MeshVertex* grid)
{
    glBegin(GL_TRIANGLES);
    // One running index over all passes: a pass starts where the previous one stopped,
    // so pass p begins at p * (columns - 1).
    int q = 0;
    for (int pass = 0; pass < rows; ++pass) {
        for (int c = 0; c < columns - 1; ++c) {
            emitQuad(grid, q, columns, false);
            ++q;
        }
    }
    glEnd();
}

void drawGridMultiTex(int columns, int rows, const MeshVertex* grid)
{
    glBegin(GL_TRIANGLES);
    for (int i = 0; i < rows - 1; ++i)
        for (int j = 0; j < columns - 1; ++j) emitQuad(grid, i * columns + j, columns, true);
    glEnd();
}
