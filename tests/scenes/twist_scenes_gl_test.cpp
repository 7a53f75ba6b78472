#include "scene_gl_fixture.h"

#include "geometry/render_state.h"
#include "scenes/bitmap_scene.h"
#include "scenes/tunnel_scene.h"
#include "scenes/twist_scenes.h"
#include "shell/programme.h"
#include "shell/programme_state.h"
#include "shell/schedule.h"

#include <cmath>
#include <set>

namespace {

// Each overlay has its own colour in its own corner, so a frame tells which entry was drawn.
Rgb maskineColour(int k)
{
    return {0, 255, 20 * k};
}
Rgb flashColour(int k)
{
    return {255, 255, 20 * k};
}
Rgb ostColour(int k)
{
    return {20 * (k - 10), 0, 255};
}

bool isColumn(Rgb c)
{
    return c.r > 60 && c.g < c.r / 2 && c.b < c.r / 2;
}  // red
bool isBars(Rgb c)
{
    return (c.g > 30 && c.r < c.g / 2) || (c.b > 30 && c.r < c.b / 2 && c.g < c.b / 2);
}
bool isRoom(Rgb c)
{
    return c.r > 20 && std::abs(c.r - c.g) < 8 && std::abs(c.r - c.b) < 8;
}  // grey

class TwistFrames : public SceneGlTest {
protected:
    TwistFrames()
    {
        width = 160;
        height = 240;
    }

    void SetUp() override
    {
        SceneGlTest::SetUp();
        // The twist column begins before the first masked overlay: the depth
        // test is still off, as loading leaves it.
        glDisable(GL_DEPTH_TEST);
        picture("twistbox2.jpg", {220, 40, 40});
        picture("twist_1.jpg", {40, 200, 40});
        picture("twist_2.jpg", {40, 40, 220});
        picture("twist_3.jpg", {255, 255, 255});
        loadTwistScene();
        // The loader made the overlays from files this folder does not have:
        // they give way to ones whose colour tells which is drawn.
        for (int k = 0; k < 13; ++k) {
            delete maskine[k];
            maskine[k] = overlaySprite(cornerTexture(maskineColour(k), 0, 0));
        }
        for (int k = 0; k < 7; ++k) {
            delete maskineFlash[k];
            maskineFlash[k] = overlaySprite(cornerTexture(flashColour(k), 0, 1));
        }
        for (int k = 10; k < 17; ++k) slut[k] = overlaySprite(cornerTexture(ostColour(k), 3, 0));
    }

    // One frame as the schedule prepares it; then the state every scene must leave.
    void frame(void (*scene)(uint32_t), uint32_t t)
    {
        glLoadIdentity();
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        scene(t);
        readFrame();
        EXPECT_FALSE(glIsEnabled(GL_FOG) || glIsEnabled(GL_SCISSOR_TEST) || glIsEnabled(GL_ALPHA_TEST)) << t;
        GLfloat m[16];
        glGetFloatv(GL_MODELVIEW_MATRIX, m);
        for (int i = 0; i < 16; ++i) ASSERT_EQ(m[i], i % 5 == 0 ? 1.0f : 0.0f) << t;
    }

    Rgb topLeft() const { return pixel(width / 8, height / 4); }
    Rgb bottomLeft() const { return pixel(width / 8, 3 * height / 4); }
    Rgb topRight() const { return pixel(7 * width / 8, height / 4); }

    // Pixels of a kind in row y, between x0 and x1.
    int inRow(int y, bool (*kind)(Rgb), int x0, int x1) const
    {
        int n = 0;
        for (int x = x0; x < x1; ++x) n += kind(pixel(x, y));
        return n;
    }
    // In the middle half of the frame, clear of the overlay corners.
    int inMiddle(bool (*kind)(Rgb)) const
    {
        int n = 0;
        for (int y = 0; y < height; ++y) n += inRow(y, kind, width / 4, 3 * width / 4);
        return n;
    }
};

// How often the width turns from growing to shrinking or back by at least 4
// pixels going down the frame. An untwisted box projects to a convex outline,
// whose width turns at most once.
int widthSwings(const std::vector<int>& widths)
{
    int swings = 0, direction = 0;
    int extreme = widths.empty() ? 0 : widths[0];
    for (int w : widths) {
        if ((w - extreme) * direction > 0) extreme = w;  // still going the same way
        else if (std::abs(w - extreme) >= 4) {
            swings += direction != 0;
            direction = w > extreme ? 1 : -1;
            extreme = w;
        }
    }
    return swings;
}

// A taller render: 240 one-row bands in 300 rows leave about every fifth row
// covered by no band, and there nothing banded may appear.
class TwistBands : public TwistFrames {
protected:
    TwistBands() { height = 300; }

    bool inBand(int y) const
    {
        static std::set<int> rows;
        if (rows.empty())
            for (int i = 1; i <= SLICES_Y; ++i)  // band bottoms rounded up from the spacing 300 / 240
                rows.insert(height - 1 - static_cast<int>(std::ceil(300.0 / SLICES_Y * (SLICES_Y - i))));
        return rows.count(y) > 0;
    }
};

}  // namespace

