#include "command_line/option_table.h"

#include <cstdio>
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
