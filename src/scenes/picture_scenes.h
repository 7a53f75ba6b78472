// The three scenes that show nothing but full-screen pictures.
#pragma once

#include "scenes/scene_unit.h"

#include <cstddef>
#include <cstdint>

extern ImageWrapper* hearing[2];
extern ImageWrapper* code[4];
extern ImageWrapper* gfx[4];
extern ImageWrapper* msx[4];
// "pause" itself is taken by the C library (unistd.h).
extern ImageWrapper* pausePicture[2];
extern ImageWrapper* soya[7];

extern const SceneUnit TITLE_UNIT;
extern const SceneUnit CREDITS_UNIT;
extern const SceneUnit SLIDESHOW_UNIT;

void hearingScene(uint32_t t);
void creditsScene(uint32_t t);
void soyaScene(uint32_t t);

// A row of a picture sequence: from first to last (both inclusive) the row's
// picture is shown. Rows are tested in order; the first that holds t wins.
struct PictureWindow {
    uint32_t first;
    uint32_t last;
    int picture;  // an index into the sequence's slot array, or FLICKER_PICTURE
};

// No picture at this t.
constexpr int NO_PICTURE = -1;
// The picture chosen by the two lowest bits of t (t & 3).
constexpr int FLICKER_PICTURE = -2;

// The picture the rows give at t, or otherwise when no row holds t.
int pictureAt(const PictureWindow* rows, size_t count, uint32_t t, int otherwise);

// Which picture each sequence shows at t (NO_PICTURE for none).
int hearingIndex(uint32_t t);
int codeIndex(uint32_t t);
int gfxIndex(uint32_t t);
int msxIndex(uint32_t t);
int pauseIndex(uint32_t t);
int soyaIndex(uint32_t t);
// True where the credits black out the lower half of the window.
bool clearsLowerHalf(uint32_t t);
