#include "data_set.h"

#include "image/picture_table.h"
#include "shell/loading.h"
#include "jpeg_writer.h"
#include "mp3_writer.h"
#include "pictures.h"
#include "soundtrack.h"

#include <filesystem>
#include <map>
#include <set>
#include <thread>

namespace {

constexpr int COLOUR_QUALITY = 90;
// Masks are cut at one half; at this quality the ringing at their edges stays
// far from that threshold.
constexpr int MASK_QUALITY = 98;

std::string stemOf(const std::string& path)
{
    std::string name = std::filesystem::path(path).filename().string();
    size_t dot = name.rfind('.');
    return dot == std::string::npos ? name : name.substr(0, dot);
}

}  // namespace

std::vector<PictureFile> pictureFiles()
{
    std::set<std::string> masks;
    for (const SpriteGroup* group : spriteGroupsInLoadingOrder())
        for (size_t i = 0; i < group->count; ++i) {
            const SpriteRow& row = group->rows[i];
            if (row.alpha && std::string(row.alpha) != row.colour) masks.insert(row.alpha);
        }
    std::vector<PictureFile> files;
    std::set<std::string> seen;
    auto note = [&](const char* path) {
        if (!path || !seen.insert(path).second) return;
        files.push_back({path, stemOf(path), masks.count(path) > 0});
    };
    for (const SpriteGroup* group : spriteGroupsInLoadingOrder())
        for (size_t i = 0; i < group->count; ++i) {
            note(group->rows[i].colour);
            note(group->rows[i].alpha);
        }
    return files;
}

bool writeDataSet(const std::string& dir, bool force, DataSetSummary& summary, std::string* error)
{
    namespace fs = std::filesystem;
    fs::path folder = fs::path(dir) / "data";
    std::error_code ec;
    fs::create_directories(folder, ec);
    if (ec || !fs::is_directory(folder)) {
        *error = "cannot make folder " + folder.string() + (ec ? ": " + ec.message() : "");
        return false;
    }

    auto keep = [&](const std::string& path) {
        if (force || !fs::exists(path, ec)) return false;
        summary.kept++;
        return true;
    };

    // The soundtrack is made on a second thread while the pictures are painted.
    std::string musicPath = (folder / "music.mp3").string();
    const bool makeMusic = !keep(musicPath);
    std::string musicError;
    bool musicOk = !makeMusic;
    std::thread music([&] {
        if (!makeMusic) return;
        std::vector<int16_t> samples = synthesizeSoundtrack();
        musicOk = writeMp3File(musicPath, samples, SOUNDTRACK_RATE, &musicError);
    });

    bool ok = true;
    std::map<std::string, std::pair<int, int>> sizes;
    for (const PictureFile& file : pictureFiles()) {
        std::string path = (fs::path(dir) / file.path).string();
        if (keep(path)) continue;
        Canvas canvas;
        if (!paintPicture(file.stem, file.mask, canvas)) {
            *error = "no painter for " + file.path;
            ok = false;
            break;
        }
        if (!writeJpegFile(path, canvas, file.mask ? MASK_QUALITY : COLOUR_QUALITY, error)) {
            ok = false;
            break;
        }
        sizes[file.path] = {canvas.width, canvas.height};
        summary.files++;
        summary.bytes += fs::file_size(path, ec);
    }
    music.join();

    if (ok) {
        // Both pictures of an opacity pair we painted must have the same size.
        for (const SpriteGroup* group : spriteGroupsInLoadingOrder())
            for (size_t i = 0; i < group->count; ++i) {
                const SpriteRow& row = group->rows[i];
                if (row.alpha && sizes.count(row.alpha) && sizes.count(row.colour) &&
                    sizes[row.alpha] != sizes[row.colour]) {
                    *error = std::string("size of ") + row.colour + " differs from its mask " + row.alpha;
                    return false;
                }
            }
    }
    if (!ok) return false;
    if (!musicOk) {
        *error = musicError;
        return false;
    }
    if (makeMusic) {
        summary.files++;
        summary.bytes += fs::file_size(musicPath, ec);
    }
    return true;
}
