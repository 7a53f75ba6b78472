// Helpers for rendering a scene's frames in a test: the scene's pictures as
// small one-colour JPEG files loaded by its own loader, overlay sprites that
// cover one known corner of the window, and measurements of the frame.
#pragma once

#include "files.h"
#include "gl_fixture.h"

#include "image/image_wrapper.h"

#include <GL/gl.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

// A folder holding data/ with pictures; runs a loader from inside it.
class SceneData {
public:
    SceneData() { std::filesystem::create_directories(dir_ / "data"); }

    void solid(const std::string& name, Rgb colour)
    {
        writeSolidJpeg(dir_ / ("data/" + name), 16, 16, colour.r, colour.g, colour.b);
    }

    void load(void (*loader)(PicturePrefetch*))
    {
        char previous[4096];
        ASSERT_NE(getcwd(previous, sizeof previous), nullptr);
        ASSERT_EQ(chdir(dir_.path().c_str()), 0);
        loader(nullptr);
        ASSERT_EQ(chdir(previous), 0);
    }

private:
    TempDir dir_;
};

// A 4 x 2 RGBA texture, opaque only in the texel (column, row) and fully
// transparent elsewhere: drawn full-screen with the alpha test it covers one
// eighth of the window, row 0 being the top.
inline GLuint cornerTexture(Rgb colour, int column, int row)
{
    unsigned char texels[2][4][4] = {};
    texels[row][column][0] = static_cast<unsigned char>(colour.r);
    texels[row][column][1] = static_cast<unsigned char>(colour.g);
    texels[row][column][2] = static_cast<unsigned char>(colour.b);
    texels[row][column][3] = 255;
    GLuint name = 0;
    glGenTextures(1, &name);
    glBindTexture(GL_TEXTURE_2D, name);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, 4, 2, 0, GL_RGBA, GL_UNSIGNED_BYTE, texels);
    glBindTexture(GL_TEXTURE_2D, 0);
    return name;
}

// A full-screen overlay sprite, as the catalogue makes them.
inline ImageWrapper* overlaySprite(GLuint texture)
{
    ImageWrapper* sprite = new ImageWrapper();
    sprite->texture = static_cast<int>(texture);
    placeOnScreen(sprite);
    return sprite;
}

inline int brightness(Rgb c)
{
    return std::max({c.r, c.g, c.b});
}
