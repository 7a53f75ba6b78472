#include "check.h"

#include "data_folder/data_folder.h"
#include "data_set.h"
#include "image/jpeg_texture.h"
#include "image/sprite_group.h"
#include "programme/time.h"
#include "shell/loading.h"
#include "sound/audio.h"
#include "sound/mp3_player.h"
#include "sound/music_file_kind.h"

#include <SDL.h>
#include <mpg123.h>
#include <sys/stat.h>

#include <cctype>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <vector>

namespace {

// How much longer than the programme a track may be before the check notes
// that its end is never heard.
constexpr int LONGER_TRACK_NOTE_MS = 1000;

bool fileExists(const std::string& path)
{
    struct stat info;
    return stat(path.c_str(), &info) == 0;
}

std::string sizeText(int width, int height)
{
    return std::to_string(width) + " x " + std::to_string(height);
}

// How a picture with this orientation looks when drawn as stored, which is
// how the demo draws it; null for upright and for values that mean nothing.
const char* unappliedOrientation(int orientation)
{
    switch (orientation) {
    case 2:
        return "mirrored";
    case 3:
        return "upside down";
    case 4:
        return "upside down and mirrored";
    case 5:
        return "on its side and mirrored";
    case 6:
        return "on its side, turned a quarter to the left";
    case 7:
        return "on its side and mirrored";
    case 8:
        return "on its side, turned a quarter to the right";
    default:
        return nullptr;
    }
}

// How the demo draws a picture it could not load: its sprite without a
// texture, a white square, which for a picture that covers the screen (an
// overlay, a card) is the whole frame.
const char* const DRAWN_WHITE = "drawn as a white square (a white frame where it covers the screen)";

// What keeps a picture from showing as expected, in words, and what to do
// about it; empty when nothing does. Pairs are looked at afterwards.
std::string pictureProblem(const JpegDiagnosis& diagnosis, bool loaded)
{
    if (!loaded) {
        const std::string white = std::string(": ") + DRAWN_WHITE + "; ";
        switch (diagnosis.fault) {
        case JpegFault::CannotOpen:
            if (diagnosis.reason == "missing")
                return "missing" + white +
                       "put the picture there, or let skarvelin-data make the default one "
                       "(it keeps the files that are there)";
            return "cannot be read (" + diagnosis.reason + ")" + white + "make it readable (chmod a+r)";
        case JpegFault::Folder:
            return "a folder, not a picture" + white + "put a JPEG picture under this name";
        case JpegFault::Empty:
            return "empty" + white + "put a JPEG picture under this name";
        case JpegFault::NotJpeg:
            return diagnosis.reason + ", not a JPEG" + white + "save it as JPEG";
        case JpegFault::Undecodable:
            if (diagnosis.cmyk) return "CMYK, which the loader refuses" + white + "save it as RGB";
            return "cannot be decoded (" + diagnosis.reason + ")" + white + "save it again as JPEG";
        case JpegFault::OverTextureSide:
            return "refused, " + diagnosis.reason +
                   " most graphics drivers take (the driver's own limit is not known without OpenGL)" + white +
                   "scale it down";
        case JpegFault::TooManyScans:
            return "refused, " + diagnosis.reason + white + "save it as a baseline JPEG";
        default:
            return "refused, " + diagnosis.reason + white + "scale it down to 4096 x 4096 or less";
        }
    }
    std::string problem;
    auto add = [&problem](const std::string& part) { problem += (problem.empty() ? "" : "; ") + part; };
    if (!diagnosis.reason.empty())  // a picture shown at half size says so
        add(diagnosis.reason + " (scale it down to 4096 x 4096 or less to keep its detail)");
    if (!diagnosis.warning.empty())
        add("damaged (" + diagnosis.warning + "): drawn as libjpeg decodes it (save it again from the original)");
    const int orientation = exifOrientation(diagnosis.exif);
    if (const char* look = unappliedOrientation(orientation))
        add("EXIF orientation " + std::to_string(orientation) + ", which the demo does not apply: shown " + look +
            " (turn the picture itself upright and save it)");
    return problem;
}

// What is worth knowing about a picture that loads, though it shows as the
// demo means to show it: empty when nothing.
std::string pictureNote(const JpegDiagnosis& diagnosis)
{
    std::string note;
    auto add = [&note](const std::string& part) { note += (note.empty() ? "" : "; ") + part; };
    const std::string size = sizeText(diagnosis.width, diagnosis.height);
    if (diagnosis.height > diagnosis.width)
        add(size +
            ", taller than wide: drawn stretched to the screen's shape (crop it to a landscape shape to "
            "keep its proportions)");
    if (diagnosis.width < 16 || diagnosis.height < 16)
        add(size +
            ", smaller than 16 x 16: fills the screen with a few colours (use a larger picture if that is "
            "not meant)");
    return note;
}

// "2:12".
std::string minutesText(double seconds)
{
    const long whole = static_cast<long>(seconds);
    char text[32];
    snprintf(text, sizeof text, "%ld:%02ld", whole / 60, whole % 60);
    return text;
}

// A file in folder named as name is wanted: another case of it, or for a
// picture .jpeg for .jpg. Empty when there is none.
std::string otherSpelling(const std::string& folder, const std::string& name)
{
    auto lower = [](std::string text) {
        for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        return text;
    };
    const std::string wanted = lower(name);
    const std::filesystem::path path(wanted);
    const std::string jpeg = path.extension() == ".jpg" ? path.stem().string() + ".jpeg" : "";
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator(folder, error)) {
        const std::string found = entry.path().filename().string();
        if (found == name) continue;
        const std::string key = lower(found);
        if (key == wanted || (!jpeg.empty() && key == jpeg)) return found;
    }
    return "";
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
// it by decoding. Empty when it plays through the programme; a note (in
// *note) when it goes on past its end.
std::string musicProblem(const std::string& path, std::string* note)
{
    // The check needs no sound device, whatever SDL_AUDIODRIVER says; SDL
    // forgets the hint when it is shut down.
    SDL_SetHintWithPriority(SDL_HINT_AUDIODRIVER, "dummy", SDL_HINT_OVERRIDE);
    if (!audioInit(44100, 0, 0))
        return std::string("cannot be tried: the sound system does not start (") + soundErrorText(audioLastError()) +
               "); try again with SDL_AUDIODRIVER=dummy";
    AudioStream* stream = nullptr;
    std::string message;
    void* bytes = openMusicFile(path.c_str(), &stream, &message);
    if (bytes && !stream) message = soundErrorText(audioLastError());
    if (stream) audioStreamClose(stream);
    audioClose();
    free(bytes);
    if (!stream) {
        const std::string stops = "the demo stops with \"" + message + "\"; ";
        struct stat info;
        if (stat(path.c_str(), &info) != 0)
            return "cannot be played: " + stops + "put an MP3 there, or let skarvelin-data make the default one";
        if (S_ISDIR(info.st_mode)) return "a folder, not music: " + stops + "put an MP3 file under this name";
        if (info.st_size == 0) return "empty: " + stops + "put an MP3 file under this name";
        unsigned char head[16] = {};
        size_t read = 0;
        if (FILE* file = fopen(path.c_str(), "rb")) {
            read = fread(head, 1, sizeof head, file);
            fclose(file);
        }
        if (const char* kind = otherSoundKind(head, read))
            return std::string(kind) + ", not MP3: " + stops + "convert it to MP3";
        return "cannot be played: " + stops + "save it again as MP3";
    }

    double seconds = 0;
    std::string error;
    if (!decodedSeconds(path, &seconds, &error))
        return "cannot be measured by decoding (" + error + "); save it again as MP3";
    if (seconds * 1000 >= PROGRAMME_END_MS) {
        // A tail of a second or so is how tracks end; more is music never heard.
        if (seconds * 1000 > PROGRAMME_END_MS + LONGER_TRACK_NOTE_MS)
            *note = minutesText(seconds) + " long: plays to " + minutesText(PROGRAMME_END_MS / 1000.0) + " of " +
                    minutesText(seconds) + ", where the programme ends (cut it to " +
                    minutesText(PROGRAMME_END_MS / 1000.0) + " to end with the picture)";
        return "";
    }
    char text[200];
    // Tenths cut, not rounded: a track is never said to be longer than it is.
    const double tenths = std::floor(seconds * 10) / 10;
    snprintf(text, sizeof text,
             "%.1f s long, shorter than the programme (%d s): silent after %.1f s (use a track of at least %s)", tenths,
             PROGRAMME_END_MS / 1000, tenths, minutesText(PROGRAMME_END_MS / 1000.0).c_str());
    return text;
}

}  // namespace

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
    std::map<std::string, std::string> notes;
    for (const PictureFile& file : files) {
        JpegDiagnosis& diagnosis = diagnoses[file.path];
        const bool loaded = diagnoseJpeg(shown(file.path).c_str(), limits, diagnosis);
        problems[file.path] = pictureProblem(diagnosis, loaded);
        if (loaded) notes[file.path] = pictureNote(diagnosis);
        // Under another spelling the demo does not find it: the file there is named.
        const std::string name = std::filesystem::path(file.path).filename().string();
        const std::string other = diagnosis.reason == "missing" ? otherSpelling(folder, name) : "";
        if (!other.empty()) problems[file.path] = "found " + other + "; the demo loads " + name + ": rename it";
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
                       sizeText(alpha.width, alpha.height) + "): the pair is " + DRAWN_WHITE +
                       "; make both the same size";
        }

    for (const PictureFile& file : files)
        if (!problems[file.path].empty()) check.problems.push_back(shown(file.path) + ": " + problems[file.path]);

    const std::string musicName = std::filesystem::path(MUSIC_PATH).filename().string();
    const std::string otherMusic = fileExists(shown(MUSIC_PATH)) ? "" : otherSpelling(folder, musicName);
    std::string musicNote;
    const std::string music = otherMusic.empty()
                                  ? musicProblem(shown(MUSIC_PATH), &musicNote)
                                  : "found " + otherMusic + "; the demo loads " + musicName + ": rename it";
    if (!music.empty()) check.problems.push_back(shown(MUSIC_PATH) + ": " + music);
    check.failing = static_cast<int>(check.problems.size());

    // Notes last: they do not count.
    for (const PictureFile& file : files)
        if (!notes[file.path].empty()) check.problems.push_back(shown(file.path) + ": note: " + notes[file.path]);
    if (!musicNote.empty()) check.problems.push_back(shown(MUSIC_PATH) + ": note: " + musicNote);
    return check;
}
