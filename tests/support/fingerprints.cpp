#include "fingerprints.h"

#include "output/whole_file.h"

#include <cstdio>
#include <fstream>
#include <sstream>

double Fingerprint::brightness() const
{
    long sum = 0;
    for (int value : values) sum += value;
    return values.empty() ? 0 : static_cast<double>(sum) / values.size() / 255;
}

Fingerprint fingerprintOf(uint32_t t, const unsigned char* rgb, int width, int height)
{
    Fingerprint result{t, std::vector<int>(FINGERPRINT_VALUES, 0)};
    for (int row = 0; row < FINGERPRINT_ROWS; ++row)
        for (int column = 0; column < FINGERPRINT_COLUMNS; ++column) {
            const int x0 = column * width / FINGERPRINT_COLUMNS, x1 = (column + 1) * width / FINGERPRINT_COLUMNS;
            const int y0 = row * height / FINGERPRINT_ROWS, y1 = (row + 1) * height / FINGERPRINT_ROWS;
            long sums[3] = {0, 0, 0};
            for (int y = y0; y < y1; ++y)
                for (int x = x0; x < x1; ++x)
                    for (int c = 0; c < 3; ++c) sums[c] += rgb[(static_cast<size_t>(y) * width + x) * 3 + c];
            const long pixels = static_cast<long>(x1 - x0) * (y1 - y0);
            int* cell = &result.values[(row * FINGERPRINT_COLUMNS + column) * 3];
            for (int c = 0; c < 3 && pixels > 0; ++c) cell[c] = static_cast<int>((sums[c] + pixels / 2) / pixels);
        }
    return result;
}

std::string fingerprintTablePath()
{
    return std::string(SKARVELIN_SOURCE_DIR) + "/tests/render/programme_fingerprints.txt";
}

std::string fingerprintCells(const Fingerprint& frame)
{
    std::string text;
    char digits[3];
    for (size_t i = 0; i < frame.values.size(); ++i) {
        if (i % 3 == 0) text += ' ';
        std::snprintf(digits, sizeof digits, "%02x", frame.values[i]);
        text += digits;
    }
    return text;
}

std::vector<Fingerprint> readFingerprints(const std::string& path, std::string* error)
{
    std::ifstream in(path);
    if (!in) {
        *error = "cannot read " + path;
        return {};
    }
    std::vector<Fingerprint> table;
    std::string line;
    for (int number = 1; std::getline(in, line); ++number) {
        if (line.empty() || line[0] == '#') continue;
        std::istringstream words(line);
        Fingerprint frame;
        words >> frame.t;
        std::string cell;
        bool hex = true;
        while (hex && words >> cell) {
            hex = cell.size() == 6 && cell.find_first_not_of("0123456789abcdef") == std::string::npos;
            for (int c = 0; hex && c < 3; ++c) frame.values.push_back(std::stoi(cell.substr(2 * c, 2), nullptr, 16));
        }
        if (!hex || frame.values.size() != FINGERPRINT_VALUES || (!table.empty() && frame.t <= table.back().t)) {
            *error = path + ":" + std::to_string(number) + ": not a later time and " +
                     std::to_string(FINGERPRINT_COLUMNS * FINGERPRINT_ROWS) + " colours rrggbb";
            return {};
        }
        table.push_back(frame);
    }
    if (table.empty()) *error = path + ": no frames";
    return table;
}

bool writeFingerprints(const std::string& path, const std::vector<Fingerprint>& frames, std::string* error)
{
    WholeFile out(path);
    if (!out.create(error)) return false;
    std::fprintf(
        out.file(),
        "# The programme as a viewer sees it: every frame of a run from 0 at %d frames a second,\n"
        "# %d x %d, over the default data set; per frame its time in ms and the mean colour\n"
        "# (rrggbb) of each cell of a %d x %d grid, left to right, rows top to bottom.\n"
        "# Written by tests/render/programme_fingerprint_gl_test.cpp; after a deliberate change of\n"
        "# picture, from the repository root with a built tree:\n"
        "#   SKARVELIN_WRITE_FINGERPRINTS=1 build-test/tests/gl_tests --gtest_filter='ProgrammeFingerprint.*'\n",
        FINGERPRINT_FPS, FINGERPRINT_WIDTH, FINGERPRINT_HEIGHT, FINGERPRINT_COLUMNS, FINGERPRINT_ROWS);
    for (const Fingerprint& frame : frames)
        std::fprintf(out.file(), "%u%s\n", frame.t, fingerprintCells(frame).c_str());
    return out.finish(error);
}
