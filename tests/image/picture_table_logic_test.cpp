#include "image/sprite_group.h"
#include "shell/loading.h"
#include "shell/schedule.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

// Every row of the table fills a slot of its own; every own-alpha pair names
// "<colour>_alfa.jpg".
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
    EXPECT_EQ(slots.size(), rows);
    // The programme's size, stated here once for the whole suite (every other
    // test derives its counts from the table and the schedule): adding or
    // removing a scene or a picture changes these two lines on purpose.
    const std::string size = std::to_string(SCHEDULE.size()) + " scenes, " + std::to_string(rows) + " sprites from " +
                             std::to_string(files.size()) + " files";
    EXPECT_EQ(size, "10 scenes, 83 sprites from 112 files");
}
