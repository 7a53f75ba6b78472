// Feeds arbitrary bytes to the picture loader through its real path: a file on
// disk, decoded by libjpeg and uploaded as a texture in a headless GL context.
// Every input is tried: the loader's own pixel budget and scan limit keep each
// one within bounded time and memory.
#include "headless/headless_context.h"
#include "image/jpeg_texture.h"

#include <GL/gl.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

HeadlessContext* context = nullptr;
std::string picturePath;

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
