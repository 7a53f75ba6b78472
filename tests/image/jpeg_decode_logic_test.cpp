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
    std::string warning;

    bool same(const Picture& p) const
    {
        return pixels && width == p.width && height == p.height && p.channels == 3 &&
               std::equal(p.bytes.begin(), p.bytes.end(), pixels.get());
    }
};

Decoded decode(const std::string& path, const JpegLimits& limits = JpegLimits())
{
    Decoded d;
    d.pixels.reset(loadJpeg(path.c_str(), &d.width, &d.height, limits, &d.warning));
    return d;
}

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

// Files that end before their first scan, or whose colours cannot be had as
// RGB, give null and the decoder carries on with the next file; the width and
// height of a file that cannot be opened are left alone. (Empty, random, text
// and folder inputs are checked with their messages in the texture tests.)
TEST(JpegDecode, BrokenFilesGiveNull)
{
    TempDir dir;
    writePnm(dir / "source.ppm", gradient(32, 24));
    ASSERT_EQ(run("cjpeg -baseline -outfile " + (dir / "good.jpg") + " " + (dir / "source.ppm")), 0);
    const std::string good = readFile(dir / "good.jpg");

    Decoded missing = decode(dir / "missing.jpg");
    EXPECT_EQ(missing.pixels, nullptr);
    EXPECT_EQ(missing.width, -7);
    EXPECT_EQ(missing.height, -7);

    writeFile(dir / "header-only.jpg", good.substr(0, 200));
    writeJpeg(dir / "cmyk.jpg", 16, 16, std::vector<unsigned char>(16 * 16 * 4, 100), 4);
    for (const char* name : {"header-only.jpg", "cmyk.jpg"}) {
        SCOPED_TRACE(name);
        EXPECT_EQ(decode(dir / name).pixels, nullptr);
    }

    const Decoded after = decode(dir / "good.jpg");
    ASSERT_NE(after.pixels, nullptr);
    EXPECT_EQ(after.width, 32);
    EXPECT_EQ(after.height, 24);
}

// Data that ends early decodes to exactly what djpeg makes of it (libjpeg's
// own fill for what is missing), with libjpeg's warning handed back, not
// printed. A file missing only its end marker has all its pixels.
TEST(JpegDecode, DataThatEndsEarlyDecodesAsTheLibraryDecodesIt)
{
    TempDir dir;
    writePnm(dir / "source.ppm", gradient(160, 120));
    for (const char* options : {"-baseline", "-progressive", "-arithmetic"}) {
        ASSERT_EQ(run("cjpeg " + std::string(options) + " -outfile " + (dir / "good.jpg") + " " + (dir / "source.ppm")),
                  0);
        const std::string good = readFile(dir / "good.jpg");
        const Decoded whole = decode(dir / "good.jpg");
        ASSERT_NE(whole.pixels, nullptr);
        EXPECT_EQ(whole.warning, "");
        for (size_t cut : {good.size() - 2, good.size() * 2 / 3, good.size() / 2}) {
            SCOPED_TRACE(std::string(options) + " cut at " + std::to_string(cut) + " of " +
                         std::to_string(good.size()));
            writeFile(dir / "cut.jpg", good.substr(0, cut));
            std::remove((dir / "ref.pnm").c_str());
            run("djpeg -pnm -outfile " + (dir / "ref.pnm") + " " + (dir / "cut.jpg"));
            StderrCapture capture;
            const Decoded d = decode(dir / "cut.jpg");
            EXPECT_EQ(capture.finish(), "");
            EXPECT_TRUE(d.same(readPnm(dir / "ref.pnm")));
            EXPECT_NE(d.warning, "");
            if (cut == good.size() - 2) {
                ASSERT_NE(d.pixels, nullptr);
                EXPECT_TRUE(std::equal(d.pixels.get(), d.pixels.get() + 160 * 120 * 3, whole.pixels.get()));
            }
        }
    }
}

// A picture is refused on its header, before its pixels are allocated, when
// a side is past the texture limit, its pixels are past the budget, or it is
// not the size asked for; and once its scans pass the scan limit. Up to each
// limit it decodes (a header that claims more than the data holds is filled
// in by libjpeg).
TEST(JpegDecode, PicturesPastTheLimitsAreRefused)
{
    TempDir dir;
    writePnm(dir / "source.ppm", gradient(16, 16));
    ASSERT_EQ(run("cjpeg -progressive -outfile " + (dir / "small.jpg") + " " + (dir / "source.ppm")), 0);
    const std::string small = readFile(dir / "small.jpg");
    auto claiming = [&](int width, int height) {
        std::string jpeg = small;
        EXPECT_TRUE(patchFrameSize(jpeg, width, height));
        writeFile(dir / "claim.jpg", jpeg);
        return dir / "claim.jpg";
    };
    const int budgetWidth = static_cast<int>(PICTURE_PIXEL_BUDGET / 4096);
    EXPECT_EQ(decode(claiming(65500, 65500)).pixels, nullptr);
    EXPECT_EQ(decode(claiming(budgetWidth + 1, 4096)).pixels, nullptr);
    EXPECT_NE(decode(claiming(budgetWidth, 4096)).pixels, nullptr);

    JpegLimits limits;
    limits.maxSide = 64;
    EXPECT_NE(decode(claiming(64, 16), limits).pixels, nullptr);
    EXPECT_EQ(decode(claiming(16, 65), limits).pixels, nullptr);
    limits.width = limits.height = 16;
    EXPECT_NE(decode(dir / "small.jpg", limits).pixels, nullptr);
    EXPECT_EQ(decode(claiming(16, 17), limits).pixels, nullptr);

    std::string scans = small;
    ASSERT_TRUE(appendEmptyScans(scans, PICTURE_SCAN_LIMIT - countScans(small)));
    writeFile(dir / "scans.jpg", scans);
    EXPECT_NE(decode(dir / "scans.jpg").pixels, nullptr);
    ASSERT_TRUE(appendEmptyScans(scans, 1));
    writeFile(dir / "scans.jpg", scans);
    EXPECT_EQ(decode(dir / "scans.jpg").pixels, nullptr);
}

// Stray bytes after the scan data make libjpeg warn; the picture is whole, so
// it is accepted as it is, and nothing is printed.
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
