#include "broken_files.h"
#include "files.h"
#include "image/jpeg_texture.h"
#include "stderr_capture.h"

#include <gtest/gtest.h>
#include <jpeglib.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

namespace {

struct Picture {
    int width = 0;
    int height = 0;
    int channels = 0;
    std::vector<unsigned char> bytes;
};

// A smooth picture with a different colour in every corner, so rows, columns
// and channels cannot be mixed up without showing.
Picture gradient(int width, int height)
{
    Picture p{width, height, 3, {}};
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            p.bytes.push_back(static_cast<unsigned char>(20 + 200 * x / (width - 1)));
            p.bytes.push_back(static_cast<unsigned char>(230 - 200 * y / (height - 1)));
            p.bytes.push_back(static_cast<unsigned char>(60 + 60 * (x + y) / (width + height - 2)));
        }
    return p;
}

void writePnm(const std::string& path, const Picture& p)
{
    std::string text = (p.channels == 3 ? "P6\n" : "P5\n") + std::to_string(p.width) + " " +
                       std::to_string(p.height) + "\n255\n";
    text.append(reinterpret_cast<const char*>(p.bytes.data()), p.bytes.size());
    writeFile(path, text);
}

// Reads a binary PPM or PGM as written by djpeg.
Picture readPnm(const std::string& path)
{
    const std::string text = readFile(path);
    Picture p;
    int maxValue = 0, consumed = 0;
    char kind = 0;
    if (sscanf(text.c_str(), "P%c %d %d %d%n", &kind, &p.width, &p.height, &maxValue, &consumed) != 4)
        return Picture{};
    p.channels = kind == '6' ? 3 : 1;
    const size_t size = static_cast<size_t>(p.width) * p.height * p.channels;
    p.bytes.assign(text.begin() + consumed + 1, text.begin() + consumed + 1 + size);
    return p;
}

int run(const std::string& command)
{
    return std::system((command + " 2>/dev/null").c_str());
}

struct Decoded {
    std::unique_ptr<unsigned char, decltype(&free)> pixels{nullptr, &free};
    int width = -7;
    int height = -7;
};

Decoded decode(const std::string& path)
{
    Decoded d;
    d.pixels.reset(loadJpeg(path.c_str(), &d.width, &d.height));
    return d;
}

// Sets the picture size in a frame header (SOF0, SOF1 or SOF2 marker).
}  // namespace

// Files made by cjpeg in the variants real pictures come in decode to exactly
// what the library's own djpeg makes of them: full size, top row first, RGB.
TEST(JpegDecode, RealVariantsDecodeLikeTheLibrarysOwnDecoder)
{
    TempDir dir;
    const Picture source = gradient(23, 17);  // odd sizes: partial blocks at the right and bottom
    writePnm(dir / "source.ppm", source);

    const char* variants[] = {"-baseline", "-progressive", "-arithmetic", "-restart 1",
                              "-sample 2x2", "-sample 1x1", "-grayscale", "-progressive -grayscale",
                              "-optimize -quality 40"};
    for (const char* options : variants) {
        SCOPED_TRACE(options);
        const std::string jpeg = dir / "v.jpg";
        ASSERT_EQ(run("cjpeg " + std::string(options) + " -outfile " + jpeg + " " + (dir / "source.ppm")), 0);
        ASSERT_EQ(run("djpeg -pnm -outfile " + (dir / "ref.pnm") + " " + jpeg), 0);
        const Picture reference = readPnm(dir / "ref.pnm");
        ASSERT_EQ(reference.width, 23);

        const Decoded d = decode(jpeg);
        ASSERT_NE(d.pixels, nullptr);
        EXPECT_EQ(d.width, 23);
        EXPECT_EQ(d.height, 17);
        const unsigned char* px = d.pixels.get();
        int mismatches = 0, farOff = 0;
        for (size_t i = 0; i < static_cast<size_t>(23 * 17); ++i)
            for (int c = 0; c < 3; ++c) {
                const int want = reference.bytes[i * reference.channels + (reference.channels == 3 ? c : 0)];
                if (px[i * 3 + c] != want) ++mismatches;
                // Colour pictures also stay near the source; grey ones near nothing in particular.
                if (reference.channels == 3 && std::abs(px[i * 3 + c] - source.bytes[i * 3 + c]) > 40) ++farOff;
            }
        EXPECT_EQ(mismatches, 0);
        EXPECT_EQ(farOff, 0);
    }
}

