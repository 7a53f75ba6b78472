#include "scenes/picture_scenes.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <set>
#include <utility>
#include <vector>

namespace {

using Case = std::pair<uint32_t, int>;

void expectPictures(int (*index)(uint32_t), const std::vector<Case>& cases)
{
    for (const Case& c : cases) EXPECT_EQ(index(c.first), c.second) << "t = " << c.first;
}

const int NONE = NO_PICTURE;

}  // namespace

// The lowest bit of t picks one of the two opening pictures.
TEST(PictureSequences, HearingAlternatesWithTheLowestBit)
{
    expectPictures(hearingIndex, {{1, 1}, {2, 0}, {3558, 0}, {3559, 1}});
}

// Every row edge of the four credit blocks, and the flicker that ends each of
// the first three.
TEST(PictureSequences, CreditBlocksAtTheirEdges)
{
    expectPictures(codeIndex,
                   {{3650, NONE}, {3651, 0}, {3899, 0},    {3900, NONE}, {3901, 1}, {4461, 1},    {4462, NONE},
                    {4463, 2},    {4794, 2}, {4795, NONE}, {4796, 3},    {5014, 3}, {5015, NONE}, {5016, 0},
                    {5017, 1},    {5018, 2}, {5019, 3},    {5020, 0},    {5447, 3}, {5448, NONE}});
    expectPictures(gfxIndex, {{5448, NONE},
                              {5449, 0},
                              {5684, 0},
                              {5685, NONE},
                              {5686, 1},
                              {6239, 1},
                              {6240, NONE},
                              {6241, 2},
                              {6572, 2},
                              {6573, NONE},
                              {6574, 3},
                              {6794, 3},
                              {6795, NONE},
                              {6796, 0},
                              {6797, 1},
                              {7235, 3},
                              {7236, 0},
                              {7237, NONE}});
    expectPictures(msxIndex, {{7237, NONE},
                              {7238, 0},
                              {7460, 0},
                              {7461, NONE},
                              {7462, 1},
                              {8014, 1},
                              {8015, NONE},
                              {8016, 2},
                              {8347, 2},
                              {8348, NONE},
                              {8349, 3},
                              {8570, 3},
                              {8571, NONE},
                              {8572, 0},
                              {8573, 1},
                              {8995, 3},
                              {8996, NONE}});
    expectPictures(pauseIndex,
                   {{8996, NONE}, {8997, 0}, {9238, 0}, {9239, 1}, {10124, 1}, {10125, NONE}, {10650, NONE}});
    EXPECT_FALSE(clearsLowerHalf(9791));
    EXPECT_TRUE(clearsLowerHalf(9792));
    EXPECT_TRUE(clearsLowerHalf(10124));
    EXPECT_FALSE(clearsLowerHalf(10125));
}

// Over the credits' window at most one block draws at a time, and exactly the
// fifteen single milliseconds between rows, plus the end from 10125, draw nothing.
TEST(PictureSequences, CreditsShowOnePictureAtATimeExceptInTheirGaps)
{
    std::set<uint32_t> empty;
    for (uint32_t t = 3651; t <= 10650; ++t) {
        const int shown = (codeIndex(t) != NONE) + (gfxIndex(t) != NONE) + (msxIndex(t) != NONE) +
                          (pauseIndex(t) != NONE);
        ASSERT_LE(shown, 1) << "t = " << t;
        if (shown == 0 && t < 10125) empty.insert(t);
        if (t >= 10125) {
            ASSERT_EQ(shown, 0) << "t = " << t;
        }
    }
    const std::set<uint32_t> gaps = {3900, 4462, 4795, 5015, 5448, 5685, 6240, 6573,
                                     6795, 7237, 7461, 8015, 8348, 8571, 8996};
    EXPECT_EQ(empty, gaps);
}

// soya1 fills the start and every single millisecond between the rows.
TEST(PictureSequences, SoyaAtItsEdges)
{
    expectPictures(soyaIndex, {{46158, 0},
                               {46651, 0},
                               {46652, 1},
                               {47536, 1},
                               {47537, 0},
                               {47538, 2},
                               {48425, 2},
                               {48426, 0},
                               {48427, 3},
                               {49307, 3},
                               {49308, 0},
                               {49309, 4},
                               {50197, 4},
                               {50198, 0},
                               {50199, 5},
                               {51086, 5},
                               {51087, 0},
                               {51088, 6},
                               {51502, 6}});
}
