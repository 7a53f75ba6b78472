#include "shell/loading.h"

#include "image/catalogue.h"
#include "image/image_wrapper.h"
#include "image/jpeg_texture.h"
#include "image/picture_prefetch.h"
#include "image/picture_table.h"
#include "scenes/bitmap_scene.h"
#include "scenes/sphere_scenes.h"
#include "scenes/spike_scene.h"
#include "scenes/tunnel_scene.h"
#include "scenes/twist_scenes.h"

#include <GL/gl.h>

const char* const MUSIC_PATH = "data/music.mp3";

void drawLoadingPicture()
{
    glLoadIdentity();
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    createSprites(LOADING_SPRITES);
    loading->draw();
}

void loadScenesAndPictures()
{
    // Every group after the loading picture, which is already on screen.
    const size_t groups = sizeof ALL_SPRITE_GROUPS / sizeof ALL_SPRITE_GROUPS[0];
    PicturePrefetch prefetch(ALL_SPRITE_GROUPS + 1, groups - 1, maxTextureSide());
    loadTwistScene();
    loadTunnelScene();
    loadBlobScene();
    loadSpheresScene();
    loadBitmapScene();
    loadSpikeScene();
    loadImageCatalogue();
}
