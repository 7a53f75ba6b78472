// Makes a folder the working folder for as long as it lives, so that the
// programme's "data/..." paths resolve inside it.
#pragma once

#include <unistd.h>

#include <cstdlib>
#include <memory>
#include <string>

class WorkingFolder {
public:
    explicit WorkingFolder(const std::string& folder)
    {
        std::unique_ptr<char, decltype(&free)> old(getcwd(nullptr, 0), &free);
        if (!old || chdir(folder.c_str()) != 0) std::abort();
        old_ = old.get();
    }
    ~WorkingFolder()
    {
        if (chdir(old_.c_str()) != 0) std::abort();
    }
    WorkingFolder(const WorkingFolder&) = delete;
    WorkingFolder& operator=(const WorkingFolder&) = delete;

private:
    std::string old_;
};
