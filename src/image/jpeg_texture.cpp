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

namespace {

// No OpenGL implementation takes a texture wider or taller than this, and a
// header may claim up to 65500 on a side: larger pictures count as too large
// to hold, before anything is allocated for them.
const JDIMENSION MAX_PICTURE_SIDE = 16384;

// libjpeg's error manager, extended with a place to jump back to. A fatal
// decoder error returns to loadJpeg instead of ending the process, so a broken
// file counts as a picture that could not be loaded.
struct DecodeErrors {
    jpeg_error_mgr standard;
    jmp_buf failed;
};

[[noreturn]] void abandonDecoding(j_common_ptr cinfo)
{
    longjmp(reinterpret_cast<DecodeErrors*>(cinfo->err)->failed, 1);
}

// Warnings (level -1) and trace messages (above 0). A file whose picture data
// stops short (the file ends, or a marker comes, before the last block) is
// treated like an undecodable one: libjpeg would fill the rest with blank data,
// and for a header that claims a huge picture it would go on filling every row.
// Other recoverable corruption is accepted as decoded.
void noteMessage(j_common_ptr cinfo, int level)
{
    if (level < 0) {
        const int code = cinfo->err->msg_code;
        if (code == JWRN_JPEG_EOF || code == JWRN_HIT_MARKER) abandonDecoding(cinfo);
        cinfo->err->num_warnings++;
    }
}

// The library's own messages are never printed: the sprite classes report a
// picture that failed with one line of their own.
void printNothing(j_common_ptr) {}

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

}  // namespace

unsigned char* loadJpeg(const char* path, int* width, int* height)
{
    FILE* const file = fopen(path, "rb");
    if (!file) return nullptr;

    jpeg_decompress_struct cinfo;
    DecodeErrors errors;
    // Changed after setjmp and read after a jump back: kept in memory.
    unsigned char* volatile pixels = nullptr;

    cinfo.err = jpeg_std_error(&errors.standard);
    errors.standard.error_exit = abandonDecoding;
    errors.standard.emit_message = noteMessage;
    errors.standard.output_message = printNothing;
    if (setjmp(errors.failed)) {
        jpeg_destroy_decompress(&cinfo);
        fclose(file);
        free(pixels);
        return nullptr;
    }

    jpeg_create_decompress(&cinfo);
    jpeg_stdio_src(&cinfo, file);
    jpeg_read_header(&cinfo, TRUE);

    if (cinfo.image_width > MAX_PICTURE_SIDE || cinfo.image_height > MAX_PICTURE_SIDE) longjmp(errors.failed, 1);
    const int w = static_cast<int>(cinfo.image_width);
    const int h = static_cast<int>(cinfo.image_height);
    *width = w;
    *height = h;

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
    jpeg_destroy_decompress(&cinfo);
    fclose(file);
    return pixels;
}

int loadTexture(const char* path)
{
    int width = 0, height = 0;
    unsigned char* pixels = loadJpeg(path, &width, &height);
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
    unsigned char* colour = loadJpeg(colourPath, &width, &height);
    if (!colour) return -1;

    int alphaWidth = 0, alphaHeight = 0;
    unsigned char* alpha = loadJpeg(alphaPath, &alphaWidth, &alphaHeight);
    // A pair of different sizes would be read past the end of the smaller picture.
    if (!alpha || alphaWidth != width || alphaHeight != height) {
        free(alpha);
        free(colour);
        return -1;
    }

    unsigned char* rgba = allocate(width, height, 4);
    if (!rgba) {
        free(alpha);
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
    free(alpha);
    return static_cast<int>(name);
}
