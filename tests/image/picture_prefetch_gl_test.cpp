#include "broken_files.h"
#include "files.h"
#include "gl_fixture.h"
#include "image/create_sprites.h"
#include "image/image_wrapper.h"
#include "image/jpeg_texture.h"
#include "image/picture_prefetch.h"
#include "stderr_capture.h"

#include <memory>
#include <string>
#include <vector>

namespace {

std::vector<unsigned char> pattern(int width, int height, int seed)
{
    std::vector<unsigned char> pixels;
    for (int i = 0; i < width * height; ++i)
        for (int c = 0; c < 3; ++c) pixels.push_back(static_cast<unsigned char>((i * (7 + c) + seed * 41) % 256));
    return pixels;
}

struct Loaded {
    std::string messages;
    std::vector<int> names;  // relative to the first name made, -1 for none
    std::vector<std::vector<unsigned char>> contents;
};

}  // namespace

using PrefetchTest = GlTest;

// Rows loaded through the prefetch get the textures, the names in sequence and
// the messages, in order, that loading them one by one gives: a missing file,
// a broken one, one cut short (a libjpeg warning), a pair of different sizes,
// an opacity file shared by pairs (also a damaged one, whose warning comes
// with every pair, and one met again after a pair of another size), a file
// that is its own opacity and a file in two rows; also when the rows are
// asked for in another order than the prefetch's.
TEST_F(PrefetchTest, GivesTheSameTexturesNamesAndMessagesAsLoadingOneByOne)
{
    TempDir dir;
    writeJpeg(dir / "a.jpg", 24, 16, pattern(24, 16, 1));
    writeJpeg(dir / "b.jpg", 24, 16, pattern(24, 16, 2));
    writeJpeg(dir / "alfa.jpg", 24, 16, pattern(24, 16, 3));
    writeSolidJpeg(dir / "grey.jpg", 24, 16, 90, 90, 90);
    writeSolidJpeg(dir / "wide.jpg", 32, 16, 200, 10, 10);
    writeFile(dir / "broken.jpg", randomBytes(300, 5));
    const std::string whole = readFile(dir / "a.jpg");
    writeFile(dir / "cut.jpg", whole.substr(0, whole.size() * 2 / 3));

    const std::vector<std::string> p = {dir / "a.jpg",    dir / "missing.jpg", dir / "alfa.jpg", dir / "b.jpg",
                                        dir / "wide.jpg", dir / "broken.jpg",  dir / "cut.jpg",  dir / "grey.jpg"};
    enum { A, MISSING, ALFA, B, WIDE, BROKEN, CUT, GREY };
    ImageWrapper* slots[15] = {};
    const SpriteRow rows[] = {
        {&slots[0], p[A].c_str(), nullptr, false},         {&slots[1], p[MISSING].c_str(), nullptr, false},
        {&slots[2], p[A].c_str(), p[ALFA].c_str(), true},  {&slots[3], p[B].c_str(), p[ALFA].c_str(), true},
        {&slots[4], p[A].c_str(), p[WIDE].c_str(), true},  {&slots[5], p[B].c_str(), p[B].c_str(), true},
        {&slots[6], p[BROKEN].c_str(), nullptr, false},    {&slots[7], p[CUT].c_str(), nullptr, false},
        {&slots[8], p[CUT].c_str(), p[B].c_str(), true},   {&slots[9], p[GREY].c_str(), nullptr, false},
        {&slots[10], p[A].c_str(), nullptr, false},        {&slots[11], p[A].c_str(), p[CUT].c_str(), true},
        {&slots[12], p[B].c_str(), p[CUT].c_str(), true},  {&slots[13], p[WIDE].c_str(), p[ALFA].c_str(), true},
        {&slots[14], p[B].c_str(), p[ALFA].c_str(), true},
    };
    const SpriteGroup group{"test", rows, 15};
    // The same rows listed backwards, the last one left off.
    std::vector<SpriteRow> backwards(std::rbegin(rows) + 1, std::rend(rows));
    const SpriteGroup backwardsGroup{"test", backwards.data(), backwards.size()};

    // Creates the sprites in table order, from a prefetch of the listed rows when there are any.
    auto load = [&](const SpriteGroup* listed, PicturePrefetch::Counts* counts = nullptr) {
        Loaded loaded;
        StderrCapture capture;
        {
            std::unique_ptr<PicturePrefetch> prefetch;
            if (listed)
                prefetch = std::make_unique<PicturePrefetch>(std::vector<const SpriteGroup*>{listed}, maxTextureSide());
            createSprites(group, prefetch.get());
            if (counts) *counts = prefetch->counts();
        }
        loaded.messages = capture.finish();
        int first = 0;
        for (ImageWrapper*& slot : slots) {
            if (slot->texture != 0 && first == 0) first = slot->texture;
            loaded.names.push_back(slot->texture == 0 ? -1 : slot->texture - first);
            int format = 0;
            loaded.contents.push_back(slot->texture == 0 ? std::vector<unsigned char>()
                                                         : readTextureRgba(slot->texture, &format));
            loaded.contents.back().push_back(static_cast<unsigned char>(format & 0xff));
            delete slot;
            slot = nullptr;
        }
        return loaded;
    };

    const Loaded oneByOne = load(nullptr);
    PicturePrefetch::Counts inOrder, outOfOrder;
    const Loaded prefetched = load(&group, &inOrder);
    EXPECT_EQ(prefetched.messages, oneByOne.messages);
    EXPECT_EQ(prefetched.names, oneByOne.names);
    EXPECT_TRUE(prefetched.contents == oneByOne.contents);
    EXPECT_EQ(inOrder.rows, 15u);
    EXPECT_EQ(inOrder.inOrder, 15u);
    EXPECT_EQ(inOrder.outOfOrder + inOrder.unlisted, 0u);

    // Rows asked for out of the prefetch's order, or not on its list, still
    // come as loading them one by one gives them, and are counted.
    const Loaded shuffled = load(&backwardsGroup, &outOfOrder);
    EXPECT_EQ(shuffled.messages, oneByOne.messages);
    EXPECT_EQ(shuffled.names, oneByOne.names);
    EXPECT_TRUE(shuffled.contents == oneByOne.contents);
    EXPECT_EQ(outOfOrder.rows, 14u);
    EXPECT_EQ(outOfOrder.inOrder, 1u);  // the last listed row is due when it comes first
    EXPECT_EQ(outOfOrder.outOfOrder, 13u);
    EXPECT_EQ(outOfOrder.unlisted, 1u);

    // The faults were met: four failed rows, and the cut file warned each of
    // the four times it was read.
    EXPECT_EQ(oneByOne.names, (std::vector<int>{0, -1, 1, 2, -1, 3, -1, 4, 5, 6, 7, 8, 9, -1, 10}));
    size_t warnings = 0;
    for (size_t at = oneByOne.messages.find(p[CUT] + ": "); at != std::string::npos;
         at = oneByOne.messages.find(p[CUT] + ": ", at + 1))
        ++warnings;
    EXPECT_EQ(warnings, 4u) << oneByOne.messages;
    EXPECT_TRUE(hasLine(oneByOne.messages, "Error loading " + p[MISSING])) << oneByOne.messages;
    EXPECT_TRUE(hasLine(oneByOne.messages, "Error loading " + p[BROKEN])) << oneByOne.messages;
    EXPECT_EQ(oneByOne.messages.find(p[CUT] + ": "), oneByOne.messages.find(p[BROKEN]) + p[BROKEN].size() + 1);
}
