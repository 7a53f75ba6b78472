// A one-line progress bar on standard error, drawn only when it is a terminal.
#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>

class ProgressBar {
public:
    explicit ProgressBar(size_t total);
    // Redraws at most ten times a second, and always for the last frame.
    void update(size_t done, uint32_t t);
    // Ends the line, so later messages start on a fresh one.
    void finish();

private:
    size_t total_;
    bool enabled_;
    bool drawn_ = false;
    std::chrono::steady_clock::time_point started_;
    std::chrono::steady_clock::time_point lastDraw_;
};
