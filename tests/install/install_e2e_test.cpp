#include "../data/generated_data_set.h"
#include "files.h"
#include "process.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <regex>
#include <set>
#include <string>

// What the build installs, installed into a DESTDIR under /usr as a package
// does: the programs, their manual pages and completions, the desktop entry
// and the default data set; the installed renderer, started from a folder of
// its own and finding the set through $XDG_DATA_DIRS, draws the frame the
// build's renderer draws in a folder holding the default set.
TEST(Install, TheInstalledRendererFindsItsDataAndDrawsTheBuildsFrame)
{
    namespace fs = std::filesystem;
    std::string failure;
    const std::string root = generatedDataSet(&failure);
    ASSERT_FALSE(root.empty()) << failure;
    TempDir dest;
    ProcessResult install = runProcess({"cmake", "--install", SKARVELIN_BINARY_DIR, "--prefix", "/usr"}, dest.path(),
                                       {{"DESTDIR", dest.path()}}, 120);
    ASSERT_EQ(install.status, 0) << install.out << install.err;
    const std::string usr = dest / "usr";

    for (const char* file : {"share/applications/skarvelin.desktop", "share/icons/hicolor/scalable/apps/skarvelin.svg",
                             "share/skarvelin/data/music.mp3"})
        EXPECT_TRUE(fs::is_regular_file(usr + "/" + file)) << file;
    size_t pictures = 0;
    for (const auto& entry : fs::directory_iterator(usr + "/share/skarvelin/data"))
        pictures += entry.path().extension() == ".jpg";
    EXPECT_EQ(pictures, 112u);

    // Each program, its page (which man renders without a warning) and its
    // completion, which offers every option --help lists.
    const std::regex listed("\n  (-[a-z]), (--[a-z-]+)|\n  (--?[a-z-]+)");
    for (const auto& [program, page] : {std::pair<std::string, std::string>{"skarvelin", "man6/skarvelin.6"},
                                        {"skarvelin-render", "man1/skarvelin-render.1"},
                                        {"skarvelin-data", "man1/skarvelin-data.1"}}) {
        SCOPED_TRACE(program);
        const std::string installed = usr + "/bin/" + program;
        ASSERT_TRUE(fs::is_regular_file(installed));
        ProcessResult man = runProcess({"man", "--warnings", "-l", usr + "/share/man/" + page}, dest.path(),
                                       {{"MANWIDTH", "80"}, {"LANG", "C.UTF-8"}});
        EXPECT_EQ(man.status, 0);
        EXPECT_EQ(man.err, "");
        EXPECT_NE(man.out.find("EXIT STATUS"), std::string::npos);
        // The words the completion offers for "-".
        const std::string completion = readFile(usr + "/share/bash-completion/completions/" + program);
        const size_t start = completion.find("compgen -W '") + 12;
        const std::string words = " " + completion.substr(start, completion.find('\'', start) - start) + " ";
        const std::string help = runProcess({installed, "--help"}, dest.path(), {{"DISPLAY", ""}}).out;
        std::set<std::string> options;
        for (std::sregex_iterator i(help.begin(), help.end(), listed), end; i != end; ++i)
            for (size_t group = 1; group <= 3; ++group)
                if ((*i)[group].matched) options.insert((*i)[group].str());
        EXPECT_GE(options.size(), 4u) << help;
        for (const std::string& option : options) {
            EXPECT_NE(words.find(" " + option + " "), std::string::npos) << option;
            EXPECT_NE(man.out.find(option), std::string::npos) << option;
        }
    }
    // The completion at work: an option's beginning, then a folder for --png.
    fs::create_directory(dest / "frames");
    ProcessResult complete = runProcess(
        {"bash", "-c",
         "source \"$1\"; COMP_WORDS=(skarvelin-render --vi); COMP_CWORD=1; _skarvelin_render; echo \"${COMPREPLY[*]}\";"
         "COMP_WORDS=(skarvelin-render --png fr); COMP_CWORD=2; _skarvelin_render; echo \"${COMPREPLY[*]}\"",
         "bash", usr + "/share/bash-completion/completions/skarvelin-render"},
        dest.path());
    EXPECT_EQ(complete.out, "--video\nframes\n") << complete.err;

    // Where the data folders do not lead to it, the installed copy names its own set.
    TempDir elsewhere;
    ProcessResult lost = runProcess({usr + "/bin/skarvelin-render", "--times", "40000", "--png", "frames"},
                                    elsewhere.path());
    EXPECT_EQ(lost.status, 2);
    const std::string set = fs::canonical(usr).string() + "/share/skarvelin/data";
    EXPECT_NE(lost.err.find("name it with --data '" + set + "'"), std::string::npos) << lost.err;

    ProcessResult build = runProcess({binaryPath("skarvelin-render"), "--times", "40000", "--png", "build"}, root, {},
                                     120);
    ASSERT_EQ(build.status, 0) << build.err;
    ProcessResult installed = runProcess({usr + "/bin/skarvelin-render", "--times", "40000", "--png", "frames"},
                                         elsewhere.path(), {{"XDG_DATA_DIRS", "/nonexistent:" + usr + "/share"}}, 120);
    ASSERT_EQ(installed.status, 0) << installed.err;
    EXPECT_EQ(installed.err.find("Error"), std::string::npos) << installed.err;
    const std::string frame = readFile(root + "/build/040000.png");
    ASSERT_FALSE(frame.empty());
    EXPECT_TRUE(readFile(elsewhere / "frames/040000.png") == frame);
    fs::remove_all(root + "/build");
}
