// What a viewer sees, held against a reference: the whole programme rendered
// from 0 at 10 frames a second, 320 x 240, over the default data set, each
// frame reduced to the mean colour of an 8 x 6 grid of cells and compared with
// the table committed beside this file. Every other comparison in the suite
// holds the program against itself; this one catches a wrong time, camera or
// picture in any scene, however the code around it is arranged.
//
// After a deliberate change of picture, write the table anew (one command,
// from the repository root, with a built tree):
//   SKARVELIN_WRITE_FINGERPRINTS=1 build-test/tests/gl_tests --gtest_filter='ProgrammeFingerprint.*'
#include "../data/generated_data_set.h"
#include "gl_fixture.h"
#include "working_folder.h"

#include "output/whole_file.h"
#include "shell/loading.h"
#include "shell/programme_state.h"
#include "shell/schedule.h"

#include <GL/gl.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace {

constexpr int FPS = 10;
constexpr int COLUMNS = 8;
constexpr int ROWS = 6;
constexpr int CELL_VALUES = COLUMNS * ROWS * 3;

const std::string TABLE = std::string(SKARVELIN_SOURCE_DIR) + "/tests/render/programme_fingerprints.txt";

// A cell's channel may differ this much from the table, and a frame's cells
// this much on average: room for where another driver puts an edge or how it
// filters a texture (Mesa's softpipe and llvmpipe differ by 1 at most), far
// below what a scene at another time or seen from elsewhere shows (the twist
// column's camera at distance 12 instead of 10 for a quarter of a second: 5 on
// average, 60 in a cell).
constexpr int CELL_TOLERANCE = 24;
constexpr double FRAME_TOLERANCE = 3.0;

struct Fingerprint {
    uint32_t t = 0;
    std::vector<int> values;  // cells left to right, rows top to bottom, r g b each
};

std::string hex(const std::vector<int>& values)
{
    std::string text;
    char digits[3];
    for (size_t i = 0; i < values.size(); ++i) {
        if (i % 3 == 0) text += ' ';
        std::snprintf(digits, sizeof digits, "%02x", values[i]);
        text += digits;
    }
    return text;
}

// The table's frames; empty with `error` set when it cannot be read whole.
std::vector<Fingerprint> readTable(std::string* error)
{
    std::ifstream in(TABLE);
    if (!in) {
        *error = "cannot read " + TABLE;
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
        while (words >> cell) {
            if (cell.size() != 6) break;
            for (int c = 0; c < 3; ++c) frame.values.push_back(std::stoi(cell.substr(2 * c, 2), nullptr, 16));
        }
        if (!words.eof() || frame.values.size() != CELL_VALUES) {
            *error = TABLE + ":" + std::to_string(number) + ": not a time and " +
                     std::to_string(COLUMNS * ROWS) + " colours";
            return {};
        }
        table.push_back(frame);
    }
    return table;
}

bool writeTable(const std::vector<Fingerprint>& frames, std::string* error)
{
    WholeFile out(TABLE);
    if (!out.create(error)) return false;
    std::fprintf(out.file(),
                 "# The programme as a viewer sees it: every frame of a run from 0 at %d frames a second,\n"
                 "# 320 x 240, over the default data set; per frame its time in ms and the mean colour\n"
                 "# (rrggbb) of each cell of a %d x %d grid, left to right, rows top to bottom.\n"
                 "# Written by tests/render/programme_fingerprint_gl_test.cpp; after a deliberate change of\n"
                 "# picture, from the repository root with a built tree:\n"
                 "#   SKARVELIN_WRITE_FINGERPRINTS=1 build-test/tests/gl_tests --gtest_filter='ProgrammeFingerprint.*'\n",
                 FPS, COLUMNS, ROWS);
    for (const Fingerprint& frame : frames) std::fprintf(out.file(), "%u%s\n", frame.t, hex(frame.values).c_str());
    return out.finish(error);
}

