#include "feedback.h"
#include "gl_fixture.h"

#include "geometry/pi.h"
#include "geometry/sphere.h"

#include <GL/gl.h>

#include <algorithm>
#include <cmath>

namespace {

constexpr double DEG = PI / 180.0;

bool cacheIsZero()
{
    for (auto& entry : sphereCache)
        for (float c : entry)
            if (c != 0) return false;
    return true;
}

std::vector<FeedbackVertex> allVertices(const FeedbackCapture& capture)
{
    std::vector<FeedbackVertex> out;
    for (const FeedbackPolygon& p : capture.polygons) out.insert(out.end(), p.begin(), p.end());
    return out;
}

double distance(const FeedbackVertex& v, double cx, double cy, double cz)
{
    return std::sqrt((v.x - cx) * (v.x - cx) + (v.y - cy) * (v.y - cy) + (v.z - cz) * (v.z - cz));
}

}  // namespace

class SphereGl : public GlTest {};

// Calls that fail the checks draw nothing and leave the cache unbuilt; so does a
// count the cache cannot hold.
TEST_F(SphereGl, DegenerateSphereCallsDrawNothingAndBuildNothing)
{
    FeedbackCapture capture = captureFeedback([] {
        drawSphere(0, 0, 0, 0.0, 50, 1, 1);
        drawSphere(0, 0, 0, 5.0, 3, 1, 1);
        drawSphere(0, 0, 0, -5.0, -3, 1, 1);
        drawSphere(0, 0, 0, 5.0, 0, 1, 1);
        drawSphere(0, 0, 0, 5.0, 51, 1, 1);
        drawSphere(0, 0, 0, 5.0, -2147483647 - 1, 1, 1);
    });
    EXPECT_TRUE(capture.polygons.empty());
    EXPECT_EQ(sphereCacheBuilt, 0);
    EXPECT_TRUE(cacheIsZero());
}

// The first call builds the cache and draws 25 strips of 50 quads on the sphere
// of its centre and radius; texture u runs once round, v from south to north pole.
TEST_F(SphereGl, FirstSphereBuildsTheCacheAndDrawsFromIt)
{
    FeedbackCapture capture = captureFeedback([] { drawSphere(10, -20, 30, 5.0, 50, 2, 3); }, 100.0);
    ASSERT_EQ(capture.polygons.size(), 25u * 50 * 2);
    EXPECT_EQ(sphereCacheBuilt, 1);
    EXPECT_EQ(sphereCacheSegments, 50);
    for (int e = 0; e < SPHERE_CACHE_ENTRIES; ++e)
        for (int c = 0; c < 6; ++c) ASSERT_EQ(sphereCache[e][c], sphereCacheBackup[e][c]);

    double minY = 1e9, maxY = -1e9, maxU = 0, maxV = 0;
    for (const FeedbackVertex& v : allVertices(capture)) {
        EXPECT_NEAR(distance(v, 10, -20, 30), 5.0, 1e-3);
        minY = std::min(minY, double(v.y));
        maxY = std::max(maxY, double(v.y));
        maxU = std::max(maxU, double(v.s));
        maxV = std::max(maxV, double(v.t));
        if (std::fabs(v.y - (-25)) < 1e-3) {
            EXPECT_FLOAT_EQ(v.t, 0);  // south pole
        }
        if (std::fabs(v.y - (-15)) < 1e-3) {
            EXPECT_FLOAT_EQ(v.t, 3);  // north pole
        }
    }
    EXPECT_NEAR(minY, -25, 1e-3);
    EXPECT_NEAR(maxY, -15, 1e-3);
    EXPECT_FLOAT_EQ(maxU, 2);
    EXPECT_FLOAT_EQ(maxV, 3);

    // The normal is the cached unit vector itself, not scaled by the radius:
    // the last one sent is the lower point of the top strip's seam column.
    GLfloat normal[4];
    glGetFloatv(GL_CURRENT_NORMAL, normal);
    EXPECT_NEAR(normal[0], std::cos(82.8 * DEG), 1e-6);
    EXPECT_NEAR(normal[1], std::sin(82.8 * DEG), 1e-6);
    EXPECT_NEAR(normal[2], 0, 1e-6);
}

