#include "png_writer.h"

#include "output/whole_file.h"

#include <png.h>
#include <zlib.h>

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
    TemporaryFile probe;
    int number = 0;
    if (!probe.create(folder, ".skarvelin-render-", "", &number)) {
        *error = "cannot write in the folder " + folder + ": " + std::strerror(number);
        return false;
    }
    return true;
}

std::string framePath(const std::string& folder, uint64_t number)
{
    char name[32];
    std::snprintf(name, sizeof name, "%06llu.png", static_cast<unsigned long long>(number));
    return folder + "/" + name;
}

bool writeFrameList(const std::string& folder, const std::vector<ListedFrame>& frames, std::string* error)
{
    WholeFile list(folder + "/" + FRAME_LIST_NAME);
    if (!list.create(error)) return false;
    for (const ListedFrame& frame : frames)
        if (std::fprintf(list.file(), "%s %u\n", frame.name.c_str(), static_cast<unsigned>(frame.t)) < 0) {
            *error = cannotWrite(list.path(), errno ? errno : EIO);
            return false;
        }
    // The last buffered bytes go at the close, whose failure finish reports.
    return list.finish(error);
}

namespace {

// The file being written and what went wrong with it, for libpng's callbacks.
struct PngOutput {
    FILE* file = nullptr;
    int writeError = 0;   // the system's error number of a failed write
    std::string message;  // libpng's own message otherwise
};

// libpng reports errors by longjmp back to the setjmp in writePng.
void pngError(png_structp png, png_const_charp message)
{
    static_cast<PngOutput*>(png_get_error_ptr(png))->message = message;
    png_longjmp(png, 1);
}

void pngWarning(png_structp, png_const_charp) {}

// Writes through stdio and keeps the system's reason when a write fails.
void pngWrite(png_structp png, png_bytep data, size_t length)
{
    auto* output = static_cast<PngOutput*>(png_get_io_ptr(png));
    if (std::fwrite(data, 1, length, output->file) != length) {
        output->writeError = errno ? errno : EIO;
        png_error(png, "write error");
    }
}

void pngFlush(png_structp) {}

// The libpng structures, released on either path out of writePng.
struct PngStructs {
    png_structp png = nullptr;
    png_infop info = nullptr;
    ~PngStructs()
    {
        if (png) png_destroy_write_struct(&png, info ? &info : nullptr);
    }
};

}  // namespace

bool writePng(const std::string& path, int width, int height, const std::vector<unsigned char>& rgb, std::string* error)
{
    if (rgb.size() != static_cast<size_t>(width) * height * 3) {
        *error = "frame of the wrong size for " + path;
        return false;
    }
    WholeFile whole(path);
    if (!whole.create(error)) return false;
    PngOutput output;
    output.file = whole.file();
    PngStructs out;
    out.png = png_create_write_struct(PNG_LIBPNG_VER_STRING, &output, pngError, pngWarning);
    if (out.png) out.info = png_create_info_struct(out.png);
    if (!out.png || !out.info) {
        *error = "out of memory writing " + path;
        return false;
    }
    std::vector<png_bytep> rows(static_cast<size_t>(height));
    for (int y = 0; y < height; ++y) rows[y] = const_cast<png_bytep>(&rgb[static_cast<size_t>(y) * width * 3]);
    if (setjmp(png_jmpbuf(out.png))) {
        *error = output.writeError ? cannotWrite(path, output.writeError)
                                   : "cannot write " + path + ": " + output.message;
        return false;
    }
    png_set_write_fn(out.png, &output, pngWrite, pngFlush);
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
    // The frame takes its name only when every byte of it is on disk.
    return whole.finish(error);
}
