// The data set generator's own units: the font, the drawing primitives, the
// tileable noise, the list of files, the painters' contract and the synthesizer.
#include "canvas.h"
#include "data_set.h"
#include "font.h"
#include "image/sprite_group.h"
#include "noise.h"
#include "pictures.h"
#include "shell/loading.h"
#include "shell/schedule.h"
#include "soundtrack.h"
#include "synth.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <map>
#include <set>
#include <string>

TEST(DataFont, EveryGlyphIsFiveByBlockAndTheAlphabetAndDigitsAreThere)
{
    for (char c : std::string("ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789 .,!?-:/")) {
        const char* const* rows = glyphRows(c);
        ASSERT_NE(rows, nullptr) << c;
        int ink = 0;
        for (int r = 0; r < GLYPH_ROWS; ++r) {
            ASSERT_EQ(strlen(rows[r]), static_cast<size_t>(GLYPH_COLUMNS)) << c << " row " << r;
            for (int k = 0; k < GLYPH_COLUMNS; ++k) {
                ASSERT_TRUE(rows[r][k] == '#' || rows[r][k] == '.') << c;
                ink += rows[r][k] == '#';
            }
        }
        EXPECT_EQ(ink == 0, c == ' ') << c;
    }
    EXPECT_EQ(glyphRows('q'), glyphRows('Q'));
    EXPECT_FALSE(glyphHas('@'));
    // Letters that differ must look different, or the lettering cannot be read.
    std::set<std::string> shapes;
    std::string letters = "ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
    for (char c : letters) {
        std::string shape;
        for (int r = 0; r < GLYPH_ROWS; ++r) shape += glyphRows(c)[r];
        shapes.insert(shape);
    }
    EXPECT_EQ(shapes.size(), letters.size());
}

TEST(DataFont, TextIsMeasuredAndDrawnCellByCellAndUnknownSignsAreBlank)
{
    TextStyle style{2, 3};
    style.ink = 1;
    EXPECT_FLOAT_EQ(textWidth("AB", style), (5 + 1 + 5) * 2.0f);
    EXPECT_FLOAT_EQ(textWidth("", style), 0);

    Layer unknown(64, 32), blank(64, 32);
    drawText(unknown, "I@I", 1, 1, style);
    drawText(blank, "I I", 1, 1, style);
    EXPECT_EQ(unknown.a, blank.a);
    // The I's top bar (".###.") covers font columns 1 to 3 of row 0: pixels 3..8 wide, 1..4 high.
    EXPECT_FLOAT_EQ(blank.get(3, 1), 1);
    EXPECT_FLOAT_EQ(blank.get(8, 3), 1);
    EXPECT_FLOAT_EQ(blank.get(2, 1), 0);
    EXPECT_FLOAT_EQ(blank.get(9, 1), 0);
}

TEST(DataCanvas, ShapesCoverPixelsByAreaAndMasksAreTwoLevels)
{
    Layer l(8, 8);
    addRect(l, 1.5f, 2, 4, 3.25f);
    EXPECT_FLOAT_EQ(l.get(1, 2), 0.5f);
    EXPECT_FLOAT_EQ(l.get(2, 2), 1);
    EXPECT_FLOAT_EQ(l.get(3, 3), 0.25f);
    EXPECT_FLOAT_EQ(l.get(4, 2), 0);
    cutRect(l, 2, 2, 3, 3);
    EXPECT_FLOAT_EQ(l.get(2, 2), 0);
    EXPECT_FLOAT_EQ(l.get(3, 2), 1);

    Canvas mask = maskFrom(l);
    for (float v : mask.rgb) EXPECT_TRUE(v == 0 || v == 1);
    EXPECT_EQ(mask.get(3, 2).r, 1);
    EXPECT_EQ(mask.get(3, 3).r, 0);  // a quarter covered is not shown

    Canvas c(2, 1, {1.5f, -0.2f, 0.5f});
    std::vector<unsigned char> bytes = c.bytes();
    EXPECT_EQ(bytes[0], 255);
    EXPECT_EQ(bytes[1], 0);
    EXPECT_EQ(bytes[2], 128);

    Layer dot(9, 9);
    dot.at(4, 4) = 1;
    Layer grown = dilate(dot, 2);
    EXPECT_EQ(grown.get(2, 6), 1);
    EXPECT_EQ(grown.get(1, 4), 0);
}

