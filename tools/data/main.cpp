// skarvelin-data: writes the default data set into DIR/data/ (DIR defaults to
// the current folder): every picture the demo loads and music.mp3. Files
// already there are kept unless they are to be replaced. With --check it
// writes nothing and reports which files of the set will not show as expected.
#include "check.h"
#include "command_line/option_table.h"
#include "command_line/version.h"
#include "data_folder/data_folder.h"
#include "data_set.h"
#include "output/whole_file.h"
#include "shell/heap.h"

#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <cstdio>
#include <string>

namespace {

// One line on standard error, redrawn in place while the set is made, when
// that is a terminal; wiped before the summary, which stands alone.
class ProgressLine {
public:
    ProgressLine() : enabled_(isatty(STDERR_FILENO) == 1), start_(std::chrono::steady_clock::now()) {}
    ~ProgressLine() { wipe(); }

    void show(const DataSetProgress& progress)
    {
        if (!enabled_) return;
        const auto now = std::chrono::steady_clock::now();
        if (width_ > 0 && now - drawn_ < std::chrono::milliseconds(100)) return;
        drawn_ = now;
        char line[160];
        const int length = std::snprintf(line, sizeof line, "skarvelin-data: pictures %d/%d, music %s, %.0f s",
                                         progress.pictures, progress.pictureCount, progress.music,
                                         std::chrono::duration<double>(now - start_).count());
        // Spaces cover what a longer line before left.
        std::fprintf(stderr, "\r%s%*s", line, width_ > length ? width_ - length : 0, "");
        std::fflush(stderr);
        width_ = std::max(width_, length);
    }

    void wipe()
    {
        if (width_ == 0) return;
        std::fprintf(stderr, "\r%*s\r", width_, "");
        std::fflush(stderr);
        width_ = 0;
    }

private:
    bool enabled_;
    std::chrono::steady_clock::time_point start_;
    std::chrono::steady_clock::time_point drawn_;
    int width_ = 0;  // of the longest line drawn, 0 when none is on screen
};

struct DataArguments {
    std::string dir;
    bool force = false;
    bool check = false;
    bool help = false;
    bool version = false;
};

CommandLine dataCommandLine(DataArguments* arguments)
{
    // An unknown option must not become the name of a folder to fill. Once
    // --help is given nothing else matters.
    auto unexpected = [arguments](const std::string& argument, std::string* error) {
        if (arguments->help) return true;
        *error = "unexpected argument '" + argument + "'";
        return false;
    };
    auto folder = [arguments, unexpected](const std::string& argument, std::string* error) {
        if (argument.empty() || !arguments->dir.empty()) return unexpected(argument, error);
        arguments->dir = argument;
        return true;
    };
    CommandLine commandLine{"skarvelin-data",
                            "[DIR]",
                            "Writes the default data set into DIR/data/ (default ./data/): every picture the demo "
                            "loads and music.mp3.\n"
                            "Files already there are kept, so your own pictures and music stay.\n",
                            13,
                            nullptr,
                            {},
                            unexpected,
                            folder};
    commandLine.options = {
        {"--force", nullptr, 1, "write every file anew, replacing what is there",
         [arguments](const std::string&, std::string*) {
             arguments->force = true;
             return true;
         }},
        {"--check", nullptr, 1,
         "write nothing; read the set in DIR/data (or in DIR itself when it has no\n"
         "data/ folder) as the demo will and name each file that will not show or\n"
         "play as expected, and why (status 1 when there is one)",
         [arguments](const std::string&, std::string*) {
             arguments->check = true;
             return true;
         }},
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

const ManualPage DATA_MANUAL = {
    1,
    "write the default data set of skarvelin, or check a set",
    {{"THE DEFAULT SET",
      "Every picture is painted and the music synthesized by this program, the same\n"
      "bytes at every run, in a few seconds. skarvelin and skarvelin-render find a\n"
      "set in data/ in the working folder, and in ~/.local/share/skarvelin/data:\n"
      "\n"
      "  skarvelin-data ~/.local/share/skarvelin\n"
      "\n"
      "makes one found from any folder. To play your own pictures or music, replace\n"
      "files of a set with your own under the same names, and check it with --check."}},
    {{"EXIT STATUS",
      "0 when the set was written, or --check found nothing to report; 1 when a file\n"
      "could not be written, or --check names a file that will not show or play as\n"
      "expected; 2 when the command line is refused.\n"},
     {"SEE ALSO", "skarvelin(6), skarvelin-render(1)\n"}},
};

}  // namespace

int main(int argc, char** argv)
{
    DataArguments arguments;
    std::string error;
    const CommandLine commandLine = dataCommandLine(&arguments);
    if (argc == 2) {
        const std::string document = buildDocument(commandLine, DATA_MANUAL, argv[1]);
        if (!document.empty()) return fputs(document.c_str(), stdout) < 0;
    }
    if (!parseCommandLine(commandLine, argc, argv, &error)) {
        fprintf(stderr, "skarvelin-data: %s\n%s", error.c_str(), usageText(commandLine).c_str());
        return 2;
    }
    if (arguments.help) {
        fputs(usageText(commandLine).c_str(), stdout);
        return 0;
    }
    if (arguments.version) {
        printf("%s\n", versionLine("skarvelin-data").c_str());
        return 0;
    }
    if (arguments.check && arguments.force) {
        fprintf(stderr, "skarvelin-data: --check writes nothing, so --force does not go with it\n%s",
                usageText(commandLine).c_str());
        return 2;
    }
    const std::string dir = arguments.dir.empty() ? "." : arguments.dir;
    if (arguments.check) {
        // DIR/data, or DIR itself when it has none (--check data); nothing
        // there at all is reported as a missing DIR/data, which DIR can get.
        std::string folder = dataFolderIn(dir);
        if (folder == dir && (dir == "." || !std::filesystem::is_directory(dir)))
            folder = dir == "." ? "data" : (std::filesystem::path(dir) / "data").string();
        const DataSetCheck check = checkDataSet(folder);
        for (const std::string& line : check.problems) printf("%s\n", line.c_str());
        printf("skarvelin-data: %d files in %s checked, %d will not show as expected\n", check.files, folder.c_str(),
               check.failing);
        return check.failing == 0 ? 0 : 1;
    }
    // The painters make and drop many picture-sized buffers.
    keepFreedMemoryForReuse();
    // Ctrl-C, kill or a closed terminal leave no half-written picture or music.
    removeTemporaryFilesOnSignals();
    auto start = std::chrono::steady_clock::now();
    DataSetSummary summary;
    ProgressLine progress;
    const bool written = writeDataSet(dir, arguments.force, summary, &error,
                                      [&progress](const DataSetProgress& now) { progress.show(now); });
    progress.wipe();
    if (!written) {
        fprintf(stderr, "skarvelin-data: %s\n", error.c_str());
        return 1;
    }
    double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    auto files = [](int n) { return std::to_string(n) + (n == 1 ? " file" : " files"); };
    printf("skarvelin-data: wrote %s, %llu bytes, to %s/data in %.1f s", files(summary.files).c_str(),
           static_cast<unsigned long long>(summary.bytes), dir.c_str(), seconds);
    if (summary.kept > 0) printf("; kept %s already there (--force replaces them)", files(summary.kept).c_str());
    printf("\n");
    return 0;
}
