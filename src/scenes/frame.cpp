#include "scenes/frame.h"

ImageWrapper* loading = nullptr;
ImageWrapper* noise[2] = {};

namespace {

const SpriteRow loadingPicture[] = {
    {&loading, "data/loading.jpg", nullptr, true},
};

const SpriteRow framePictures[] = {
    {&noise[0], "data/nois1.jpg", "data/nois1.jpg", true},
    {&noise[1], "data/nois2.jpg", "data/nois2.jpg", true},
};

}  // namespace

const SpriteGroup LOADING_SPRITES = spriteGroup("loading", loadingPicture);
const SceneUnit FRAME_UNIT = SceneUnit{"frame", nullptr, 0, spriteGroup("frame", framePictures), nullptr};
