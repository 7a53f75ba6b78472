#include "shell/loading.h"

#include "image/create_sprites.h"
#include "image/image_wrapper.h"
#include "image/jpeg_texture.h"
#include "scenes/frame.h"
#include "shell/programme.h"

#include <GL/gl.h>

const char* const MUSIC_PATH = "data/music.mp3";

std::vector<const SpriteGroup*> spriteGroupsInLoadingOrder()
{
    std::vector<const SpriteGroup*> groups = {&LOADING_SPRITES};
    for (const SceneUnit* unit : programmeUnits()) groups.push_back(&unit->pictures);
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
    for (const SceneUnit* unit : programmeUnits()) {
        if (unit->load) unit->load(&prefetch);
        else createSprites(unit->pictures, &prefetch);
        if (betweenPictures) betweenPictures();
    }
    return prefetch.counts();
}
