#include "command_line/option_table.h"

#include <cstdio>
#include "command_line/version.h"

#include <cstring>

namespace {

const Option* findOption(const CommandLine& commandLine, const std::string& name)
{
    for (const Option& option : commandLine.options)
        if (name == option.name || (option.alias && name == option.alias)) return &option;
    return nullptr;
}

std::string label(const Option& option, bool inSynopsis)
{
    const char* value = inSynopsis && option.synopsisValue ? option.synopsisValue : option.value;
    return value ? std::string(option.name) + " " + value : option.name;
}

}  // namespace

bool parseCommandLine(const CommandLine& commandLine, int argc, char** argv, std::string* error)
{
    bool optionsEnded = false;
    for (int i = 1; i < argc; ++i) {
        const std::string argument = argv[i];
        if (optionsEnded || argument.empty() || argument[0] != '-') {
            if (!commandLine.operand(argument, error)) return false;
            continue;
        }
        if (argument == "--") {
            optionsEnded = true;
            continue;
        }
        std::string name = argument;
        std::string value;
        bool inlineValue = false;
        const size_t equals = argument.find('=');
        if (argument.rfind("--", 0) == 0 && equals != std::string::npos) {
            name = argument.substr(0, equals);
            value = argument.substr(equals + 1);
            inlineValue = true;
        }
        const Option* option = findOption(commandLine, name);
        if (option && !option->value && inlineValue && !commandLine.refuseValuesOfSwitches) option = nullptr;
        if (!option) {
            if (!commandLine.unknown(argument, error)) return false;
            continue;
        }
        if (!option->value && inlineValue) {
            *error = std::string(option->name) + " takes no value";
            return false;
        }
        if (option->value && !inlineValue) {
            if (i + 1 >= argc || (commandLine.dashesEndValues && std::strncmp(argv[i + 1], "--", 2) == 0)) {
                *error = std::string(option->name) + " needs " + option->needs;
                return false;
            }
            value = argv[++i];
        }
        if (!option->apply(value, error)) {
            *error = std::string(option->name) + " " + *error;
            return false;
        }
    }
    return true;
}

std::string usageText(const CommandLine& commandLine)
{
    const std::string start = std::string("usage: ") + commandLine.program;
    std::string text = start;
    int lines = 0;
    for (const Option& option : commandLine.options)
        if (option.synopsisLine > lines) lines = option.synopsisLine;
    for (int line = 1; line <= lines; ++line) {
        if (line > 1) text += "\n" + std::string(start.size(), ' ');
        for (const Option& option : commandLine.options)
            if (option.synopsisLine == line) text += " [" + label(option, true) + "]";
    }
    if (commandLine.operands) text += std::string(" ") + commandLine.operands;
    text += "\n";
    text += commandLine.about;
    const std::string indent(commandLine.helpColumn, ' ');
    for (const Option& option : commandLine.options) {
        if (!option.help) continue;
        std::string entry = "  " + label(option, false);
        // A help that starts on the next line (the label fills the column) gets no blanks after the label.
        if (option.help[0] != '\n')
            entry += std::string(entry.size() + 2 > indent.size() ? 2 : indent.size() - entry.size(), ' ');
        for (const char* c = option.help; *c; ++c) {
            entry += *c;
            if (*c == '\n') entry += indent;
        }
        text += entry + "\n";
    }
    if (commandLine.footer) text += commandLine.footer;
    return text;
}

bool parseWholeNumber(const std::string& text, uint64_t max, uint64_t* value)
{
    if (text.empty()) return false;
    uint64_t result = 0;
    for (char c : text) {
        if (c < '0' || c > '9') return false;
        const unsigned digit = static_cast<unsigned>(c - '0');
        if (digit > max || result > (max - digit) / 10) return false;
        result = result * 10 + digit;
    }
    *value = result;
    return true;
}

const char* const TIME_FORMS = "milliseconds (66500), M:SS (1:06), M:SS.mmm (1:06.500) or SS.mmm (66.5)";

