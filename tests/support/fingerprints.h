// The programme as a viewer sees it, coarsely: every frame of a run from 0 at
// 10 frames a second, 320 x 240, over the default data set, as the mean colour
// of each cell of an 8 x 6 grid. The reference table is committed in
// tests/render/programme_fingerprints.txt; the fingerprint test holds the
// renderer's frames against it and the programme test the demo's screen.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

constexpr int FINGERPRINT_FPS = 10;
constexpr int FINGERPRINT_WIDTH = 320;
constexpr int FINGERPRINT_HEIGHT = 240;
constexpr int FINGERPRINT_COLUMNS = 8;
constexpr int FINGERPRINT_ROWS = 6;
constexpr int FINGERPRINT_VALUES = FINGERPRINT_COLUMNS * FINGERPRINT_ROWS * 3;

struct Fingerprint {
    uint32_t t = 0;
    std::vector<int> values;  // cells left to right, rows top to bottom, r g b each, 0 to 255

    // The mean of every value, 0 to 1: the frame's mean brightness.
    double brightness() const;
};

// Of an 8-bit RGB frame, top row first.
Fingerprint fingerprintOf(uint32_t t, const unsigned char* rgb, int width, int height);

// The committed table's path.
std::string fingerprintTablePath();

// The table's frames in time order; empty with `error` set when it cannot be read whole.
std::vector<Fingerprint> readFingerprints(const std::string& path, std::string* error);
bool writeFingerprints(const std::string& path, const std::vector<Fingerprint>& frames, std::string* error);

// The cells as the table writes them: " rrggbb" each.
std::string fingerprintCells(const Fingerprint& frame);
