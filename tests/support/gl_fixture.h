// A GoogleTest fixture with a headless OpenGL context in the demo's start-up state.
#pragma once

#include "headless_context.h"

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
};

// True when every channel of a is within tolerance of b.
bool near(Rgb a, Rgb b, int tolerance = 8);
std::ostream& operator<<(std::ostream& out, Rgb c);