bool parseMilliseconds(const std::string& text, uint32_t* value)
{
    const size_t colon = text.find(':');
    const size_t point = text.find('.');
    uint64_t minutes = 0;
    size_t secondsStart = 0;
    if (colon != std::string::npos) {
        // Digits only, so a point before the colon ("1.5:00") is refused here.
        if (!parseWholeNumber(text.substr(0, colon), UINT32_MAX / 60000, &minutes)) return false;
        secondsStart = colon + 1;
    }
    const size_t secondsEnd = point == std::string::npos ? text.size() : point;
    const std::string secondsText = text.substr(secondsStart, secondsEnd - secondsStart);
    uint64_t seconds;
    if (colon == std::string::npos && point == std::string::npos) {
        // No colon and no point: the whole of it is milliseconds.
        if (!parseWholeNumber(secondsText, UINT32_MAX, &seconds)) return false;
        *value = static_cast<uint32_t>(seconds);
        return true;
    }
    if (colon != std::string::npos && secondsText.size() != 2) return false;
    if (!parseWholeNumber(secondsText, colon != std::string::npos ? 59 : UINT32_MAX / 1000, &seconds)) return false;
    uint64_t fraction = 0;
    if (point != std::string::npos) {
        // One to three decimals: ".5" is 500 ms, ".05" 50 ms.
        const std::string decimals = text.substr(point + 1);
        if (decimals.size() > 3 || !parseWholeNumber(decimals, 999, &fraction)) return false;
        for (size_t i = decimals.size(); i < 3; ++i) fraction *= 10;
    }
    const uint64_t result = (minutes * 60 + seconds) * 1000 + fraction;
    if (result > UINT32_MAX) return false;
    *value = static_cast<uint32_t>(result);
    return true;
}

std::string minutesAndSeconds(uint32_t t)
{
    char text[32];
    std::snprintf(text, sizeof text, "%u:%02u.%03u", t / 60000, t / 1000 % 60, t % 1000);
    return text;
}
namespace {

// Text for roff: backslashes escaped, a dash that starts a word (an option's)
// as a minus sign, and a line that would read as a request guarded.
std::string roff(const std::string& text)
{
    std::string out;
    bool lineStart = true;
    char previous = ' ';
    for (char c : text) {
        if (lineStart && (c == '.' || c == '\'')) out += "\\&";
        if (c == '\\') out += "\\e";
        else if (c == '-' && (previous == ' ' || previous == '-' || previous == '[' || previous == '(' ||
                              previous == '\n' || previous == '/' || previous == ','))
            out += "\\-";
        else out += c;
        lineStart = c == '\n';
        previous = c;
    }
    return out;
}

std::string upperCase(std::string text)
{
    for (char& c : text)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    return text;
}

// An option as the page shows it: bold name(s), italic value.
std::string optionLabel(const Option& option, bool inSynopsis)
{
    std::string label;
    if (option.alias) label += "\\fB" + roff(option.alias) + "\\fR, ";
    label += "\\fB" + roff(option.name) + "\\fR";
    const char* value = inSynopsis && option.synopsisValue ? option.synopsisValue : option.value;
    if (value) label += " \\fI" + roff(value) + "\\fR";
    return label;
}

// Paragraphs between blank lines; runs of lines that start with a space
// are shown as they are.
std::string roffParagraphs(const std::string& text)
{
    std::string out;
    bool asIs = false;
    bool first = true;
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find('\n', start);
        if (end == std::string::npos) end = text.size();
        const std::string line = text.substr(start, end - start);
        start = end + 1;
        if (line.empty()) {
            if (asIs) out += ".fi\n";
            asIs = false;
            first = true;
            continue;
        }
        const bool literal = line[0] == ' ';
        if (first) out += ".PP\n";
        first = false;
        if (literal && !asIs) out += ".nf\n";
        if (!literal && asIs) out += ".fi\n";
        asIs = literal;
        out += roff(line) + "\n";
    }
    if (asIs) out += ".fi\n";
    return out;
}

std::string roffParts(const std::vector<ManualPage::Part>& parts)
{
    std::string out;
    for (const ManualPage::Part& part : parts) out += ".SH " + roff(part.heading) + "\n" + roffParagraphs(part.text);
    return out;
}

// Options as bash's compgen -W takes them.
std::string completionWords(const CommandLine& commandLine)
{
    std::string words;
    for (const Option& option : commandLine.options) {
        if (!option.help) continue;
        if (option.alias) words += std::string(words.empty() ? "" : " ") + option.alias;
        words += std::string(words.empty() ? "" : " ") + option.name;
    }
    return words;
}

