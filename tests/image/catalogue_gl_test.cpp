#include "files.h"
#include "gl_fixture.h"
#include "image/catalogue.h"
#include "image/image_wrapper.h"
#include "image/picture_table.h"
#include "picture_set.h"
#include "shell/loading.h"
#include "stderr_capture.h"
#include "working_folder.h"

#include <GL/gl.h>

#include <cstdio>
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

}  // namespace

using CatalogueTest = GlTest;

// With one colour file gone, that one file is reported and its sprite keeps
// texture 0; every other slot holds its own file's picture (the alpha picture
// giving opacity), and the full-screen rows are placed on screen.
TEST_F(CatalogueTest, OneMissingFileGivesOneMessageAndEverySlotIsFilled)
{
    TempDir dir;
    EXPECT_EQ(loadWithout(dir, {"data/gfx2.jpg"}), "Error loading data/gfx2.jpg\n");

    int sprites = 0;
    for (const SpriteGroup* group : ALL_SPRITE_GROUPS)
        for (size_t i = 0; i < group->count; ++i) {
            const SpriteRow& row = group->rows[i];
            SCOPED_TRACE(row.colour);
            ImageWrapper* sprite = *row.slot;
            ASSERT_NE(sprite, nullptr);
            ++sprites;
            if (row.fullScreen) {
                EXPECT_EQ(sprite->size, 1.0f);
                EXPECT_EQ(sprite->z, -2.421f);
            }
            if (row.slot == &gfx[1]) {
                EXPECT_EQ(sprite->texture, 0);
                continue;
            }
            ASSERT_GT(sprite->texture, 0);
            const Texel texel = firstTexel(sprite->texture);
            EXPECT_TRUE(near(texel.colour, pictureColour(row.colour))) << texel.colour;
            const int opacity = row.alpha ? pictureColour(row.alpha).r : 255;
            EXPECT_NEAR(texel.alpha, opacity, 8);
        }
    EXPECT_EQ(sprites, 83);
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
    EXPECT_EQ(loadWithout(dir, {"data/pause2.jpg", "data/soya3.jpg", "data/maskine8_alfa.jpg",
                                "data/twist_1.jpg"}),
              "Error loading data/twist_1.jpg\n" + alphaTimes3 + "Error loading data/soya3.jpg\n" + alphaTimes7 +
                  "Error loading data/pause2.jpg\n");
    EXPECT_GT(maskine[6]->texture, 0);
    for (ImageWrapper* sprite : {maskine[7], maskine[8], maskine[9], maskineFlash[0], maskineFlash[6]})
        EXPECT_EQ(sprite->texture, 0);
}
