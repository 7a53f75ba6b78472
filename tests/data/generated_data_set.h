// The default data set made once by the real skarvelin-data and shared by the
// tests that only read it: it lives under the build folder, keyed by the
// tool's modification time and size, and is made under a file lock so tests
// running side by side make it once.
#pragma once

#include "files.h"
#include "process.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <string>

// The folder that holds data/ with the generated set; empty (and `failure`
// set) when the tool failed.
inline std::string generatedDataSet(std::string* failure = nullptr)
{
    namespace fs = std::filesystem;
    std::string tool = binaryPath("skarvelin-data");
    struct stat info {};
    if (stat(tool.c_str(), &info) != 0) {
        if (failure) *failure = "no " + tool;
        return "";
    }
    fs::path cache = fs::path(SKARVELIN_BINARY_DIR) / "test-cache";
    fs::create_directories(cache);
    std::string key = std::to_string(static_cast<long long>(info.st_mtim.tv_sec)) + "." +
                      std::to_string(info.st_mtim.tv_nsec) + "-" + std::to_string(info.st_size);
    fs::path folder = cache / ("data-set-" + key);
    fs::path done = folder / "complete";

    int lock = open((cache / "data-set.lock").c_str(), O_CREAT | O_RDWR, 0644);
    if (lock >= 0) flock(lock, LOCK_EX);
    std::string result;
    if (fs::exists(done)) {
        result = folder.string();
    } else {
        std::error_code ignored;
        // Older sets of earlier builds go first.
        for (auto& entry : fs::directory_iterator(cache, ignored))
            if (entry.path().filename().string().rfind("data-set-", 0) == 0) fs::remove_all(entry.path(), ignored);
        fs::create_directories(folder);
        ProcessResult run = runProcess({tool, folder.string()}, folder.string(), {}, 120);
        if (run.exited && run.status == 0) {
            writeFile(done.string(), run.out);
            result = folder.string();
        } else if (failure) {
            *failure = "skarvelin-data failed: status " + std::to_string(run.status) + ", " + run.err;
        }
    }
    if (lock >= 0) {
        flock(lock, LOCK_UN);
        close(lock);
    }
    return result;
}
