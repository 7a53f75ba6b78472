// The fixture of the scene GL tests: a GL test that runs inside a temporary
// folder whose data/ holds pictures made by the test, so the real scene
// loaders load them; overlay sprites that cover one known corner of the
// window; and measurements of the frame.
#pragma once

#include "files.h"
#include "gl_fixture.h"

#include "image/image_wrapper.h"

#include <GL/gl.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

class SceneGlTest : public GlTest {
protected:
    // The loaders run in the folder: "data/..." is the test's own pictures.
    // The depth test is on, as the first masked overlay of the programme (in
    // the twist column, 10655 ms) leaves it for every later frame.
    void SetUp() override
    {
        GlTest::SetUp();
        std::filesystem::create_directory(folder / "data");
        std::filesystem::current_path(folder.path());
        glEnable(GL_DEPTH_TEST);
    }

    void TearDown() override
    {
        std::filesystem::current_path(previousFolder);
        GlTest::TearDown();
    }

    // A 16 x 16 picture under data/: one colour, or, with `inside`, the colour
    // only where inside(x, y) holds and black elsewhere.
    void picture(const std::string& name, Rgb colour, const std::function<bool(int, int)>& inside = nullptr)
    {
        std::vector<unsigned char> pixels(16 * 16 * 3, 0);
        for (int i = 0; i < 256; ++i) {
            if (inside && !inside(i % 16, i / 16)) continue;
            pixels[i * 3] = colour.r, pixels[i * 3 + 1] = colour.g, pixels[i * 3 + 2] = colour.b;
        }
        writeJpeg(folder / ("data/" + name), 16, 16, pixels);
    }

    int count(const std::function<bool(Rgb)>& test) const
    {
        int n = 0;
        for (int i = 0; i < width * height; ++i) n += test(pixel(i % width, i / width));
        return n;
    }

    // With SKARVELIN_SNAPSHOTS set, keeps the frame read last as a PPM in that folder, to look at.
    void snapshot(const std::string& name) const
    {
        const char* dir = std::getenv("SKARVELIN_SNAPSHOTS");
        FILE* out = dir ? fopen((std::string(dir) + "/" + name + ".ppm").c_str(), "wb") : nullptr;
        if (!out) return;
        fprintf(out, "P6\n%d %d\n255\n", width, height);
        fwrite(frame.data(), 1, frame.size(), out);
        fclose(out);
    }

    TempDir folder;
    std::filesystem::path previousFolder = std::filesystem::current_path();
};

// Opacity pictures: white in the leftmost quarter, or a disc touching the edges.
inline bool leftQuarter(int x, int)
{
    return x < 4;
}
inline bool disc(int x, int y)
{
    return (x - 7.5f) * (x - 7.5f) + (y - 7.5f) * (y - 7.5f) <= 49;
}

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
