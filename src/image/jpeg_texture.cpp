#include "image/jpeg_texture.h"

#include <GL/gl.h>

#include <csetjmp>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

// jpeglib.h needs FILE and size_t declared first.
#include <jpeglib.h>
#include <jerror.h>

// Users put their own pictures in data/: phone photos of 12 megapixels
// (4032 x 3024) and wallpapers up to 5120 x 2880 (14.7 megapixels), baseline
// or progressive, must load. The budget is the next round size above those,
// 4096 x 4096 pixels. A picture at the budget needs up to about 9 bytes a
// pixel while it is decoded (a progressive file's coefficients and the RGB
// rows) and the driver keeps 4 bytes a pixel of texture, so a file of a few
// hundred bytes that claims the budget raises loading's peak memory by about
// 150 MB at most and costs a few tenths of a second; a header that claims more
// is refused before anything is allocated for it.
const size_t PICTURE_PIXEL_BUDGET = 4096 * 4096;

// Encoders write up to a dozen scans (libjpeg's progressive script has 10);
// every scan costs a pass over all of the picture's blocks, so a few kilobytes
// of empty scans could otherwise keep loading busy for minutes. djpeg offers
// the same guard as -maxscans.
const int PICTURE_SCAN_LIMIT = 100;

namespace {

// libjpeg's error manager, extended with a place to jump back to. A fatal
// decoder error returns to loadJpeg instead of ending the process, so a broken
// file counts as a picture that could not be loaded.
struct DecodeErrors {
    jpeg_error_mgr standard;
    jmp_buf failed;
    char firstWarning[JMSG_LENGTH_MAX];
};

[[noreturn]] void abandonDecoding(j_common_ptr cinfo)
{
    longjmp(reinterpret_cast<DecodeErrors*>(cinfo->err)->failed, 1);
}

// Warnings (level -1) and trace messages (above 0). Recoverable damage, data
// that ends early included, is decoded as libjpeg decodes it: it fills what is
// missing. The first warning's text is kept for the caller, which prints it
// (libjpeg's own handler would print it at once, without the file's name).
void noteMessage(j_common_ptr cinfo, int level)
{
    if (level >= 0) return;
    if (cinfo->err->num_warnings == 0)
        (*cinfo->err->format_message)(cinfo, reinterpret_cast<DecodeErrors*>(cinfo->err)->firstWarning);
    cinfo->err->num_warnings++;
}

// The library's own messages are never printed: the sprite classes report a
// picture that failed with one line of their own.
void printNothing(j_common_ptr) {}

// libjpeg calls this at least once a row of blocks while it reads scans.
void refuseTooManyScans(j_common_ptr cinfo)
{
    if (reinterpret_cast<j_decompress_ptr>(cinfo)->input_scan_number > PICTURE_SCAN_LIMIT) abandonDecoding(cinfo);
}

void setTextureParameters()
{
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_REPEAT);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_REPEAT);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
}

// width * height * bytesPerPixel, or 0 when that does not fit in a size_t.
size_t arraySize(int width, int height, size_t bytesPerPixel)
{
    if (width <= 0 || height <= 0) return 0;
    const size_t w = static_cast<size_t>(width);
    const size_t h = static_cast<size_t>(height);
    if (w > SIZE_MAX / bytesPerPixel / h) return 0;
    return w * h * bytesPerPixel;
}

unsigned char* allocate(int width, int height, size_t bytesPerPixel)
{
    const size_t bytes = arraySize(width, height, bytesPerPixel);
    return bytes == 0 ? nullptr : static_cast<unsigned char*>(malloc(bytes));
}

// The largest texture side the driver takes (16384 for Mesa, 32768 for some
// drivers); every picture must fit in it.
int maxTextureSide()
{
    GLint side = 0;
    glGetIntegerv(GL_MAX_TEXTURE_SIZE, &side);
    return side > 0 ? side : JpegLimits().maxSide;
}

// Decodes for a texture of this driver, printing a warning after the file's
// name when the data was damaged.
unsigned char* decodeForTexture(const char* path, int* width, int* height, const JpegLimits& limits)
{
    std::string warning;
    unsigned char* pixels = loadJpeg(path, width, height, limits, &warning);
    if (!warning.empty()) fprintf(stderr, "%s: %s\n", path, warning.c_str());
    return pixels;
}

}  // namespace

