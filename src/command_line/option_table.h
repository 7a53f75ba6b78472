// The command lines of the three programs. Each program lists its options in
// one table that both reads the arguments and writes the --help text, so an
// option is added, renamed or documented in one row.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

// What an option does with its value (empty for an option that takes none),
// or what a program does with an argument that is not one of its options.
// False, with a one-line message in error, refuses the command line; an
// option's message is about its value ("wants ...") and is given after the
// option's name.
using ArgumentAction = std::function<bool(const std::string& value, std::string* error)>;

struct Option {
    const char* name;   // "--size"
    const char* value;  // its value as the help names it ("WxH"); null when it takes none
    int synopsisLine;   // the line of the usage synopsis that shows it, from 1; 0 for none
    const char* help;   // its help, lines joined by '\n'; null leaves it out of the list
    ArgumentAction apply;
    const char* alias = nullptr;          // a second spelling ("-h")
    const char* synopsisValue = nullptr;  // the value as the synopsis names it, where unlike value
    const char* needs = "a value";        // the end of "--from needs ..." when the value is missing
};

struct CommandLine {
    const char* program;   // "skarvelin-render"
    const char* operands;  // what the synopsis shows after the options ("[DIR]"), or null
    const char* about;     // the lines between the synopsis and the options
    int helpColumn;        // where the help text of every option starts
    const char* footer;    // the lines after the options, or null
    std::vector<Option> options;
    // An argument that starts with '-' and is none of the options.
    ArgumentAction unknown;
    // Any other argument, and every argument after "--".
    ArgumentAction operand;
    // "--png --bench": a value that starts with "--" is a forgotten value.
    bool dashesEndValues = false;
    // "--bench=1" is refused as "--bench takes no value"; otherwise it goes to unknown.
    bool refuseValuesOfSwitches = false;
};

// Reads the arguments after the program name in order. An option takes its
// value from the next argument, or after '=' when its name starts with "--"
// ("--fps 30", "--fps=30"). "--" ends the options: every later argument is an
// operand, whatever it looks like. Stops at the first refusal.
bool parseCommandLine(const CommandLine& commandLine, int argc, char** argv, std::string* error);

// The --help text: the synopsis (its lines aligned under the first), the
// about lines, one entry per listed option, the footer.
std::string usageText(const CommandLine& commandLine);

// A non-empty run of decimal digits and nothing else, at most max.
bool parseWholeNumber(const std::string& text, uint64_t max, uint64_t* value);

// A time as both programs read it, in milliseconds: a whole number of them
// ("66500"), or minutes and seconds as the timeline prints them ("1:06",
// "1:06.5", "1:06.500"), or seconds with up to three decimals ("66.5"). With a
// colon the seconds are two digits below 60; no sign, no blank, no empty part,
// nothing finer than a millisecond; the result fits in 32 bits. Whether it lies
// within the programme is the caller's to say, in its own words.
bool parseMilliseconds(const std::string& text, uint32_t* value);

// The forms parseMilliseconds takes, for the messages that refuse a time:
// "milliseconds (66500), M:SS (1:06), M:SS.mmm (1:06.500) or SS.mmm (66.5)".
extern const char* const TIME_FORMS;

// t as the timeline prints it and parseMilliseconds reads it back: m:ss.mmm.
std::string minutesAndSeconds(uint32_t t);
// What a program's manual page says beyond its option table.
struct ManualPage {
    int section;          // 1 for the tools, 6 for the demo
    const char* summary;  // after the name in NAME: "render the programme without a window"
    struct Part {
        const char* heading;  // "EXIT STATUS"
        const char* text;     // paragraphs between blank lines; lines that start with a space are shown as they are
    };
    std::vector<Part> partsAfterDescription;  // before OPTIONS
    std::vector<Part> partsAfterOptions;      // the footer, when there is one, comes first, under footerHeading
    const char* footerHeading = nullptr;
};

// The manual page (man(7) macros): NAME, SYNOPSIS and OPTIONS made from the
// table as --help is, the about lines as DESCRIPTION, then the page's own
// parts. version goes in the page's header ("skarvelin 1.0.0").
std::string manualPage(const CommandLine& commandLine, const ManualPage& page, const std::string& version);

// A bash completion script: every listed option and its second spelling;
// after an option whose value is DIR, folders; FILE, files; other values
// nothing; operands ("[DIR]") folders.
std::string bashCompletion(const CommandLine& commandLine);

// What the build asks each program for, with argument as its only argument:
// "--manual-page" or "--bash-completion". Empty for any other argument, so
// the program reads its command line as usual.
std::string buildDocument(const CommandLine& commandLine, const ManualPage& page, const std::string& argument);
