#include "renderer.h"

#include "bench.h"
#include "capture.h"
#include "contact_sheet.h"
#include "data_folder/data_folder.h"
#include "headless/headless_context.h"
#include "options.h"
#include "png_writer.h"
#include "progress.h"
#include "video_writer.h"

#include "programme/screen.h"
#include "shell/loading.h"
#include "shell/programme_state.h"
#include "shell/schedule.h"
#include "sound/music_samples.h"

#include <GL/gl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>

namespace {

int fail(int status, const std::string& message)
{
    std::fprintf(stderr, "skarvelin-render: %s\n", message.c_str());
    return status;
}

bool isFolder(const char* path)
{
    struct stat info;
    return stat(path, &info) == 0 && S_ISDIR(info.st_mode);
}

// A file the run will write (the video, the sheet) goes into a folder that is
// there: a typo in its name must not cost a whole render, nor leave a new
// folder behind. 0 when it can be written, else the status after the message.
int refuseFileToWrite(const char* option, const std::string& file)
{
    if (isFolder(file.c_str()))
        return fail(EXIT_USAGE, std::string(option) + " wants a file to write, and " + file + " is a folder");
    std::string parent = std::filesystem::path(file).parent_path().string();
    if (parent.empty()) parent = ".";
    if (!isFolder(parent.c_str()))
        return fail(EXIT_USAGE, std::string(option) + " " + file + ": there is no folder " + parent);
    std::string error;
    if (!prepareFolder(parent, &error)) return fail(EXIT_FAILED, error);
    return 0;
}

double millisecondsSince(std::chrono::steady_clock::time_point start)
{
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
}

}  // namespace

