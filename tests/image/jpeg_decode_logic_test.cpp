#include "broken_files.h"
#include "files.h"
#include "image/jpeg_texture.h"
#include "stderr_capture.h"

#include <gtest/gtest.h>
#include <jpeglib.h>

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <type_traits>
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
    std::string text = (p.channels == 3 ? "P6\n" : "P5\n") + std::to_string(p.width) + " " + std::to_string(p.height) +
                       "\n255\n";
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
    if (sscanf(text.c_str(), "P%c %d %d %d%n", &kind, &p.width, &p.height, &maxValue, &consumed) != 4) return Picture{};
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
};

Decoded decode(const std::string& path)
{
    Decoded d;
    d.pixels.reset(loadJpeg(path.c_str(), &d.width, &d.height, JpegLimits(), &d.warning));
    return d;
}

}  // namespace

// Files made by cjpeg in the variants real pictures come in decode to exactly
// what the library's own djpeg makes of them: full size, top row first, RGB.
// So do the same files without their end marker or cut short in their last
// scan: libjpeg fills what is missing, and its warning is handed back, not
// printed.
TEST(JpegDecode, RealVariantsWholeOrCutShortDecodeLikeTheLibrarysOwnDecoder)
{
    TempDir dir;
    const int w = 161, h = 121;  // odd sizes: partial blocks at the right and bottom
    const Picture source = gradient(w, h);
    writePnm(dir / "source.ppm", source);

    const char* variants[] = {"-baseline",
                              "-progressive",
                              "-arithmetic",
                              "-restart 1",
                              "-sample 2x2",
                              "-sample 1x1",
                              "-grayscale",
                              "-progressive -grayscale",
                              "-optimize -quality 40"};
    for (const char* options : variants) {
        const std::string jpeg = dir / "v.jpg";
        ASSERT_EQ(run("cjpeg " + std::string(options) + " -outfile " + jpeg + " " + (dir / "source.ppm")), 0);
        const std::string whole = readFile(jpeg);
        const size_t inTheLastScan = (whole.rfind("\xFF\xDA") + whole.size()) / 2;
        for (size_t length : {whole.size(), whole.size() - 2, inTheLastScan}) {
            SCOPED_TRACE(std::string(options) + ", " + std::to_string(length) + " bytes");
            writeFile(jpeg, whole.substr(0, length));
            std::remove((dir / "ref.pnm").c_str());
            run("djpeg -pnm -outfile " + (dir / "ref.pnm") + " " + jpeg);
            const Picture reference = readPnm(dir / "ref.pnm");
            ASSERT_EQ(reference.width, w);

            StderrCapture capture;
            const Decoded d = decode(jpeg);
            EXPECT_EQ(capture.finish(), "");
            EXPECT_EQ(d.warning.empty(), length == whole.size()) << d.warning;
            ASSERT_NE(d.pixels, nullptr);
            EXPECT_EQ(d.width, w);
            EXPECT_EQ(d.height, h);
            const unsigned char* px = d.pixels.get();
            int mismatches = 0, farOff = 0;
            for (size_t i = 0; i < static_cast<size_t>(w * h); ++i)
                for (int c = 0; c < 3; ++c) {
                    const int want = reference.bytes[i * reference.channels + (reference.channels == 3 ? c : 0)];
                    if (px[i * 3 + c] != want) ++mismatches;
                    // Whole colour pictures also stay near the source; grey ones near nothing in particular.
                    if (reference.channels == 3 && std::abs(px[i * 3 + c] - source.bytes[i * 3 + c]) > 40) ++farOff;
                }
            EXPECT_EQ(mismatches, 0);
            EXPECT_TRUE(farOff == 0 || length != whole.size());
        }
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

// Pairs that share an opacity file read it once into the decoder's scratch:
// each pair still gets its warnings, and a colour picture of another size is
// refused as decoding the opacity file again would refuse it.
TEST(JpegDecode, ASharedOpacityFileIsReadOnceAndStillWarnsAndRefusesEveryPair)
{
    TempDir dir;
    writeJpeg(dir / "a.jpg", 24, 16, gradient(24, 16).bytes);
    writeJpeg(dir / "wide.jpg", 32, 16, gradient(32, 16).bytes);
    const std::string whole = readFile(dir / "a.jpg");
    // Cut in its scan data: libjpeg warns and fills the rest.
    writeFile(dir / "cut.jpg", whole.substr(0, whole.size() - 40));
    const std::string a = dir / "a.jpg", wide = dir / "wide.jpg", cut = dir / "cut.jpg";

    OpacityScratch scratch;
    PreparedPicture first, again, refused, last;
    ASSERT_TRUE(preparePair(cut.c_str(), a.c_str(), 4096, first, scratch));
    EXPECT_EQ(scratch.path, cut);
    ASSERT_TRUE(preparePair(cut.c_str(), a.c_str(), 4096, again, scratch));
    EXPECT_EQ(first.notes.rfind(cut + ": ", 0), 0u) << first.notes;
    EXPECT_EQ(again.notes, first.notes);
    EXPECT_EQ(std::vector<unsigned char>(again.pixels.data(), again.pixels.data() + 24 * 16 * 4),
              std::vector<unsigned char>(first.pixels.data(), first.pixels.data() + 24 * 16 * 4));
    EXPECT_FALSE(preparePair(cut.c_str(), wide.c_str(), 4096, refused, scratch));
    EXPECT_EQ(refused.components, 0);
    EXPECT_TRUE(preparePair(cut.c_str(), a.c_str(), 4096, last, scratch));
    EXPECT_EQ(last.notes, first.notes);
}

// A prepared picture hands its pixels on when it moves and cannot be copied:
// the one it moved from holds nothing to free and takes the next picture
// into fresh room, and the one moved onto lets go of its own.
TEST(JpegDecode, APreparedPictureMovesItsPixelsOnAndKeepsNoCopy)
{
    static_assert(!std::is_copy_constructible_v<PreparedPicture> && !std::is_copy_assignable_v<PreparedPicture>,
                  "pixels have one owner");
    TempDir dir;
    writeJpeg(dir / "a.jpg", 24, 16, gradient(24, 16).bytes);
    const std::string a = dir / "a.jpg";

    PreparedPicture first;
    ASSERT_TRUE(preparePicture(a.c_str(), 4096, first));
    const unsigned char* const bytes = first.pixels.data();
    const std::vector<unsigned char> decoded(bytes, bytes + 24 * 16 * 4);
    PreparedPicture moved = std::move(first);
    EXPECT_EQ(moved.pixels.data(), bytes);
    EXPECT_EQ(moved.pixels.capacity(), 24u * 16 * 4);
    EXPECT_EQ(first.pixels.data(), nullptr);
    EXPECT_EQ(first.pixels.capacity(), 0u);

    ASSERT_TRUE(preparePicture(a.c_str(), 4096, first));
    EXPECT_EQ(std::vector<unsigned char>(first.pixels.data(), first.pixels.data() + decoded.size()), decoded);
    moved = std::move(first);
    EXPECT_EQ(first.pixels.data(), nullptr);
    EXPECT_EQ(std::vector<unsigned char>(moved.pixels.data(), moved.pixels.data() + decoded.size()), decoded);
}

// A camera photo over the pixel budget comes at half its size, exactly as
// `djpeg -scale 1/2` decodes it, up to four times the budget; the same photo
// saved progressive, and a single-scan picture past four times the budget
// (here a header that claims it), are refused on their headers.
TEST(JpegDecode, PhotosOverTheBudgetComeAtHalfSizeWhenTheyHaveOneScan)
{
    TempDir dir;
    const int w = 6001, h = 3001;  // 18 megapixels, odd: the half size rounds up
    ASSERT_GT(static_cast<size_t>(w) * h, PICTURE_PIXEL_BUDGET);
    writePnm(dir / "photo.ppm", gradient(w, h));
    ASSERT_EQ(run("cjpeg -quality 60 -outfile " + (dir / "photo.jpg") + " " + (dir / "photo.ppm")), 0);
    ASSERT_EQ(run("cjpeg -progressive -quality 60 -outfile " + (dir / "progressive.jpg") + " " + (dir / "photo.ppm")),
              0);
    ASSERT_EQ(run("djpeg -scale 1/2 -pnm -outfile " + (dir / "half.ppm") + " " + (dir / "photo.jpg")), 0);
    const Picture half = readPnm(dir / "half.ppm");
    ASSERT_EQ(half.width, 3001);
    ASSERT_EQ(half.height, 1501);

    const Decoded photo = decode(dir / "photo.jpg");
    ASSERT_NE(photo.pixels, nullptr);
    EXPECT_EQ(photo.width, half.width);
    EXPECT_EQ(photo.height, half.height);
    EXPECT_EQ(photo.warning, "");
    EXPECT_TRUE(std::equal(half.bytes.begin(), half.bytes.end(), photo.pixels.get()));
    EXPECT_EQ(decode(dir / "progressive.jpg").pixels, nullptr);

    // Headers claiming four times the budget and just past it.
    writePnm(dir / "small.ppm", gradient(16, 16));
    ASSERT_EQ(run("cjpeg -outfile " + (dir / "small.jpg") + " " + (dir / "small.ppm")), 0);
    const std::string small = readFile(dir / "small.jpg");
    for (int claimedHeight : {8192, 8193}) {
        std::string claimed = small;
        ASSERT_TRUE(patchFrameSize(claimed, 8192, claimedHeight));
        writeFile(dir / "claimed.jpg", claimed);
        const Decoded d = decode(dir / "claimed.jpg");
        EXPECT_EQ(d.pixels != nullptr, claimedHeight == 8192) << claimedHeight;
        if (d.pixels) {
            EXPECT_EQ(d.width, 4096);
            EXPECT_EQ(d.height, 4096);
        }
    }
}
