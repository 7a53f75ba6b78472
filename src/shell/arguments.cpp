#include "shell/arguments.h"

#include "shell/schedule.h"

#include <cstring>

const char* const DEMO_USAGE =
    "usage: skarvelin [-f] [--from MS]\n"
    "Plays the programme from the data/ folder of the working directory.\n"
    "  -f          full screen (only as the first argument)\n"
    "  --from MS   start MS milliseconds into the programme (0 to 132000): the music\n"
    "              starts there and the scenes are where a run from the start has them\n"
    "  --help      print this and leave\n"
    "Esc quits at any time.\n";

namespace {

bool parseMilliseconds(const char* text, uint32_t* value)
{
    if (*text == '\0' || std::strlen(text) > 9) return false;
    uint32_t result = 0;
    for (const char* c = text; *c; ++c) {
        if (*c < '0' || *c > '9') return false;
        result = result * 10 + static_cast<uint32_t>(*c - '0');
    }
    if (result > static_cast<uint32_t>(PROGRAMME_END_MS)) return false;
    *value = result;
    return true;
}

}  // namespace

bool parseDemoArguments(int argc, char** argv, DemoArguments* arguments, std::string* error)
{
    for (int i = 1; i < argc; ++i) {
        const char* argument = argv[i];
        if (std::strcmp(argument, "--help") == 0 || std::strcmp(argument, "-h") == 0) {
            arguments->help = true;
            continue;
        }
        const char* value = nullptr;
        if (std::strcmp(argument, "--from") == 0) {
            if (i + 1 >= argc) {
                *error = "--from needs a time in milliseconds";
                return false;
            }
            value = argv[++i];
        } else if (std::strncmp(argument, "--from=", 7) == 0) {
            value = argument + 7;
        } else {
            continue;
        }
        if (!parseMilliseconds(value, &arguments->fromMs)) {
            *error = std::string("--from wants a whole number of milliseconds from 0 to ") +
                     std::to_string(PROGRAMME_END_MS) + ", not '" + value + "'";
            return false;
        }
    }
    return true;
}