unsigned char* loadJpeg(const char* path, int* width, int* height, const JpegLimits& limits, std::string* warning)
{
    FILE* const file = fopen(path, "rb");
    if (!file) return nullptr;

    jpeg_decompress_struct cinfo;
    DecodeErrors errors;
    jpeg_progress_mgr progress;
    // Changed after setjmp and read after a jump back: kept in memory.
    unsigned char* volatile pixels = nullptr;

    cinfo.err = jpeg_std_error(&errors.standard);
    errors.standard.error_exit = abandonDecoding;
    errors.standard.emit_message = noteMessage;
    errors.standard.output_message = printNothing;
    errors.firstWarning[0] = 0;
    if (setjmp(errors.failed)) {
        jpeg_destroy_decompress(&cinfo);
        fclose(file);
        free(pixels);
        return nullptr;
    }

    jpeg_create_decompress(&cinfo);
    progress.progress_monitor = refuseTooManyScans;
    cinfo.progress = &progress;
    jpeg_stdio_src(&cinfo, file);
    jpeg_read_header(&cinfo, TRUE);

    const int w = static_cast<int>(cinfo.image_width);
    const int h = static_cast<int>(cinfo.image_height);
    *width = w;
    *height = h;
    if (w > limits.maxSide || h > limits.maxSide || arraySize(w, h, 1) > PICTURE_PIXEL_BUDGET)
        longjmp(errors.failed, 1);
    if (limits.width != 0 && (w != limits.width || h != limits.height)) longjmp(errors.failed, 1);

    // Greyscale files come out as RGB too; colour spaces that libjpeg cannot
    // turn into RGB (CMYK, YCCK) fail in jpeg_start_decompress.
    cinfo.out_color_space = JCS_RGB;

    const size_t rowBytes = arraySize(w, 1, 3);
    if (rowBytes == 0) longjmp(errors.failed, 1);
    JSAMPARRAY row = (*cinfo.mem->alloc_sarray)(reinterpret_cast<j_common_ptr>(&cinfo), JPOOL_IMAGE,
                                                static_cast<JDIMENSION>(rowBytes), 1);
    pixels = allocate(w, h, 3);
    if (!pixels) longjmp(errors.failed, 1);

    jpeg_start_decompress(&cinfo);
    if (cinfo.output_components != 3 || cinfo.output_width != cinfo.image_width ||
        cinfo.output_height != cinfo.image_height)
        longjmp(errors.failed, 1);

    while (cinfo.output_scanline < cinfo.output_height) {
        const JDIMENSION r = cinfo.output_scanline;
        if (jpeg_read_scanlines(&cinfo, row, 1) != 1) longjmp(errors.failed, 1);
        memcpy(pixels + r * rowBytes, row[0], rowBytes);
    }

    jpeg_finish_decompress(&cinfo);
    if (warning && errors.standard.num_warnings > 0) *warning = errors.firstWarning;
    jpeg_destroy_decompress(&cinfo);
    fclose(file);
    return pixels;
}

int loadTexture(const char* path)
{
    int width = 0, height = 0;
    JpegLimits limits;
    limits.maxSide = maxTextureSide();
    unsigned char* pixels = decodeForTexture(path, &width, &height, limits);
    if (!pixels) return -1;

    const size_t count = arraySize(width, height, 1);
    bool grey = true;
    for (size_t i = 0; i < count; ++i) {
        const unsigned char* p = pixels + 3 * i;
        if (p[0] != p[1] || p[0] != p[2]) {
            grey = false;
            break;
        }
    }

    // The luminance bytes are made before any texture name exists, so a
    // picture that cannot be held leaves no name behind.
    unsigned char* luminance = nullptr;
    if (grey) {
        luminance = static_cast<unsigned char*>(malloc(count));
        if (!luminance) {
            free(pixels);
            return -1;
        }
        for (size_t i = 0; i < count; ++i) luminance[i] = pixels[3 * i];
    }

    GLuint name = 0;
    glGenTextures(1, &name);
    glBindTexture(GL_TEXTURE_2D, name);
    // Rows are packed: an odd width has no padding.
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    setTextureParameters();
    if (grey) {
        glTexImage2D(GL_TEXTURE_2D, 0, GL_LUMINANCE8, width, height, 0, GL_LUMINANCE, GL_UNSIGNED_BYTE, luminance);
        free(luminance);
    } else {
        glTexImage2D(GL_TEXTURE_2D, 0, GL_RGB, width, height, 0, GL_RGB, GL_UNSIGNED_BYTE, pixels);
    }
    free(pixels);
    return static_cast<int>(name);
}

int loadAlphaTexture(const char* alphaPath, const char* colourPath)
{
    int width = 0, height = 0;
    JpegLimits limits;
    limits.maxSide = maxTextureSide();
    unsigned char* colour = decodeForTexture(colourPath, &width, &height, limits);
    if (!colour) return -1;

    // A pair of different sizes would be read past the end of the smaller
    // picture: the alpha picture must have the colour picture's size, which
    // its header tells before it is decoded. A file that is its own opacity
    // is decoded once.
    const bool selfPaired = strcmp(alphaPath, colourPath) == 0;
    unsigned char* alpha = colour;
    if (!selfPaired) {
        int alphaWidth = 0, alphaHeight = 0;
        limits.width = width;
        limits.height = height;
        alpha = decodeForTexture(alphaPath, &alphaWidth, &alphaHeight, limits);
        if (!alpha) {
            free(colour);
            return -1;
        }
    }

    unsigned char* rgba = allocate(width, height, 4);
    if (!rgba) {
        if (!selfPaired) free(alpha);
        free(colour);
        return -1;
    }
    const size_t count = arraySize(width, height, 1);
    for (size_t i = 0; i < count; ++i) {
        rgba[4 * i] = colour[3 * i];
        rgba[4 * i + 1] = colour[3 * i + 1];
        rgba[4 * i + 2] = colour[3 * i + 2];
        rgba[4 * i + 3] = alpha[3 * i];
    }

    GLuint name = 0;
    glGenTextures(1, &name);
    glBindTexture(GL_TEXTURE_2D, name);
    setTextureParameters();
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, width, height, 0, GL_RGBA, GL_UNSIGNED_BYTE, rgba);

    free(colour);
    free(rgba);
    if (!selfPaired) free(alpha);
    return static_cast<int>(name);
}
