// The loading sequence, less the sound and the buffer swap, which the demo
// does itself; the renderer runs the same steps headless.
#pragma once

#include "image/picture_prefetch.h"

#include <string>
#include <vector>

struct SpriteGroup;

// The soundtrack, read whole by the demo and muxed into videos by the
// renderer; named as the picture table names the pictures (dataFile gives
// the file in the data folder in use).
extern const char* const MUSIC_PATH;

// Every group of pictures in loading order: the loading picture's, then
// those of the loaders in the order they run.
std::vector<const SpriteGroup*> spriteGroupsInLoadingOrder();

// Clears, creates the loading picture, puts it full-screen and draws it.
void drawLoadingPicture();

// The scene loaders in their fixed order, then the image catalogue, their
// pictures decoded ahead on worker threads. Tells how the loaders took their
// pictures: every row in order, when the loaders create the groups their
// steps name. betweenPictures, when given, is called between pictures and
// while one is waited for (see PicturePrefetch), and between the loaders.
PicturePrefetch::Counts loadScenesAndPictures(void (*betweenPictures)() = nullptr);
