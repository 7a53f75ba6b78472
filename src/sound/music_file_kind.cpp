#include "sound/music_file_kind.h"

#include <sys/stat.h>

#include <cstdio>
#include <cstring>

const char* otherSoundKind(const unsigned char* head, size_t length)
{
    auto starts = [&](size_t at, const char* text) {
        const size_t n = strlen(text);
        return length >= at + n && memcmp(head + at, text, n) == 0;
    };
    if (starts(0, "RIFF") && starts(8, "WAVE")) return "a WAV file";
    if (starts(0, "OggS")) return "an Ogg file";
    if (starts(0, "fLaC")) return "a FLAC file";
    if (starts(4, "ftyp")) return "an M4A (MP4) file";
    return nullptr;
}

std::string unplayableMusicHint(const char* path)
{
    const std::string file(path);
    const std::string what = " (skarvelin-data --check names every file of the set the demo will trip over)";
    struct stat info;
    if (stat(path, &info) != 0) {
        // Without the data folder the demo says where it looked instead.
        const size_t slash = file.rfind('/');
        const std::string folder = slash == std::string::npos ? "." : file.substr(0, slash);
        if (stat(folder.c_str(), &info) != 0) return "";
        return "there is no " + file +
               ": put your MP3 there, or make the default one with skarvelin-data, "
               "which keeps your other files" +
               what;
    }
    if (S_ISDIR(info.st_mode)) return file + " is a folder: put an MP3 file under that name" + what;
    if (info.st_size == 0) return file + " is empty: put an MP3 file there" + what;
    unsigned char head[16] = {};
    size_t read = 0;
    if (FILE* in = fopen(path, "rb")) {
        read = fread(head, 1, sizeof head, in);
        fclose(in);
    }
    if (const char* kind = otherSoundKind(head, read))
        return file + " is " + kind + ", not MP3: convert it to MP3" + what;
    return file + " is not MP3 that the decoder can play: save it again as MP3" + what;
}
