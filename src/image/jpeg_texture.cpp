#include "image/jpeg_texture.h"

#include <GL/gl.h>
#include <sys/stat.h>

#include <cerrno>
#include <csetjmp>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <utility>

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
// is refused before anything is allocated for it. Larger camera photos (24
// and 48 megapixels) and 8K wallpapers are decoded at half their size, which
// libjpeg does as it decodes, so they cost no more than a picture within the
// budget: pictures of one scan up to four times the budget (a sequential
// decoder holds a few rows of blocks, never the whole picture's). A picture
// of several scans (progressive) keeps every block until its last scan, so
// over the budget it is refused.
const size_t PICTURE_PIXEL_BUDGET = 4096 * 4096;

// Encoders write up to a dozen scans (libjpeg's progressive script has 10);
// every scan costs a pass over all of the picture's blocks, so a few kilobytes
// of empty scans could otherwise keep loading busy for minutes. djpeg offers
// the same guard as -maxscans.
const int PICTURE_SCAN_LIMIT = 100;

namespace {

// libjpeg's error manager, extended with a place to jump back to. A fatal
// decoder error returns to loadJpeg instead of ending the process, so a broken
// file counts as a picture that could not be loaded. When a diagnosis is asked
// for, the cause is written there before the jump.
struct DecodeErrors {
    jpeg_error_mgr standard;
    jmp_buf failed;
    char firstWarning[JMSG_LENGTH_MAX];
    JpegDiagnosis* diagnosis;  // null when the caller wants none
};

// Records why decoding stops, the first cause only (once the jump is taken
// nothing else is noted).
void noteFault(JpegDiagnosis* diagnosis, JpegFault fault, const std::string& reason)
{
    if (!diagnosis || diagnosis->fault != JpegFault::None) return;
    diagnosis->fault = fault;
    diagnosis->reason = reason;
}

[[noreturn]] void abandonDecoding(j_common_ptr cinfo)
{
    DecodeErrors* const errors = reinterpret_cast<DecodeErrors*>(cinfo->err);
    if (errors->diagnosis && errors->diagnosis->fault == JpegFault::None) {
        char message[JMSG_LENGTH_MAX];
        (*cinfo->err->format_message)(cinfo, message);
        noteFault(errors->diagnosis, JpegFault::Undecodable, message);
    }
    longjmp(errors->failed, 1);
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
    if (reinterpret_cast<j_decompress_ptr>(cinfo)->input_scan_number <= PICTURE_SCAN_LIMIT) return;
    DecodeErrors* const errors = reinterpret_cast<DecodeErrors*>(cinfo->err);
    if (errors->diagnosis)
        noteFault(errors->diagnosis, JpegFault::TooManyScans,
                  "more than " + std::to_string(PICTURE_SCAN_LIMIT) + " scans, the most a picture may have");
    longjmp(errors->failed, 1);
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

std::string sizeText(int width, int height)
{
    return std::to_string(width) + " x " + std::to_string(height);
}

// "16.7 megapixels", cut to one decimal.
std::string megapixelText(size_t pixels)
{
    return std::to_string(pixels / 1000000) + "." + std::to_string(pixels / 100000 % 10) + " megapixels";
}

// Why a picture whose header has been read is over the pixel budget.
std::string overBudgetReason(j_decompress_ptr cinfo)
{
    const std::string budget = "the pixel budget of " + megapixelText(PICTURE_PIXEL_BUDGET);
    const std::string size = sizeText(static_cast<int>(cinfo->image_width), static_cast<int>(cinfo->image_height));
    if (jpeg_has_multiple_scans(cinfo))
        return size + ", progressive and over " + budget + " (only a picture of one scan is shown at half size)";
    if (arraySize(static_cast<int>(cinfo->image_width), static_cast<int>(cinfo->image_height), 1) >
        4 * PICTURE_PIXEL_BUDGET)
        return size + ", more than four times " + budget;
    return size + ", over " + budget + " even at half size";
}

// The Exif segment's TIFF data among the markers libjpeg kept, or "".
std::string exifData(const jpeg_decompress_struct& cinfo)
{
    static const char SIGNATURE[] = "Exif\0";  // and the string's own 0: six bytes
    for (jpeg_saved_marker_ptr marker = cinfo.marker_list; marker; marker = marker->next)
        if (marker->marker == JPEG_APP0 + 1 && marker->data_length >= sizeof SIGNATURE &&
            memcmp(marker->data, SIGNATURE, sizeof SIGNATURE) == 0)
            return std::string(reinterpret_cast<const char*>(marker->data) + sizeof SIGNATURE,
                               marker->data_length - sizeof SIGNATURE);
    return "";
}

// loadJpeg into a buffer that is reused, as RGB (3 components) or as RGBX
// (4: the same colour bytes, then 0xFF). On failure the buffer is kept (its
// contents undefined). A diagnosis, when given, is filled in besides; the
// decoding is the same with or without it.
bool decodeJpeg(const char* path, int* width, int* height, const JpegLimits& limits, PixelBuffer& buffer,
                std::string* warning, int components = 3, JpegDiagnosis* diagnosis = nullptr)
{
    FILE* const file = fopen(path, "rb");
    if (!file) {
        noteFault(diagnosis, JpegFault::CannotOpen, errno == ENOENT ? "missing" : strerror(errno));
        return false;
    }

    jpeg_decompress_struct cinfo;
    DecodeErrors errors;
    jpeg_progress_mgr progress;

    cinfo.err = jpeg_std_error(&errors.standard);
    errors.standard.error_exit = abandonDecoding;
    errors.standard.emit_message = noteMessage;
    errors.standard.output_message = printNothing;
    errors.firstWarning[0] = 0;
    errors.diagnosis = diagnosis;
    if (setjmp(errors.failed)) {
        jpeg_destroy_decompress(&cinfo);
        fclose(file);
        return false;
    }

    jpeg_create_decompress(&cinfo);
    progress.progress_monitor = refuseTooManyScans;
    cinfo.progress = &progress;
    jpeg_stdio_src(&cinfo, file);
    if (diagnosis) jpeg_save_markers(&cinfo, JPEG_APP0 + 1, 0xFFFF);
    jpeg_read_header(&cinfo, TRUE);
    if (diagnosis) {
        diagnosis->cmyk = cinfo.jpeg_color_space == JCS_CMYK || cinfo.jpeg_color_space == JCS_YCCK;
        diagnosis->exif = exifData(cinfo);
    }

    const size_t pixels = arraySize(static_cast<int>(cinfo.image_width), static_cast<int>(cinfo.image_height), 1);
    if (pixels > PICTURE_PIXEL_BUDGET && pixels <= 4 * PICTURE_PIXEL_BUDGET && !jpeg_has_multiple_scans(&cinfo)) {
        cinfo.scale_num = 1;
        cinfo.scale_denom = 2;
    }
    // The size of the decoded picture: half the file's, rounded up, when halved.
    const int w = static_cast<int>((cinfo.image_width + cinfo.scale_denom - 1) / cinfo.scale_denom);
    const int h = static_cast<int>((cinfo.image_height + cinfo.scale_denom - 1) / cinfo.scale_denom);
    *width = w;
    *height = h;
    // The reasons are made in single statements: the jump after them must
    // leave no string alive in this frame.
    const bool halved = cinfo.scale_denom == 2;
    if (w > limits.maxSide || h > limits.maxSide) {
        if (diagnosis)
            noteFault(diagnosis, JpegFault::OverTextureSide,
                      sizeText(w, h) + (halved ? " at half size" : "") + ": " +
                          (w > limits.maxSide ? "wider" : "taller") + " than " + std::to_string(limits.maxSide) +
                          " pixels, the largest texture side");
        longjmp(errors.failed, 1);
    }
    if (arraySize(w, h, 1) > PICTURE_PIXEL_BUDGET) {
        if (diagnosis) noteFault(diagnosis, JpegFault::OverBudget, overBudgetReason(&cinfo));
        longjmp(errors.failed, 1);
    }
    if (limits.width != 0 && (w != limits.width || h != limits.height)) {
        if (diagnosis)
            noteFault(diagnosis, JpegFault::WrongSize,
                      sizeText(w, h) + " where " + sizeText(limits.width, limits.height) + " is wanted");
        longjmp(errors.failed, 1);
    }

    // Greyscale files come out as RGB too; colour spaces that libjpeg cannot
    // turn into RGB (CMYK, YCCK) fail in jpeg_start_decompress.
    cinfo.out_color_space = components == 4 ? JCS_EXT_RGBX : JCS_RGB;

    const size_t rowBytes = arraySize(w, 1, components);
    if (!buffer.reserve(arraySize(w, h, components))) {
        if (diagnosis) noteFault(diagnosis, JpegFault::NoMemory, sizeText(w, h) + ": no memory for its pixels");
        longjmp(errors.failed, 1);
    }

    jpeg_start_decompress(&cinfo);
    if (cinfo.output_components != components || cinfo.output_width != static_cast<JDIMENSION>(w) ||
        cinfo.output_height != static_cast<JDIMENSION>(h)) {
        noteFault(diagnosis, JpegFault::Undecodable, "decodes to another size or layout than its header says");
        longjmp(errors.failed, 1);
    }

    // Straight into the picture, several rows a call.
    const JDIMENSION ROWS_PER_CALL = 16;
    JSAMPROW rows[ROWS_PER_CALL];
    while (cinfo.output_scanline < cinfo.output_height) {
        const JDIMENSION first = cinfo.output_scanline;
        JDIMENSION count = cinfo.output_height - first;
        if (count > ROWS_PER_CALL) count = ROWS_PER_CALL;
        for (JDIMENSION i = 0; i < count; ++i) rows[i] = buffer.data() + (first + i) * rowBytes;
        if (jpeg_read_scanlines(&cinfo, rows, count) == 0) {
            noteFault(diagnosis, JpegFault::Undecodable, "libjpeg gives no more rows");
            longjmp(errors.failed, 1);
        }
    }

    jpeg_finish_decompress(&cinfo);
    if (warning && errors.standard.num_warnings > 0) *warning = errors.firstWarning;
    if (diagnosis && halved)
        diagnosis->reason = sizeText(static_cast<int>(cinfo.image_width), static_cast<int>(cinfo.image_height)) +
                            ", over the pixel budget of " + megapixelText(PICTURE_PIXEL_BUDGET) +
                            ": shown at half size, " + sizeText(w, h);
    jpeg_destroy_decompress(&cinfo);
    fclose(file);
    return true;
}

// Decodes for a texture, adding a line with the file's name and the warning
// to notes when the data was damaged.
bool decodeForTexture(const char* path, int* width, int* height, const JpegLimits& limits, PixelBuffer& buffer,
                      std::string& notes, int components = 3)
{
    std::string warning;
    if (!decodeJpeg(path, width, height, limits, buffer, &warning, components)) return false;
    if (!warning.empty()) notes += std::string(path) + ": " + warning + "\n";
    return true;
}

}  // namespace

PixelBuffer::~PixelBuffer()
{
    free(pixels);
}

PixelBuffer::PixelBuffer(PixelBuffer&& other) noexcept
    : pixels(std::exchange(other.pixels, nullptr)), size(std::exchange(other.size, 0))
{
}

PixelBuffer& PixelBuffer::operator=(PixelBuffer&& other) noexcept
{
    if (this != &other) {
        free(pixels);
        pixels = std::exchange(other.pixels, nullptr);
        size = std::exchange(other.size, 0);
    }
    return *this;
}

bool PixelBuffer::reserve(size_t count)
{
    if (count == 0) return false;
    if (size >= count) return true;
    // The old bytes go first: two pictures' worth need not fit at once.
    free(pixels);
    pixels = static_cast<unsigned char*>(malloc(count));
    size = pixels ? count : 0;
    return pixels != nullptr;
}

unsigned char* PixelBuffer::release()
{
    size = 0;
    return std::exchange(pixels, nullptr);
}

unsigned char* loadJpeg(const char* path, int* width, int* height, const JpegLimits& limits, std::string* warning)
{
    PixelBuffer buffer;
    if (decodeJpeg(path, width, height, limits, buffer, warning)) return buffer.release();
    return nullptr;
}

bool diagnoseJpeg(const char* path, const JpegLimits& limits, JpegDiagnosis& diagnosis)
{
    diagnosis = JpegDiagnosis();
    // A folder opens, and reads as an empty file: neither decodes.
    struct stat info;
    if (stat(path, &info) == 0 && (S_ISDIR(info.st_mode) || info.st_size == 0)) {
        noteFault(&diagnosis, S_ISDIR(info.st_mode) ? JpegFault::Folder : JpegFault::Empty, "");
        return false;
    }
    PixelBuffer buffer;
    // As preparePicture decodes: four bytes a pixel.
    const bool loaded = decodeJpeg(path, &diagnosis.width, &diagnosis.height, limits, buffer, &diagnosis.warning, 4,
                                   &diagnosis);
    if (diagnosis.fault == JpegFault::Undecodable) {
        unsigned char head[16] = {};
        size_t read = 0;
        if (FILE* file = fopen(path, "rb")) {
            read = fread(head, 1, sizeof head, file);
            fclose(file);
        }
        if (const char* kind = otherPictureKind(head, read)) {
            diagnosis.fault = JpegFault::NotJpeg;
            diagnosis.reason = kind;
        }
    }
    return loaded;
}

const char* otherPictureKind(const unsigned char* head, size_t length)
{
    auto at = [&](size_t offset, const char* bytes, size_t count) {
        return length >= offset + count && memcmp(head + offset, bytes, count) == 0;
    };
    if (at(0, "\x89PNG\r\n\x1a\n", 8)) return "a PNG file";
    if (at(0, "GIF87a", 6) || at(0, "GIF89a", 6)) return "a GIF file";
    if (at(0, "RIFF", 4) && at(8, "WEBP", 4)) return "a WebP file";
    if (at(0, "BM", 2) && length >= 14) return "a BMP file";
    // An ISO media file whose brand is one of HEIF's.
    if (at(4, "ftyp", 4))
        for (const char* brand : {"heic", "heix", "hevc", "hevx", "heim", "heis", "mif1", "msf1"})
            if (at(8, brand, 4)) return "a HEIC file";
    return nullptr;
}

int maxTextureSide()
{
    GLint side = 0;
    glGetIntegerv(GL_MAX_TEXTURE_SIZE, &side);
    return side > 0 ? side : JpegLimits().maxSide;
}

bool preparePicture(const char* path, int maxSide, PreparedPicture& picture)
{
    picture.notes.clear();
    picture.components = 0;
    JpegLimits limits;
    limits.maxSide = maxSide;
    // Decoded four bytes a pixel: the driver keeps RGB textures that way, so
    // the upload on the OpenGL thread is a plain copy instead of a conversion.
    if (!decodeForTexture(path, &picture.width, &picture.height, limits, picture.pixels, picture.notes, 4))
        return false;

    unsigned char* const pixels = picture.pixels.data();
    const size_t count = arraySize(picture.width, picture.height, 1);
    bool grey = true;
    for (size_t i = 0; i < count; ++i) {
        const unsigned char* p = pixels + 4 * i;
        if (p[0] != p[1] || p[0] != p[2]) {
            grey = false;
            break;
        }
    }
    // Luminance in place: byte i comes from byte 4i, never behind it.
    if (grey)
        for (size_t i = 0; i < count; ++i) pixels[i] = pixels[4 * i];
    picture.components = grey ? 1 : 3;
    return true;
}

bool preparePair(const char* alphaPath, const char* colourPath, int maxSide, PreparedPicture& picture,
                 OpacityScratch& scratch)
{
    picture.notes.clear();
    picture.components = 0;
    int width = 0, height = 0;
    JpegLimits limits;
    limits.maxSide = maxSide;
    // The colour file straight into the texture's RGBA bytes.
    if (!decodeForTexture(colourPath, &width, &height, limits, picture.pixels, picture.notes, 4)) return false;

    // A pair of different sizes would be read past the end of the smaller
    // picture: the alpha picture must have the colour picture's size, which
    // its header tells before it is decoded. A file that is its own opacity
    // is decoded once.
    unsigned char* const out = picture.pixels.data();
    const size_t count = arraySize(width, height, 1);
    if (strcmp(alphaPath, colourPath) == 0) {
        for (size_t i = 0; i < count; ++i) out[4 * i + 3] = out[4 * i];
    } else {
        if (scratch.path != alphaPath) {
            scratch.path.clear();
            scratch.notes.clear();
            limits.width = width;
            limits.height = height;
            if (!decodeForTexture(alphaPath, &scratch.width, &scratch.height, limits, scratch.buffer, scratch.notes))
                return false;
            scratch.path = alphaPath;
        } else if (scratch.width != width || scratch.height != height) {
            // What decoding it again would refuse on the header.
            return false;
        }
        picture.notes += scratch.notes;
        const unsigned char* const alpha = scratch.buffer.data();
        for (size_t i = 0; i < count; ++i) out[4 * i + 3] = alpha[3 * i];
    }
    picture.width = width;
    picture.height = height;
    picture.components = 4;
    return true;
}

int uploadPrepared(const PreparedPicture& picture)
{
    fputs(picture.notes.c_str(), stderr);
    if (picture.components == 0) return -1;

    // RGB pictures come as RGBX: four bytes a pixel, the fourth ignored.
    static const GLenum formats[] = {0, GL_LUMINANCE, 0, GL_RGBA, GL_RGBA};
    static const GLint internalFormats[] = {0, GL_LUMINANCE8, 0, GL_RGB, GL_RGBA};
    GLuint name = 0;
    glGenTextures(1, &name);
    glBindTexture(GL_TEXTURE_2D, name);
    // Luminance rows are packed: an odd width has no padding (four-byte rows
    // always align, and leave the setting as the other pictures do).
    if (picture.components != 4) glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    setTextureParameters();
    glTexImage2D(GL_TEXTURE_2D, 0, internalFormats[picture.components], picture.width, picture.height, 0,
                 formats[picture.components], GL_UNSIGNED_BYTE, picture.pixels.data());
    return static_cast<int>(name);
}

int loadTexture(const char* path)
{
    PreparedPicture picture;
    preparePicture(path, maxTextureSide(), picture);
    return uploadPrepared(picture);
}

int loadAlphaTexture(const char* alphaPath, const char* colourPath)
{
    PreparedPicture picture;
    {
        OpacityScratch alpha;
        preparePair(alphaPath, colourPath, maxTextureSide(), picture, alpha);
    }
    return uploadPrepared(picture);
}
