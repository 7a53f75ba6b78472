#include "check.h"

#include "data_set.h"
#include "data_folder/data_folder.h"
#include "image/jpeg_texture.h"
#include "image/picture_table.h"
#include "shell/loading.h"
#include "shell/schedule.h"
#include "sound/audio.h"
#include "sound/mp3_player.h"

#include <SDL.h>
#include <mpg123.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <vector>

namespace {

std::string sizeText(int width, int height)
{
    return std::to_string(width) + " x " + std::to_string(height);
}

// The orientation (tag 0x0112 of the first directory) in an Exif segment's
// TIFF data: 1, upright, when there is none or it cannot be read.
int exifOrientation(const std::string& tiff)
{
    const bool little = tiff.compare(0, 2, "II") == 0;
    if (!little && tiff.compare(0, 2, "MM") != 0) return 1;
    auto number = [&](size_t at, int bytes) -> uint32_t {
        uint32_t value = 0;
        for (int i = 0; i < bytes; ++i) {
            const uint32_t byte = static_cast<unsigned char>(tiff[at + (little ? bytes - 1 - i : i)]);
            value = value << 8 | byte;
        }
        return value;
    };
    if (tiff.size() < 8 || number(2, 2) != 42) return 1;
    const size_t directory = number(4, 4);
    if (directory > tiff.size() - 2) return 1;
    const size_t entries = number(directory, 2);
    for (size_t i = 0; i < entries; ++i) {
        const size_t entry = directory + 2 + 12 * i;
        if (entry + 12 > tiff.size()) break;
        // A SHORT, its value in the first two bytes of the value field.
        if (number(entry, 2) == 0x0112) return number(entry + 2, 2) == 3 ? static_cast<int>(number(entry + 8, 2)) : 1;
    }
    return 1;
}

// How a picture with this orientation looks when drawn as stored, which is
// how the demo draws it; null for upright and for values that mean nothing.
const char* unappliedOrientation(int orientation)
{
    switch (orientation) {
    case 2: return "mirrored";
    case 3: return "upside down";
    case 4: return "upside down and mirrored";
    case 5: return "on its side and mirrored";
    case 6: return "on its side, turned a quarter to the left";
    case 7: return "on its side and mirrored";
    case 8: return "on its side, turned a quarter to the right";
    default: return nullptr;
    }
}

// What keeps a picture from showing as expected, in words; empty when
// nothing does. Pairs are looked at afterwards.
std::string pictureProblem(const JpegDiagnosis& diagnosis, bool loaded)
{
    if (!loaded) {
        switch (diagnosis.fault) {
        case JpegFault::CannotOpen:
            return diagnosis.reason == "missing" ? diagnosis.reason : "cannot be read: " + diagnosis.reason;
        case JpegFault::Undecodable:
            if (diagnosis.cmyk) return "CMYK, which the loader refuses: drawn blank (save it as RGB)";
            return "cannot be decoded (" + diagnosis.reason + "): drawn blank";
        case JpegFault::OverTextureSide:
            return "refused, " + diagnosis.reason +
                   " most graphics drivers take (the driver's own limit is not known without OpenGL): drawn blank";
        default:
            return "refused, " + diagnosis.reason + ": drawn blank";
        }
    }
    std::string problem = diagnosis.reason;  // a picture shown at half size says so
    auto add = [&problem](const std::string& part) { problem += (problem.empty() ? "" : "; ") + part; };
    if (!diagnosis.warning.empty()) add("damaged (" + diagnosis.warning + "): drawn as libjpeg decodes it");
    const int orientation = exifOrientation(diagnosis.exif);
    if (const char* look = unappliedOrientation(orientation))
        add("EXIF orientation " + std::to_string(orientation) + ", which the demo does not apply: shown " + look);
    return problem;
}

// The length of an MP3 file in seconds, counted sample by sample as
// libmpg123 (the decoder SDL_mixer plays MP3 with) decodes it: a length in
// a header, or one estimated from the first frames, can be wrong. Decoding
// stops at the first error, as playing does.
bool decodedSeconds(const std::string& path, double* seconds, std::string* error)
{
    int status = MPG123_OK;
    mpg123_handle* decoder = mpg123_new(nullptr, &status);
    if (!decoder) {
        *error = mpg123_plain_strerror(status);
        return false;
    }
    mpg123_param(decoder, MPG123_ADD_FLAGS, MPG123_QUIET, 0);
    if (mpg123_open(decoder, path.c_str()) != MPG123_OK) {
        *error = mpg123_strerror(decoder);
        mpg123_delete(decoder);
        return false;
    }
    long rate = 0;
    int channels = 0, encoding = 0;
    double total = 0;
    std::vector<unsigned char> buffer(1 << 16);
    for (;;) {
        size_t bytes = 0;
        status = mpg123_read(decoder, buffer.data(), buffer.size(), &bytes);
        if (status == MPG123_NEW_FORMAT) mpg123_getformat(decoder, &rate, &channels, &encoding);
        const int frameBytes = channels * mpg123_encsize(encoding);
        if (bytes > 0 && rate > 0 && frameBytes > 0) total += static_cast<double>(bytes / frameBytes) / rate;
        if (status != MPG123_OK && status != MPG123_NEW_FORMAT) break;
    }
    mpg123_close(decoder);
    mpg123_delete(decoder);
    *seconds = total;
    return true;
}

// Opens the music as the player does, on SDL's silent driver, and measures
// it by decoding; empty when it plays through the programme.
std::string musicProblem(const std::string& path)
{
    // The check needs no sound device, whatever SDL_AUDIODRIVER says; SDL
    // forgets the hint when it is shut down.
    SDL_SetHintWithPriority(SDL_HINT_AUDIODRIVER, "dummy", SDL_HINT_OVERRIDE);
    if (!audioInit(44100, 0, 0))
        return std::string("cannot be tried: the sound system does not start (") +
               soundErrorText(audioLastError()) + ")";
    AudioStream* stream = nullptr;
    std::string message;
    void* bytes = openMusicFile(path.c_str(), &stream, &message);
    if (bytes && !stream) message = soundErrorText(audioLastError());
    if (stream) audioStreamClose(stream);
    audioClose();
    free(bytes);
    if (!stream) return "cannot be played: the demo stops with \"" + message + "\"";

    double seconds = 0;
    std::string error;
    if (!decodedSeconds(path, &seconds, &error)) return "cannot be measured by decoding (" + error + ")";
    if (seconds * 1000 >= PROGRAMME_END_MS) return "";
    char text[160];
    // Tenths cut, not rounded: a track is never said to be longer than it is.
    const double tenths = std::floor(seconds * 10) / 10;
    snprintf(text, sizeof text, "%.1f s long, shorter than the programme (%d s): silent after %.1f s", tenths,
             PROGRAMME_END_MS / 1000, tenths);
    return text;
}

}  // namespace

