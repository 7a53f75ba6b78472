#include "options.h"

#include "command_line/option_table.h"
#include "shell/programme_state.h"

#include <algorithm>
#include <filesystem>

namespace {

constexpr int MAX_SIDE = 16384;
constexpr int MAX_FPS = 1000;
constexpr int MAX_CRF = 51;

// x264's presets, fastest first.
const char* const X264_PRESETS[] = {"ultrafast", "superfast", "veryfast", "faster", "fast", "medium",
                                    "slow",      "slower",    "veryslow", "placebo", nullptr};

bool knownPreset(const std::string& name)
{
    for (const char* const* preset = X264_PRESETS; *preset; ++preset)
        if (name == *preset) return true;
    return false;
}

bool parseSize(const std::string& text, int* width, int* height)
{
    size_t x = text.find('x');
    if (x == std::string::npos) return false;
    uint64_t w, h;
    if (!parseWholeNumber(text.substr(0, x), MAX_SIDE, &w) || !parseWholeNumber(text.substr(x + 1), MAX_SIDE, &h))
        return false;
    if (w == 0 || h == 0) return false;
    *width = static_cast<int>(w);
    *height = static_cast<int>(h);
    return true;
}

bool parseTimeList(const std::string& text, std::vector<uint32_t>* times)
{
    std::vector<uint32_t> result;
    size_t start = 0;
    for (;;) {
        size_t comma = text.find(',', start);
        uint32_t t;
        if (!parseMilliseconds(text.substr(start, comma == std::string::npos ? std::string::npos : comma - start), &t))
            return false;
        result.push_back(t);
        if (comma == std::string::npos) break;
        start = comma + 1;
    }
    *times = std::move(result);
    return true;
}

// A time of the range: --from or --to.
ArgumentAction rangeEnd(RenderOptions* options, uint32_t* end)
{
    return [options, end](const std::string& value, std::string* error) {
        if (!parseMilliseconds(value, end)) {
            *error = "wants a whole number of milliseconds, not '" + value + "'";
            return false;
        }
        options->rangeGiven = true;
        return true;
    };
}

// An output: --png or --video.
ArgumentAction outputPath(std::string* path)
{
    return [path](const std::string& value, std::string* error) {
        if (value.empty()) {
            *error = "needs a non-empty path";
            return false;
        }
        *path = value;
        return true;
    };
}

// A switch that sets a flag: --bench, --help.
ArgumentAction setting(bool* flag)
{
    return [flag](const std::string&, std::string*) {
        *flag = true;
        return true;
    };
}

CommandLine renderCommandLine(RenderOptions* options)
{
    auto unknownOption = [](const std::string& argument, std::string* error) {
        *error = "unknown option '" + argument + "'";
        return false;
    };
    CommandLine commandLine{"skarvelin-render", nullptr,
                            "Renders the programme without a window, from the data/ folder of the working directory.\n",
                            18,
                            "SKARVELIN_EGL_DEVICE=N draws on EGL device N, =surfaceless on Mesa's surfaceless platform;\n"
                            "unset, on the first hardware EGL device that works, else surfaceless (--bench names it).\n",
                            {}, unknownOption, unknownOption};
    commandLine.dashesEndValues = true;
    commandLine.refuseValuesOfSwitches = true;
    commandLine.options = {
        {"--size", "WxH", 1, "frame size in pixels (default 640x480)",
         [options](const std::string& value, std::string* error) {
             if (parseSize(value, &options->width, &options->height)) return true;
             *error = "wants WIDTHxHEIGHT in pixels, each 1 to " + std::to_string(MAX_SIDE) + ", not '" + value + "'";
             return false;
         }},
        {"--times", "LIST", 1,
         "render exactly these times in milliseconds, in the order given; each\n"
         "is a still of what a run of the whole programme from 0 at --fps shows\n"
         "at that millisecond",
         [options](const std::string& value, std::string* error) {
             if (!parseTimeList(value, &options->times)) {
                 *error = "wants milliseconds separated by commas (e.g. 100,2500,10655), not '" + value + "'";
                 return false;
             }
             options->haveTimes = true;
             return true;
         },
         nullptr, "T1,T2,..."},
        {"--from", "MS", 1,
         "first frame time (default 0); every frame is what a run from 0 at --fps\n"
         "shows at its millisecond, the --times still of it, also when MS is not\n"
         "a multiple of 1000/fps",
         rangeEnd(options, &options->from)},
        {"--to", "MS", 1, "last frame time, inclusive (default 132000)", rangeEnd(options, &options->to)},
        {"--fps", "N", 1,
         "frames per second between --from and --to, and of the run a --times\n"
         "still belongs to (default 60, a display's refresh)",
         [options](const std::string& value, std::string* error) {
             uint64_t fps;
             if (!parseWholeNumber(value, MAX_FPS, &fps) || fps == 0) {
                 *error = "wants a whole number of frames per second from 1 to " + std::to_string(MAX_FPS) +
                          ", not '" + value + "'";
                 return false;
             }
             options->fps = static_cast<int>(fps);
             return true;
         }},
        {"--png", "DIR", 2,
         "write each frame as DIR/<t>.png, t in six digits (010655.png), replacing\n"
         "a file of that name, and DIR/frames.txt, a line per file: its name and\n"
         "its millisecond; the files are compressed for speed (zlib level 1,\n"
         "run-length matching, Sub filter), so they are larger than a slower\n"
         "compressor would make them",
         outputPath(&options->pngFolder)},
        {"--png-names", "ms|index", 3,
         "\n"  // the name and its values fill the column
         "how --png names the frames: by millisecond (ms, the default), or by\n"
         "their place in the run (index: 000000.png, 000001.png, ...), an image\n"
         "sequence as ffmpeg (-i DIR/%06d.png) and editors read one",
         [options](const std::string& value, std::string* error) {
             if (value != "ms" && value != "index") {
                 *error = "takes ms or index, not '" + value + "'";
                 return false;
             }
             options->pngByIndex = value == "index";
             options->pngNamesGiven = true;
             return true;
         }},
        {"--video", "FILE", 2,
         "encode the frames with the soundtrack through ffmpeg, replacing FILE:\n"
         "H.264 and AAC in the container its extension names, .mp4 or .mov (the\n"
         "index first: a browser plays it while it downloads) or .mkv (Matroska)",
         outputPath(&options->videoFile)},
        {"--aspect", "4:3", 3,
         "draw the picture at 4:3 at the frame's full height (or width), centred\n"
         "between black bars, instead of stretching it over the frame",
         [options](const std::string& value, std::string* error) {
             if (value != "4:3") {
                 *error = "takes 4:3, the picture's own shape, not '" + value + "'";
                 return false;
             }
             options->aspect4by3 = true;
             return true;
         }},
        {"--crf", "N", 3, "H.264 quality for --video, 0 (best) to 51 (smallest file); default 18",
         [options](const std::string& value, std::string* error) {
             uint64_t crf;
             if (!parseWholeNumber(value, MAX_CRF, &crf)) {
                 *error = "wants a whole number from 0 to " + std::to_string(MAX_CRF) + ", not '" + value + "'";
                 return false;
             }
             options->crf = static_cast<int>(crf);
             options->encoderGiven = true;
             return true;
         }},
        {"--preset", "NAME", 3, "x264 speed preset for --video, ultrafast ... placebo (default veryfast)",
         [options](const std::string& value, std::string* error) {
             if (!knownPreset(value)) {
                 *error = "wants one of ultrafast, superfast, veryfast, faster, fast, medium, slow, slower, "
                          "veryslow, placebo, not '" + value + "'";
                 return false;
             }
             options->preset = value;
             options->encoderGiven = true;
             return true;
         }},
        {"--bench", nullptr, 2,
         "print the loading time, then the median, 95th percentile and slowest\n"
         "frame time of every scene",
         setting(&options->bench)},
        {"--help", nullptr, 0, nullptr, setting(&options->help), "-h"},
    };
    return commandLine;
}

}  // namespace

