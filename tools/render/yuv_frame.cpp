#include "yuv_frame.h"

#include <cstring>

namespace {

// ITU-R BT.709 video-range coefficients in 16-bit fixed point (Y: 219/255 of
// the full-range weights 0.2126, 0.7152, 0.0722; U and V: 224/255 of theirs).
// The U and V weights each sum to 0, so grey has no colour.
const int Y_R = 11966, Y_G = 40254, Y_B = 4064;
const int U_R = -6596, U_G = -22188, U_B = 28784;
const int V_R = 28784, V_G = -26145, V_B = -2639;

inline unsigned char luma(const unsigned char* p)
{
    return static_cast<unsigned char>((Y_R * p[0] + Y_G * p[1] + Y_B * p[2] + (16 << 16) + (1 << 15)) >> 16);
}

}  // namespace

YuvFrameMaker::YuvFrameMaker(int frameWidth, int frameHeight, PictureArea area)
    : width_(frameWidth), height_(frameHeight), area_(area)
{
    const size_t lumaBytes = static_cast<size_t>(width_) * height_;
    frame_.resize(lumaBytes + lumaBytes / 2);
    blackRow_.assign(static_cast<size_t>(width_) * 4, 0);
    for (std::vector<unsigned char>& row : rows_) row = blackRow_;
}

const unsigned char* YuvFrameMaker::frameRow(const unsigned char* bottomUpRgba, int y, int slot)
{
    if (y < area_.y || y >= area_.y + area_.height) return blackRow_.data();
    const unsigned char* picture = bottomUpRgba +
                                   static_cast<size_t>(area_.height - 1 - (y - area_.y)) * area_.width * 4;
    if (area_.x == 0 && area_.width == width_) return picture;
    // The sides of the assembled rows stay black from the start.
    std::memcpy(rows_[slot].data() + static_cast<size_t>(area_.x) * 4, picture, static_cast<size_t>(area_.width) * 4);
    return rows_[slot].data();
}

const std::vector<unsigned char>& YuvFrameMaker::make(const unsigned char* bottomUpRgba)
{
    const size_t lumaBytes = static_cast<size_t>(width_) * height_;
    unsigned char* const yPlane = frame_.data();
    unsigned char* const uPlane = yPlane + lumaBytes;
    unsigned char* const vPlane = uPlane + lumaBytes / 4;
    const int halfWidth = width_ / 2;
    for (int y = 0; y < height_; y += 2) {
        const unsigned char* top = frameRow(bottomUpRgba, y, 0);
        const unsigned char* bottom = frameRow(bottomUpRgba, y + 1, 1);
        unsigned char* yTop = yPlane + static_cast<size_t>(y) * width_;
        unsigned char* yBottom = yTop + width_;
        unsigned char* u = uPlane + static_cast<size_t>(y / 2) * halfWidth;
        unsigned char* v = vPlane + static_cast<size_t>(y / 2) * halfWidth;
        for (int i = 0; i < halfWidth; ++i) {
            const unsigned char* a = top + 8 * i;
            const unsigned char* b = bottom + 8 * i;
            yTop[2 * i] = luma(a);
            yTop[2 * i + 1] = luma(a + 4);
            yBottom[2 * i] = luma(b);
            yBottom[2 * i + 1] = luma(b + 4);
            const int r = a[0] + a[4] + b[0] + b[4];
            const int g = a[1] + a[5] + b[1] + b[5];
            const int bl = a[2] + a[6] + b[2] + b[6];
            // Sums of four pixels: two more bits to shift, and 128 + 0.5 to add.
            u[i] = static_cast<unsigned char>((U_R * r + U_G * g + U_B * bl + (128 << 18) + (1 << 17)) >> 18);
            v[i] = static_cast<unsigned char>((V_R * r + V_G * g + V_B * bl + (128 << 18) + (1 << 17)) >> 18);
        }
    }
    return frame_;
}
