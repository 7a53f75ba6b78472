#include "image/picture_table.h"
#include "shell/loading.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

// The table fills 83 distinct slots, 64 of them in the catalogue, from 112
// distinct files; every own-alpha pair names "<colour>_alfa.jpg".
TEST(PictureTable, EveryPictureHasOneSlot)
{
    std::set<ImageWrapper**> slots;
    std::set<std::string> files;
    size_t rows = 0;
    for (const SpriteGroup* group : spriteGroupsInLoadingOrder())
        for (size_t i = 0; i < group->count; ++i) {
            const SpriteRow& row = group->rows[i];
            ++rows;
            slots.insert(row.slot);
            files.insert(row.colour);
            if (row.alpha) files.insert(row.alpha);
            const std::string colour = row.colour, alpha = row.alpha ? row.alpha : "";
            if (alpha.find("_alfa") != std::string::npos && alpha != "data/maskine8_alfa.jpg") {
                EXPECT_EQ(alpha, colour.substr(0, colour.size() - 4) + "_alfa.jpg");
            }
        }
    EXPECT_EQ(rows, 83u);
    EXPECT_EQ(slots.size(), 83u);
    EXPECT_EQ(files.size(), 112u);
    EXPECT_EQ(CATALOGUE_SPRITES.count, 64u);
}
