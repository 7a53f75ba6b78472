// Collects everything written to standard error (file descriptor 2) while it
// lives, libraries' output included.
#pragma once

#include <string>

class StderrCapture {
public:
    StderrCapture();
    ~StderrCapture();
    StderrCapture(const StderrCapture&) = delete;
    StderrCapture& operator=(const StderrCapture&) = delete;

    // Stops capturing (standard error goes back where it was) and returns what was written.
    std::string finish();

private:
    int saved_ = -1;
    int file_ = -1;
    std::string text_;
};
