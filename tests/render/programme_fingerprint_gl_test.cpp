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
#include "fingerprints.h"
#include "gl_fixture.h"
#include "working_folder.h"

#include "shell/loading.h"
#include "shell/programme_state.h"
#include "shell/schedule.h"

#include <cstdio>
#include <cstdlib>
#include <sstream>
#include <string>
#include <vector>

namespace {

// A cell's channel may differ this much from the table, and a frame's cells
// this much on average: room for where another driver puts an edge or how it
// filters a texture (Mesa's softpipe and llvmpipe differ by 1 at most), far
// below what a scene at another time or seen from elsewhere shows (the twist
// column's camera at distance 12 instead of 10 for a quarter of a second: 5 on
// average, 60 in a cell).
constexpr int CELL_TOLERANCE = 24;
constexpr double FRAME_TOLERANCE = 3.0;

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
    // The twist scenes draw in horizontal bands and draw nothing in a frame
    // under 240 rows: this is the smallest size at which every scene draws.
    ProgrammeFingerprint()
    {
        width = FINGERPRINT_WIDTH;
        height = FINGERPRINT_HEIGHT;
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
        const uint32_t t = programmeFrameTime(i, FINGERPRINT_FPS);
        if (t > static_cast<uint32_t>(PROGRAMME_END_MS)) break;
        if (i == 0) catchUpProgrammeState(t, FINGERPRINT_FPS);
        renderFrame(t);
        readFrame();
        frames.push_back(fingerprintOf(t, frame.data(), width, height));
    }

    if (std::getenv("SKARVELIN_WRITE_FINGERPRINTS")) {
        ASSERT_TRUE(writeFingerprints(fingerprintTablePath(), frames, &failure)) << failure;
        std::printf("wrote %zu frames to %s\n", frames.size(), fingerprintTablePath().c_str());
        return;
    }

    const std::string path = fingerprintTablePath();
    const std::vector<Fingerprint> table = readFingerprints(path, &failure);
    ASSERT_FALSE(table.empty()) << failure;
    ASSERT_EQ(table.size(), frames.size())
        << path << " holds another run; write it anew if the programme's length changed";
    int wrong = 0;
    std::ostringstream report;
    for (size_t i = 0; i < frames.size(); ++i) {
        ASSERT_EQ(table[i].t, frames[i].t) << path << ", frame " << i;
        int worst = 0, worstCell = 0;
        long total = 0;
        for (int v = 0; v < FINGERPRINT_VALUES; ++v) {
            const int difference = std::abs(frames[i].values[v] - table[i].values[v]);
            total += difference;
            if (difference > worst) worst = difference, worstCell = v / 3;
        }
        const double mean = static_cast<double>(total) / FINGERPRINT_VALUES;
        if (worst <= CELL_TOLERANCE && mean <= FRAME_TOLERANCE) continue;
        if (++wrong <= 12)
            report << "  " << frames[i].t << " ms (" << scenesAt(frames[i].t) << "): cells differ by " << mean
                   << " on average, by " << worst << " at column " << worstCell % FINGERPRINT_COLUMNS << ", row "
                   << worstCell / FINGERPRINT_COLUMNS << "\n    table:" << fingerprintCells(table[i])
                   << "\n    drawn:" << fingerprintCells(frames[i]) << "\n";
    }
    EXPECT_EQ(wrong, 0) << "frames unlike the reference (the first 12):\n" << report.str();
}
