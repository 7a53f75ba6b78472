#include "files.h"
#include "gl_fixture.h"
#include "image/image_wrapper.h"
#include "image/jpeg_texture.h"
#include "stderr_capture.h"
#include "working_folder.h"

#include <GL/gl.h>
#include <sys/stat.h>

#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

namespace {

std::vector<unsigned char> solid(int width, int height, Rgb c)
{
    std::vector<unsigned char> pixels;
    for (int i = 0; i < width * height; ++i) {
        pixels.push_back(static_cast<unsigned char>(c.r));
        pixels.push_back(static_cast<unsigned char>(c.g));
        pixels.push_back(static_cast<unsigned char>(c.b));
    }
    return pixels;
}

void setPixel(std::vector<unsigned char>& pixels, int width, int x, int y, Rgb c)
{
    unsigned char* p = &pixels[(static_cast<size_t>(y) * width + x) * 3];
    p[0] = static_cast<unsigned char>(c.r);
    p[1] = static_cast<unsigned char>(c.g);
    p[2] = static_cast<unsigned char>(c.b);
}

std::vector<unsigned char> decoded(const std::string& path, int* width, int* height)
{
    std::unique_ptr<unsigned char, decltype(&free)> pixels(loadJpeg(path.c_str(), width, height), &free);
    if (!pixels) return {};
    return std::vector<unsigned char>(pixels.get(), pixels.get() + static_cast<size_t>(*width) * *height * 3);
}

GLint internalFormat(int texture)
{
    GLint format = 0;
    glBindTexture(GL_TEXTURE_2D, texture);
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_INTERNAL_FORMAT, &format);
    return format;
}

std::vector<unsigned char> textureBytes(int texture, GLenum format, int width, int height, int channels)
{
    std::vector<unsigned char> bytes(static_cast<size_t>(width) * height * channels);
    glBindTexture(GL_TEXTURE_2D, texture);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glGetTexImage(GL_TEXTURE_2D, 0, format, GL_UNSIGNED_BYTE, bytes.data());
    return bytes;
}

}  // namespace

using TextureTest = GlTest;

// An all-grey picture is uploaded as luminance from its red bytes; a single
// coloured pixel makes the whole picture RGB. Both set the same four parameters.
TEST_F(TextureTest, GreyPictureBecomesLuminanceAndOneColouredPixelMakesItRgb)
{
    TempDir dir;
    std::vector<unsigned char> grey;
    for (int i = 0; i < 16 * 8; ++i)
        for (int c = 0; c < 3; ++c) grey.push_back(static_cast<unsigned char>(10 + 15 * (i % 16)));
    writeJpeg(dir / "grey.jpg", 16, 8, grey);
    std::vector<unsigned char> almost = grey;
    setPixel(almost, 16, 9, 5, {250, 0, 40});
    writeJpeg(dir / "almost.jpg", 16, 8, almost);

    int w = 0, h = 0;
    const std::vector<unsigned char> greyDecoded = decoded(dir / "grey.jpg", &w, &h);
    ASSERT_EQ(greyDecoded.size(), 16u * 8 * 3);

    const int greyTexture = loadTexture((dir / "grey.jpg").c_str());
    ASSERT_GT(greyTexture, 0);
    EXPECT_EQ(internalFormat(greyTexture), GL_LUMINANCE8);
    const std::vector<unsigned char> luminance = textureBytes(greyTexture, GL_RED, 16, 8, 1);
    for (size_t i = 0; i < luminance.size(); ++i) ASSERT_EQ(luminance[i], greyDecoded[3 * i]) << i;

    const int colourTexture = loadTexture((dir / "almost.jpg").c_str());
    ASSERT_GT(colourTexture, 0);
    EXPECT_NE(colourTexture, greyTexture);
    EXPECT_EQ(internalFormat(colourTexture), GL_RGB);

    for (int texture : {greyTexture, colourTexture}) {
        glBindTexture(GL_TEXTURE_2D, texture);
        GLint value = 0;
        glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, &value);
        EXPECT_EQ(value, GL_REPEAT);
        glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, &value);
        EXPECT_EQ(value, GL_REPEAT);
        glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, &value);
        EXPECT_EQ(value, GL_NEAREST);
        glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, &value);
        EXPECT_EQ(value, GL_NEAREST);
    }

    // A greyscale-coded file is grey too.
    writeJpeg(dir / "mono.jpg", 5, 3, std::vector<unsigned char>(15, 77), 1);
    const int monoTexture = loadTexture((dir / "mono.jpg").c_str());
    ASSERT_GT(monoTexture, 0);
    EXPECT_EQ(internalFormat(monoTexture), GL_LUMINANCE8);
    EXPECT_EQ(textureBytes(monoTexture, GL_RED, 5, 3, 1), std::vector<unsigned char>(15, 77));
}

