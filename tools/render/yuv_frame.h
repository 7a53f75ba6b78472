// Frames for the video encoder: 8-bit YUV 4:2:0 (yuv420p) made on the writer
// thread, so ffmpeg takes half the bytes of RGB and converts nothing.
#pragma once

#include "programme/screen.h"

#include <vector>

// Turns the picture, RGBA rows bottom row first as OpenGL reads them back,
// into a yuv420p frame of frameWidth x frameHeight (both even): the Y plane,
// then U and V at half size. The picture lies at area; the rest is black.
// Colours are ITU-R BT.709 at video range (Y 16-235), what players assume of
// HD video and what the video is tagged with, and each U and V sample is the
// mean of its 2x2 pixels.
class YuvFrameMaker {
public:
    YuvFrameMaker(int frameWidth, int frameHeight, PictureArea area);

    // Size in bytes of a frame.
    size_t frameBytes() const { return frame_.size(); }

    // Converts a picture; the frame stays valid until the next call.
    const std::vector<unsigned char>& make(const unsigned char* bottomUpRgba);

private:
    // The RGBA row of the frame at y: straight from the picture when the
    // picture fills the row, else assembled in a row with black sides.
    const unsigned char* frameRow(const unsigned char* bottomUpRgba, int y, int slot);

    const int width_;
    const int height_;
    const PictureArea area_;
    std::vector<unsigned char> frame_;
    std::vector<unsigned char> blackRow_;
    std::vector<unsigned char> rows_[2];
};
