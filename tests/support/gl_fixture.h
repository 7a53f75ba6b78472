// A GoogleTest fixture with a headless OpenGL context in the demo's start-up state.
#pragma once

#include "headless/headless_context.h"

#include <gtest/gtest.h>

#include <array>
#include <memory>

struct Rgb {
    int r, g, b;
};

class GlTest : public ::testing::Test {
protected:
    // Render size; tests may change it before SetUp runs (in their constructor).
    int width = 64;
    int height = 64;

    void SetUp() override;
    void TearDown() override;

    // Reads the frame back once; pixel coordinates have the top row at y = 0.
    void readFrame();
    Rgb pixel(int x, int y) const;

    std::unique_ptr<HeadlessContext> context;
    std::vector<unsigned char> frame;

private:
    // The band counts as found, put back after the test (some tests change them).
    int slicesY = 0;
    int slicesX = 0;
};

// A texture's level 0 read back as RGBA bytes (a luminance texture reads as
// (L, 0, 0, 255)), with room for at least one texel; format gets its internal format.
std::vector<unsigned char> readTextureRgba(int texture, int* format);

// True when every channel of a is within tolerance of b.
bool near(Rgb a, Rgb b, int tolerance = 8);
std::ostream& operator<<(std::ostream& out, Rgb c);