// The options whose value is of this kind, as a case pattern ("--png|--data"), empty for none.
std::string optionsTaking(const CommandLine& commandLine, bool (*kind)(const char* value))
{
    std::string names;
    for (const Option& option : commandLine.options)
        if (option.value && kind(option.value)) names += std::string(names.empty() ? "" : "|") + option.name;
    return names;
}

}  // namespace

std::string manualPage(const CommandLine& commandLine, const ManualPage& page, const std::string& version)
{
    const std::string program = commandLine.program;
    std::string out = ".\\\" Made from the program's option table at build time.\n";
    out += ".TH " + roff(upperCase(program)) + " " + std::to_string(page.section) + " \"\" \"" + roff(version) +
           "\" \"" + (page.section == 6 ? "Games" : "User Commands") + "\"\n.nh\n.ad l\n";
    out += ".SH NAME\n" + roff(program) + " \\- " + roff(page.summary) + "\n";
    out += ".SH SYNOPSIS\n.B " + roff(program) + "\n";
    int lines = 0;
    for (const Option& option : commandLine.options)
        if (option.synopsisLine > lines) lines = option.synopsisLine;
    for (int line = 1; line <= lines; ++line)
        for (const Option& option : commandLine.options)
            if (option.synopsisLine == line) out += "[" + optionLabel(option, true) + "]\\&\n";
    if (commandLine.operands) out += roff(commandLine.operands) + "\n";
    out += ".SH DESCRIPTION\n" + roffParagraphs(commandLine.about);
    out += roffParts(page.partsAfterDescription);
    out += ".SH OPTIONS\n";
    for (const Option& option : commandLine.options) {
        if (!option.help) continue;
        out += ".TP\n" + optionLabel(option, false) + "\n" + roff(option.help) + "\n";
    }
    if (commandLine.footer && page.footerHeading)
        out += ".SH " + roff(page.footerHeading) + "\n" + roffParagraphs(commandLine.footer);
    out += roffParts(page.partsAfterOptions);
    return out;
}

std::string bashCompletion(const CommandLine& commandLine)
{
    std::string function = std::string("_") + commandLine.program;
    for (char& c : function)
        if (c == '-') c = '_';
    const std::string folders = optionsTaking(commandLine,
                                              [](const char* value) { return std::strcmp(value, "DIR") == 0; });
    const std::string files = optionsTaking(commandLine,
                                            [](const char* value) { return std::strcmp(value, "FILE") == 0; });
    const std::string others = optionsTaking(commandLine, [](const char* value) {
        return std::strcmp(value, "DIR") != 0 && std::strcmp(value, "FILE") != 0;
    });
    std::string out = std::string("# bash completion for ") + commandLine.program +
                      ", made from its option table at build time\n" + function + "()\n{\n" +
                      "    local cur=${COMP_WORDS[COMP_CWORD]} prev=${COMP_WORDS[COMP_CWORD-1]}\n";
    if (!folders.empty() || !files.empty() || !others.empty()) {
        out += "    case $prev in\n";
        if (!folders.empty()) out += "    " + folders + ") COMPREPLY=($(compgen -d -- \"$cur\")); return ;;\n";
        if (!files.empty()) out += "    " + files + ") COMPREPLY=($(compgen -f -- \"$cur\")); return ;;\n";
        if (!others.empty()) out += "    " + others + ") COMPREPLY=(); return ;;\n";
        out += "    esac\n";
    }
    out +=
        "    if [[ $cur == -* ]]; then\n"
        "        COMPREPLY=($(compgen -W '" +
        completionWords(commandLine) +
        "' -- \"$cur\"))\n"
        "    else\n";
    out += commandLine.operands ? "        COMPREPLY=($(compgen -d -- \"$cur\"))\n" : "        COMPREPLY=()\n";
    out += "    fi\n}\ncomplete -o filenames -F " + function + " " + commandLine.program + "\n";
    return out;
}

std::string buildDocument(const CommandLine& commandLine, const ManualPage& page, const std::string& argument)
{
    if (argument == "--manual-page") return manualPage(commandLine, page, std::string("skarvelin ") + PROJECT_VERSION);
    if (argument == "--bash-completion") return bashCompletion(commandLine);
    return "";
}