TEST_F(TwistFrames, ColumnTwistsUnderTheScriptedOverlays)
{
    frame(twistColumnScene, 10654);  // nothing yet
    EXPECT_TRUE(near(topLeft(), {0, 0, 0})) << topLeft();
    frame(twistColumnScene, 10655);  // the first overlay alone
    EXPECT_TRUE(near(topLeft(), maskineColour(0))) << topLeft();
    EXPECT_EQ(inMiddle(isColumn), 0);
    frame(twistColumnScene, 17341);
    EXPECT_TRUE(near(topLeft(), maskineColour(8))) << topLeft();
    frame(twistColumnScene, 17777);
    EXPECT_TRUE(near(topLeft(), maskineColour(9))) << topLeft();
    EXPECT_EQ(inMiddle(isColumn), 0);

    // The column, twisted: its width swings up and down the lower half of the frame.
    frame(twistColumnScene, 17778);
    std::vector<int> widths;
    for (int y = height / 2; y < height; ++y)
        if (int w = inRow(y, isColumn, 0, width)) widths.push_back(w);
    EXPECT_GT(widths.size(), static_cast<size_t>(height / 3));
    EXPECT_GE(widthSwings(widths), 2);
    frame(twistColumnScene, 19340);
    EXPECT_EQ(inMiddle(isColumn), 0);

    // The flash layer over the maskine layer from 25335 to 30663.
    frame(twistColumnScene, 25335);
    EXPECT_TRUE(near(topLeft(), maskineColour(9))) << topLeft();
    EXPECT_TRUE(near(bottomLeft(), flashColour(0))) << bottomLeft();
    EXPECT_GT(inMiddle(isColumn), 500);
    frame(twistColumnScene, 28000);
    EXPECT_TRUE(near(bottomLeft(), flashColour(3))) << bottomLeft();
    frame(twistColumnScene, 30664);
    EXPECT_FALSE(near(bottomLeft(), flashColour(6), 40)) << bottomLeft();

    frame(twistColumnScene, 10700);  // passes no threshold: the last picture stays
    EXPECT_TRUE(near(topLeft(), maskineColour(9))) << topLeft();
}

TEST_F(TwistFrames, RoomBarsInsideTheFoggedCubeUnderTheOstOverlays)
{
    frame(twistRoomScene, 53313);
    EXPECT_FALSE(near(topRight(), ostColour(10), 40)) << topRight();
    EXPECT_GT(inMiddle(isBars), 200);
    // The fog darkens the white room: on average well below full brightness, yet not black.
    long sum = 0;
    int room = 0;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            if (isRoom(pixel(x, y))) sum += pixel(x, y).r, ++room;
    ASSERT_GT(room, width * height / 4);
    EXPECT_LT(sum / room, 190);
    EXPECT_GT(sum / room, 40);

    frame(twistRoomScene, 53744);
    EXPECT_TRUE(near(topRight(), ostColour(10))) << topRight();
    frame(twistRoomScene, 62966);
    EXPECT_TRUE(near(topRight(), ostColour(15))) << topRight();
    frame(twistRoomScene, 65727);
    frame(twistRoomScene, 65728);  // between rows: the offset of the frame before stays
    EXPECT_EQ(script.twistRoomOffset, 1000.0f);
    frame(twistRoomScene, 66191);
    EXPECT_EQ(script.twistRoomOffset, 500.0f);
    EXPECT_FALSE(near(topRight(), ostColour(16), 40)) << topRight();
}

TEST_F(TwistBands, ColumnAndBarsAreDrawnOnlyInsideTheirBandsTheRoomWhole)
{
    frame(twistColumnScene, 23149);
    int gaps = 0, banded = 0;
    for (int y = height / 2; y < height; ++y) {  // below the top-left overlay
        int n = inRow(y, isColumn, 0, width);
        if (inBand(y)) banded += n > 0;
        else {
            ++gaps;
            EXPECT_EQ(n, 0) << "column in row " << y << " between bands";
        }
    }
    EXPECT_GT(gaps, 20);
    EXPECT_GT(banded, 100);

    frame(twistRoomScene, 60000);
    int roomInGaps = 0;
    banded = 0;
    for (int y = 0; y < height; ++y) {
        int bars = inRow(y, isBars, width / 4, 3 * width / 4);
        if (inBand(y)) banded += bars > 0;
        else {
            roomInGaps += inRow(y, isRoom, width / 4, 3 * width / 4);
            EXPECT_EQ(bars, 0) << "bars in row " << y << " between bands";
        }
    }
    EXPECT_GT(banded, 50);
    EXPECT_GT(roomInGaps, 500);
}

// The depth test is off from start-up until the first masked overlay of the
// programme, the twist column's at 10655, and on in every frame after it.
TEST_F(TwistFrames, DepthTestComesOnWithTheFirstMaskedOverlay)
{
    picture("tunnel_texture.jpg", {200, 200, 200});
    picture("tunnel_kasse_texture.jpg", {255, 128, 0});
    loadTunnelScene();
    // Every full-screen picture the loaders left unmade: overlays and noise.
    for (const SceneUnit* unit : programmeUnits())
        for (size_t i = 0; i < unit->pictures.count; ++i) {
            const SpriteRow& row = unit->pictures.rows[i];
            if (row.fullScreen && !*row.slot) *row.slot = overlaySprite(0);
        }

    for (uint32_t t : {1u, 5000u, 10126u, 10654u}) {
        renderFrame(t);
        EXPECT_FALSE(glIsEnabled(GL_DEPTH_TEST)) << t;
    }
    for (uint32_t t : {10655u, 10700u, 17778u, 32000u, 53313u, 60000u, 100000u}) {
        renderFrame(t);
        EXPECT_TRUE(glIsEnabled(GL_DEPTH_TEST)) << t;
    }
}
