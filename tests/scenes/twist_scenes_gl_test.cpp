#include "scene_frames.h"

#include "geometry/render_state.h"
#include "image/catalogue.h"
#include "image/picture_table.h"
#include "scenes/tunnel_scene.h"
#include "scenes/twist_scenes.h"
#include "shell/schedule.h"

#include <GL/gl.h>

#include <cmath>
#include <set>

namespace {

const Rgb COLUMN{220, 40, 40};
const Rgb BARS_COLUMN{40, 200, 40};
const Rgb BARS{40, 40, 220};
const Rgb ROOM{255, 255, 255};

// Each overlay has its own colour in its own corner of the window, so a
// frame tells which entry was drawn.
Rgb maskineColour(int k) { return {0, 255, 20 * k}; }
Rgb flashColour(int k) { return {255, 255, 20 * k}; }
Rgb ostColour(int k) { return {20 * (k - 10), 0, 255}; }

bool isColumn(Rgb c) { return c.r > 60 && c.g < c.r / 2 && c.b < c.r / 2; }
bool isBarsColumn(Rgb c) { return c.g > 30 && c.r < c.g / 2 && c.b < c.g / 2; }
bool isBar(Rgb c) { return c.b > 30 && c.r < c.b / 2 && c.g < c.b / 2; }
bool isRoom(Rgb c) { return c.r > 20 && std::abs(c.r - c.g) < 8 && std::abs(c.r - c.b) < 8; }

class TwistFrames : public GlTest {
protected:
    TwistFrames()
    {
        width = 160;
        height = 240;
    }

    void SetUp() override
    {
        GlTest::SetUp();
        data.solid("twistbox2.jpg", COLUMN);
        data.solid("twist_1.jpg", BARS_COLUMN);
        data.solid("twist_2.jpg", BARS);
        data.solid("twist_3.jpg", ROOM);
        data.load(loadTwistScene);
        maskineIndex = 0;  // as at start-up, whichever test ran before in this process
        twistRoomOffset = 0;
        for (int k = 0; k < 13; ++k) maskine[k] = overlaySprite(cornerTexture(maskineColour(k), 0, 0));
        for (int k = 0; k < 7; ++k) maskineFlash[k] = overlaySprite(cornerTexture(flashColour(k), 0, 1));
        for (int k = 10; k < 17; ++k) slut[k] = overlaySprite(cornerTexture(ostColour(k), 3, 0));
    }

    // One frame as the schedule prepares it.
    void frame(void (*scene)(uint32_t), uint32_t t)
    {
        glLoadIdentity();
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        scene(t);
        readFrame();
    }

    // The top-left, bottom-left and top-right eighths hold the overlays.
    Rgb topLeft() const { return pixel(width / 8, height / 4); }
    Rgb bottomLeft() const { return pixel(width / 8, 3 * height / 4); }
    Rgb topRight() const { return pixel(7 * width / 8, height / 4); }

    // Pixels of a kind in one row, right of the overlay corners.
    int countInRow(int y, bool (*kind)(Rgb)) const
    {
        int n = 0;
        for (int x = width / 4; x < 3 * width / 4; ++x) n += kind(pixel(x, y));
        return n;
    }

    int countInFrame(bool (*kind)(Rgb)) const
    {
        int n = 0;
        for (int y = 0; y < height; ++y) n += countInRow(y, kind);
        return n;
    }

    SceneData data;
};

// A taller render: 240 bands of one row in 300 rows leave every fifth row or
// so covered by no band, and there the banded solids are missing.
class TwistBands : public TwistFrames {
protected:
    TwistBands() { height = 300; }

    // The rows the bands cover, top row 0: each band is one row high, its
    // bottom rounded up from the exact spacing 300 / 240.
    std::set<int> bandRows() const
    {
        std::set<int> rows;
        for (int i = 1; i <= SLICES_Y; ++i) {
            int bottom = static_cast<int>(std::ceil(static_cast<double>(height) / SLICES_Y * (SLICES_Y - i)));
            rows.insert(height - 1 - bottom);
        }
        return rows;
    }
};

// How often the column's width turns from growing to shrinking or back by
// at least 4 pixels, going down the frame. An untwisted box projects to a
// convex outline, whose width turns at most once; a twisted one turns again
// and again.
int widthSwings(const std::vector<int>& widths)
{
    int swings = 0, direction = 0;
    int extreme = widths.empty() ? 0 : widths[0];
    for (int w : widths) {
        if (direction == 0) {
            if (std::abs(w - extreme) >= 4) {
                direction = w > extreme ? 1 : -1;
                extreme = w;
            }
        } else if ((w - extreme) * direction > 0) {
            extreme = w;  // still going the same way
        } else if (std::abs(w - extreme) >= 4) {
            ++swings;
            direction = -direction;
            extreme = w;
        }
    }
    return swings;
}

}  // namespace

