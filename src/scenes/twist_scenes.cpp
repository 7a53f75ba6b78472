#include "scenes/twist_scenes.h"

#include "geometry/render_state.h"
#include "image/create_sprites.h"
#include "image/image_wrapper.h"
#include "programme/script_variables.h"
#include "programme/time.h"
#include "scenes/bitmap_scene.h"

#include <GL/glu.h>

#include <cmath>
#include <cstdint>

ImageWrapper* twistBox = nullptr;
ImageWrapper* twist1 = nullptr;
ImageWrapper* twist2 = nullptr;
ImageWrapper* twist3 = nullptr;
ImageWrapper* maskine[13] = {};
ImageWrapper* maskineFlash[7] = {};

namespace {

const SpriteRow twistPictures[] = {
    {&twistBox, "data/twistbox2.jpg", nullptr, false},
    {&twist1, "data/twist_1.jpg", nullptr, false},
    {&twist2, "data/twist_2.jpg", nullptr, false},
    {&twist3, "data/twist_3.jpg", nullptr, false},
    {&maskine[0], "data/maskine1.jpg", "data/maskine1_alfa.jpg", true},
    {&maskine[1], "data/maskine2.jpg", "data/maskine2_alfa.jpg", true},
    {&maskine[2], "data/maskine3.jpg", "data/maskine3_alfa.jpg", true},
    {&maskine[3], "data/maskine4.jpg", "data/maskine4_alfa.jpg", true},
    {&maskine[4], "data/maskine5.jpg", "data/maskine5_alfa.jpg", true},
    {&maskine[5], "data/maskine6.jpg", "data/maskine6_alfa.jpg", true},
    {&maskine[6], "data/maskine7.jpg", "data/maskine7_alfa.jpg", true},
    {&maskine[7], "data/maskine8.jpg", "data/maskine8_alfa.jpg", true},
    {&maskine[8], "data/maskine9.jpg", "data/maskine8_alfa.jpg", true},
    {&maskine[9], "data/maskine10.jpg", "data/maskine8_alfa.jpg", true},
    {&maskine[10], "data/kost1.jpg", "data/kost1_alfa.jpg", true},
    {&maskine[11], "data/kost2.jpg", "data/kost2_alfa.jpg", true},
    {&maskine[12], "data/kost3.jpg", "data/kost3_alfa.jpg", true},
    {&maskineFlash[0], "data/maskine11.jpg", "data/maskine8_alfa.jpg", true},
    {&maskineFlash[1], "data/maskine12.jpg", "data/maskine8_alfa.jpg", true},
    {&maskineFlash[2], "data/maskine13.jpg", "data/maskine8_alfa.jpg", true},
    {&maskineFlash[3], "data/maskine14.jpg", "data/maskine8_alfa.jpg", true},
    {&maskineFlash[4], "data/maskine15.jpg", "data/maskine8_alfa.jpg", true},
    {&maskineFlash[5], "data/maskine16.jpg", "data/maskine8_alfa.jpg", true},
    {&maskineFlash[6], "data/maskine17.jpg", "data/maskine8_alfa.jpg", true},
};

const ScheduleRow twistWindows[] = {
    {10126, 31999, "twist-column", twistColumnScene, stepTwistColumnScene, nullptr, nullptr},
    {53313, 66517, "twist-room", twistRoomScene, stepTwistRoomScene, nullptr, nullptr},
};

}  // namespace

const SceneUnit TWIST_UNIT = sceneUnit("twist", twistWindows, twistPictures, loadTwistScene);

GLuint twistBarsList = 0;
GLuint twistBoxList = 0;

