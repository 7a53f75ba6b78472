#include "mp3_writer.h"

#include "output/whole_file.h"

#include <lame/lame.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <vector>

namespace {

constexpr int BITRATE_KBPS = 160;
// LAME's speed/quality knob: 7 is fast and still clean at this bit rate.
constexpr int ENCODER_QUALITY = 7;
constexpr int CHUNK_FRAMES = 8192;

}  // namespace

bool writeMp3File(const std::string& path, const std::vector<int16_t>& interleaved, int rate, std::string* error)
{
    lame_global_flags* lame = lame_init();
    if (!lame) {
        *error = "cannot start the MP3 encoder";
        return false;
    }
    lame_set_in_samplerate(lame, rate);
    lame_set_out_samplerate(lame, rate);
    lame_set_num_channels(lame, 2);
    lame_set_mode(lame, JOINT_STEREO);
    lame_set_VBR(lame, vbr_off);
    lame_set_brate(lame, BITRATE_KBPS);
    lame_set_quality(lame, ENCODER_QUALITY);
    lame_set_bWriteVbrTag(lame, 1);
    if (lame_init_params(lame) < 0) {
        lame_close(lame);
        *error = "cannot set up the MP3 encoder";
        return false;
    }
    WholeFile whole(path);
    if (!whole.create(error)) {
        lame_close(lame);
        return false;
    }
    FILE* file = whole.file();
    auto put = [&](const unsigned char* bytes, size_t count) {
        if (std::fwrite(bytes, 1, count, file) == count) return true;
        *error = cannotWrite(path, errno);
        return false;
    };

    std::vector<unsigned char> out(static_cast<size_t>(1.25 * CHUNK_FRAMES + 7200));
    size_t frames = interleaved.size() / 2;
    bool ok = true;
    for (size_t first = 0; first < frames && ok; first += CHUNK_FRAMES) {
        int n = static_cast<int>(std::min<size_t>(CHUNK_FRAMES, frames - first));
        int bytes = lame_encode_buffer_interleaved(lame, const_cast<short*>(&interleaved[first * 2]), n, out.data(),
                                                   static_cast<int>(out.size()));
        if (bytes < 0) {
            *error = "MP3 encoding failed";
            ok = false;
        } else {
            ok = put(out.data(), static_cast<size_t>(bytes));
        }
    }
    if (ok) {
        int bytes = lame_encode_flush(lame, out.data(), static_cast<int>(out.size()));
        if (bytes < 0) {
            *error = "MP3 encoding failed at the end of " + path;
            ok = false;
        } else {
            ok = put(out.data(), static_cast<size_t>(bytes));
        }
    }
    if (ok) {
        // The first frame is a placeholder for the Info tag (length, encoder
        // delay and padding, which let players start exactly on the first beat).
        size_t tagBytes = lame_get_lametag_frame(lame, out.data(), out.size());
        if (tagBytes > 0 && tagBytes <= out.size()) {
            if (std::fseek(file, 0, SEEK_SET) != 0) {
                *error = cannotWrite(path, errno);
                ok = false;
            } else {
                ok = put(out.data(), tagBytes);
            }
        }
    }
    lame_close(lame);
    return ok && whole.finish(error);
}