// Files that are cut short, or whose colours cannot be had as RGB, give null
// and the decoder carries on with the next file; the width and height of a
// file that cannot be opened are left alone. (Empty, random, text and folder
// inputs are checked with their messages in the texture tests.)
TEST(JpegDecode, BrokenFilesGiveNull)
{
    TempDir dir;
    writePnm(dir / "source.ppm", gradient(32, 24));
    ASSERT_EQ(run("cjpeg -baseline -outfile " + (dir / "good.jpg") + " " + (dir / "source.ppm")), 0);
    ASSERT_EQ(run("cjpeg -progressive -outfile " + (dir / "prog.jpg") + " " + (dir / "source.ppm")), 0);
    const std::string good = readFile(dir / "good.jpg");
    const std::string progressive = readFile(dir / "prog.jpg");

    Decoded missing = decode(dir / "missing.jpg");
    EXPECT_EQ(missing.pixels, nullptr);
    EXPECT_EQ(missing.width, -7);
    EXPECT_EQ(missing.height, -7);

    writeFile(dir / "header-only.jpg", good.substr(0, 200));
    writeFile(dir / "no-end-marker.jpg", good.substr(0, good.size() - 2));
    writeFile(dir / "half-progressive.jpg", progressive.substr(0, progressive.size() / 2));
    writeJpeg(dir / "cmyk.jpg", 16, 16, std::vector<unsigned char>(16 * 16 * 4, 100), 4);
    for (const char* name : {"header-only.jpg", "no-end-marker.jpg", "half-progressive.jpg", "cmyk.jpg"}) {
        SCOPED_TRACE(name);
        EXPECT_EQ(decode(dir / name).pixels, nullptr);
    }

    const Decoded after = decode(dir / "good.jpg");
    ASSERT_NE(after.pixels, nullptr);
    EXPECT_EQ(after.width, 32);
    EXPECT_EQ(after.height, 24);
}

// A header that claims far more picture than the file holds is rejected
// without filling (or crashing on) the huge array it asks for: beyond the
// largest texture size at once, below it when the data runs out.
TEST(JpegDecode, HugeClaimedSizeIsRejected)
{
    TempDir dir;
    writePnm(dir / "source.ppm", gradient(16, 16));
    for (const char* options : {"-baseline", "-progressive"}) {
        ASSERT_EQ(run("cjpeg " + std::string(options) + " -outfile " + (dir / "small.jpg") + " " +
                      (dir / "source.ppm")),
                  0);
        for (int side : {65500, 16384}) {
            SCOPED_TRACE(std::string(options) + " " + std::to_string(side));
            std::string jpeg = readFile(dir / "small.jpg");
            ASSERT_TRUE(patchFrameSize(jpeg, side, side));
            writeFile(dir / "huge.jpg", jpeg);
            const Decoded d = decode(dir / "huge.jpg");
            EXPECT_EQ(d.pixels, nullptr);
        }
    }
}

// Stray bytes after the scan data make libjpeg warn; the picture is whole, so
// it is accepted, and the warning is not printed.
TEST(JpegDecode, StrayBytesBeforeTheEndMarkerStillDecodeQuietly)
{
    TempDir dir;
    writePnm(dir / "source.ppm", gradient(32, 32));
    ASSERT_EQ(run("cjpeg -baseline -outfile " + (dir / "good.jpg") + " " + (dir / "source.ppm")), 0);
    std::string jpeg = readFile(dir / "good.jpg");
    ASSERT_EQ(static_cast<unsigned char>(jpeg[jpeg.size() - 2]), 0xFF);
    jpeg.insert(jpeg.size() - 2, "\x12\x34\x56");
    writeFile(dir / "stray.jpg", jpeg);

    StderrCapture capture;
    const Decoded d = decode(dir / "stray.jpg");
    EXPECT_EQ(capture.finish(), "");
    ASSERT_NE(d.pixels, nullptr);
    const Decoded reference = decode(dir / "good.jpg");
    ASSERT_NE(reference.pixels, nullptr);
    EXPECT_TRUE(std::equal(d.pixels.get(), d.pixels.get() + 32 * 32 * 3, reference.pixels.get()));
}
