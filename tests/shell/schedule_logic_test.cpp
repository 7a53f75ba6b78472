#include "command_line/option_table.h"
#include "data_folder/data_folder.h"
#include "files.h"
#include "programme/screen.h"
#include "shell/arguments.h"
#include "shell/clock.h"
#include "shell/programme.h"
#include "shell/schedule.h"
#include "working_folder.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <map>
#include <set>
#include <string>
#include <vector>

namespace {

// The environment findDataSet reads in the data set test.
std::map<std::string, std::string> fakeEnvironment;
char* fakeVariable(const char* name)
{
    auto found = fakeEnvironment.find(name);
    return found == fakeEnvironment.end() ? nullptr : found->second.data();
}

// The names of the scenes the schedule calls at t, in calling order.
std::string scenesAt(uint32_t t)
{
    std::string names;
    for (const ScheduleRow& row : SCHEDULE) {
        if (!rowContains(row, t)) continue;
        if (!names.empty()) names += ",";
        names += row.name;
    }
    return names;
}

}  // namespace

TEST(Schedule, WindowBoundsAreInclusiveAndGapsDrawNoScene)
{
    EXPECT_EQ(scenesAt(0), "");
    EXPECT_EQ(scenesAt(1), "title");
    EXPECT_EQ(scenesAt(3559), "title");
    EXPECT_EQ(scenesAt(3560), "");
    EXPECT_EQ(scenesAt(3650), "");
    EXPECT_EQ(scenesAt(3651), "credits");
    EXPECT_EQ(scenesAt(10125), "credits");
    EXPECT_EQ(scenesAt(10651), "twist-column");
    EXPECT_EQ(scenesAt(31999), "twist-column");
    EXPECT_EQ(scenesAt(32000), "");
    EXPECT_EQ(scenesAt(32001), "spiked-tube");
    EXPECT_EQ(scenesAt(45999), "spiked-tube");
    EXPECT_EQ(scenesAt(46000), "");
    EXPECT_EQ(scenesAt(46157), "");
    EXPECT_EQ(scenesAt(46158), "slideshow");
    EXPECT_EQ(scenesAt(51502), "slideshow");
    EXPECT_EQ(scenesAt(51503), "");
    EXPECT_EQ(scenesAt(53312), "");
    EXPECT_EQ(scenesAt(53313), "twist-room");
    EXPECT_EQ(scenesAt(66517), "twist-room");
    EXPECT_EQ(scenesAt(66518), "");
    EXPECT_EQ(scenesAt(67522), "");
    EXPECT_EQ(scenesAt(67523), "blob");
    EXPECT_EQ(scenesAt(81510), "blob");
    EXPECT_EQ(scenesAt(81511), "");
    EXPECT_EQ(scenesAt(81679), "");
    EXPECT_EQ(scenesAt(81680), "spheres");
    EXPECT_EQ(scenesAt(88392), "spheres");
    EXPECT_EQ(scenesAt(88393), "");
    EXPECT_EQ(scenesAt(88840), "");
    EXPECT_EQ(scenesAt(88841), "tunnel");
    EXPECT_EQ(scenesAt(109586), "tunnel");
    EXPECT_EQ(scenesAt(109587), "");
    EXPECT_EQ(scenesAt(110150), "");
    EXPECT_EQ(scenesAt(110151), "bitmap-wave");
    EXPECT_EQ(scenesAt(131026), "bitmap-wave");
    EXPECT_EQ(scenesAt(131027), "");
    EXPECT_EQ(scenesAt(132000), "");
}

TEST(Schedule, CreditsAndTwistColumnOverlapWithCreditsFirst)
{
    EXPECT_EQ(scenesAt(10126), "credits,twist-column");
    EXPECT_EQ(scenesAt(10650), "credits,twist-column");
    for (uint32_t t = 0; t <= 132500; ++t) {
        if (t >= 10126 && t <= 10650) continue;
        ASSERT_EQ(scenesAt(t).find(','), std::string::npos) << "two scenes at " << t;
    }
}

