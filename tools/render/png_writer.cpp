#include "png_writer.h"

#include <png.h>
#include <zlib.h>
#include <unistd.h>

#include <cerrno>
#include <csetjmp>
#include <cstdio>
#include <cstring>
#include <filesystem>

bool prepareFolder(const std::string& folder, std::string* error)
{
    std::error_code code;
    std::filesystem::create_directories(folder, code);
    if (code) {
        *error = "cannot create the folder " + folder + ": " + code.message();
        return false;
    }
    if (!std::filesystem::is_directory(folder, code)) {
        *error = folder + " is not a folder";
        return false;
    }
    // Permission bits say little for root or on odd file systems: try it.
    std::string probe = folder + "/.skarvelin-render-XXXXXX";
    int fd = mkstemp(probe.data());
    if (fd < 0) {
        *error = "cannot write in the folder " + folder + ": " + std::strerror(errno);
        return false;
    }
    close(fd);
    unlink(probe.c_str());
    return true;
}

std::string framePath(const std::string& folder, uint32_t t)
{
    char name[32];
    std::snprintf(name, sizeof name, "%06u.png", static_cast<unsigned>(t));
    return folder + "/" + name;
}

namespace {

// libpng reports errors by longjmp back to the setjmp in writePng.
void pngError(png_structp png, png_const_charp message)
{
    auto* text = static_cast<std::string*>(png_get_error_ptr(png));
    *text = message;
    png_longjmp(png, 1);
}

void pngWarning(png_structp, png_const_charp) {}

// Everything that must be released on either path out of writePng.
struct PngFile {
    FILE* file = nullptr;
    png_structp png = nullptr;
    png_infop info = nullptr;
    ~PngFile()
    {
        if (png) png_destroy_write_struct(&png, info ? &info : nullptr);
        if (file) std::fclose(file);
    }
};

}  // namespace

bool writePng(const std::string& path, int width, int height, const std::vector<unsigned char>& rgb,
              std::string* error)
{
    if (rgb.size() != static_cast<size_t>(width) * height * 3) {
        *error = "frame of the wrong size for " + path;
        return false;
    }
    std::string pngMessage;
    PngFile out;
    out.file = std::fopen(path.c_str(), "wb");
    if (!out.file) {
        *error = "cannot create " + path + ": " + std::strerror(errno);
        return false;
    }
    out.png = png_create_write_struct(PNG_LIBPNG_VER_STRING, &pngMessage, pngError, pngWarning);
    if (out.png) out.info = png_create_info_struct(out.png);
    if (!out.png || !out.info) {
        *error = "out of memory writing " + path;
        return false;
    }
    std::vector<png_bytep> rows(static_cast<size_t>(height));
    for (int y = 0; y < height; ++y)
        rows[y] = const_cast<png_bytep>(&rgb[static_cast<size_t>(y) * width * 3]);
    if (setjmp(png_jmpbuf(out.png))) {
        *error = "cannot write " + path + ": " + pngMessage;
        return false;
    }
    png_init_io(out.png, out.file);
    // Compressed for speed: frames are many and large, and a capture should
    // take no longer to PNG than to video. One filter (Sub) instead of trying
    // all five on every row, and zlib's fastest level with run-length matching;
    // the files stay lossless.
    png_set_filter(out.png, PNG_FILTER_TYPE_BASE, PNG_FILTER_SUB);
    png_set_compression_level(out.png, 1);
    png_set_compression_strategy(out.png, Z_RLE);
    png_set_IHDR(out.png, out.info, width, height, 8, PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_write_info(out.png, out.info);
    png_write_image(out.png, rows.data());
    png_write_end(out.png, nullptr);
    png_destroy_write_struct(&out.png, &out.info);
    out.png = nullptr;
    FILE* file = out.file;
    out.file = nullptr;
    // A full disk often shows only when the buffers are flushed.
    bool failed = std::ferror(file) != 0;
    failed = std::fclose(file) != 0 || failed;
    if (failed) {
        *error = "cannot write " + path + ": " + std::strerror(errno);
        return false;
    }
    return true;
}
