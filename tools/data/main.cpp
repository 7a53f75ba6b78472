// skarvelin-data [DIR]: writes the default data set into DIR/data/ (DIR
// defaults to the current folder): every picture the demo loads and music.mp3.
#include "data_set.h"
#include "shell/heap.h"

#include <chrono>
#include <cstdio>
#include <cstring>

int main(int argc, char** argv)
{
    if (argc > 2 || (argc == 2 && (strcmp(argv[1], "-h") == 0 || strcmp(argv[1], "--help") == 0))) {
        fprintf(stderr, "usage: skarvelin-data [DIR]\n  writes DIR/data/ (default ./data/): every picture and music.mp3\n");
        return argc == 2 ? 0 : 2;
    }
    std::string dir = argc == 2 ? argv[1] : ".";
    // The painters make and drop many picture-sized buffers.
    keepFreedMemoryForReuse();
    auto start = std::chrono::steady_clock::now();
    DataSetSummary summary;
    std::string error;
    if (!writeDataSet(dir, summary, error)) {
        fprintf(stderr, "skarvelin-data: %s\n", error.c_str());
        return 1;
    }
    double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    printf("skarvelin-data: wrote %d files, %llu bytes, to %s/data in %.1f s\n", summary.files,
           static_cast<unsigned long long>(summary.bytes), dir.c_str(), seconds);
    return 0;
}
