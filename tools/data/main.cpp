// skarvelin-data [--force] [DIR]: writes the default data set into DIR/data/
// (DIR defaults to the current folder): every picture the demo loads and
// music.mp3. Files already there are kept unless --force is given.
#include "data_set.h"
#include "shell/heap.h"

#include <chrono>
#include <cstdio>
#include <string>

namespace {

const char* const USAGE =
    "usage: skarvelin-data [--force] [DIR]\n"
    "Writes the default data set into DIR/data/ (default ./data/): every picture the demo loads and music.mp3.\n"
    "Files already there are kept, so your own pictures and music stay.\n"
    "  --force    write every file anew, replacing what is there\n";

}  // namespace

int main(int argc, char** argv)
{
    std::string dir;
    bool force = false;
    for (int i = 1; i < argc; ++i) {
        const std::string argument = argv[i];
        if (argument == "-h" || argument == "--help") {
            fputs(USAGE, stdout);
            return 0;
        }
        if (argument == "--force") {
            force = true;
        } else if (argument.empty() || argument[0] == '-' || !dir.empty()) {
            // An unknown option must not become the name of a folder to fill.
            fprintf(stderr, "skarvelin-data: unexpected argument '%s'\n%s", argument.c_str(), USAGE);
            return 2;
        } else {
            dir = argument;
        }
    }
    if (dir.empty()) dir = ".";
    // The painters make and drop many picture-sized buffers.
    keepFreedMemoryForReuse();
    auto start = std::chrono::steady_clock::now();
    DataSetSummary summary;
    std::string error;
    if (!writeDataSet(dir, force, summary, error)) {
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