// Rows of an odd width are packed without padding, and the texture holds
// them exactly as decoded, even when something else set a wider alignment.
TEST_F(TextureTest, OddWidthPictureUploadsRowByRow)
{
    TempDir dir;
    std::vector<unsigned char> pixels;
    for (int y = 0; y < 7; ++y)
        for (int x = 0; x < 5; ++x) {
            pixels.push_back(static_cast<unsigned char>(40 * x + 20));
            pixels.push_back(static_cast<unsigned char>(30 * y + 10));
            pixels.push_back(static_cast<unsigned char>(200 - 20 * x));
        }
    writeJpeg(dir / "odd.jpg", 5, 7, pixels, 3, 100);
    int w = 0, h = 0;
    const std::vector<unsigned char> want = decoded(dir / "odd.jpg", &w, &h);
    ASSERT_EQ(w, 5);
    ASSERT_EQ(h, 7);

    glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
    const int texture = loadTexture((dir / "odd.jpg").c_str());
    ASSERT_GT(texture, 0);
    EXPECT_EQ(textureBytes(texture, GL_RGB, 5, 7, 3), want);
}

// The file's top row is drawn along the upper edge of a sprite.
TEST_F(TextureTest, TopRowOfTheFileIsAtTheTopOfTheSprite)
{
    TempDir dir;
    std::vector<unsigned char> pixels = solid(16, 16, {230, 30, 30});
    for (int y = 8; y < 16; ++y)
        for (int x = 0; x < 16; ++x) setPixel(pixels, 16, x, y, {30, 30, 230});
    writeJpeg(dir / "updown.jpg", 16, 16, pixels);

    ImageWrapper sprite((dir / "updown.jpg").c_str());
    ASSERT_GT(sprite.texture, 0);
    placeOnScreen(&sprite);
    sprite.draw();
    readFrame();
    EXPECT_TRUE(near(pixel(32, 4), {230, 30, 30})) << pixel(32, 4);
    EXPECT_TRUE(near(pixel(32, 59), {30, 30, 230})) << pixel(32, 59);
}

// A pair built from one file carries its own red channel as opacity; pairs
// whose colour or alpha picture is missing, or whose sizes differ, give -1 and
// use up no texture name.
TEST_F(TextureTest, AlphaPairsTakeOpacityFromTheRedOfTheAlphaPicture)
{
    TempDir dir;
    std::vector<unsigned char> pixels;
    for (int i = 0; i < 8 * 8; ++i) {
        pixels.push_back(static_cast<unsigned char>(i * 4));
        pixels.push_back(static_cast<unsigned char>(255 - i * 3));
        pixels.push_back(static_cast<unsigned char>(100));
    }
    writeJpeg(dir / "self.jpg", 8, 8, pixels);
    writeSolidJpeg(dir / "wide.jpg", 16, 8, 255, 255, 255);
    int w = 0, h = 0;
    const std::vector<unsigned char> colour = decoded(dir / "self.jpg", &w, &h);
    ASSERT_EQ(colour.size(), 8u * 8 * 3);

    const std::string self = dir / "self.jpg";
    const int texture = loadAlphaTexture(self.c_str(), self.c_str());
    ASSERT_GT(texture, 0);
    EXPECT_EQ(internalFormat(texture), GL_RGBA);
    const std::vector<unsigned char> rgba = textureBytes(texture, GL_RGBA, 8, 8, 4);
    for (size_t i = 0; i < 64; ++i) {
        ASSERT_EQ(rgba[4 * i], colour[3 * i]) << i;
        ASSERT_EQ(rgba[4 * i + 1], colour[3 * i + 1]) << i;
        ASSERT_EQ(rgba[4 * i + 2], colour[3 * i + 2]) << i;
        ASSERT_EQ(rgba[4 * i + 3], colour[3 * i]) << i;
    }

    const std::string wide = dir / "wide.jpg", missing = dir / "missing.jpg";
    EXPECT_EQ(loadAlphaTexture(wide.c_str(), self.c_str()), -1);
    EXPECT_EQ(loadAlphaTexture(self.c_str(), wide.c_str()), -1);
    EXPECT_EQ(loadAlphaTexture(missing.c_str(), self.c_str()), -1);
    EXPECT_EQ(loadAlphaTexture(self.c_str(), missing.c_str()), -1);
    EXPECT_EQ(loadTexture(missing.c_str()), -1);
    // Texture names come in sequence: the failures above took none.
    EXPECT_EQ(loadTexture(self.c_str()), texture + 1);
}