// The schedule is every window of the programme's scenes, each once, by start time.
TEST(Schedule, HoldsEveryWindowOfTheProgrammeByStartTime)
{
    std::multiset<std::string> windows, scheduled;
    for (const SceneUnit* unit : programmeUnits())
        for (size_t i = 0; i < unit->windowCount; ++i) windows.insert(unit->windows[i].name);
    for (size_t i = 0; i < SCHEDULE.size(); ++i) {
        scheduled.insert(SCHEDULE[i].name);
        if (i > 0) {
            EXPECT_LE(SCHEDULE[i - 1].first, SCHEDULE[i].first) << SCHEDULE[i].name;
        }
    }
    EXPECT_EQ(scheduled, windows);
}

TEST(Schedule, NegativeTimeAsUnsignedLiesInNoWindow)
{
    EXPECT_EQ(scenesAt(static_cast<uint32_t>(int32_t{-1})), "");
    EXPECT_EQ(scenesAt(static_cast<uint32_t>(int32_t{-5000})), "");
}

TEST(Schedule, PhaseScaleIsTheFloatNearestOneFifteenHundredth)
{
    uint32_t bits;
    std::memcpy(&bits, &PHASE_SCALE, sizeof bits);
    EXPECT_EQ(bits, 0x3A2EC33Eu);
    EXPECT_EQ(static_cast<double>(PHASE_SCALE), 0.000666666659526526927947998046875);
}

TEST(Clock, ElapsedMillisecondsTruncateTowardZero)
{
    EXPECT_EQ(elapsedMs(100, 0, 100, 0), 0);
    EXPECT_EQ(elapsedMs(100, 999, 100, 0), 0);  // 0.999 ms
    EXPECT_EQ(elapsedMs(100, 1000, 100, 0), 1);
    EXPECT_EQ(elapsedMs(101, 500, 100, 999999), 0);  // 0.501 ms across a second boundary
    EXPECT_EQ(elapsedMs(232, 0, 100, 0), 132000);
    EXPECT_EQ(elapsedMs(232, 1000, 100, 0), 132001);
    // Real epoch seconds keep their sub-millisecond precision in double.
    EXPECT_EQ(elapsedMs(1796000132, 1500, 1796000000, 500), 132001);
}

TEST(Clock, ClockSetBackGivesNegativeTimeThatNeverEndsTheProgramme)
{
    // Set back by 5 s after the origin: t is negative, and truncation goes toward zero.
    EXPECT_EQ(elapsedMs(1796000000, 0, 1796000005, 0), -5000);
    EXPECT_EQ(elapsedMs(1796000000, 0, 1796000000, 999), 0);  // -0.999 ms truncates to 0
    EXPECT_EQ(elapsedMs(1796000000, 0, 1796000000, 1500), -1);
    int32_t t = elapsedMs(1796000000, 0, 1796000005, 0);
    EXPECT_FALSE(t > 132000);
    EXPECT_EQ(scenesAt(static_cast<uint32_t>(t)), "");
}

TEST(Clock, FirstReadingLatchesTheOriginOnce)
{
    clockStartSec = 0;
    clockStartUsec = 0;
    int32_t first = currentTimeMs();
    int latchedSec = clockStartSec;
    int latchedUsec = clockStartUsec;
    EXPECT_NE(latchedSec, 0);
    EXPECT_GE(first, 0);
    EXPECT_LE(first, 1);
    currentTimeMs();
    EXPECT_EQ(clockStartSec, latchedSec);
    EXPECT_EQ(clockStartUsec, latchedUsec);
}

// Started later, the origin lies that many milliseconds before the reading,
// borrowing from the seconds where the microseconds run out.
TEST(Clock, AnOriginBeforeTheReadingMakesTheReadingThatTime)
{
    int sec = 0, usec = 0;
    originBefore(1796000000, 200000, 1500, &sec, &usec);
    EXPECT_EQ(sec, 1795999998);
    EXPECT_EQ(usec, 700000);
    EXPECT_EQ(elapsedMs(1796000000, 200000, sec, usec), 1500);
    originBefore(1796000000, 0, 131000, &sec, &usec);
    EXPECT_EQ(elapsedMs(1796000001, 0, sec, usec), 132000);
}