std::string renderUsage()
{
    RenderOptions unused;
    return usageText(renderCommandLine(&unused));
}

bool parseOptions(int argc, char** argv, RenderOptions* options, std::string* error)
{
    if (!parseCommandLine(renderCommandLine(options), argc, argv, error)) return false;
    if (options->help) return true;
    // Nothing is drawn after the programme's end, and with every time at most
    // this, the list of frame times stays small however high the rate.
    for (uint32_t t : options->times)
        if (t > static_cast<uint32_t>(PROGRAMME_END_MS)) {
            *error = "--times " + std::to_string(t) + " is past the end of the programme (" +
                     std::to_string(PROGRAMME_END_MS) + " ms)";
            return false;
        }
    if (std::max(options->from, options->to) > static_cast<uint32_t>(PROGRAMME_END_MS)) {
        *error = std::string(options->from > options->to ? "--from " : "--to ") +
                 std::to_string(std::max(options->from, options->to)) + " is past the end of the programme (" +
                 std::to_string(PROGRAMME_END_MS) + " ms)";
        return false;
    }
    if (options->haveTimes && options->rangeGiven) {
        *error = "--times cannot be combined with --from or --to";
        return false;
    }
    if (options->from > options->to) {
        *error = "--from (" + std::to_string(options->from) + ") is after --to (" + std::to_string(options->to) + ")";
        return false;
    }
    if (options->encoderGiven && options->videoFile.empty()) {
        *error = "--crf and --preset set the video encoder: give them with --video FILE";
        return false;
    }
    if (options->pngNamesGiven && options->pngFolder.empty()) {
        *error = "--png-names names the frames of --png DIR: give it with --png";
        return false;
    }
    if (!options->videoFile.empty()) {
        // Refused here, before anything is loaded: the extension names the
        // container, and an unknown one would only fail once the frames came.
        if (!videoContainer(options->videoFile)) {
            const std::string extension = std::filesystem::path(options->videoFile).extension().string();
            *error = "--video " + options->videoFile + ": the extension names the container, " + VIDEO_EXTENSIONS +
                     (extension.empty() ? std::string(", and it has none") : ", not '" + extension + "'");
            return false;
        }
        if (options->haveTimes) {
            *error = "--video needs evenly spaced frames (--from, --to, --fps), not --times";
            return false;
        }
        if (options->width % 2 || options->height % 2) {
            *error = "--video needs an even width and height for H.264, not " + std::to_string(options->width) + "x" +
                     std::to_string(options->height);
            return false;
        }
        if (!videoTakesSize(options->width, options->height)) {
            auto size = [](int width, int height) { return std::to_string(width) + "x" + std::to_string(height); };
            *error = "--size " + size(options->width, options->height) +
                     " is too large for --video: ffmpeg takes at most " +
                     size(options->width, std::min(MAX_SIDE, largestVideoHeight(options->width))) +
                     " at this width, " + size(std::min(MAX_SIDE, largestVideoWidth(options->height)), options->height) +
                     " at this height";
            return false;
        }
    }
    if (options->pngFolder.empty() && options->videoFile.empty() && !options->bench) {
        *error = "nothing to do: give --png DIR, --video FILE or --bench";
        return false;
    }
    return true;
}

std::vector<uint32_t> frameTimes(const RenderOptions& options)
{
    if (options.haveTimes) return options.times;
    std::vector<uint32_t> times;
    // The frames of a run from 0 at the same rate, moved to start at --from.
    const uint32_t span = options.to - options.from;
    for (uint64_t i = 0;; ++i) {
        const uint32_t offset = programmeFrameTime(i, options.fps);
        if (offset > span) break;
        times.push_back(options.from + offset);
    }
    return times;
}
