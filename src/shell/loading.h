// The loading sequence, less the sound and the buffer swap, which the demo
// does itself; the renderer runs the same steps headless.
#pragma once

#include "image/picture_prefetch.h"

#include <string>
#include <vector>

struct SpriteGroup;

// The soundtrack, read whole by the demo and muxed into videos by the
// renderer; named as the scenes name their pictures (dataFile gives
// the file in the data folder in use).
extern const char* const MUSIC_PATH;

// Every group of pictures in loading order: the loading picture's, then
// each scene's in the programme's order (shell/programme.h).
std::vector<const SpriteGroup*> spriteGroupsInLoadingOrder();

// Clears, creates the loading picture, puts it full-screen and draws it.
void drawLoadingPicture();

// Each scene of the programme in its order: its loader, or its pictures
// created directly when it has none, the pictures decoded ahead on worker
// threads. Tells how the loaders took their pictures: every row in order,
// when each loader creates its scene's group. betweenPictures, when given, is called between pictures and
// while one is waited for (see PicturePrefetch), and between the loaders.
PicturePrefetch::Counts loadScenesAndPictures(void (*betweenPictures)() = nullptr);