// The names of the scenes drawing at t, for the failure message.
std::string scenesAt(uint32_t t)
{
    std::string names;
    for (const ScheduleRow& row : SCHEDULE)
        if (rowContains(row, t)) names += (names.empty() ? "" : "+") + std::string(row.name);
    return names.empty() ? "no scene" : names;
}

class ProgrammeFingerprint : public GlTest {
protected:
    // The smallest size at which every scene draws: the twist scenes draw in
    // horizontal bands and draw nothing in a frame under 240 rows.
    ProgrammeFingerprint()
    {
        width = 320;
        height = 240;
    }

    Fingerprint fingerprint(uint32_t t)
    {
        readFrame();
        Fingerprint result{t, std::vector<int>(CELL_VALUES, 0)};
        const int cellWidth = width / COLUMNS, cellHeight = height / ROWS;
        for (int row = 0; row < ROWS; ++row)
            for (int column = 0; column < COLUMNS; ++column) {
                long sums[3] = {0, 0, 0};
                for (int y = row * cellHeight; y < (row + 1) * cellHeight; ++y)
                    for (int x = column * cellWidth; x < (column + 1) * cellWidth; ++x) {
                        const Rgb p = pixel(x, y);
                        sums[0] += p.r, sums[1] += p.g, sums[2] += p.b;
                    }
                const long cells = static_cast<long>(cellWidth) * cellHeight;
                for (int c = 0; c < 3; ++c)
                    result.values[(row * COLUMNS + column) * 3 + c] = static_cast<int>((sums[c] + cells / 2) / cells);
            }
        return result;
    }
};

}  // namespace

TEST_F(ProgrammeFingerprint, EveryFrameOfARunFrom0MatchesTheCommittedTable)
{
    std::string failure;
    const std::string data = generatedDataSet(&failure);
    ASSERT_FALSE(data.empty()) << failure;
    {
        WorkingFolder inside(data);
        drawLoadingPicture();
        loadScenesAndPictures();
    }

    // As the renderer draws a run from 0: the state caught up to the first
    // frame, then each frame keeping what the one before left.
    std::vector<Fingerprint> frames;
    for (uint64_t i = 0;; ++i) {
        const uint32_t t = programmeFrameTime(i, FPS);
        if (t > static_cast<uint32_t>(PROGRAMME_END_MS)) break;
        if (i == 0) catchUpProgrammeState(t, FPS);
        renderFrame(t);
        frames.push_back(fingerprint(t));
    }

    if (std::getenv("SKARVELIN_WRITE_FINGERPRINTS")) {
        ASSERT_TRUE(writeTable(frames, &failure)) << failure;
        std::printf("wrote %zu frames to %s\n", frames.size(), TABLE.c_str());
        return;
    }

    const std::vector<Fingerprint> table = readTable(&failure);
    ASSERT_FALSE(table.empty()) << failure;
    ASSERT_EQ(table.size(), frames.size()) << TABLE << " holds another run; write it anew if the programme's length changed";
    int wrong = 0;
    std::ostringstream report;
    for (size_t i = 0; i < frames.size(); ++i) {
        ASSERT_EQ(table[i].t, frames[i].t) << TABLE << ", frame " << i;
        int worst = 0, worstCell = 0;
        long total = 0;
        for (int v = 0; v < CELL_VALUES; ++v) {
            const int difference = std::abs(frames[i].values[v] - table[i].values[v]);
            total += difference;
            if (difference > worst) worst = difference, worstCell = v / 3;
        }
        const double mean = static_cast<double>(total) / CELL_VALUES;
        if (worst <= CELL_TOLERANCE && mean <= FRAME_TOLERANCE) continue;
        if (++wrong <= 12)
            report << "  " << frames[i].t << " ms (" << scenesAt(frames[i].t) << "): cells differ by " << mean
                   << " on average, by " << worst << " at column " << worstCell % COLUMNS << ", row "
                   << worstCell / COLUMNS << "\n    table:" << hex(table[i].values) << "\n    drawn:"
                   << hex(frames[i].values) << "\n";
    }
    EXPECT_EQ(wrong, 0) << "frames unlike the reference (the first 12):\n" << report.str();
}
