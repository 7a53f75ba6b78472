#include "data_set.h"

#include "image/sprite_group.h"
#include "jpeg_writer.h"
#include "mp3_writer.h"
#include "pictures.h"
#include "shell/loading.h"
#include "soundtrack.h"

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <filesystem>
#include <map>
#include <mutex>
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

bool writeDataSet(const std::string& dir, bool force, DataSetSummary& summary, std::string* error,
                  const std::function<void(const DataSetProgress&)>& progress)
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
    // Where the music thread is, for the progress line: an index into MUSIC_STAGES.
    static const char* const MUSIC_STAGES[] = {"composing", "encoding", "done", "kept"};
    std::atomic<int> musicStage{makeMusic ? 0 : 3};
    std::mutex musicMutex;
    std::condition_variable musicChanged;
    std::thread music([&] {
        if (makeMusic) {
            std::vector<int16_t> samples = synthesizeSoundtrack();
            musicStage = 1;
            musicOk = writeMp3File(musicPath, samples, SOUNDTRACK_RATE, &musicError);
        }
        std::lock_guard<std::mutex> lock(musicMutex);
        if (makeMusic) musicStage = 2;
        musicChanged.notify_all();
    });

    const std::vector<PictureFile> files = pictureFiles();
    DataSetProgress state;
    state.pictureCount = static_cast<int>(files.size());
    auto report = [&] {
        if (!progress) return;
        state.music = MUSIC_STAGES[musicStage];
        progress(state);
    };
    report();

    bool ok = true;
    std::map<std::string, std::pair<int, int>> sizes;
    for (const PictureFile& file : files) {
        std::string path = (fs::path(dir) / file.path).string();
        ++state.pictures;
        if (keep(path)) {
            report();
            continue;
        }
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
        report();
    }
    // The music usually takes longer than the pictures: the line keeps
    // moving while it is made.
    {
        std::unique_lock<std::mutex> lock(musicMutex);
        while (!musicChanged.wait_for(lock, std::chrono::milliseconds(100), [&] { return musicStage >= 2; })) {
            lock.unlock();
            report();
            lock.lock();
        }
    }
    music.join();
    report();

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