int renderProgramme(const RenderOptions& options)
{
    const auto start = std::chrono::steady_clock::now();
    std::string error;
    DataSearch data;
    if (!chooseDataFolder("skarvelin-render", options.dataDir, &data)) return EXIT_USAGE;
    if (data.folder.empty()) {
        for (const std::string& line : noDataSetHint(data, "skarvelin-render", std::getenv)) fail(0, line);
        return EXIT_USAGE;
    }
    const std::string music = dataFile(MUSIC_PATH);
    const std::vector<uint32_t> times = frameTimes(options);
    // The clip's sound: the music as the demo plays it from the first frame's
    // time, as long as the frames. What the demo refuses is refused here, at
    // once, with the demo's own message.
    std::vector<int16_t> sound;
    if (!options.videoFile.empty()) {
        const size_t soundFrames = (static_cast<uint64_t>(times.size()) * MUSIC_OUTPUT_RATE + options.fps - 1) /
                                   options.fps;
        std::string message, hint;
        if (!readMusicAsPlayed(music.c_str(), options.from, soundFrames, &sound, &message, &hint)) {
            if (message.find(music) == std::string::npos) message = music + ": " + message;
            if (!hint.empty()) message += "\nskarvelin-render: " + hint;
            return fail(EXIT_USAGE, "--video needs the soundtrack: " + message);
        }
        if (const int status = refuseFileToWrite("--video", options.videoFile)) return status;
    }
    if (!options.sheetFile.empty())
        if (const int status = refuseFileToWrite("--sheet", options.sheetFile)) return status;

    // The scenes draw into a render target of the picture's own size, so
    // with --aspect they see a 4:3 window; the capture adds the bars.
    const PictureArea area = pictureArea(options.width, options.height, options.aspect4by3);
    HeadlessContext context(area.width, area.height);
    if (context.choiceRefused()) return fail(EXIT_USAGE, context.error());
    if (context.sizeRefused()) return fail(EXIT_USAGE, "--size: " + context.error());
    if (!context.ok()) return fail(EXIT_FAILED, "no headless OpenGL; every way failed:\n" + context.error());
    setStartupState(area.width, area.height);

    // Outputs are checked before the long loading, so a typo costs nothing.
    if (!options.pngFolder.empty() && !prepareFolder(options.pngFolder, &error)) return fail(EXIT_FAILED, error);

    VideoWriter video;
    video.setEncoder(options.crf, options.preset);
    if (!options.videoFile.empty() &&
        !video.start(options.videoFile, options.width, options.height, options.fps, sound, &error))
        return fail(EXIT_FAILED, error);
    std::vector<int16_t>().swap(sound);  // ffmpeg reads it from its file

    if (options.bench) {
        std::printf("%s\n", rendererLine().c_str());
        std::fflush(stdout);
    }
    if (isatty(STDERR_FILENO)) {
        std::fputs("Loading...", stderr);
        std::fflush(stderr);
    }
    auto loadStart = std::chrono::steady_clock::now();
    drawLoadingPicture();
    loadScenesAndPictures();
    glFinish();
    const double loadMs = millisecondsSince(loadStart);
    if (isatty(STDERR_FILENO)) std::fputs("\r          \r", stderr);
    if (options.bench) {
        std::printf("%s\n", loadLine(loadMs).c_str());
        std::fflush(stdout);
    }

    std::unique_ptr<FrameCapture> capture;
    if (!options.pngFolder.empty() || !options.videoFile.empty())
        capture = std::make_unique<FrameCapture>(options.width, options.height, area, options.pngFolder,
                                                 options.pngByIndex, options.videoFile.empty() ? nullptr : &video);
    std::unique_ptr<ContactSheet> sheet;
    if (!options.sheetFile.empty())
        sheet = std::make_unique<ContactSheet>(options.width, options.height, times, options.fps);
    BenchTimes bench;
    ProgressBar progress(times.size());
    // Every frame shows what a run of the whole programme from 0 at the same rate
    // shows: a frame that is that run's next one after the frame before keeps the
    // state that frame left, any other is brought forward without drawing.
    for (size_t i = 0; i < times.size(); ++i) {
        const uint32_t t = times[i];
        if (i == 0 || !isNextFrameOfRun(times[i - 1], t, options.fps)) catchUpProgrammeState(t, options.fps);
        auto frameStart = std::chrono::steady_clock::now();
        renderFrame(t);
        if (options.bench) {
            glFinish();
            bench.add(t, millisecondsSince(frameStart));
        }
        if (capture && !capture->add(t)) break;
        if (sheet) sheet->placeDrawnStill(i);
        progress.update(i + 1, t);
    }
    progress.finish();
    if (capture && !capture->finish(&error)) return fail(EXIT_FAILED, error);

    if (!options.videoFile.empty() && !video.finish(&error)) return fail(EXIT_FAILED, error);
    if (sheet && !sheet->write(options.sheetFile, &error)) return fail(EXIT_FAILED, error);
    if (options.bench)
        for (const std::string& line : bench.lines()) std::printf("%s\n", line.c_str());
    // What was written, where, and how long it took, also into a log or a
    // pipe: the last lines of every run that writes.
    std::fflush(stdout);
    const double seconds = millisecondsSince(start) / 1000;
    const std::string size = std::to_string(options.width) + "x" + std::to_string(options.height);
    if (!options.pngFolder.empty()) {
        const size_t files = capture->pngFiles().size();
        std::fprintf(stderr, "skarvelin-render: wrote %zu PNG frame%s of %s to %s (listed in %s/%s) in %.1f s\n", files,
                     files == 1 ? "" : "s", size.c_str(), options.pngFolder.c_str(), options.pngFolder.c_str(),
                     FRAME_LIST_NAME, seconds);
    }
    if (!options.videoFile.empty())
        std::fprintf(stderr, "skarvelin-render: wrote %s, %.3f s of video (%zu frames of %s at %d fps), in %.1f s\n",
                     options.videoFile.c_str(), static_cast<double>(times.size()) / options.fps, times.size(),
                     size.c_str(), options.fps, seconds);
    if (sheet)
        std::fprintf(stderr, "skarvelin-render: wrote %s, %zu stills in a %dx%d picture, in %.1f s\n",
                     options.sheetFile.c_str(), times.size(), sheet->layout().width, sheet->layout().height, seconds);
    return 0;
}
