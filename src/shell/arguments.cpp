#include "shell/arguments.h"

#include "command_line/option_table.h"
#include "data_folder/data_folder.h"
#include "programme/screen.h"
#include "programme/time.h"

#include <cstring>

namespace {

const char* const FULL_SCREEN = "-f";

const char* const PLAYER_KEYS =
    "Esc quits at any time. With --controls (letters in either case):\n"
    "  Space, p     hold / play on (the music too); at the end, play from the start\n"
    "  Left, Right  5 s back / forward\n"
    "  Down, Up     60 s back / forward\n"
    "  Home, 0-9    to the start, to 0 %-90 % of the programme\n"
    "  . ,          one frame (1/60 s) forward / back while held\n"
    "  o            show / hide the timeline (time, scenes, a bar to click or drag)\n"
    "  f            full screen / back to the window\n"
    "  m            mute / unmute the music\n"
    "  q            quit\n"
    "A move before 0 goes to 0; at the end, or a move to it or past it, the\n"
    "programme holds on its last frame.\n";

// The options glutInit takes out of the arguments, and whether each takes
// the next argument with it.
struct WindowSystemOption {
    const char* name;
    bool takesValue;
};
const WindowSystemOption WINDOW_SYSTEM_OPTIONS[] = {
    {"-display", true}, {"-geometry", true}, {"-iconic", false}, {"-indirect", false},
    {"-direct", false}, {"-gldebug", false}, {"-sync", false},
};

// The program name and the arguments left once glutInit has taken its own,
// wherever they stand. A value missing at the end is glutInit's to refuse.
std::vector<char*> withoutWindowSystemOptions(int argc, char** argv)
{
    std::vector<char*> rest(argv, argv + (argc > 0 ? 1 : 0));
    for (int i = 1; i < argc; ++i) {
        const WindowSystemOption* found = nullptr;
        for (const WindowSystemOption& option : WINDOW_SYSTEM_OPTIONS)
            if (std::strcmp(argv[i], option.name) == 0) found = &option;
        if (!found) rest.push_back(argv[i]);
        else if (found->takesValue) ++i;
    }
    return rest;
}

CommandLine demoCommandLine(DemoArguments* arguments)
{
    auto ignore = [arguments](const std::string& argument, std::string*) {
        arguments->warnings.push_back("ignoring unknown argument '" + argument + "'");
        return true;
    };
    CommandLine commandLine{
        "skarvelin", nullptr,     "Plays the programme with its music, in a window or full screen.\n" DATA_SET_PLACES,
        16,          PLAYER_KEYS, {},
        ignore,      ignore};
    commandLine.options = {
        {FULL_SCREEN, nullptr, 1, "full screen (only as the first argument)",
         // The first argument is read before the table: this one stands later.
         [arguments](const std::string&, std::string*) {
             arguments->warnings.push_back(std::string("ignoring '") + FULL_SCREEN +
                                           "' here: it means full screen only as the first argument");
             return true;
         }},
        {"--from", "MS", 1,
         "start MS milliseconds into the programme (0 to 132000), or M:SS.mmm\n"
         "as the timeline shows it (1:06.5): the music starts there and the\n"
         "scenes are where a run from the start has them",
         [arguments](const std::string& value, std::string* error) {
             uint32_t ms;
             if (!parseMilliseconds(value, &ms) || ms > static_cast<uint32_t>(PROGRAMME_END_MS)) {
                 *error = "wants a time from 0 to " + std::to_string(PROGRAMME_END_MS) + " ms (" +
                          minutesAndSeconds(PROGRAMME_END_MS) + "): " + TIME_FORMS + ", not '" + value + "'";
                 return false;
             }
             arguments->fromMs = ms;
             return true;
         },
         nullptr, nullptr, "a time in milliseconds"},
        {"--controls", nullptr, 1, "keys hold, seek and step the programme (below)",
         [arguments](const std::string&, std::string*) {
             arguments->controls = true;
             return true;
         }},
        {"--paused", nullptr, 1, "start held, at --from or at 0 (with the controls)",
         [arguments](const std::string&, std::string*) {
             arguments->controls = true;
             arguments->paused = true;
             return true;
         }},
        {"--aspect", "4:3", 1,
         "draw the programme at 4:3 at the window's full height (or width),\n"
         "centred between black bars, instead of stretching it over the window",
         [arguments](const std::string& value, std::string* error) {
             return parseAspect(value, &arguments->fourByThree, error);
         }},
        {"--data", "DIR", 2, "play the data set in DIR (or in DIR/data)",
         [arguments](const std::string& value, std::string* error) {
             if (value.empty()) {
                 *error = "wants a folder";
                 return false;
             }
             arguments->dataDir = value;
             return true;
         },
         nullptr, nullptr, "a folder"},
        {"--help", nullptr, 0, "print this and leave",
         [arguments](const std::string&, std::string*) {
             arguments->help = true;
             return true;
         },
         "-h"},
        {"--version", nullptr, 0, "print the version and leave",
         [arguments](const std::string&, std::string*) {
             arguments->version = true;
             return true;
         }},
    };
    return commandLine;
}

const ManualPage DEMO_MANUAL = {
    6,
    "a real-time OpenGL demo with its own soundtrack",
    {{"THE PROGRAMME",
      "About 132 seconds: three picture sequences and seven animated 3D scenes,\n"
      "timed from the start of the music, with overlay pictures and a film-noise\n"
      "layer over every frame. It ends by itself at its end, or at once with Esc.\n"
      "skarvelin-render draws the same frames without a window."}},
    {{"DATA SET", DATA_SET_MANUAL},
     {"ENVIRONMENT",
      "  SDL_AUDIODRIVER=dummy   plays without a sound device, silently\n"
      "  SDL_AUDIODRIVER=disk    writes the sound to the file sdlaudio.raw instead\n"},
     {"EXIT STATUS",
      "0 at the end of the programme or when it is ended with a key; 1 when the\n"
      "music cannot be played (no sound device, a missing or unreadable\n"
      "music.mp3); 2 when the command line is refused (a --from outside the\n"
      "programme, a --data that names no folder).\n"},
     {"SEE ALSO", "skarvelin-render(1), skarvelin-data(1)\n"}},
    "KEYS",
};

}  // namespace

std::string demoBuildDocument(const std::string& argument)
{
    DemoArguments unused;
    return buildDocument(demoCommandLine(&unused), DEMO_MANUAL, argument);
}

std::string demoUsage()
{
    DemoArguments unused;
    return usageText(demoCommandLine(&unused));
}

bool parseDemoArguments(int argc, char** argv, DemoArguments* arguments, std::string* error)
{
    std::vector<char*> rest = withoutWindowSystemOptions(argc, argv);
    // Exact equality: "-fx", "-F" and "-" ask for nothing.
    if (rest.size() > 1 && std::strcmp(rest[1], FULL_SCREEN) == 0) {
        arguments->fullScreen = true;
        rest.erase(rest.begin() + 1);
    }
    return parseCommandLine(demoCommandLine(arguments), static_cast<int>(rest.size()), rest.data(), error);
}
