// Feeds arbitrary bytes to the picture loader through its real path: a file on
// disk, decoded by libjpeg and uploaded as a texture in a headless GL context.
// Inputs whose header claims more than a megapixel are passed over, as
// libjpeg-turbo's own fuzz target does: decoding them takes the time of a
// thousand small ones, while what is particular to large pictures (the pixel
// budget, halving, the scan limit) has tests of its own. The loader's limits
// still hold for every input tried.
#include "headless/headless_context.h"
#include "image/jpeg_texture.h"

#include <GL/gl.h>
#include <unistd.h>

#include <csetjmp>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include <jpeglib.h>

namespace {

HeadlessContext* context = nullptr;
std::string picturePath;

constexpr uint64_t LARGEST_PIXELS_TRIED = 1024 * 1024;

struct HeaderErrors {
    jpeg_error_mgr standard;
    jmp_buf failed;
};

[[noreturn]] void stopReading(j_common_ptr cinfo)
{
    longjmp(reinterpret_cast<HeaderErrors*>(cinfo->err)->failed, 1);
}

void sayNothing(j_common_ptr) {}

// Whether the header claims more pixels than are tried; an input without a
// header that reads is tried (it fails early in the loader too).
bool claimsTooMuch(const uint8_t* data, size_t size)
{
    jpeg_decompress_struct cinfo;
    HeaderErrors errors;
    cinfo.err = jpeg_std_error(&errors.standard);
    errors.standard.error_exit = stopReading;
    errors.standard.output_message = sayNothing;
    if (setjmp(errors.failed)) {
        jpeg_destroy_decompress(&cinfo);
        return false;
    }
    jpeg_create_decompress(&cinfo);
    jpeg_mem_src(&cinfo, data, static_cast<unsigned long>(size));
    jpeg_read_header(&cinfo, TRUE);
    const uint64_t pixels = static_cast<uint64_t>(cinfo.image_width) * cinfo.image_height;
    jpeg_destroy_decompress(&cinfo);
    return pixels > LARGEST_PIXELS_TRIED;
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    context = new HeadlessContext(16, 16);
    if (!context->ok()) {
        fprintf(stderr, "jpeg_fuzzer: %s\n", context->error().c_str());
        exit(1);
    }
    picturePath = "/tmp/skarvelin-fuzz-" + std::to_string(getpid()) + ".jpg";
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (claimsTooMuch(data, size)) return -1;  // not added to the corpus
    FILE* file = fopen(picturePath.c_str(), "wb");
    if (!file) return 0;
    fwrite(data, 1, size, file);
    fclose(file);

    int plain = loadTexture(picturePath.c_str());
    int paired = loadAlphaTexture(picturePath.c_str(), picturePath.c_str());
    for (int name : {plain, paired}) {
        if (name > 0) {
            GLuint texture = static_cast<GLuint>(name);
            glDeleteTextures(1, &texture);
        }
    }
    return 0;
}
