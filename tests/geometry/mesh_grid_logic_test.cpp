#include "geometry/mesh_grid.h"
#include "geometry/pi.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

constexpr double DEG = PI / 180.0;

double length(const float n[3])
{
    return std::sqrt(double(n[0]) * n[0] + double(n[1]) * n[1] + double(n[2]) * n[2]);
}

}  // namespace

// The spike scene's tube: 201 rings of 15 segments, segment 0 on +y, texture
// coordinates one step short of their scales at the last ring and segment.
TEST(CylinderGrid, RingsSegmentsAndTextureCoordinates)
{
    MeshVertex* grid = makeCylinderGrid(200, 15, 350, 200, 2, 20);
    ASSERT_NE(grid, nullptr);

    const MeshVertex& first = grid[0];
    EXPECT_FLOAT_EQ(first.x, 0);
    EXPECT_FLOAT_EQ(first.y, 350);
    EXPECT_FLOAT_EQ(first.z, 0);
    EXPECT_FLOAT_EQ(first.u, 0);
    EXPECT_FLOAT_EQ(first.v, 0);

    const MeshVertex& second = grid[1];  // 24 degrees on, towards +x
    EXPECT_FLOAT_EQ(second.x, 350 * std::sin(24 * DEG));
    EXPECT_FLOAT_EQ(second.y, 350 * std::cos(24 * DEG));
    EXPECT_FLOAT_EQ(second.z, 0);
    EXPECT_FLOAT_EQ(second.u, 0);
    EXPECT_FLOAT_EQ(second.v, 2.0 / 15);

    const MeshVertex& ring1 = grid[15];  // the next ring starts again at segment 0
    EXPECT_FLOAT_EQ(ring1.x, 0);
    EXPECT_FLOAT_EQ(ring1.y, 350);
    EXPECT_FLOAT_EQ(ring1.z, 200);
    EXPECT_FLOAT_EQ(ring1.u, 20.0 / 201);
    EXPECT_FLOAT_EQ(ring1.v, 0);

    const MeshVertex& last = grid[3014];  // ring 200, segment 14
    EXPECT_FLOAT_EQ(last.x, 350 * std::sin(336 * DEG));
    EXPECT_FLOAT_EQ(last.y, 350 * std::cos(336 * DEG));
    EXPECT_FLOAT_EQ(last.z, 40000);
    EXPECT_FLOAT_EQ(last.u, 4000.0 / 201);
    EXPECT_FLOAT_EQ(last.v, 28.0 / 15);
    delete[] grid;
}

// The bitmap scene's plane: 25 x 25 vertices from -37.5 to one step short of +37.5.
TEST(FlatGrid, CornersRowMajorAndPlane)
{
    MeshVertex* grid = makeFlatGrid(75, 75, 25, 25, -10, 2, 2);
    ASSERT_NE(grid, nullptr);

    const MeshVertex& first = grid[0];
    EXPECT_FLOAT_EQ(first.x, -37.5);
    EXPECT_FLOAT_EQ(first.y, -37.5);
    EXPECT_FLOAT_EQ(first.z, -10);
    EXPECT_FLOAT_EQ(first.u, 0);
    EXPECT_FLOAT_EQ(first.v, 0);

    const MeshVertex& rowOne = grid[25 + 3];  // row 1 has constant y, column 3 constant x
    EXPECT_FLOAT_EQ(rowOne.x, -37.5 + 9);
    EXPECT_FLOAT_EQ(rowOne.y, -37.5 + 3);
    EXPECT_FLOAT_EQ(rowOne.u, 3 * 0.08);
    EXPECT_FLOAT_EQ(rowOne.v, 0.08);

    const MeshVertex& last = grid[624];
    EXPECT_FLOAT_EQ(last.x, 34.5);
    EXPECT_FLOAT_EQ(last.y, 34.5);
    EXPECT_FLOAT_EQ(last.z, -10);
    EXPECT_FLOAT_EQ(last.u, 1.92);
    EXPECT_FLOAT_EQ(last.v, 1.92);
    delete[] grid;
}

// The row step is rounded to float before it is multiplied, the column step is
// not: on a 3 x 3 grid of size 1 the same index gives different x and y.
TEST(FlatGrid, RowStepIsRoundedToFloatFirst)
{
    MeshVertex* grid = makeFlatGrid(1, 1, 3, 3, 0, 1, 1);
    const MeshVertex& corner = grid[2 * 3 + 2];
    EXPECT_EQ(corner.x, 0.166666672f);  // 2/3 - 1/2 in double, then float
    EXPECT_EQ(corner.y, 0.166666687f);  // 2 x float(1/3) - 1/2
    delete[] grid;
}

TEST(MeshNormal, LengthTenAlongTheVertexDirectionAndFiniteAtTheOrigin)
{
    const MeshVertex vertices[] = {
        {0, 350, 0, 0, 0},    {-37.5f, 34.5f, -10, 0, 0}, {0, 0, 40000, 0, 0}, {1e-3f, -2e-3f, 5e-4f, 0, 0},
        {1e-30f, 0, 0, 0, 0}, {3, -4, 0, 0, 0},
    };
    for (const MeshVertex& v : vertices) {
        float n[3];
        meshNormal(v, n);
        EXPECT_NEAR(length(n), 10.0, 1e-5) << v.x << " " << v.y << " " << v.z;
        // Pointing away from the origin through the vertex.
        const float p[3] = {v.x, v.y, v.z};
        for (int i = 0; i < 3; ++i) EXPECT_NEAR(n[i] / 10.0, p[i] / length(p), 1e-6);
    }
    float n[3] = {1, 1, 1};
    meshNormal(MeshVertex{0, 0, 0, 0.5f, 0.5f}, n);
    EXPECT_EQ(n[0], 0);
    EXPECT_EQ(n[1], 0);
    EXPECT_EQ(n[2], 10);
}