TEST(Arguments, FromTakesMillisecondsOfTheProgrammeWhereverItStands)
{
    auto parse = [](std::vector<std::string> words, DemoArguments* parsed) {
        words.insert(words.begin(), "skarvelin");
        std::vector<char*> argv;
        for (auto& word : words) argv.push_back(word.data());
        std::string error;
        return parseDemoArguments(static_cast<int>(words.size()), argv.data(), parsed, &error);
    };
    DemoArguments parsed;
    EXPECT_TRUE(parse({"-f", "ignored", "--from", "40000"}, &parsed));
    EXPECT_EQ(parsed.fromMs, 40000u);
    EXPECT_FALSE(parsed.help);
    EXPECT_TRUE(parse({"--from=132000", "--help"}, &parsed));
    EXPECT_EQ(parsed.fromMs, 132000u);
    EXPECT_TRUE(parsed.help);
    EXPECT_FALSE(parsed.controls);
    // Starting held needs the keys that play on.
    EXPECT_TRUE(parse({"--paused"}, &parsed));
    EXPECT_TRUE(parsed.controls && parsed.paused);
    // Minutes and seconds as the timeline prints them.
    EXPECT_TRUE(parse({"--from", "1:06.5"}, &parsed));
    EXPECT_EQ(parsed.fromMs, 66500u);
    EXPECT_TRUE(parse({"--from=2:12"}, &parsed));
    EXPECT_EQ(parsed.fromMs, 132000u);
    EXPECT_TRUE(parse({"--data", "/my/set", "--version"}, &parsed));
    EXPECT_EQ(parsed.dataDir, "/my/set");
    EXPECT_TRUE(parsed.version);
    for (const std::vector<std::string>& bad : std::vector<std::vector<std::string>>{{"--from", "132001"},
                                                                                     {"--from", ""},
                                                                                     {"--from", "4e4"},
                                                                                     {"--from", "99999999999"},
                                                                                     {"--from"},
                                                                                     {"--from", "2:12.001"},
                                                                                     {"--from", "1:60"},
                                                                                     {"--data", ""},
                                                                                     {"--data"}})
        EXPECT_FALSE(parse(bad, &parsed)) << bad.back();
    // One line that says what a time may be.
    std::string error;
    std::vector<std::string> words = {"skarvelin", "--from", "1:6"};
    std::vector<char*> argv;
    for (auto& word : words) argv.push_back(word.data());
    EXPECT_FALSE(parseDemoArguments(3, argv.data(), &parsed, &error));
    EXPECT_EQ(error, std::string("--from wants a time from 0 to 132000 ms (2:12.000): ") + TIME_FORMS + ", not '1:6'");
}

TEST(Arguments, OnlyAnExactFirstDashFAsksForFullScreen)
{
    auto wants = [](std::vector<std::string> words) {
        std::vector<char*> argv;
        for (auto& word : words) argv.push_back(word.data());
        DemoArguments parsed;
        std::string error;
        EXPECT_TRUE(parseDemoArguments(static_cast<int>(words.size()), argv.data(), &parsed, &error)) << error;
        return parsed.fullScreen;
    };
    EXPECT_TRUE(wants({"skarvelin", "-f"}));
    EXPECT_TRUE(wants({"skarvelin", "-f", "extra"}));
    EXPECT_FALSE(wants({"skarvelin"}));
    EXPECT_FALSE(wants({"skarvelin", "x", "-f"}));
    EXPECT_FALSE(wants({"skarvelin", "-F"}));
    EXPECT_FALSE(wants({"skarvelin", "-fx"}));
    EXPECT_FALSE(wants({"skarvelin", "-"}));
    EXPECT_FALSE(wants({"skarvelin", ""}));
}

