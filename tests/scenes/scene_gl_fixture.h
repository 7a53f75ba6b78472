// A GL test that runs inside a temporary folder whose data/ holds pictures
// made by the test, so the real scene loaders can load them.
#pragma once

#include "files.h"
#include "gl_fixture.h"

#include <GL/gl.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

class SceneGlTest : public GlTest {
protected:
    void SetUp() override
    {
        GlTest::SetUp();
        std::filesystem::create_directory(folder / "data");
        std::filesystem::current_path(folder.path());
        glEnable(GL_DEPTH_TEST);  // as the first masked overlay of the programme leaves it
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
inline bool leftQuarter(int x, int) { return x < 4; }
inline bool disc(int x, int y) { return (x - 7.5f) * (x - 7.5f) + (y - 7.5f) * (y - 7.5f) <= 49; }