// Later calls take centre, radius and texture scale from their own arguments and
// the shape from the live cache: a deformed blob stays inside its cube.
TEST_F(SphereGl, LaterSpheresShowTheShapeInTheCache)
{
    drawSphere(0, 0, 0, 5.0, 50, 2, 2);  // builds
    const FeedbackCapture plain = captureFeedback([] { drawSphere(0, 0, 0, 5.0, 50, 2, 2); }, 100.0);
    const FeedbackCapture negative = captureFeedback([] { drawSphere(0, 0, 0, -5.0, -50, 2, 2); }, 100.0);
    ASSERT_EQ(plain.polygons.size(), negative.polygons.size());
    const auto a = allVertices(plain), b = allVertices(negative);
    for (size_t i = 0; i < a.size(); ++i) {
        ASSERT_FLOAT_EQ(a[i].x, b[i].x);
        ASSERT_FLOAT_EQ(a[i].y, b[i].y);
        ASSERT_FLOAT_EQ(a[i].z, b[i].z);
    }

    deformBlob(0.5f, 0.3f, 0.2f, 0.7f, 1.3f);
    FeedbackCapture blob = captureFeedback([] { drawSphere(-4, 1, 2, 10.0, 50, 1, 1); }, 100.0);
    ASSERT_EQ(blob.polygons.size(), 2500u);
    bool onAFace = false, offTheSphere = false;
    double maxU = 0;
    for (const FeedbackVertex& v : allVertices(blob)) {
        const double dx = std::fabs(v.x + 4), dy = std::fabs(v.y - 1), dz = std::fabs(v.z - 2);
        ASSERT_LE(std::max({dx, dy, dz}), 10 + 1e-3);
        onAFace = onAFace || std::fabs(std::max({dx, dy, dz}) - 10) < 1e-3;
        offTheSphere = offTheSphere || std::fabs(distance(v, -4, 1, 2) - 10) > 0.5;
        maxU = std::max(maxU, double(v.s));
    }
    EXPECT_TRUE(onAFace);
    EXPECT_TRUE(offTheSphere);
    EXPECT_FLOAT_EQ(maxU, 1);
    GLfloat normal[4];
    glGetFloatv(GL_CURRENT_NORMAL, normal);
    for (int c = 0; c < 3; ++c) EXPECT_EQ(normal[c], sphereCache[SPHERE_CACHE_ENTRIES - 1][3 + c]);

    restoreSphere();
    for (const FeedbackVertex& v : allVertices(captureFeedback([] { drawSphere(0, 0, 0, 3.0, 50, 1, 1); }, 100.0)))
        ASSERT_NEAR(distance(v, 0, 0, 0), 3.0, 1e-3);
}

// Once built for 50 segments, a call with another count draws nothing and leaves the cache alone.
TEST_F(SphereGl, SphereWithAnotherSegmentCountThanTheCacheDrawsNothing)
{
    drawSphere(0, 0, 0, 5.0, 50, 1, 1);
    EXPECT_TRUE(captureFeedback([] { drawSphere(0, 0, 0, 5.0, 40, 1, 1); }).polygons.empty());
    EXPECT_TRUE(captureFeedback([] { drawSphere(0, 0, 0, 5.0, 8, 1, 1); }).polygons.empty());
    EXPECT_EQ(sphereCacheSegments, 50);
    for (int e = 0; e < SPHERE_CACHE_ENTRIES; ++e)
        for (int c = 0; c < 6; ++c) ASSERT_EQ(sphereCache[e][c], sphereCacheBackup[e][c]);
}

// Five segments make two strips; the top ring lies at 54 degrees, leaving the top open.
TEST_F(SphereGl, OddSegmentCountLeavesTheTopOpen)
{
    FeedbackCapture capture = captureFeedback([] { drawSphere(0, 0, 0, 10.0, 5, 1, 1); }, 100.0);
    ASSERT_EQ(capture.polygons.size(), 2u * 5 * 2);
    double minY = 1e9, maxY = -1e9;
    for (const FeedbackVertex& v : allVertices(capture)) {
        minY = std::min(minY, double(v.y));
        maxY = std::max(maxY, double(v.y));
    }
    EXPECT_NEAR(minY, -10, 1e-3);
    EXPECT_NEAR(maxY, 10 * std::sin(54 * DEG), 1e-3);
}