namespace {

constexpr uint32_t FOREVER = UINT32_MAX;

// The solids, each drawn by drawBox with its own texture.
struct TwistBox {
    float cx, cy, cz;
    float hx, hy, hz;
    float u, v;
    ImageWrapper** texture;
};

// A square column crossed by two bars: twisted about X in the room.
const TwistBox BARS_BOXES[] = {
    {0, 0, 0, 2, 20, 2, 2, 1, &twist1},      // column
    {0, 2.5f, 0, 20, 1, 1, 1, 1, &twist2},   // upper bar
    {0, -2.5f, 0, 20, 1, 1, 1, 1, &twist2},  // lower bar
};

// The tall column twisted about Y; its texture repeats 20 times up its height.
const TwistBox COLUMN_BOX = {0, 0, 0, 2.5f, 20, 2.5f, 1, 20, &twistBox};

// The cube the room's camera stays inside, drawn whole (not in bands).
const TwistBox ROOM_CUBE = {0, 0, 0, 20, 20, 20, 1, 1, &twist3};

// Leaves the box's texture bound. The banded lists are drawn 240 times a
// frame, and unbinding after every box would switch the pipeline to
// untextured and back on every band for nothing: the scenes unbind once,
// after their last box.
void drawTexturedBox(const TwistBox& box)
{
    glBindTexture(GL_TEXTURE_2D, (*box.texture)->texture);
    drawBox(box.cx, box.cy, box.cz, box.hx, box.hy, box.hz, box.u, box.v);
}

// The column's camera rows, inclusive. A row with glideTo set slides lookX
// toward 0 as (glideTo - t) * 0.002; the others look at the axis. The single
// milliseconds between rows draw no column.
struct ColumnCameraRow {
    uint32_t first, last;
    uint32_t glideTo;  // 0: lookX is 0
    float distance;
};

const ColumnCameraRow COLUMN_CAMERA[] = {
    {17778, 19339, 19340, 19}, {19341, 19596, 0, 10}, {19598, 21118, 0, 39},   {21120, 21374, 0, 25},
    {21376, 22770, 0, 69},     {22772, 23147, 0, 10}, {23149, FOREVER, 0, 19},
};

// Each threshold that t exceeds sets the maskine index, in this order.
struct MaskineStep {
    uint32_t after;
    int index;
};

const MaskineStep MASKINE_STEPS[] = {
    {11126, 1}, {12011, 2}, {12900, 3}, {13788, 4}, {14214, 5}, {14678, 6}, {15343, 7}, {16452, 8}, {17341, 9},
};

// An inclusive window of t and the sprite index it picks.
struct IndexWindow {
    uint32_t first, last;
    int index;
};

// The flash layer over the maskine overlay: entry 0 wherever no row holds t.
constexpr uint32_t FLASH_FIRST = 25335;
constexpr uint32_t FLASH_LAST = 30663;
const IndexWindow FLASH_ROWS[] = {
    {25998, 27110, 1}, {27112, 27776, 2}, {27778, 28439, 3}, {28441, 28888, 4}, {28890, 29548, 5}, {29550, 30663, 6},
};

// The room's camera offsets (radians added to its angle), inclusive rows
// taken in order so that a later row wins where rows overlap (20 to 25).
struct OffsetRow {
    uint32_t first, last;
    float offset;
};

const OffsetRow ROOM_OFFSETS[] = {
    {53608, 53866, 2000},   // 1
    {53868, 54086, 1000},   // 2
    {54088, 54524, 2000},   // 3
    {54526, 54736, 3000},   // 4
    {54738, 55082, 4000},   // 5
    {55084, 55307, 5000},   // 6
    {55309, 55406, 1000},   // 7
    {55408, 55647, 3000},   // 8
    {55649, 55857, 4000},   // 9
    {55859, 56177, 5000},   // 10
    {56179, 56294, 6000},   // 11
    {56296, 56396, 4000},   // 12
    {56398, 56824, 6000},   // 13
    {56826, 57163, 7000},   // 14
    {57165, 57427, 8000},   // 15
    {57429, 57575, 4000},   // 16
    {57577, 57748, 9000},   // 17
    {57750, 57911, 10000},  // 18
    {57913, 58100, 7000},   // 19
    {58102, 58205, 11000},  // 20
    {58207, 58355, 10000},  // 21
    {58112, 58647, 9000},   // 22
    {58649, 58861, 12000},  // 23
    {58299, 58817, 11000},  // 24
    {58819, 58968, 12310},  // 25
    {58970, 59192, 14000},  // 26
    {59194, 59207, 12000},  // 27
    {59209, 59410, 11000},  // 28
    {59412, 60081, 13000},  // 29
    {60083, 60132, 10000},  // 30
    {60134, 60192, 11000},  // 31
    {60194, 60296, 6000},   // 32
    {60298, 60409, 15000},  // 33
    {60411, 60638, 16000},  // 34
    {60640, 61196, 17000},  // 35
    {61198, 61637, 18000},  // 36
    {61639, 62187, 19000},  // 37
    {62189, 62413, 18000},  // 38
    {62415, 62964, 14000},  // 39
    {62966, 63956, 10000},  // 40
    {63958, 64528, 7000},   // 41
    {64530, 64748, 3000},   // 42
    {64750, 65727, 1000},   // 43
    {65729, FOREVER, 500},  // 44
};

// The "ost" pictures (slut 10 to 16) over the room; the windows do not overlap.
const IndexWindow ROOM_OVERLAYS[] = {
    {53744, 54636, 10}, {55520, 55857, 11}, {57305, 58191, 12}, {59085, 60859, 13},
    {61749, 62636, 14}, {62966, 64412, 15}, {65301, 66190, 16},
};

bool holds(uint32_t first, uint32_t last, uint32_t t)
{
    return first <= t && t <= last;
}

}  // namespace