TEST_F(TwistFrames, ColumnTwistsUnderItsOverlays)
{
    frame(twistColumnScene, 17778);
    EXPECT_TRUE(near(topLeft(), maskineColour(9))) << topLeft();
    // No flash layer yet: the lower half shows the column across the whole width.
    std::vector<int> widths;
    for (int y = height / 2; y < height; ++y) {
        int w = 0;
        for (int x = 0; x < width; ++x) w += isColumn(pixel(x, y));
        if (w) widths.push_back(w);
    }
    EXPECT_GT(widths.size(), static_cast<size_t>(height / 3));
    EXPECT_GE(widthSwings(widths), 2);

    // The flash layer lies over the maskine layer from 25335 on.
    frame(twistColumnScene, 25335);
    EXPECT_TRUE(near(topLeft(), maskineColour(9))) << topLeft();
    EXPECT_TRUE(near(bottomLeft(), flashColour(0))) << bottomLeft();
    EXPECT_GT(countInFrame(isColumn), 500);

    frame(twistColumnScene, 28000);
    EXPECT_TRUE(near(bottomLeft(), flashColour(3))) << bottomLeft();
}

TEST_F(TwistFrames, ColumnScriptPicksOverlaysAndLeavesHoles)
{
    frame(twistColumnScene, 10654);  // nothing yet
    EXPECT_TRUE(near(topLeft(), {0, 0, 0})) << topLeft();
    EXPECT_EQ(countInFrame(isColumn), 0);

    frame(twistColumnScene, 10655);  // the first overlay alone
    EXPECT_TRUE(near(topLeft(), maskineColour(0))) << topLeft();
    EXPECT_EQ(countInFrame(isColumn), 0);

    frame(twistColumnScene, 17341);
    EXPECT_TRUE(near(topLeft(), maskineColour(8))) << topLeft();
    frame(twistColumnScene, 17342);
    EXPECT_TRUE(near(topLeft(), maskineColour(9))) << topLeft();
    EXPECT_EQ(maskineIndex, 9);

    frame(twistColumnScene, 17777);
    EXPECT_EQ(countInFrame(isColumn), 0);
    frame(twistColumnScene, 19340);
    EXPECT_EQ(countInFrame(isColumn), 0);
    EXPECT_TRUE(near(topLeft(), maskineColour(9))) << topLeft();
    frame(twistColumnScene, 23149);
    EXPECT_GT(countInFrame(isColumn), 500);

    frame(twistColumnScene, 30663);
    EXPECT_TRUE(near(bottomLeft(), flashColour(6))) << bottomLeft();
    frame(twistColumnScene, 30664);
    EXPECT_FALSE(near(bottomLeft(), flashColour(6), 40)) << bottomLeft();

    // Persistent: a frame that passes no threshold keeps the last picture.
    frame(twistColumnScene, 10700);
    EXPECT_TRUE(near(topLeft(), maskineColour(9))) << topLeft();
}

TEST_F(TwistBands, ColumnIsDrawnOnlyInsideItsBands)
{
    frame(twistColumnScene, 23149);
    const std::set<int> covered = bandRows();
    int gaps = 0, banded = 0;
    for (int y = height / 2; y < height; ++y) {  // below the top-left overlay
        int n = countInRow(y, isColumn);
        if (covered.count(y)) banded += n > 0;
        else {
            ++gaps;
            EXPECT_EQ(n, 0) << "column drawn in row " << y << " between bands";
        }
    }
    EXPECT_GT(gaps, 20);
    EXPECT_GT(banded, 100);
}

