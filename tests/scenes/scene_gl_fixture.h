// A GL test that runs inside a temporary folder whose data/ holds pictures
// made by the test, so the real scene loaders can load them.
#pragma once

#include "files.h"
#include "gl_fixture.h"

#include <GL/gl.h>
#include <unistd.h>

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
        previousFolder = std::filesystem::current_path();
        std::filesystem::create_directory(folder / "data");
        std::filesystem::current_path(folder.path());
    }

    void TearDown() override
    {
        std::filesystem::current_path(previousFolder);
        GlTest::TearDown();
    }

    // 16 x 16 pictures under data/.
    void solid(const std::string& name, int r, int g, int b) { writeSolidJpeg(folder / ("data/" + name), 16, 16, r, g, b); }

    // White in the leftmost quarter, black elsewhere: an opacity picture.
    void leftQuarter(const std::string& name)
    {
        std::vector<unsigned char> pixels(16 * 16 * 3, 0);
        for (int y = 0; y < 16; ++y)
            for (int x = 0; x < 4; ++x)
                for (int c = 0; c < 3; ++c) pixels[(y * 16 + x) * 3 + c] = 255;
        writeJpeg(folder / ("data/" + name), 16, 16, pixels);
    }

    // A disc of the given colour on black, touching the picture's edges.
    void disc(const std::string& name, int r, int g, int b)
    {
        std::vector<unsigned char> pixels(16 * 16 * 3, 0);
        for (int y = 0; y < 16; ++y)
            for (int x = 0; x < 16; ++x) {
                const float dx = x - 7.5f, dy = y - 7.5f;
                if (dx * dx + dy * dy > 49) continue;
                unsigned char* p = &pixels[(y * 16 + x) * 3];
                p[0] = static_cast<unsigned char>(r);
                p[1] = static_cast<unsigned char>(g);
                p[2] = static_cast<unsigned char>(b);
            }
        writeJpeg(folder / ("data/" + name), 16, 16, pixels);
    }

    int count(const std::function<bool(Rgb)>& test) const
    {
        int n = 0;
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x) n += test(pixel(x, y)) ? 1 : 0;
        return n;
    }

    // With SKARVELIN_SNAPSHOTS set, keeps the frame read last as a PPM in that folder.
    void snapshot(const std::string& name) const
    {
        const char* dir = std::getenv("SKARVELIN_SNAPSHOTS");
        if (!dir) return;
        FILE* out = fopen((std::string(dir) + "/" + name + ".ppm").c_str(), "wb");
        if (!out) return;
        fprintf(out, "P6\n%d %d\n255\n", width, height);
        fwrite(frame.data(), 1, frame.size(), out);
        fclose(out);
    }

    TempDir folder;
    std::filesystem::path previousFolder;
};
