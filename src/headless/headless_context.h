// An OpenGL compatibility context with no window: EGL on Mesa's surfaceless
// platform, drawing into a framebuffer object of a fixed size.
#pragma once

#include <string>
#include <vector>

class HeadlessContext {
public:
    // Makes the context current with a width x height RGBA8 + depth 24 target.
    // On failure ok() is false and error() says why.
    HeadlessContext(int width, int height);
    ~HeadlessContext();
    HeadlessContext(const HeadlessContext&) = delete;
    HeadlessContext& operator=(const HeadlessContext&) = delete;

    bool ok() const { return error_.empty(); }
    const std::string& error() const { return error_; }
    int width() const { return width_; }
    int height() const { return height_; }

    // The frame as 8-bit RGB, top row first.
    std::vector<unsigned char> readRgb() const;

private:
    int width_;
    int height_;
    std::string error_;
    void* display_ = nullptr;
    void* context_ = nullptr;
    unsigned framebuffer_ = 0;
    unsigned colour_ = 0;
    unsigned depth_ = 0;
};
