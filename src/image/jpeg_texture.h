// JPEG files into OpenGL textures.
#pragma once

#include <cstddef>
#include <string>

// The most pixels one picture may have, and the most scans its file may hold
// (jpeg_texture.cpp says why these numbers).
extern const size_t PICTURE_PIXEL_BUDGET;
extern const int PICTURE_SCAN_LIMIT;

// What loadJpeg accepts besides the budget and the scan limit. The decoder
// makes no OpenGL call: the caller passes the texture size limit in.
struct JpegLimits {
    int maxSide = 65535;  // neither side may be larger (GL_MAX_TEXTURE_SIZE)
    int width = 0;        // when not 0, the size the decoded picture must have
    int height = 0;
};

// How the loader's decoder dealt with a file, for a report on a data set.
enum class JpegFault {
    None,             // decoded
    CannotOpen,       // reason: "missing", or the system's reason
    Folder,           // a folder under the picture's name
    Empty,            // a file of no bytes
    NotJpeg,          // reason: what the file is by its first bytes ("a PNG file")
    Undecodable,      // reason: libjpeg's message
    TooManyScans,     // more scans than the scan limit
    OverBudget,       // more pixels than the budget allows, even at half size
    OverTextureSide,  // a side larger than the limits' maxSide
    WrongSize,        // not the size the limits asked for
    NoMemory,         // no room for the pixels
};

struct JpegDiagnosis {
    JpegFault fault = JpegFault::None;
    // Why it failed, or what decoding changed (a picture at half size), in
    // words for the user; empty when it decoded as it is.
    std::string reason;
    int width = 0, height = 0;  // as decoded: half the file's size when halved
    bool cmyk = false;          // CMYK or YCCK, which cannot be turned into RGB
    std::string warning;        // libjpeg's first warning, for data that is damaged
    std::string exif;           // the Exif segment's TIFF data, empty when there is none
};

// Decodes path exactly as preparePicture does, with these limits, and says
// how that went. True when the picture loads. A file that does not decode is
// named by what it is where that is known: a folder, empty, or a picture of
// another format.
bool diagnoseJpeg(const char* path, const JpegLimits& limits, JpegDiagnosis& diagnosis);

// What a file is by its first bytes, when it is a picture format other than
// JPEG: "a PNG file", "a GIF file", "a WebP file", "a BMP file", "a HEIC
// file"; null otherwise.
const char* otherPictureKind(const unsigned char* head, size_t length);

// Decodes a JPEG file into packed RGB rows, top row first (3 * width bytes a row).
// Returns a malloc'd array that the caller frees, or null when the file
// cannot be opened or decoded, or is refused by the limits (checked on the
// header, before anything is allocated for the picture); width and height are
// written once the header is read. A single-scan picture over the pixel
// budget, up to four times it, comes at half its size (rounded up), as
// `djpeg -scale 1/2` gives it; width and height are then that size. Data that
// ends early or is damaged in a way libjpeg recovers from gives the picture
// libjpeg makes of it (its own fill for what is missing), and libjpeg's first
// warning goes to warning.
unsigned char* loadJpeg(const char* path, int* width, int* height, const JpegLimits& limits = JpegLimits(),
                        std::string* warning = nullptr);

// Room for decoding: bytes that are grown when too small and kept for the
// next picture, which spares the page faults of fresh allocations. The buffer
// owns its bytes and frees them; it moves but does not copy, and a buffer
// moved from is empty, so a picture handed from thread to thread is freed
// exactly once.
class PixelBuffer {
public:
    PixelBuffer() = default;
    ~PixelBuffer();
    PixelBuffer(PixelBuffer&& other) noexcept;
    PixelBuffer& operator=(PixelBuffer&& other) noexcept;
    PixelBuffer(const PixelBuffer&) = delete;
    PixelBuffer& operator=(const PixelBuffer&) = delete;

    unsigned char* data() const { return pixels; }
    size_t capacity() const { return size; }
    // Makes room for at least count bytes (0 stands for too many to count);
    // false when it cannot. What the buffer held is not kept when it grows.
    bool reserve(size_t count);
    // Gives the bytes to the caller, who frees them with free(); leaves the buffer empty.
    unsigned char* release();

private:
    unsigned char* pixels = nullptr;  // from malloc
    size_t size = 0;
};

// A picture made ready for its texture without any OpenGL call, so that it
// can be made on another thread: the pixels as they are uploaded, and the
// warning lines that are printed before the upload.
struct PreparedPicture {
    std::string notes;   // "PATH: warning" lines, in decoding order
    PixelBuffer pixels;  // reused by the next picture prepared into it
    int width = 0, height = 0;
    int components = 0;  // 1 luminance, 3 RGB (as RGBX), 4 RGBA; 0 not loaded
};

// The largest texture side of the current context's driver.
int maxTextureSide();

// What loadTexture uploads for path: luminance when every pixel is grey, else
// RGB. Returns false when the picture could not be loaded. The picture's
// buffer is reused when large enough.
bool preparePicture(const char* path, int maxSide, PreparedPicture& picture);

// The last opacity file a decoder read, kept because pairs share them (one
// opacity file serves ten of the machine pictures): its path, size, decoded
// RGB and the warning lines its decoding gave.
struct OpacityScratch {
    PixelBuffer buffer;
    std::string path;  // empty when the buffer holds nothing reusable
    int width = 0, height = 0;
    std::string notes;
};

// What loadAlphaTexture uploads: RGBA, colour from colourPath, opacity from
// the red channel of alphaPath. The opacity file is decoded into scratch,
// unless scratch already holds it; either way its warnings are noted again.
bool preparePair(const char* alphaPath, const char* colourPath, int maxSide, PreparedPicture& picture,
                 OpacityScratch& scratch);

// Prints the picture's notes on standard error and uploads it as a new
// texture. Returns the texture name, or -1 (and makes no name) when the
// picture was not loaded.
int uploadPrepared(const PreparedPicture& picture);

// Uploads one picture as a texture (luminance when every pixel is grey).
// Returns the texture name, or -1 when the picture could not be loaded.
// A damaged picture that decodes is uploaded, and the decoder's warning is
// printed on standard error after the file's name.
int loadTexture(const char* path);

// Uploads an RGBA texture: colour from the colour picture, opacity from the
// red channel of the alpha picture. Returns the texture name, or -1.
// Warnings as for loadTexture.
int loadAlphaTexture(const char* alphaPath, const char* colourPath);
