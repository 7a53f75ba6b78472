// The renderer's command line and the frame times it asks for.
#pragma once

#include "programme/time.h"
#include "video_writer.h"

#include <cstdint>
#include <string>
#include <vector>

struct RenderOptions {
    int width = 640;
    int height = 480;
    bool haveTimes = false;
    std::vector<uint32_t> times;  // --times, in the order given
    uint32_t from = 0;
    uint32_t to = PROGRAMME_END_MS;
    int fps = DISPLAY_FPS;                // the frame rate of the run, also the one a --times still belongs to
    bool rangeGiven = false;              // --from or --to appeared
    std::string pngFolder;                // empty: no PNG frames
    bool pngByIndex = false;              // --png-names index: frames named 000000.png, 000001.png, ... in order
    bool pngNamesGiven = false;           // --png-names appeared
    std::string videoFile;                // empty: no video
    std::string sheetFile;                // empty: no contact sheet
    bool aspect4by3 = false;              // --aspect 4:3: the picture at 4:3 between black bars
    int crf = DEFAULT_CRF;                // H.264 quality for --video (lower is better)
    std::string preset = DEFAULT_PRESET;  // x264 speed preset for --video
    bool encoderGiven = false;            // --crf or --preset appeared
    bool bench = false;
    bool help = false;
    bool version = false;
    std::string dataDir;  // --data DIR: the data set to render; empty to look for one
};

// The --help text.
std::string renderUsage();

// The manual page ("--manual-page") or the bash completion ("--bash-completion")
// made from the option table, for the build; empty for any other argument.
std::string renderBuildDocument(const std::string& argument);

// Fills options from the arguments after the program name. Each option takes
// its value either as the next argument or after "=" ("--fps 30", "--fps=30").
// Returns false with a one-line message in error for anything it cannot accept.
bool parseOptions(int argc, char** argv, RenderOptions* options, std::string* error);

// The times of the frames to render, in rendering order. With --times, the
// list as given; with --sheet, the sheet's. Otherwise frame i (from 0) is at from + floor(i * 1000 / fps),
// computed in integers, for as long as that is not past to: each frame is at
// most one millisecond early against the exact 1000/fps grid, and a video at
// fps frames a second stays in step with the music.
std::vector<uint32_t> frameTimes(const RenderOptions& options);