TEST(DataNoise, NoiseRepeatsEveryPeriodAndTheGeneratorIsSeeded)
{
    for (float x : {0.3f, 2.7f, 5.5f})
        for (float y : {0.1f, 3.9f}) {
            float v = tileNoise(x, y, 6, 42);
            EXPECT_NEAR(v, tileNoise(x + 6, y, 6, 42), 1e-5f);
            EXPECT_NEAR(v, tileNoise(x, y - 6, 6, 42), 1e-5f);
            EXPECT_NEAR(tileFbm(x, y, 4, 4, 9), tileFbm(x + 4, y + 4, 4, 4, 9), 1e-5f);
            EXPECT_GE(v, 0);
            EXPECT_LE(v, 1);
        }
    Rng a(7), b(7), c(8);
    bool differs = false;
    for (int i = 0; i < 100; ++i) {
        double va = a.uniform();
        EXPECT_EQ(va, b.uniform());
        EXPECT_GE(va, 0);
        EXPECT_LT(va, 1);
        differs |= va != c.uniform();
    }
    EXPECT_TRUE(differs);
}

TEST(DataFiles, EveryPictureOnceAndOnlyOpacityPicturesOfOtherFilesAreMasks)
{
    std::vector<PictureFile> files = pictureFiles();
    std::map<std::string, bool> mask;
    for (const PictureFile& f : files) {
        EXPECT_TRUE(mask.emplace(f.path, f.mask).second) << f.path << " twice";
        EXPECT_EQ(f.path, "data/" + f.stem + ".jpg");
    }
    // Every file the table names, and no other; the masks are the files that
    // only ever give another picture its opacity.
    std::set<std::string> named, colours, opacities;
    for (const SpriteGroup* group : spriteGroupsInLoadingOrder())
        for (size_t i = 0; i < group->count; ++i) {
            colours.insert(group->rows[i].colour);
            if (group->rows[i].alpha) opacities.insert(group->rows[i].alpha);
        }
    named = colours;
    named.insert(opacities.begin(), opacities.end());
    EXPECT_EQ(mask.size(), named.size());
    for (const std::string& path : named) {
        ASSERT_EQ(mask.count(path), 1u) << path << " is not in the list";
        EXPECT_EQ(mask[path], colours.count(path) == 0) << path;
    }
    EXPECT_TRUE(mask["data/maskine8_alfa.jpg"]);
    EXPECT_TRUE(mask["data/sphereoverlay_alfa.jpg"]);
    // Pictures that are their own opacity are painted as colour pictures.
    EXPECT_FALSE(mask["data/nois1.jpg"]);
    EXPECT_FALSE(mask["data/spike_flare_texture.jpg"]);
    EXPECT_FALSE(mask["data/maskine9.jpg"]);
    EXPECT_EQ(mask.count("data/maskine9_alfa.jpg"), 0u);
}

TEST(DataPainters, KnownStemsOnlyAndMasksAreBlackOrWhite)
{
    Canvas out;
    EXPECT_FALSE(paintPicture("nonesuch", false, out));
    EXPECT_FALSE(paintPicture("maskine9_alfa", true, out));  // maskine9 borrows maskine8's mask
    EXPECT_FALSE(paintPicture("maskine3", true, out));       // a mask is asked for by its own name
    ASSERT_TRUE(paintPicture("maskine8_alfa", true, out));
    size_t white = 0;
    for (size_t i = 0; i < out.rgb.size(); i += 3) {
        ASSERT_TRUE(out.rgb[i] == 0 || out.rgb[i] == 1);
        white += out.rgb[i] == 1;
    }
    EXPECT_GT(white, 0u);
    EXPECT_LT(white, out.rgb.size() / 3 / 2);
    ASSERT_TRUE(paintPicture("maskine17", false, out));
    EXPECT_EQ(out.width, 512);
}

TEST(DataSoundtrack, TheArrangementChangesWhereTheProgrammeChangesScene)
{
    // The section heard just after each scene of the schedule begins.
    std::map<std::string, std::string> expected = {
        {"title", "intro"},        {"credits", "credits"}, {"twist-column", "credits"},
        {"spiked-tube", "spike"},  {"slideshow", "soya"},  {"twist-room", "twist room"},
        {"blob", "blob"},          {"spheres", "spheres"}, {"tunnel", "tunnel"},
        {"bitmap-wave", "bitmap"},
    };
    for (const ScheduleRow& row : SCHEDULE) {
        double bar = (row.first + 150) / 1000.0 / BAR_SECONDS;
        EXPECT_EQ(sectionAtBar(bar).name, expected[row.name]) << row.name << " at " << row.first << " ms";
    }
    // The overlays of the twist column (from 10655 ms) start with the build-up, a
    // bar line 12 ms later; the gap before the
    // twist room is a break; after the bitmap scene the music fades out.
    EXPECT_STREQ(sectionAtBar(10.67 / BAR_SECONDS).name, "twist build");
    EXPECT_STREQ(sectionAtBar(52.4 / BAR_SECONDS).name, "break");
    EXPECT_STREQ(sectionAtBar(131.2 / BAR_SECONDS).name, "outro");
    // 135 beats a minute: the programme's cuts are 444 ms apart.
    EXPECT_NEAR(BEAT_SECONDS, 0.4444, 0.0001);
}