// Whatever the demo does not know is played through with one warning line
// each; the window system's own options are glutInit's and pass silently, and
// "-f" after them is still the first argument.
TEST(Arguments, UnknownArgumentsAreIgnoredWithAWarningAndTheWindowSystemsPassSilently)
{
    struct Case {
        std::vector<std::string> words;
        bool fullScreen;
        uint32_t fromMs;
        std::vector<std::string> warnings;
    };
    const std::string misplaced = "ignoring '-f' here: it means full screen only as the first argument";
    const Case cases[] = {
        {{"--form", "110000"}, false, 0, {"ignoring unknown argument '--form'", "ignoring unknown argument '110000'"}},
        {{"--from", "5000", "-f"}, false, 5000, {misplaced}},
        {{"-f", "-f"}, true, 0, {misplaced}},
        {{"-display", ":1", "-geometry", "64x48+0+0", "-iconic", "-indirect", "-direct", "-gldebug", "-sync", "-f"},
         true,
         0,
         {}},
        {{"-sync", "--from=7", "-display", "--from"}, false, 7, {}},
        {{"--from", "9", "--", "--from", "5", "-iconic", "-f"},
         false,
         9,
         {"ignoring unknown argument '--from'", "ignoring unknown argument '5'", "ignoring unknown argument '-f'"}},
        {{"--help=1", "-"}, false, 0, {"ignoring unknown argument '--help=1'", "ignoring unknown argument '-'"}},
    };
    for (const Case& c : cases) {
        std::vector<std::string> words = c.words;
        words.insert(words.begin(), "skarvelin");
        std::vector<char*> argv;
        for (std::string& word : words) argv.push_back(word.data());
        DemoArguments parsed;
        std::string error;
        ASSERT_TRUE(parseDemoArguments(static_cast<int>(argv.size()), argv.data(), &parsed, &error)) << error;
        EXPECT_EQ(parsed.fullScreen, c.fullScreen) << c.words[0];
        EXPECT_EQ(parsed.fromMs, c.fromMs) << c.words[0];
        EXPECT_EQ(parsed.warnings, c.warnings) << c.words[0];
        EXPECT_FALSE(parsed.help);
    }
}

