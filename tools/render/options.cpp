#include "options.h"

#include "shell/programme_state.h"

#include <algorithm>

const char* const USAGE =
    "usage: skarvelin-render [--size WxH] [--times T1,T2,...] [--from MS] [--to MS] [--fps N]\n"
    "                        [--png DIR] [--video FILE] [--bench]\n"
    "                        [--aspect 4:3] [--crf N] [--preset NAME]\n"
    "Renders the programme without a window, from the data/ folder of the working directory.\n"
    "  --size WxH      frame size in pixels (default 640x480)\n"
    "  --times LIST    render exactly these times in milliseconds, in the order given; each\n"
    "                  is a still of what a run of the whole programme from 0 at --fps shows\n"
    "                  at that millisecond\n"
    "  --from MS       first frame time (default 0); every frame is what a run from 0 at --fps\n"
    "                  shows at its millisecond, the --times still of it, also when MS is not\n"
    "                  a multiple of 1000/fps\n"
    "  --to MS         last frame time, inclusive (default 132000)\n"
    "  --fps N         frames per second between --from and --to, and of the run a --times\n"
    "                  still belongs to (default 60, a display's refresh)\n"
    "  --png DIR       write each frame as DIR/<t>.png, t in six digits (010655.png); the files\n"
    "                  are compressed for speed (zlib level 1, run-length matching, Sub filter),\n"
    "                  so they are larger than a slower compressor would make them\n"
    "  --video FILE    encode the frames with the soundtrack (H.264 in MP4) through ffmpeg\n"
    "  --aspect 4:3    draw the picture at 4:3 at the frame's full height (or width), centred\n"
    "                  between black bars, instead of stretching it over the frame\n"
    "  --crf N         H.264 quality for --video, 0 (best) to 51 (smallest file); default 18\n"
    "  --preset NAME   x264 speed preset for --video, ultrafast ... placebo (default veryfast)\n"
    "  --bench         print the loading time, then the median, 95th percentile and slowest\n"
    "                  frame time of every scene\n"
    "SKARVELIN_EGL_DEVICE=N draws on EGL device N, =surfaceless on Mesa's surfaceless platform;\n"
    "unset, on the first hardware EGL device that works, else surfaceless (--bench names it).\n";

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

// A non-empty run of decimal digits and nothing else, at most limit.
bool parseUnsigned(const std::string& text, unsigned long long limit, unsigned long long* value)
{
    if (text.empty() || text.size() > 19) return false;
    unsigned long long result = 0;
    for (char c : text) {
        if (c < '0' || c > '9') return false;
        result = result * 10 + static_cast<unsigned>(c - '0');
    }
    if (result > limit) return false;
    *value = result;
    return true;
}

bool parseMilliseconds(const std::string& text, uint32_t* value)
{
    unsigned long long result;
    if (!parseUnsigned(text, UINT32_MAX, &result)) return false;
    *value = static_cast<uint32_t>(result);
    return true;
}

bool parseSize(const std::string& text, int* width, int* height)
{
    size_t x = text.find('x');
    if (x == std::string::npos) return false;
    unsigned long long w, h;
    if (!parseUnsigned(text.substr(0, x), MAX_SIDE, &w) || !parseUnsigned(text.substr(x + 1), MAX_SIDE, &h))
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

}  // namespace

bool parseOptions(int argc, char** argv, RenderOptions* options, std::string* error)
{
    for (int i = 1; i < argc; ++i) {
        std::string name = argv[i];
        std::string value;
        bool inlineValue = false;
        size_t equals = name.find('=');
        if (name.rfind("--", 0) == 0 && equals != std::string::npos) {
            value = name.substr(equals + 1);
            name = name.substr(0, equals);
            inlineValue = true;
        }
        if (name == "--bench" || name == "--help" || name == "-h") {
            if (inlineValue) {
                *error = name + " takes no value";
                return false;
            }
            if (name == "--bench")
                options->bench = true;
            else
                options->help = true;
            continue;
        }
        if (name != "--size" && name != "--times" && name != "--from" && name != "--to" && name != "--fps" &&
            name != "--png" && name != "--video" && name != "--aspect" && name != "--crf" && name != "--preset") {
            *error = "unknown option '" + std::string(argv[i]) + "'";
            return false;
        }
        if (!inlineValue) {
            // "--png --bench" is a forgotten value, not a folder named "--bench".
            if (i + 1 >= argc || std::string(argv[i + 1]).rfind("--", 0) == 0) {
                *error = name + " needs a value";
                return false;
            }
            value = argv[++i];
        }
        if (name == "--size") {
            if (!parseSize(value, &options->width, &options->height)) {
                *error = "--size wants WIDTHxHEIGHT in pixels, each 1 to " + std::to_string(MAX_SIDE) + ", not '" +
                         value + "'";
                return false;
            }
        } else if (name == "--times") {
            if (!parseTimeList(value, &options->times)) {
                *error = "--times wants milliseconds separated by commas (e.g. 100,2500,10655), not '" + value + "'";
                return false;
            }
            options->haveTimes = true;
        } else if (name == "--from" || name == "--to") {
            uint32_t t;
            if (!parseMilliseconds(value, &t)) {
                *error = name + " wants a whole number of milliseconds, not '" + value + "'";
                return false;
            }
            (name == "--from" ? options->from : options->to) = t;
            options->rangeGiven = true;
        } else if (name == "--fps") {
            unsigned long long fps;
            if (!parseUnsigned(value, MAX_FPS, &fps) || fps == 0) {
                *error = "--fps wants a whole number of frames per second from 1 to " + std::to_string(MAX_FPS) +
                         ", not '" + value + "'";
                return false;
            }
            options->fps = static_cast<int>(fps);
        } else if (name == "--aspect") {
            if (value != "4:3") {
                *error = "--aspect takes 4:3, the picture's own shape, not '" + value + "'";
                return false;
            }
            options->aspect4by3 = true;
        } else if (name == "--crf") {
            unsigned long long crf;
            if (!parseUnsigned(value, MAX_CRF, &crf)) {
                *error = "--crf wants a whole number from 0 to " + std::to_string(MAX_CRF) + ", not '" + value + "'";
                return false;
            }
            options->crf = static_cast<int>(crf);
            options->encoderGiven = true;
        } else if (name == "--preset") {
            if (!knownPreset(value)) {
                *error = "--preset wants one of ultrafast, superfast, veryfast, faster, fast, medium, slow, "
                         "slower, veryslow, placebo, not '" + value + "'";
                return false;
            }
            options->preset = value;
            options->encoderGiven = true;
        } else if (name == "--png" || name == "--video") {
            if (value.empty()) {
                *error = name + " needs a non-empty path";
                return false;
            }
            (name == "--png" ? options->pngFolder : options->videoFile) = value;
        }
    }
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
    if (!options->videoFile.empty()) {
        if (options->haveTimes) {
            *error = "--video needs evenly spaced frames (--from, --to, --fps), not --times";
            return false;
        }
        if (options->width % 2 || options->height % 2) {
            *error = "--video needs an even width and height for H.264, not " + std::to_string(options->width) + "x" +
                     std::to_string(options->height);
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