TEST(DataSynth, EveryInstrumentSoundsAfterItsStartAndStaysFiniteAndBounded)
{
    const double at = 0.5;
    int notes[3] = {57, 60, 64};
    for (int k = 0; k < 11; ++k) {
        Bus bus(frameAt(3.5));
        std::vector<float> duck(bus.frames(), 1.0f);
        switch (k) {
        case 0:
            kick(bus, duck, at, 1);
            break;
        case 1:
            snare(bus, at, 1, 3);
            break;
        case 2:
            clap(bus, at, 1, 3);
            break;
        case 3:
            hat(bus, at, 1, false, 3);
            break;
        case 4:
            hat(bus, at, 1, true, 3);
            break;
        case 5:
            crash(bus, at, 1, 3);
            break;
        case 6:
            bass(bus, at, 0.4, 33, 1, BassTone{});
            break;
        case 7:
            pad(bus, at, 1.0, notes, 3, 1, 2000);
            break;
        case 8:
            lead(bus, at, 0.5, 69, 1, 0);
            break;
        case 9:
            pluck(bus, at, 69, 1, 0.5f);
            break;
        case 10:
            bell(bus, at, 81, 1, -0.5f);
            break;
        }
        double before = 0, after = 0, peak = 0;
        for (size_t i = 0; i < bus.frames(); ++i) {
            for (float v : {bus.left[i], bus.right[i]}) {
                ASSERT_TRUE(std::isfinite(v)) << "instrument " << k << " at frame " << i;
                peak = std::max(peak, static_cast<double>(std::fabs(v)));
                (i < frameAt(at) ? before : after) += std::fabs(v);
            }
        }
        EXPECT_EQ(before, 0) << "instrument " << k;
        EXPECT_GT(after, 1) << "instrument " << k;
        EXPECT_LT(peak, 2.0) << "instrument " << k;
        // The kick ducks the other parts right after it, and only then.
        if (k == 0) {
            EXPECT_LT(duck[frameAt(at + 0.02)], 0.6f);
            EXPECT_EQ(duck[frameAt(at - 0.01)], 1.0f);
            EXPECT_GT(duck[frameAt(at + 0.33)], 0.9f);
        }
    }
}

TEST(DataSynth, PingPongEchoesAlternateSidesAndFadeByTheFeedback)
{
    Bus bus(frameAt(1.0));
    bus.left[0] = 1;
    bus.right[0] = 1;
    size_t d = frameAt(0.1);
    pingPong(bus, 0.1, 0.5f, 1.0f);
    EXPECT_FLOAT_EQ(bus.left[d], 1.0f);  // first echo on the left
    EXPECT_FLOAT_EQ(bus.right[d], 0.0f);
    EXPECT_FLOAT_EQ(bus.right[2 * d], 0.5f);  // then on the right, half as loud
    EXPECT_FLOAT_EQ(bus.left[2 * d], 0.0f);
    EXPECT_FLOAT_EQ(bus.left[3 * d], 0.25f);
}

TEST(DataSynth, TheRoomRingsOnAfterAClickAndDiesAway)
{
    Bus bus(frameAt(4.0));
    bus.left[0] = bus.right[0] = 1;
    reverb(bus, 1.0f);
    auto energy = [&](double from, double to) {
        double sum = 0;
        for (size_t i = frameAt(from); i < frameAt(to); ++i) {
            EXPECT_TRUE(std::isfinite(bus.left[i]) && std::isfinite(bus.right[i]));
            sum += bus.left[i] * bus.left[i] + bus.right[i] * bus.right[i];
        }
        return sum;
    };
    double early = energy(0.01, 0.3), late = energy(2.5, 3.5);
    EXPECT_GT(early, 1e-4);
    EXPECT_LT(late, early / 100);
    // Two sides that differ: the room is wide.
    bool differ = false;
    for (size_t i = frameAt(0.05); i < frameAt(0.3); ++i) differ |= std::fabs(bus.left[i] - bus.right[i]) > 1e-4f;
    EXPECT_TRUE(differ);
}
