#include "scenes/picture_scenes.h"

#include "image/image_wrapper.h"
#include "programme/screen.h"

#include <GL/gl.h>

ImageWrapper* hearing[2] = {};
ImageWrapper* code[4] = {};
ImageWrapper* gfx[4] = {};
ImageWrapper* msx[4] = {};
ImageWrapper* pausePicture[2] = {};
ImageWrapper* soya[7] = {};

namespace {

const SpriteRow titlePictures[] = {
    {&hearing[0], "data/hearing1.jpg", nullptr, true},
    {&hearing[1], "data/hearing2.jpg", nullptr, true},
};

const SpriteRow creditsPictures[] = {
    {&code[0], "data/code1.jpg", nullptr, true},
    {&code[1], "data/code2.jpg", nullptr, true},
    {&code[2], "data/code3.jpg", nullptr, true},
    {&code[3], "data/code4.jpg", nullptr, true},
    {&gfx[0], "data/gfx1.jpg", nullptr, true},
    {&gfx[1], "data/gfx2.jpg", nullptr, true},
    {&gfx[2], "data/gfx3.jpg", nullptr, true},
    {&gfx[3], "data/gfx4.jpg", nullptr, true},
    {&msx[0], "data/msx1.jpg", nullptr, true},
    {&msx[1], "data/msx2.jpg", nullptr, true},
    {&msx[2], "data/msx3.jpg", nullptr, true},
    {&msx[3], "data/msx4.jpg", nullptr, true},
    {&pausePicture[0], "data/pause1.jpg", nullptr, true},
    {&pausePicture[1], "data/pause2.jpg", nullptr, true},
};

const SpriteRow slideshowPictures[] = {
    {&soya[0], "data/soya1.jpg", nullptr, true}, {&soya[1], "data/soya2.jpg", nullptr, true},
    {&soya[2], "data/soya3.jpg", nullptr, true}, {&soya[3], "data/soya4.jpg", nullptr, true},
    {&soya[4], "data/soya5.jpg", nullptr, true}, {&soya[5], "data/soya6.jpg", nullptr, true},
    {&soya[6], "data/soya7.jpg", nullptr, true},
};

const ScheduleRow titleWindows[] = {
    {1, 3559, "title", hearingScene, nullptr, nullptr, nullptr},
};

const ScheduleRow creditsWindows[] = {
    {3651, 10650, "credits", creditsScene, nullptr, nullptr, nullptr},
};

const ScheduleRow slideshowWindows[] = {
    {46158, 51502, "slideshow", soyaScene, nullptr, nullptr, nullptr},
};

}  // namespace

const SceneUnit TITLE_UNIT = sceneUnit("title", titleWindows, titlePictures);
const SceneUnit CREDITS_UNIT = sceneUnit("credits", creditsWindows, creditsPictures);
const SceneUnit SLIDESHOW_UNIT = sceneUnit("slideshow", slideshowWindows, slideshowPictures);

namespace {

// The credits: four blocks, each its own range of t. The single milliseconds
// between rows (3900, 4462, 4795, 5015, 5448, ...) show no credit at all.
const PictureWindow CODE_WINDOWS[] = {
    {3651, 3899, 0}, {3901, 4461, 1}, {4463, 4794, 2}, {4796, 5014, 3}, {5016, 5447, FLICKER_PICTURE},
};

const PictureWindow GFX_WINDOWS[] = {
    {5449, 5684, 0}, {5686, 6239, 1}, {6241, 6572, 2}, {6574, 6794, 3}, {6796, 7236, FLICKER_PICTURE},
};

const PictureWindow MSX_WINDOWS[] = {
    {7238, 7460, 0}, {7462, 8014, 1}, {8016, 8347, 2}, {8349, 8570, 3}, {8572, 8995, FLICKER_PICTURE},
};

// From 10125 to the end of the credits' window nothing is drawn.
const PictureWindow PAUSE_WINDOWS[] = {
    {8997, 9238, 0},
    {9239, 10124, 1},
};

// The lower half of the second pause picture is blacked out here.
const PictureWindow LOWER_HALF_CLEAR = {9792, 10124, 0};

// Every t outside these rows shows soya1, also the single milliseconds
// 47537, 48426, 49308, 50198 and 51087 between them.
const PictureWindow SOYA_WINDOWS[] = {
    {46652, 47536, 1}, {47538, 48425, 2}, {48427, 49307, 3},
    {49309, 50197, 4}, {50199, 51086, 5}, {51088, UINT32_MAX, 6},
};

template <size_t N>
int pictureAt(const PictureWindow (&rows)[N], uint32_t t, int otherwise)
{
    return pictureAt(rows, N, t, otherwise);
}

void drawPicture(ImageWrapper* const* pictures, int index)
{
    if (index != NO_PICTURE) pictures[index]->draw();
}

}  // namespace

int pictureAt(const PictureWindow* rows, size_t count, uint32_t t, int otherwise)
{
    for (size_t i = 0; i < count; ++i) {
        const PictureWindow& row = rows[i];
        if (row.first <= t && t <= row.last)
            return row.picture == FLICKER_PICTURE ? static_cast<int>(t & 3) : row.picture;
    }
    return otherwise;
}

// The lowest bit of t picks the picture, so the two alternate with the frame times.
int hearingIndex(uint32_t t)
{
    return static_cast<int>(t & 1);
}
int codeIndex(uint32_t t)
{
    return pictureAt(CODE_WINDOWS, t, NO_PICTURE);
}
int gfxIndex(uint32_t t)
{
    return pictureAt(GFX_WINDOWS, t, NO_PICTURE);
}
int msxIndex(uint32_t t)
{
    return pictureAt(MSX_WINDOWS, t, NO_PICTURE);
}
int pauseIndex(uint32_t t)
{
    return pictureAt(PAUSE_WINDOWS, t, NO_PICTURE);
}
int soyaIndex(uint32_t t)
{
    return pictureAt(SOYA_WINDOWS, t, 0);
}

bool clearsLowerHalf(uint32_t t)
{
    return LOWER_HALF_CLEAR.first <= t && t <= LOWER_HALF_CLEAR.last;
}

void hearingScene(uint32_t t)
{
    drawPicture(hearing, hearingIndex(t));
}

void creditsScene(uint32_t t)
{
    drawPicture(code, codeIndex(t));
    drawPicture(gfx, gfxIndex(t));
    drawPicture(msx, msxIndex(t));
    drawPicture(pausePicture, pauseIndex(t));
    if (clearsLowerHalf(t)) {
        // Only colour: the depth buffer is left alone.
        glEnable(GL_SCISSOR_TEST);
        scissorInPicture(0, 0, windowWidth, windowHeight / 2);
        glClear(GL_COLOR_BUFFER_BIT);
        glDisable(GL_SCISSOR_TEST);
    }
}

void soyaScene(uint32_t t)
{
    drawPicture(soya, soyaIndex(t));
}