// The data set is the first of --data, $SKARVELIN_DATA, data/ in the working
// folder, $XDG_DATA_HOME's (or ~/.local/share's) and each $XDG_DATA_DIRS
// entry's skarvelin/data that is a folder; a named folder holding data/ means
// that data/. Folders are made under a fresh root for each row; "R" in a
// name stands for the root.
TEST(Arguments, TheDataSetIsTheFirstPlaceThatIsAFolder)
{
    struct Case {
        const char* what;
        std::vector<std::string> folders;              // made under the root
        std::map<std::string, std::string> variables;  // HOME is R/home unless given
        std::string option;                            // --data
        std::string found;                             // "" for none
        size_t looked;                                 // places tried
    };
    const std::vector<std::string> everywhere = {
        "opt/data",          "env/data", "work/data", "xdg/skarvelin/data", "home/.local/share/skarvelin/data",
        "sys/skarvelin/data"};
    const std::map<std::string, std::string> xdg = {{"XDG_DATA_HOME", "R/xdg"}, {"XDG_DATA_DIRS", "R/sys"}};
    std::map<std::string, std::string> allSet = xdg;
    allSet["SKARVELIN_DATA"] = "R/env";
    const Case cases[] = {
        {"--data first, its data/", everywhere, allSet, "R/opt", "R/opt/data", 1},
        {"--data as the set itself", {"flat", "work/data"}, allSet, "R/flat", "R/flat", 1},
        {"--data that is not there is no set", everywhere, allSet, "R/none", "", 1},
        {"then $SKARVELIN_DATA", everywhere, allSet, "", "R/env/data", 1},
        {"a $SKARVELIN_DATA not there is passed over", {"work/data"}, allSet, "", "data", 2},
        {"then data/ here, named as always", {"work/data", "xdg/skarvelin/data"}, xdg, "", "data", 1},
        {"then $XDG_DATA_HOME", {"xdg/skarvelin/data", "sys/skarvelin/data"}, xdg, "", "R/xdg/skarvelin/data", 2},
        {"~/.local/share without $XDG_DATA_HOME",
         {"home/.local/share/skarvelin/data", "sys/skarvelin/data"},
         {{"XDG_DATA_DIRS", "R/sys"}},
         "",
         "R/home/.local/share/skarvelin/data",
         2},
        {"a relative $XDG_DATA_HOME is ignored",
         {"home/.local/share/skarvelin/data", "work/rel/skarvelin/data"},
         {{"XDG_DATA_HOME", "rel"}},
         "",
         "R/home/.local/share/skarvelin/data",
         2},
        {"$XDG_DATA_DIRS in order, relative and empty entries ignored",
         {"b/skarvelin/data", "c/skarvelin/data", "work/rel/skarvelin/data"},
         {{"XDG_DATA_HOME", "R/xdg"}, {"XDG_DATA_DIRS", "R/a::rel:R/b:R/c"}},
         "",
         "R/b/skarvelin/data",
         4},
        {"then $XDG_DATA_DIRS", {"sys/skarvelin/data"}, xdg, "", "R/sys/skarvelin/data", 3},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        TempDir root;
        auto rooted = [&root](std::string text) {
            for (size_t at = 0; at < text.size(); at = text.find(':', at) + 1) {
                if (text.compare(at, 2, "R/") == 0) text.replace(at, 1, root.path());
                if (text.find(':', at) == std::string::npos) break;
            }
            return text;
        };
        std::filesystem::create_directories(root / "work");
        for (const std::string& folder : c.folders) std::filesystem::create_directories(root / folder);
        fakeEnvironment = {{"HOME", root / "home"}};
        for (const auto& [name, value] : c.variables) fakeEnvironment[name] = rooted(value);
        WorkingFolder here(root / "work");
        const DataSearch search = findDataSet(rooted(c.option), fakeVariable);
        EXPECT_EQ(search.folder, rooted(c.found));
        EXPECT_EQ(search.looked.size(), c.looked);
        EXPECT_EQ(search.warnings.size(), std::string(c.what).find("passed over") != std::string::npos ? 1u : 0u);
    }
    // With neither variable, the system's folders are /usr/local/share and /usr/share.
    fakeEnvironment = {{"HOME", "/nonexistent"}};
    TempDir empty;
    WorkingFolder here(empty.path());
    const DataSearch search = findDataSet("", fakeVariable);
    ASSERT_GE(search.looked.size(), 2u);
    EXPECT_EQ(search.looked[1].folder, "/nonexistent/.local/share/skarvelin/data");
    if (search.folder.empty()) {
        ASSERT_EQ(search.looked.size(), 4u);
        EXPECT_EQ(search.looked[2].folder, "/usr/local/share/skarvelin/data");
        EXPECT_EQ(search.looked[3].folder, "/usr/share/skarvelin/data");
    }
    // Files of the set are named under the folder found; under data/ as the table names them.
    EXPECT_EQ(dataFileIn("data", "data/soya1.jpg"), "data/soya1.jpg");
    EXPECT_EQ(dataFileIn("/usr/share/skarvelin/data", "data/soya1.jpg"), "/usr/share/skarvelin/data/soya1.jpg");
    EXPECT_EQ(dataFileIn("mine/", "data/music.mp3"), "mine/music.mp3");
    EXPECT_EQ(dataFileIn("/x", "/tmp/other.jpg"), "/tmp/other.jpg");
    EXPECT_EQ(shellQuoted("/home/o'neil/my data"), "'/home/o'\\''neil/my data'");
}

TEST(Arguments, StartupAspectIsTheIntegerQuotientButNeverZero)
{
    EXPECT_EQ(startupAspect(640, 480), 1);
    EXPECT_EQ(startupAspect(1920, 1080), 1);
    EXPECT_EQ(startupAspect(2560, 1080), 2);
    EXPECT_EQ(startupAspect(3840, 1080), 3);
    EXPECT_EQ(startupAspect(1080, 1920), 1);
}
