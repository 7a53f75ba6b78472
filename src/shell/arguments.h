// The demo's command line: full screen, where in the programme to start, the data set, help and version.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct DemoArguments {
    bool help = false;                  // --help or -h: print the usage and leave
    bool version = false;               // --version: print the version and leave
    std::string dataDir;                // --data DIR: the data set to play; empty to look for one
    bool fullScreen = false;            // -f as the first argument, once the window system's own are taken out
    uint32_t fromMs = 0;                // --from MS (or --from=MS): start the programme at MS
    bool controls = false;              // --controls: keys hold, seek and step the programme
    bool paused = false;                // --paused: start held (with the controls)
    bool fourByThree = false;           // --aspect 4:3: the programme at its own shape between black bars
    std::vector<std::string> warnings;  // a line for every argument that is ignored
};

// The --help text.
std::string demoUsage();

// The manual page ("--manual-page") or the bash completion ("--bash-completion")
// made from the option table, for the build; empty for any other argument.
std::string demoBuildDocument(const std::string& argument);

// Reads the arguments as the demo has them once glutInit has taken out the
// window system's own options (-display NAME, -geometry WxH+X+Y, -iconic...).
// Any other argument the demo does not know, "-f" anywhere but first, and
// everything after "--" is ignored with a warning. A --from without a whole
// number of milliseconds from 0 to the programme's end fails with a one-line
// message in error.
bool parseDemoArguments(int argc, char** argv, DemoArguments* arguments, std::string* error);
