#include "options.h"

#include "contact_sheet.h"

#include "command_line/option_table.h"
#include "data_folder/data_folder.h"
#include "programme/screen.h"
#include "shell/programme_state.h"

#include <algorithm>
#include <filesystem>

namespace {

constexpr int MAX_SIDE = 16384;
constexpr int MAX_FPS = 1000;
constexpr int MAX_CRF = 51;

// x264's presets, fastest first.
const char* const X264_PRESETS[] = {"ultrafast", "superfast", "veryfast", "faster",  "fast", "medium",
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
            *error = std::string("wants a time in ") + TIME_FORMS + ", not '" + value + "'";
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
    CommandLine commandLine{
        "skarvelin-render",
        nullptr,
        "Renders the programme without a window: PNG frames, a video, or a benchmark.\n" DATA_SET_PLACES,
        18,
        "SKARVELIN_EGL_DEVICE=N draws on EGL device N, =surfaceless on Mesa's surfaceless platform;\n"
        "unset, on the first hardware EGL device that works, else surfaceless (--bench names it).\n",
        {},
        unknownOption,
        unknownOption};
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
         "render exactly these times, in the order given; each is a still of\n"
         "what a run of the whole programme from 0 at --fps shows at that\n"
         "millisecond. A time is milliseconds or M:SS.mmm (10655 or 0:10.655)",
         [options](const std::string& value, std::string* error) {
             if (!parseTimeList(value, &options->times)) {
                 *error = std::string("wants times separated by commas (e.g. 100,2500,1:06.5), each in ") + TIME_FORMS +
                          ", not '" + value + "'";
                 return false;
             }
             options->haveTimes = true;
             return true;
         },
         nullptr, "T1,T2,..."},
        {"--from", "MS", 1,
         "first frame time (default 0), a time as --times takes it; every frame\n"
         "is what a run from 0 at --fps shows at its millisecond, the --times\n"
         "still of it, also when MS is not a multiple of 1000/fps",
         rangeEnd(options, &options->from)},
        {"--to", "MS", 1, "last frame time, inclusive (default 132000, 2:12)", rangeEnd(options, &options->to)},
        {"--fps", "N", 1,
         "frames per second between --from and --to, and of the run a --times\n"
         "still belongs to (default 60, a display's refresh)",
         [options](const std::string& value, std::string* error) {
             uint64_t fps;
             if (!parseWholeNumber(value, MAX_FPS, &fps) || fps == 0) {
                 *error = "wants a whole number of frames per second from 1 to " + std::to_string(MAX_FPS) + ", not '" +
                          value + "'";
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
        {"--sheet", "FILE", 2,
         "write the whole programme as one PNG picture: about 40 stills (every\n"
         "scene's start and every 4 s), each labelled with its time and scenes,\n"
         "drawn at --size (at least 240 rows) and scaled down",
         outputPath(&options->sheetFile)},
        {"--aspect", "4:3", 3,
         "draw the picture at 4:3 at the frame's full height (or width), centred\n"
         "between black bars, instead of stretching it over the frame",
         [options](const std::string& value, std::string* error) {
             return parseAspect(value, &options->aspect4by3, error);
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
                 *error =
                     "wants one of ultrafast, superfast, veryfast, faster, fast, medium, slow, slower, "
                     "veryslow, placebo, not '" +
                     value + "'";
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
        {"--data", "DIR", 3, "render the data set in DIR (or in DIR/data)",
         [options](const std::string& value, std::string* error) {
             if (value.empty()) {
                 *error = "wants a folder";
                 return false;
             }
             options->dataDir = value;
             return true;
         }},
        {"--help", nullptr, 0, "print this and leave", setting(&options->help), "-h"},
        {"--version", nullptr, 0, "print the version and leave", setting(&options->version)},
    };
    return commandLine;
}

const ManualPage RENDER_MANUAL = {
    1,
    "render the programme without a window: PNG frames, a video, or a benchmark",
    {{"FRAMES",
      "Every frame is what a run of the whole programme from 0 at --fps shows at its\n"
      "millisecond, however the frames are asked for: a still, a clip that starts\n"
      "anywhere, or the whole run. Drawing needs no display: an EGL device, or\n"
      "Mesa's surfaceless platform. Existing frames and videos of the same names are\n"
      "replaced."}},
    {{"DATA SET", DATA_SET_MANUAL},
     {"EXIT STATUS",
      "0 when everything asked for was written; 1 when the rendering failed (no\n"
      "headless OpenGL, a file that could not be written, the encoder failing); 2\n"
      "when the command line is refused, there is no data set, or an output cannot\n"
      "go where it is asked to, all before loading.\n"},
     {"SEE ALSO", "skarvelin(6), skarvelin-data(1), ffmpeg(1)\n"}},
    "ENVIRONMENT",
};

}  // namespace

std::string renderBuildDocument(const std::string& argument)
{
    RenderOptions unused;
    return buildDocument(renderCommandLine(&unused), RENDER_MANUAL, argument);
}

std::string renderUsage()
{
    RenderOptions unused;
    return usageText(renderCommandLine(&unused));
}

bool parseOptions(int argc, char** argv, RenderOptions* options, std::string* error)
{
    if (!parseCommandLine(renderCommandLine(options), argc, argv, error)) return false;
    if (options->help || options->version) return true;
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
                     size(options->width, std::min(MAX_SIDE, largestVideoHeight(options->width))) + " at this width, " +
                     size(std::min(MAX_SIDE, largestVideoWidth(options->height)), options->height) + " at this height";
            return false;
        }
    }
    if (!options->sheetFile.empty()) {
        if (options->haveTimes || options->rangeGiven) {
            *error = "--sheet chooses its own times: give it without --times, --from or --to";
            return false;
        }
        if (!options->pngFolder.empty() || !options->videoFile.empty() || options->bench) {
            *error = "--sheet makes one picture: give it without --png, --video or --bench";
            return false;
        }
        if (options->aspect4by3) {
            *error = "--sheet draws the stills at --size: give it without --aspect";
            return false;
        }
        if (options->width < SHEET_CELL_WIDTH || options->height < SHEET_MIN_STILL_ROWS) {
            *error = "--sheet draws its stills at least " + std::to_string(SHEET_CELL_WIDTH) + "x" +
                     std::to_string(SHEET_MIN_STILL_ROWS) +
                     " (the twist scenes draw nothing under 240 rows), not at --size " +
                     std::to_string(options->width) + "x" + std::to_string(options->height);
            return false;
        }
    }
    if (options->pngFolder.empty() && options->videoFile.empty() && !options->bench && options->sheetFile.empty()) {
        *error = "nothing to do: give --png DIR, --video FILE, --sheet FILE or --bench";
        return false;
    }
    return true;
}

std::vector<uint32_t> frameTimes(const RenderOptions& options)
{
    if (options.haveTimes) return options.times;
    if (!options.sheetFile.empty()) return sheetTimes();
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
