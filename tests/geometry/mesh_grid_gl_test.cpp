#include "feedback.h"
#include "gl_fixture.h"

#include "geometry/mesh_grid.h"

#include <GL/gl.h>

#include <algorithm>
#include <vector>

namespace {

// The grid indices of the vertices sent, read back from the u coordinate,
// which the tests set to each vertex's own index.
std::vector<int> sentIndices(const FeedbackCapture& capture)
{
    std::vector<int> indices;
    for (const FeedbackPolygon& triangle : capture.polygons)
        for (const FeedbackVertex& v : triangle) indices.push_back(static_cast<int>(v.s));
    return indices;
}

void labelByIndex(MeshVertex* grid, int count)
{
    for (int i = 0; i < count; ++i) {
        grid[i].u = static_cast<float>(i);
        grid[i].v = 0.5f;
    }
}

// The six vertices of the quad with first index q, as two triangles.
void appendQuad(std::vector<int>& out, int q, int columns)
{
    out.insert(out.end(), {q, q + 1, q + columns, q + 1, q + columns + 1, q + columns});
}

void expectAllTriangles(const FeedbackCapture& capture)
{
    for (const FeedbackPolygon& polygon : capture.polygons) ASSERT_EQ(polygon.size(), 3u);
}

}  // namespace

class MeshGridGl : public GlTest {};

// The spike scene's call: 200 passes of 14 quads over a 201-ring tube. The quad
// index runs on without skipping at the end of a pass, so the second pass starts
// at 14 and the call never reads beyond index 2815.
TEST_F(MeshGridGl, DrawGridRunsOneIndexOnAcrossPasses)
{
    const int rings = 201, columns = 15;
    MeshVertex* grid = makeCylinderGrid(rings - 1, columns, 350, 200, 2, 20);
    labelByIndex(grid, rings * columns);
    // Everything past the last index that may be read is moved far out of the
    // capture cube: any use of it would show up as clipped, renumbered vertices.
    for (int i = 2816; i < rings * columns; ++i) grid[i].x = 1e9f;

    FeedbackCapture capture = captureFeedback([&] { drawGrid(200, columns, grid); }, 50000.0);
    ASSERT_FALSE(capture.overflow);
    ASSERT_EQ(capture.polygons.size(), 5600u);
    expectAllTriangles(capture);

    std::vector<int> expected;
    for (int q = 0; q < 200 * (columns - 1); ++q) appendQuad(expected, q, columns);
    const std::vector<int> sent = sentIndices(capture);
    ASSERT_EQ(sent, expected);
    EXPECT_EQ(*std::max_element(sent.begin(), sent.end()), 2815);
    // The first quad of the second pass: vertices 14, 15, 29 and 30.
    EXPECT_EQ(std::vector<int>(sent.begin() + 6 * 14, sent.begin() + 6 * 15),
              (std::vector<int>{14, 15, 29, 15, 30, 29}));

    // Positions are the grid's own: vertex 29 is ring 1, segment 14.
    const FeedbackVertex& v29 = capture.polygons[28][2];
    EXPECT_NEAR(v29.x, grid[29].x, 0.05);
    EXPECT_NEAR(v29.y, grid[29].y, 0.05);
    EXPECT_NEAR(v29.z, 200, 0.05);

    // The normal sent last is that of the last vertex emitted, q + C of the last quad.
    GLfloat normal[4];
    glGetFloatv(GL_CURRENT_NORMAL, normal);
    float expectedNormal[3];
    meshNormal(grid[2799 + columns], expectedNormal);
    for (int i = 0; i < 3; ++i) EXPECT_FLOAT_EQ(normal[i], expectedNormal[i]);
    delete[] grid;
}

TEST_F(MeshGridGl, DrawGridWithOnePassOrNoQuadsPerPass)
{
    MeshVertex* grid = makeCylinderGrid(3, 6, 10, 5, 1, 1);
    labelByIndex(grid, 4 * 6);

    FeedbackCapture onePass = captureFeedback([&] { drawGrid(1, 6, grid); });
    std::vector<int> expected;
    for (int q = 0; q < 5; ++q) appendQuad(expected, q, 6);
    EXPECT_EQ(sentIndices(onePass), expected);

    EXPECT_TRUE(captureFeedback([&] { drawGrid(3, 1, grid); }).polygons.empty());
    EXPECT_TRUE(captureFeedback([&] { drawGrid(0, 6, grid); }).polygons.empty());
    // The begin/end pair is balanced even when nothing is sent.
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
    delete[] grid;
}

// The bitmap scene's call: every quad of the 25 x 25 grid, none joining one row's
// end to the next row's start; texture coordinates on unit 0.
TEST_F(MeshGridGl, DrawGridMultiTexCoversTheWholeGrid)
{
    MeshVertex* grid = makeFlatGrid(75, 75, 25, 25, -10, 2, 2);
    labelByIndex(grid, 625);

    FeedbackCapture capture = captureFeedback([&] { drawGridMultiTex(25, 25, grid); });
    ASSERT_FALSE(capture.overflow);
    ASSERT_EQ(capture.polygons.size(), 1152u);
    expectAllTriangles(capture);
    std::vector<int> expected;
    for (int i = 0; i < 24; ++i)
        for (int j = 0; j < 24; ++j) appendQuad(expected, i * 25 + j, 25);
    EXPECT_EQ(sentIndices(capture), expected);

    // The first triangle winds counter-clockwise seen from +z, in the plane z = -10.
    const FeedbackPolygon& first = capture.polygons[0];
    const double cross = (first[1].x - first[0].x) * (first[2].y - first[0].y) -
                         (first[1].y - first[0].y) * (first[2].x - first[0].x);
    EXPECT_GT(cross, 0);
    for (const FeedbackVertex& v : first) EXPECT_NEAR(v.z, -10, 0.01);
    EXPECT_NEAR(first[0].x, -37.5, 0.01);
    EXPECT_NEAR(first[2].y, -34.5, 0.01);
    EXPECT_FLOAT_EQ(first[2].t, 0.5f);

    GLfloat normal[4];
    glGetFloatv(GL_CURRENT_NORMAL, normal);
    float expectedNormal[3];
    meshNormal(grid[23 * 25 + 23 + 25], expectedNormal);
    for (int i = 0; i < 3; ++i) EXPECT_FLOAT_EQ(normal[i], expectedNormal[i]);

    EXPECT_TRUE(captureFeedback([&] { drawGridMultiTex(25, 1, grid); }).polygons.empty());
    EXPECT_TRUE(captureFeedback([&] { drawGridMultiTex(1, 25, grid); }).polygons.empty());
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
    delete[] grid;
}
