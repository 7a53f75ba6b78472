// Feeds arbitrary bytes to the picture loader through its real path: a file on
// disk, decoded by libjpeg and uploaded as a texture in a headless GL context.
#include "headless/headless_context.h"
#include "image/jpeg_texture.h"

#include <GL/gl.h>
#include <unistd.h>

#include <csetjmp>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

// jpeglib.h needs FILE and size_t declared first.
#include <jpeglib.h>

namespace {

HeadlessContext* context = nullptr;
std::string picturePath;

// Pictures the loader accepts cost time and memory in proportion to their
// size, and a few hundred bytes of arithmetic-coded data may legally describe
// one of 16384 x 16384. Such inputs are skipped so that every run stays quick;
// larger claims, which the loader refuses before allocating, are kept.
const unsigned long MAX_FUZZED_PIXELS = 4096UL * 4096UL;
const JDIMENSION LOADER_MAX_SIDE = 16384;

struct QuietErrors {
    jpeg_error_mgr standard;
    jmp_buf failed;
};

// True when the header reads and claims a picture the loader would decode in full.
bool claimsLargeAcceptedPicture(const uint8_t* data, size_t size)
{
    jpeg_decompress_struct cinfo;
    QuietErrors errors;
    cinfo.err = jpeg_std_error(&errors.standard);
    errors.standard.error_exit = [](j_common_ptr c) { longjmp(reinterpret_cast<QuietErrors*>(c->err)->failed, 1); };
    errors.standard.output_message = [](j_common_ptr) {};
    if (setjmp(errors.failed)) {
        jpeg_destroy_decompress(&cinfo);
        return false;
    }
    jpeg_create_decompress(&cinfo);
    jpeg_mem_src(&cinfo, data, static_cast<unsigned long>(size));
    jpeg_read_header(&cinfo, TRUE);
    const bool large = cinfo.image_width <= LOADER_MAX_SIDE && cinfo.image_height <= LOADER_MAX_SIDE &&
                       static_cast<unsigned long>(cinfo.image_width) * cinfo.image_height > MAX_FUZZED_PIXELS;
    jpeg_destroy_decompress(&cinfo);
    return large;
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
    if (claimsLargeAcceptedPicture(data, size)) return -1;
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
