// The demo's own loading over the generated set: silent, every slot filled,
// and the overlays and grain behave as overlays when drawn the demo's way.
#include "generated_data_set.h"
#include "gl_fixture.h"
#include "image/image_wrapper.h"
#include "image/sprite_group.h"
#include "picture_set.h"
#include "scenes/bitmap_scene.h"
#include "scenes/frame.h"
#include "scenes/sphere_scenes.h"
#include "scenes/twist_scenes.h"
#include "shell/loading.h"
#include "stderr_capture.h"
#include "working_folder.h"

#include <GL/gl.h>

#include <set>

namespace {

class GeneratedSetLoading : public GlTest {
protected:
    GeneratedSetLoading()
    {
        width = 128;
        height = 96;
    }

    // Loads everything the demo loads from the generated set; returns standard error.
    std::string loadAll()
    {
        std::string failure;
        std::string root = generatedDataSet(&failure);
        if (root.empty()) return "no data set: " + failure;
        WorkingFolder inside(root);
        StderrCapture capture;
        drawLoadingPicture();
        taken = loadScenesAndPictures();
        return capture.finish();
    }

    PicturePrefetch::Counts taken;

    // Share of pixels of the frame in the rectangle that are near colour c.
    double shareNear(int x0, int y0, int x1, int y1, Rgb c, int tolerance = 24)
    {
        int hits = 0, all = 0;
        for (int y = y0; y < y1; ++y)
            for (int x = x0; x < x1; ++x, ++all)
                if (near(pixel(x, y), c, tolerance)) ++hits;
        return static_cast<double>(hits) / all;
    }
};

}  // namespace

TEST_F(GeneratedSetLoading, LoadsEveryPictureWithoutAMessageInOrderAndShowsTheLoadingCard)
{
    EXPECT_EQ(loadAll(), "");
    // drawLoadingPicture left the loading card in the frame: not a black screen.
    readFrame();
    EXPECT_LT(shareNear(0, 0, width, height, {0, 0, 0}, 12), 0.9);

    std::set<int> textures;
    size_t sprites = 0;
    for (const SpriteGroup* group : spriteGroupsInLoadingOrder())
        for (size_t i = 0; i < group->count; ++i) {
            ImageWrapper* sprite = *group->rows[i].slot;
            ASSERT_NE(sprite, nullptr) << group->rows[i].colour;
            EXPECT_NE(sprite->texture, 0) << group->rows[i].colour;
            textures.insert(sprite->texture);
            ++sprites;
        }
    // A texture of its own for every row of the table.
    EXPECT_EQ(sprites, pictureTableRows());
    EXPECT_EQ(textures.size(), sprites);
    // Every row after the loading picture's came from the pictures decoded
    // ahead, in the order they were decoded.
    const size_t loadingPicture = spriteGroupsInLoadingOrder().front()->count;
    EXPECT_EQ(taken.rows, sprites - loadingPicture);
    EXPECT_EQ(taken.inOrder, sprites - loadingPicture);
    EXPECT_EQ(taken.outOfOrder + taken.unlisted, 0u);
}

TEST_F(GeneratedSetLoading, OverlaysShowAtTheEdgesAndGrainBarelyTouchesTheFrame)
{
    ASSERT_EQ(loadAll(), "");
    const Rgb red{255, 0, 0};
    // Every overlay the scenes draw with drawMasked, over a red "scene".
    std::vector<ImageWrapper*> overlays = {sphereOverlay, blobOverlay};
    for (int i = 0; i < 17; ++i) overlays.push_back(slut[i]);
    for (int i = 0; i < 10; ++i) overlays.push_back(maskine[i]);
    for (int i = 0; i < 7; ++i) overlays.push_back(maskineFlash[i]);
    for (size_t k = 0; k < overlays.size(); ++k) {
        glClearColor(1, 0, 0, 1);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        glLoadIdentity();
        drawMasked(overlays[k]);
        readFrame();
        // The middle of the frame shows the scene; something covers part of the frame.
        EXPECT_GT(shareNear(width / 3, height / 3, 2 * width / 3, 2 * height / 3, red), 0.9) << "overlay " << k;
        EXPECT_LT(shareNear(0, 0, width, height, red), 0.99) << "overlay " << k;
    }
    // The grain, blended the way the schedule draws it, leaves a grey frame nearly as it was.
    glDisable(GL_DEPTH_TEST);
    for (ImageWrapper* grain : noise) {
        glClearColor(0.5f, 0.5f, 0.5f, 1);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        glLoadIdentity();
        grain->drawBlended();
        readFrame();
        EXPECT_GT(shareNear(0, 0, width, height, {128, 128, 128}, 16), 0.9);
    }
    glClearColor(0, 0, 0, 0);
}