// drawMasked keeps an opacity byte of 128 and drops 127, and leaves the
// alpha test off and the depth test on.
TEST_F(TextureTest, DrawMaskedCutsAtHalfOpacityAndEnablesTheDepthTest)
{
    TempDir dir;
    std::vector<unsigned char> alpha = solid(16, 8, {128, 128, 128});
    for (int y = 0; y < 8; ++y)
        for (int x = 8; x < 16; ++x) setPixel(alpha, 16, x, y, {127, 127, 127});
    writeJpeg(dir / "alpha.jpg", 16, 8, alpha);
    writeSolidJpeg(dir / "colour.jpg", 16, 8, 200, 100, 50);
    int w = 0, h = 0;
    const std::vector<unsigned char> opacity = decoded(dir / "alpha.jpg", &w, &h);
    ASSERT_EQ(opacity[0], 128);       // left block
    ASSERT_EQ(opacity[3 * 15], 127);  // right block
    ASSERT_EQ(opacity[3 * (7 * 16 + 15)], 127);

    AlphaImageWrapper sprite((dir / "alpha.jpg").c_str(), (dir / "colour.jpg").c_str());
    ASSERT_GT(sprite.texture, 0);
    placeOnScreen(&sprite);
    ASSERT_FALSE(glIsEnabled(GL_DEPTH_TEST));
    drawMasked(&sprite);
    readFrame();
    EXPECT_TRUE(near(pixel(12, 32), {200, 100, 50})) << pixel(12, 32);
    EXPECT_TRUE(near(pixel(52, 32), {0, 0, 0}, 0)) << pixel(52, 32);
    EXPECT_TRUE(glIsEnabled(GL_DEPTH_TEST));
    EXPECT_FALSE(glIsEnabled(GL_ALPHA_TEST));
}

// drawBlended mixes by opacity: a black alpha picture shows nothing, a plain
// sprite (opacity 1) covers the frame; blending is off afterwards.
TEST_F(TextureTest, DrawBlendedFollowsTheOpacity)
{
    TempDir dir;
    writeSolidJpeg(dir / "black.jpg", 8, 8, 0, 0, 0);
    writeSolidJpeg(dir / "colour.jpg", 8, 8, 40, 200, 120);
    glClearColor(0.2f, 0.4f, 0.6f, 1);
    glClear(GL_COLOR_BUFFER_BIT);

    AlphaImageWrapper clear((dir / "black.jpg").c_str(), (dir / "colour.jpg").c_str());
    ASSERT_GT(clear.texture, 0);
    placeOnScreen(&clear);
    clear.drawBlended();
    readFrame();
    EXPECT_TRUE(near(pixel(32, 32), {51, 102, 153}, 1)) << pixel(32, 32);
    EXPECT_FALSE(glIsEnabled(GL_BLEND));

    ImageWrapper plain((dir / "colour.jpg").c_str());
    placeOnScreen(&plain);
    plain.drawBlended();
    readFrame();
    EXPECT_TRUE(near(pixel(32, 32), {40, 200, 120})) << pixel(32, 32);
    EXPECT_FALSE(glIsEnabled(GL_BLEND));
}

// A missing or broken file gives one message, texture 0 (a white square) and
// loading goes on; the library itself prints nothing.
TEST_F(TextureTest, PicturesThatCannotBeLoadedGiveOneMessageAndAWhiteSquare)
{
    TempDir dir;
    WorkingFolder inside(dir.path());
    mkdir("data", 0755);
    writeSolidJpeg("data/good.jpg", 16, 16, 30, 60, 90);
    writeSolidJpeg("data/wide.jpg", 32, 16, 30, 60, 90);
    const std::string good = readFile("data/good.jpg");
    writeFile("data/truncated.jpg", good.substr(0, good.size() / 2));
    writeFile("data/empty.jpg", "");
    writeFile("data/random.jpg", std::string("\x13\x97\x55\xfe\x01\xff\xd9\x42\x00\x88", 10));
    writeFile("data/text.jpg", "not a picture\n");
    mkdir("data/folder.jpg", 0755);

    StderrCapture capture;
    std::vector<std::unique_ptr<ImageWrapper>> sprites;
    for (const char* name :
         {"data/x.jpg", "data/truncated.jpg", "data/empty.jpg", "data/random.jpg", "data/text.jpg", "data/folder.jpg"})
        sprites.push_back(std::make_unique<ImageWrapper>(name));
    sprites.push_back(std::make_unique<AlphaImageWrapper>("data/wide.jpg", "data/good.jpg"));
    sprites.push_back(std::make_unique<ImageWrapper>("data/good.jpg"));
    EXPECT_EQ(capture.finish(),
              "Error loading data/x.jpg\n"
              "Error loading data/truncated.jpg\n"
              "Error loading data/empty.jpg\n"
              "Error loading data/random.jpg\n"
              "Error loading data/text.jpg\n"
              "Error loading data/folder.jpg\n"
              "Error loading\n");
    for (size_t i = 0; i + 1 < sprites.size(); ++i) EXPECT_EQ(sprites[i]->texture, 0) << i;
    EXPECT_GT(sprites.back()->texture, 0);

    ImageWrapper& missing = *sprites[0];
    placeOnScreen(&missing);
    missing.setSize(0.5f);
    missing.draw();
    readFrame();
    EXPECT_TRUE(near(pixel(32, 32), {255, 255, 255}, 0)) << pixel(32, 32);
    EXPECT_TRUE(near(pixel(2, 2), {0, 0, 0}, 0)) << pixel(2, 2);
}
