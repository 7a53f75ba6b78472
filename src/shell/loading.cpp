#include "shell/loading.h"

#include "image/catalogue.h"
#include "image/image_wrapper.h"
#include "image/jpeg_texture.h"
#include "image/picture_table.h"
#include "scenes/bitmap_scene.h"
#include "scenes/sphere_scenes.h"
#include "scenes/spike_scene.h"
#include "scenes/tunnel_scene.h"
#include "scenes/twist_scenes.h"

#include <GL/gl.h>

const char* const MUSIC_PATH = "data/music.mp3";

namespace {

// One step of loading: a loader and the group of pictures it creates. The
// order of the steps is the loading order, of the loaders' calls and of the
// pictures decoded ahead of them alike.
struct LoadingStep {
    const SpriteGroup* sprites;
    void (*load)(PicturePrefetch* pictures);
};

// The scene loaders in their fixed order, then the image catalogue.
const LoadingStep LOADING_STEPS[] = {
    {&TWIST_SPRITES, loadTwistScene},         {&TUNNEL_SPRITES, loadTunnelScene}, {&BLOB_SPRITES, loadBlobScene},
    {&SPHERES_SPRITES, loadSpheresScene},     {&BITMAP_SPRITES, loadBitmapScene}, {&SPIKE_SPRITES, loadSpikeScene},
    {&CATALOGUE_SPRITES, loadImageCatalogue},
};

}  // namespace

std::vector<const SpriteGroup*> spriteGroupsInLoadingOrder()
{
    std::vector<const SpriteGroup*> groups = {&LOADING_SPRITES};
    for (const LoadingStep& step : LOADING_STEPS) groups.push_back(step.sprites);
    return groups;
}

void drawLoadingPicture()
{
    glLoadIdentity();
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    createSprites(LOADING_SPRITES);
    loading->draw();
}

PicturePrefetch::Counts loadScenesAndPictures(void (*betweenPictures)())
{
    // The loading picture is already on screen.
    const std::vector<const SpriteGroup*> groups = spriteGroupsInLoadingOrder();
    PicturePrefetch prefetch({groups.begin() + 1, groups.end()}, maxTextureSide(), betweenPictures);
    for (const LoadingStep& step : LOADING_STEPS) {
        step.load(&prefetch);
        if (betweenPictures) betweenPictures();
    }
    return prefetch.counts();
}
