#include "files.h"
#include "gl_fixture.h"
#include "image/create_sprites.h"
#include "image/image_wrapper.h"
#include "picture_set.h"
#include "scenes/bitmap_scene.h"
#include "scenes/frame.h"
#include "scenes/picture_scenes.h"
#include "scenes/sphere_scenes.h"
#include "scenes/spike_scene.h"
#include "scenes/twist_scenes.h"
#include "shell/loading.h"
#include "stderr_capture.h"
#include "working_folder.h"

#include <GL/gl.h>

#include <cstdio>
#include <set>
#include <string>
#include <vector>

namespace {

struct Texel {
    Rgb colour;
    int alpha;
};

// The first texel of a sprite's texture, whatever its format.
Texel firstTexel(int texture)
{
    GLint format = 0;
    std::vector<unsigned char> rgba = readTextureRgba(texture, &format);
    // A luminance texture reads back as (L, 0, 0, 1).
    if (format == GL_LUMINANCE8) return Texel{{rgba[0], rgba[0], rgba[0]}, rgba[3]};
    return Texel{{rgba[0], rgba[1], rgba[2]}, rgba[3]};
}

// Loads everything the demo loads, from a complete picture set without the given files.
std::string loadWithout(const TempDir& dir, const std::vector<std::string>& missing)
{
    writePictureSet(dir.path());
    for (const std::string& file : missing) std::remove((dir / file).c_str());
    WorkingFolder inside(dir.path());
    StderrCapture capture;
    drawLoadingPicture();
    loadScenesAndPictures();
    return capture.finish();
}

using CatalogueTest = GlTest;

// Slots and the files they must show, written out here rather than read from
// the picture table, so that a wrong row in the table fails: the ends of every
// slot array and every shared or irregular pairing.
struct SlotFile {
    ImageWrapper** slot;
    const char* colour;
    const char* alpha;  // null: opaque
};

const SlotFile SPOT_CHECKS[] = {
    {&loading, "loading", nullptr},
    {&twistBox, "twistbox2", nullptr},
    {&twist3, "twist_3", nullptr},
    {&kasseTransTexture, "kasse_trans_texture", "kasse_trans_texture"},
    {&sphereFlare, "sphere_flare", "sphere_flare"},
    {&spheresTexture[2], "spheres_texture3", nullptr},
    {&spheresTexture[3], "spheres_texture1", nullptr},
    {&bitmapEnv, "bitmap_env", nullptr},
    {&spikeFlare, "spike_flare_texture", "spike_flare_texture"},
    {&sphereOverlay, "sphereoverlay", "sphereoverlay_alfa"},
    {&blobOverlay, "bloboverlay", "bloboverlay_alfa"},
    {&slut[0], "slut1", "slut1_alfa"},
    {&slut[9], "slut10", "slut10_alfa"},
    {&slut[10], "ost1", "ost1_alfa"},
    {&slut[16], "ost7", "ost7_alfa"},
    {&maskine[0], "maskine1", "maskine1_alfa"},
    {&maskine[7], "maskine8", "maskine8_alfa"},
    {&maskine[9], "maskine10", "maskine8_alfa"},
    {&maskine[10], "kost1", "kost1_alfa"},
    {&maskine[12], "kost3", "kost3_alfa"},
    {&maskineFlash[0], "maskine11", "maskine8_alfa"},
    {&maskineFlash[6], "maskine17", "maskine8_alfa"},
    {&noise[1], "nois2", "nois2"},
    {&soya[0], "soya1", nullptr},
    {&soya[6], "soya7", nullptr},
    {&hearing[1], "hearing2", nullptr},
    {&code[3], "code4", nullptr},
    {&gfx[0], "gfx1", nullptr},
    {&msx[3], "msx4", nullptr},
    {&pausePicture[1], "pause2", nullptr},
};

std::string dataFile(const char* stem)
{
    return std::string("data/") + stem + ".jpg";
}

}  // namespace

using CatalogueTest = GlTest;

// With one colour file gone, that one file is reported and its sprite keeps
// texture 0; every other slot holds a texture, the full-screen rows are placed
// on screen, and the slots checked show their own files' colours (the set gives
// every file a colour of its own) with the opacity of their alpha files.
TEST_F(CatalogueTest, OneMissingFileGivesOneMessageAndEverySlotIsFilled)
{
    TempDir dir;
    EXPECT_EQ(loadWithout(dir, {"data/gfx2.jpg"}), "Error loading data/gfx2.jpg\n");

    std::set<ImageWrapper*> sprites;
    for (const SpriteGroup* group : spriteGroupsInLoadingOrder())
        for (size_t i = 0; i < group->count; ++i) {
            const SpriteRow& row = group->rows[i];
            SCOPED_TRACE(row.colour);
            ImageWrapper* sprite = *row.slot;
            ASSERT_NE(sprite, nullptr);
            sprites.insert(sprite);
            if (row.fullScreen) {
                EXPECT_EQ(sprite->size, 1.0f);
                EXPECT_EQ(sprite->z, -2.421f);
            }
            if (row.slot == &gfx[1]) EXPECT_EQ(sprite->texture, 0);
            else EXPECT_GT(sprite->texture, 0);
        }
    // A sprite of its own for every row.
    EXPECT_EQ(sprites.size(), pictureTableRows());

    for (const SlotFile& check : SPOT_CHECKS) {
        SCOPED_TRACE(check.colour);
        const Texel texel = firstTexel((*check.slot)->texture);
        EXPECT_TRUE(near(texel.colour, pictureColour(dataFile(check.colour)))) << texel.colour;
        const int opacity = check.alpha ? pictureColour(dataFile(check.alpha)).r : 255;
        EXPECT_NEAR(texel.alpha, opacity, 8);
    }
    // Each sprite has a texture of its own, also where two slots name one file.
    EXPECT_NE(spheresTexture[0]->texture, spheresTexture[3]->texture);
}

// The messages of several missing files come in the order of loading; a
// missing shared alpha picture is reported once for each of its ten sprites.
TEST_F(CatalogueTest, MessagesComeInTheOrderOfLoading)
{
    TempDir dir;
    std::string alphaTimes3, alphaTimes7;
    for (int i = 0; i < 3; ++i) alphaTimes3 += "Error loading\n";
    for (int i = 0; i < 7; ++i) alphaTimes7 += "Error loading\n";
    EXPECT_EQ(loadWithout(dir, {"data/pause2.jpg", "data/soya3.jpg", "data/maskine8_alfa.jpg", "data/twist_1.jpg"}),
              "Error loading data/twist_1.jpg\n" + alphaTimes3 + alphaTimes7 + "Error loading data/pause2.jpg\n" +
                  "Error loading data/soya3.jpg\n");
    EXPECT_GT(maskine[6]->texture, 0);
    for (ImageWrapper* sprite : {maskine[7], maskine[8], maskine[9], maskineFlash[0], maskineFlash[6]})
        EXPECT_EQ(sprite->texture, 0);
}
