// The demo's command line besides "-f": where in the programme to start, and help.
#pragma once

#include <cstdint>
#include <string>

extern const char* const DEMO_USAGE;

struct DemoArguments {
    bool help = false;    // --help or -h: print the usage and leave
    uint32_t fromMs = 0;  // --from MS (or --from=MS): start the programme at MS
};

// Reads --from and --help wherever they stand among the arguments; everything
// else ("-f", the window system's own options, anything unknown) is left alone.
// A --from without a whole number of milliseconds from 0 to the programme's
// end fails with a one-line message in error.
bool parseDemoArguments(int argc, char** argv, DemoArguments* arguments, std::string* error);
