#include "shell/loading.h"

#include "image/catalogue.h"
#include "image/image_wrapper.h"
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
    loadTwistScene();
    loadTunnelScene();
    loadBlobScene();
    loadSpheresScene();
    loadBitmapScene();
    loadSpikeScene();
    loadImageCatalogue();
}
