#include "command_line/option_table.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// A program with a valued option, a switch with a second spelling and a
// hidden switch; every action is written down in order.
struct Toy {
    std::string log;

    CommandLine commandLine(bool strict)
    {
        auto note = [this](const std::string& what) {
            return [this, what](const std::string& value, std::string* error) {
                if (value == "bad") {
                    *error = "wants better";
                    return false;
                }
                log += what + "(" + value + ") ";
                return true;
            };
        };
        CommandLine line{"toy", "[FILE]", "Does toy things.\n", 12, "The end.\n", {}, note("unknown"), note("operand")};
        line.dashesEndValues = strict;
        line.refuseValuesOfSwitches = strict;
        line.options = {
            {"--size", "N", 1, "how big,\nin toys", note("size"), nullptr, "COUNT", "a number"},
            {"--quiet", nullptr, 2, "say less", note("quiet"), "-q"},
            {"--secret", nullptr, 0, nullptr, note("secret")},
            {"--wide-one", "W", 0, "\nbelow its name", note("wide")},
        };
        return line;
    }

    // The log, or "error: ..." when the arguments are refused.
    std::string parse(std::vector<std::string> words, bool strict)
    {
        log.clear();
        words.insert(words.begin(), "toy");
        std::vector<char*> argv;
        for (std::string& word : words) argv.push_back(word.data());
        std::string error;
        if (!parseCommandLine(commandLine(strict), static_cast<int>(argv.size()), argv.data(), &error))
            return "error: " + error;
        return log;
    }
};

}  // namespace

TEST(OptionTable, ReadsValuesSwitchesOperandsAndTheEndOfOptions)
{
    struct Case {
        std::vector<std::string> words;
        std::string lenient;  // dashes may start a value; a switch's value makes it unknown
        std::string strict;   // both refused
    };
    const Case cases[] = {
        {{"--size", "3", "-q", "file"}, "size(3) quiet() operand(file) ", "size(3) quiet() operand(file) "},
        {{"--size=4", "--quiet", "--secret"}, "size(4) quiet() secret() ", "size(4) quiet() secret() "},
        {{"--size="}, "size() ", "size() "},
        {{"--size", "--quiet"}, "size(--quiet) ", "error: --size needs a number"},
        {{"--size"}, "error: --size needs a number", "error: --size needs a number"},
        {{"--size", "bad"}, "error: --size wants better", "error: --size wants better"},
        {{"--quiet=1"}, "unknown(--quiet=1) ", "error: --quiet takes no value"},
        {{"-q=1", "-x", "--sizes", "-", ""},
         "unknown(-q=1) unknown(-x) unknown(--sizes) unknown(-) operand() ",
         "unknown(-q=1) unknown(-x) unknown(--sizes) unknown(-) operand() "},
        {{"--", "--size", "-q", "--"},
         "operand(--size) operand(-q) operand(--) ",
         "operand(--size) operand(-q) operand(--) "},
        {{"-q", "--", "x", "--=1"}, "quiet() operand(x) operand(--=1) ", "quiet() operand(x) operand(--=1) "},
        {{"--=1"}, "unknown(--=1) ", "unknown(--=1) "},
    };
    Toy toy;
    for (const Case& c : cases) {
        std::string words;
        for (const std::string& word : c.words) words += "'" + word + "' ";
        EXPECT_EQ(toy.parse(c.words, false), c.lenient) << words;
        EXPECT_EQ(toy.parse(c.words, true), c.strict) << words;
    }
}

TEST(OptionTable, HelpListsTheSynopsisByLineAndTheHelpInItsColumn)
{
    Toy toy;
    EXPECT_EQ(usageText(toy.commandLine(false)),
              "usage: toy [--size COUNT]\n"
              "           [--quiet] [FILE]\n"
              "Does toy things.\n"
              "  --size N  how big,\n"
              "            in toys\n"
              "  --quiet   say less\n"
              "  --wide-one W\n"
              "            below its name\n"
              "The end.\n");
}

TEST(OptionTable, WholeNumbersAndMillisecondsAreDigitsWithinTheirLimit)
{
    uint64_t n = 7;
    EXPECT_TRUE(parseWholeNumber("0", 0, &n));
    EXPECT_EQ(n, 0u);
    EXPECT_TRUE(parseWholeNumber("00051", 51, &n));
    EXPECT_EQ(n, 51u);
    for (const char* bad : {"", "52", "-1", "+1", " 1", "1 ", "1.0", "0x1", "99999999999999999999999"})
        EXPECT_FALSE(parseWholeNumber(bad, 51, &n)) << bad;
    EXPECT_FALSE(parseWholeNumber("5", 4, &n));
    EXPECT_TRUE(parseWholeNumber("18446744073709551615", UINT64_MAX, &n));
    EXPECT_EQ(n, UINT64_MAX);
    EXPECT_FALSE(parseWholeNumber("18446744073709551616", UINT64_MAX, &n));

    uint32_t ms = 7;
    EXPECT_TRUE(parseMilliseconds("4294967295", &ms));
    EXPECT_EQ(ms, 4294967295u);
    EXPECT_FALSE(parseMilliseconds("4294967296", &ms));
    EXPECT_FALSE(parseMilliseconds("4e4", &ms));
    EXPECT_EQ(ms, 4294967295u);
}

// Times as the timeline prints them, and the edges of each form.
TEST(OptionTable, TimesAreMillisecondsOrMinutesAndSecondsAsTheTimelinePrintsThem)
{
    const std::pair<const char*, uint32_t> good[] = {
        {"66500", 66500},
        {"1:06", 66000},
        {"1:06.5", 66500},
        {"1:06.500", 66500},
        {"1:06.05", 66050},
        {"1:06.005", 66005},
        {"66.5", 66500},
        {"66.500", 66500},
        {"0:00", 0},
        {"0.0", 0},
        {"0:59.999", 59999},
        {"2:12.000", 132000},
        {"132.000", 132000},
        {"00:07", 7000},
        {"125:00", 7500000},
        {"4294967.295", 4294967295u},
        {"71582:47.295", 4294967295u},
    };
    for (const auto& [text, expected] : good) {
        uint32_t ms = 7;
        EXPECT_TRUE(parseMilliseconds(text, &ms)) << text;
        EXPECT_EQ(ms, expected) << text;
    }
    const char* const bad[] = {
        "1:60",    "1:6",   "1:006",   "0:59.9999",   "0:59.0001",    "66.5000",  "1.0005",
        ":06",     "1:",    "1:06.",   ".5",          "66.",          "1.5:00",   "1:06:00",
        "1:06.5.", "+1:06", "-0:01",   "1:-06",       "1:+06",        "-66.5",    " 1:06",
        "1:06 ",   "1: 06", "1:06.-5", "4294967.296", "71582:47.296", "71583:00", "99999999999:00",
        "1,5",     "1:06s", "",        "1;06",
    };
    for (const char* text : bad) {
        uint32_t ms = 7;
        EXPECT_FALSE(parseMilliseconds(text, &ms)) << text;
        EXPECT_EQ(ms, 7u) << text;
    }
    // What the timeline prints reads back as the same millisecond.
    for (uint32_t t : {0u, 999u, 59999u, 60000u, 66500u, 132000u, 4294967295u}) {
        uint32_t back = 7;
        EXPECT_TRUE(parseMilliseconds(minutesAndSeconds(t), &back)) << minutesAndSeconds(t);
        EXPECT_EQ(back, t) << minutesAndSeconds(t);
    }
    EXPECT_EQ(minutesAndSeconds(66500), "1:06.500");
}
