// Feeds arbitrary bytes to the parsing of our own that skarvelin-data --check
// does on a data set's files: the Exif orientation in a picture's TIFF data,
// and what a file is by its first bytes (a picture or a sound of another
// format than the demo reads).
#include "check.h"
#include "image/jpeg_texture.h"
#include "sound/music_file_kind.h"

#include <cstdint>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const int orientation = exifOrientation(std::string(reinterpret_cast<const char*>(data), size));
    if (orientation < 0 || orientation > 0xFFFF) __builtin_trap();
    otherPictureKind(data, size);
    otherSoundKind(data, size);
    return 0;
}