TwistColumnCamera twistColumnCameraAt(uint32_t t)
{
    for (const ColumnCameraRow& row : COLUMN_CAMERA) {
        if (!holds(row.first, row.last, t)) continue;
        float lookX = 0;
        if (row.glideTo != 0)
            lookX = static_cast<float>((static_cast<int64_t>(row.glideTo) - static_cast<int64_t>(t)) * 0.002);
        return {true, lookX, row.distance};
    }
    return {false, 0, 0};
}

int updateMaskineIndex(uint32_t t, int current)
{
    for (const MaskineStep& step : MASKINE_STEPS)
        if (t > step.after) current = step.index;
    return current;
}

int maskineFlashIndex(uint32_t t)
{
    if (!holds(FLASH_FIRST, FLASH_LAST, t)) return -1;
    for (const IndexWindow& row : FLASH_ROWS)
        if (holds(row.first, row.last, t)) return row.index;
    return 0;
}

float twistRoomOffsetAt(uint32_t t, float previous)
{
    float offset = previous;
    for (const OffsetRow& row : ROOM_OFFSETS)
        if (holds(row.first, row.last, t)) offset = row.offset;
    return offset;
}

int twistRoomOverlayIndex(uint32_t t)
{
    for (const IndexWindow& row : ROOM_OVERLAYS)
        if (holds(row.first, row.last, t)) return row.index;
    return -1;
}

void loadTwistScene(PicturePrefetch* pictures)
{
    createSprites(TWIST_UNIT.pictures, pictures);

    twistBarsList = glGenLists(1);
    glNewList(twistBarsList, GL_COMPILE);
    for (const TwistBox& box : BARS_BOXES) drawTexturedBox(box);
    glEndList();

    twistBoxList = glGenLists(1);
    glNewList(twistBoxList, GL_COMPILE);
    drawTexturedBox(COLUMN_BOX);
    glEndList();
}

void renderTwistColumn(float angle, float phase, float lookX, float distance)
{
    const double a = angle;
    glPushMatrix();
    gluLookAt(19 * std::sin(a / 2), 10 * std::sin(a), distance * std::cos(a / 2), lookX, 0, 5 * std::cos(a / 2 + 0.2),
              0, 1, 0);
    drawSlicesY(twistBoxList, phase);
    glBindTexture(GL_TEXTURE_2D, 0);
    glPopMatrix();
}

bool stepTwistColumnScene(uint32_t t)
{
    if (t <= MASKINE_OVERLAY_AFTER) return false;
    script.maskineIndex = updateMaskineIndex(t, script.maskineIndex);
    return true;
}

void twistColumnScene(uint32_t t)
{
    const float x = static_cast<float>(static_cast<double>(t) * PHASE_SCALE);

    const TwistColumnCamera camera = twistColumnCameraAt(t);
    if (camera.drawn) renderTwistColumn(x, x, camera.lookX, camera.distance);

    if (stepTwistColumnScene(t)) drawMasked(maskine[script.maskineIndex]);

    const int flash = maskineFlashIndex(t);
    if (flash >= 0) drawMasked(maskineFlash[flash]);
}

void renderTwistRoom(float angle, float phase)
{
    const double a = angle;
    setFog(0, 5, 0.025f);
    glPushMatrix();
    gluLookAt(19 * std::sin(a / 2), 19 * std::sin(a), 19 * std::cos(a / 2), 5 * std::sin(a / 4 + 0.2),
              10 * std::sin(a + 0.2), 5 * std::cos(a / 2 + 0.2), 0, 1, 0);
    drawTexturedBox(ROOM_CUBE);
    drawSlicesX(twistBarsList, phase);
    glBindTexture(GL_TEXTURE_2D, 0);
    glPopMatrix();
    glDisable(GL_FOG);
}

bool stepTwistRoomScene(uint32_t t)
{
    script.twistRoomOffset = twistRoomOffsetAt(t, script.twistRoomOffset);
    return twistRoomOverlayIndex(t) >= 0;
}

void twistRoomScene(uint32_t t)
{
    stepTwistRoomScene(t);

    // Kept in double: only the arguments are rounded to float, so the bars'
    // phase stays smooth while the camera angle jumps with the offset.
    const double base = static_cast<double>(t) * PHASE_SCALE;
    renderTwistRoom(static_cast<float>(base + script.twistRoomOffset), static_cast<float>(base));

    const int overlay = twistRoomOverlayIndex(t);
    if (overlay >= 0) drawMasked(slut[overlay]);
}