TEST_F(TwistFrames, RoomTurnsItsBarsInsideTheFoggedCube)
{
    frame(twistRoomScene, 53313);
    EXPECT_FLOAT_EQ(twistRoomOffset, 0.0f);
    EXPECT_FALSE(near(topRight(), ostColour(10), 40)) << topRight();
    EXPECT_GT(countInFrame(isBarsColumn) + countInFrame(isBar), 200);

    // The fog darkens the white room: on average well below full brightness,
    // yet never black inside the cube.
    long sum = 0;
    int roomPixels = 0;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            if (isRoom(pixel(x, y))) {
                sum += pixel(x, y).r;
                ++roomPixels;
            }
    ASSERT_GT(roomPixels, width * height / 4);
    EXPECT_LT(sum / roomPixels, 190);
    EXPECT_GT(sum / roomPixels, 40);
}

TEST_F(TwistFrames, RoomOstOverlaysAndOffsetLadder)
{
    frame(twistRoomScene, 53744);
    EXPECT_TRUE(near(topRight(), ostColour(10))) << topRight();
    frame(twistRoomScene, 58300);
    EXPECT_EQ(twistRoomOffset, 11000.0f);
    frame(twistRoomScene, 62966);
    EXPECT_TRUE(near(topRight(), ostColour(15))) << topRight();
    frame(twistRoomScene, 65727);
    EXPECT_EQ(twistRoomOffset, 1000.0f);
    frame(twistRoomScene, 65728);  // a hole: keeps the offset of the frame before
    EXPECT_EQ(twistRoomOffset, 1000.0f);
    frame(twistRoomScene, 66190);
    EXPECT_TRUE(near(topRight(), ostColour(16))) << topRight();
    EXPECT_EQ(twistRoomOffset, 500.0f);
    frame(twistRoomScene, 66191);
    EXPECT_FALSE(near(topRight(), ostColour(16), 40)) << topRight();
}

TEST_F(TwistBands, RoomCubeIsWholeWhileTheBarsAreBanded)
{
    frame(twistRoomScene, 60000);
    const std::set<int> covered = bandRows();
    int roomInGaps = 0, barsInBands = 0;
    for (int y = 0; y < height; ++y) {
        int bars = countInRow(y, isBarsColumn) + countInRow(y, isBar);
        if (covered.count(y)) barsInBands += bars > 0;
        else {
            EXPECT_EQ(bars, 0) << "bars drawn in row " << y << " between bands";
            roomInGaps += countInRow(y, isRoom);
        }
    }
    EXPECT_GT(barsInBands, 50);
    EXPECT_GT(roomInGaps, 500);
}

TEST_F(TwistFrames, ScenesLeaveTheStateAsTheyFoundIt)
{
    for (uint32_t t : {17778u, 25335u, 60000u}) {
        frame(t < 50000 ? twistColumnScene : twistRoomScene, t);
        EXPECT_FALSE(glIsEnabled(GL_FOG)) << t;
        EXPECT_FALSE(glIsEnabled(GL_SCISSOR_TEST)) << t;
        EXPECT_FALSE(glIsEnabled(GL_ALPHA_TEST)) << t;
        EXPECT_TRUE(glIsEnabled(GL_DEPTH_TEST)) << t;
        GLint mode = 0;
        glGetIntegerv(GL_MATRIX_MODE, &mode);
        EXPECT_EQ(mode, GL_MODELVIEW) << t;
        GLfloat m[16];
        glGetFloatv(GL_MODELVIEW_MATRIX, m);
        for (int i = 0; i < 16; ++i) EXPECT_EQ(m[i], i % 5 == 0 ? 1.0f : 0.0f) << t;
    }
}

// The depth test is off from start-up until the first masked overlay of the
// programme, the twist column's at 10655, and on for every frame after it.
TEST_F(TwistFrames, DepthTestComesOnWithTheFirstMaskedOverlay)
{
    data.load(loadTunnelScene);
    // Every other picture as a plain sprite, so every scene of these frames can draw.
    for (const SpriteRow* row = CATALOGUE_SPRITES.rows; row != CATALOGUE_SPRITES.rows + CATALOGUE_SPRITES.count; ++row)
        if (!*row->slot) *row->slot = overlaySprite(0);

    for (uint32_t t : {1u, 5000u, 10126u, 10654u}) {
        renderFrame(t);
        EXPECT_FALSE(glIsEnabled(GL_DEPTH_TEST)) << t;
    }
    for (uint32_t t : {10655u, 10700u, 17778u, 32000u, 53313u, 60000u, 100000u}) {
        renderFrame(t);
        EXPECT_TRUE(glIsEnabled(GL_DEPTH_TEST)) << t;
    }
}