DataSetCheck checkDataSet(const std::string& folder)
{
    auto shown = [&folder](const std::string& file) { return dataFileIn(folder, file.c_str()); };
    DataSetCheck check;
    const std::vector<PictureFile> files = pictureFiles();
    check.files = static_cast<int>(files.size()) + 1;
    // Without the folder every file is missing: one line says so.
    if (!std::filesystem::is_directory(folder)) {
        const std::string parent = std::filesystem::path(folder).parent_path().string();
        check.problems.push_back(folder + ": no such folder (skarvelin-data " + (parent.empty() ? "" : parent + " ") +
                                 "makes the default set there)");
        check.failing = check.files;
        return check;
    }

    JpegLimits limits;
    limits.maxSide = ASSUMED_TEXTURE_SIDE;

    // Every file once, decoded as the loader decodes it.
    std::map<std::string, JpegDiagnosis> diagnoses;
    std::map<std::string, std::string> problems;
    for (const PictureFile& file : files) {
        JpegDiagnosis& diagnosis = diagnoses[file.path];
        const bool loaded = diagnoseJpeg(shown(file.path).c_str(), limits, diagnosis);
        problems[file.path] = pictureProblem(diagnosis, loaded);
    }

    // A colour picture and its opacity picture must come out the same size,
    // or the loader refuses the pair.
    for (const SpriteGroup* group : spriteGroupsInLoadingOrder())
        for (size_t i = 0; i < group->count; ++i) {
            const SpriteRow& row = group->rows[i];
            if (!row.alpha || std::string(row.alpha) == row.colour) continue;
            const JpegDiagnosis& colour = diagnoses[row.colour];
            const JpegDiagnosis& alpha = diagnoses[row.alpha];
            if (colour.fault != JpegFault::None || alpha.fault != JpegFault::None) continue;
            if (colour.width == alpha.width && colour.height == alpha.height) continue;
            std::string& problem = problems[row.colour];
            problem += (problem.empty() ? "" : "; ") + std::string("its opacity picture ") + shown(row.alpha) +
                       " differs in size (" + sizeText(colour.width, colour.height) + " and " +
                       sizeText(alpha.width, alpha.height) + "): the pair is drawn blank";
        }

    for (const PictureFile& file : files)
        if (!problems[file.path].empty()) check.problems.push_back(shown(file.path) + ": " + problems[file.path]);

    const std::string music = musicProblem(shown(MUSIC_PATH));
    if (!music.empty()) check.problems.push_back(shown(MUSIC_PATH) + ": " + music);
    check.failing = static_cast<int>(check.problems.size());
    return check;
}
