// Users' pictures, missing or broken one at a time: the whole loading sequence
// runs on a fresh copy of data/ in a child process of its own (the slots are
// process-wide), then frames of every scene are drawn. Each case must print
// exactly the messages its sprites call for and leave every other sprite whole.
// The missing-file cases (one for each file of the table) use a small picture
// set of one colour per file; the broken-file cases break pictures of the
// default data set.
#include "../data/generated_data_set.h"
#include "broken_files.h"
#include "files.h"
#include "gl_fixture.h"
#include "image/image_wrapper.h"
#include "image/jpeg_texture.h"
#include "image/sprite_group.h"
#include "picture_set.h"
#include "process.h"
#include "scenes/bitmap_scene.h"
#include "scenes/picture_scenes.h"
#include "scenes/twist_scenes.h"
#include "shell/loading.h"
#include "shell/schedule.h"
#include "stderr_capture.h"
#include "working_folder.h"

#include <GL/gl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <functional>
#include <set>
#include <sstream>
#include <string>
#include <tuple>
#include <vector>

namespace {

// One frame in every scene of the schedule, in the gaps between them, and at the end.
const uint32_t FRAME_TIMES[] = {0,     2000,  5000,  10400, 20000,  32000,  40000, 48000,
                                52000, 60000, 75000, 85000, 100000, 120000, 131500};

using Files = std::set<std::string>;

bool usesFile(const SpriteRow& row, const Files& files)
{
    return files.count(row.colour) || (row.alpha && files.count(row.alpha));
}

// What loading prints when these files cannot be loaded: one line per sprite
// that needs one, in loading order, with the path for a plain sprite and
// without for a pair.
std::string messagesFor(const Files& files)
{
    std::string text;
    for (const SpriteGroup* group : spriteGroupsInLoadingOrder())
        for (size_t i = 0; i < group->count; ++i) {
            const SpriteRow& row = group->rows[i];
            if (!usesFile(row, files)) continue;
            text += row.alpha ? "Error loading\n" : "Error loading " + std::string(row.colour) + "\n";
        }
    return text;
}

// The lines of text that start with prefix.
std::string linesStartingWith(const std::string& text, const std::string& prefix)
{
    std::istringstream lines(text);
    std::string line, kept;
    while (std::getline(lines, line))
        if (line.rfind(prefix, 0) == 0) kept += line + "\n";
    return kept;
}

struct Texel {
    GLint format;
    int r, g, b, a;
};

Texel firstTexel(int texture)
{
    GLint format = 0;
    std::vector<unsigned char> rgba = readTextureRgba(texture, &format);
    return Texel{format, rgba[0], rgba[1], rgba[2], rgba[3]};
}

class PictureFaults : public GlTest {
protected:
    // Every case makes its own context in its own child process.
    void SetUp() override { writePictureSet(master.path(), 16); }
    void TearDown() override {}

    // Runs body in a forked child with a fresh context in the demo's start-up
    // state. Failures inside are printed by the child and make it exit 1; a
    // crash shows as a signal, a hang as the alarm's.
    void inChild(const std::string& what, const std::function<void()>& body)
    {
        SCOPED_TRACE(what);
        fflush(stdout);
        fflush(stderr);
        const pid_t pid = fork();
        ASSERT_GE(pid, 0);
        if (pid == 0) {
            restoreDefaultSignals();
            alarm(120);
            GlTest::SetUp();
            if (!HasFatalFailure()) body();
            GlTest::TearDown();
            fflush(stdout);
            _exit(HasFailure() ? 1 : 0);
        }
        int status = 0;
        ASSERT_EQ(waitpid(pid, &status, 0), pid);
        ASSERT_TRUE(WIFEXITED(status)) << "ended by signal " << WTERMSIG(status);
        EXPECT_EQ(WEXITSTATUS(status), 0);
    }

    // Loads everything the demo loads from folder/data, then draws FRAME_TIMES;
    // returns what loading printed.
    std::string loadAndDraw(const std::string& folder)
    {
        std::string messages;
        {
            WorkingFolder inside(folder);
            StderrCapture capture;
            drawLoadingPicture();
            loadScenesAndPictures();
            messages = capture.finish();
        }
        bool drewSomething = false;
        for (uint32_t t : FRAME_TIMES) {
            renderFrame(t);
            readFrame();
            for (unsigned char byte : frame) drewSomething = drewSomething || byte != 0;
        }
        EXPECT_TRUE(drewSomething);
        return messages;
    }

    // Runs loadAndDraw on folder in a child, then check on what loading
    // printed; returns how far loading and drawing raised the child's peak
    // memory, in kilobytes (-1 if the child did not say).
    long peakGrowthKb(const std::string& what, const std::string& folder,
                      const std::function<void(const std::string& messages)>& check)
    {
        const std::string result = folder + "/peak-growth";
        rusage usage;
        inChild(what, [&] {
            getrusage(RUSAGE_SELF, &usage);
            const long before = usage.ru_maxrss;
            const std::string messages = loadAndDraw(folder);
            getrusage(RUSAGE_SELF, &usage);
            writeFile(result, std::to_string(usage.ru_maxrss - before));
            check(messages);
        });
        return fileExists(result) ? std::atol(readFile(result).c_str()) : -1;
    }

    // Every slot holds a sprite; exactly those that need a file that failed have texture 0.
    void expectOnlyTheseSpritesBlank(const Files& failedFiles)
    {
        for (const SpriteGroup* group : spriteGroupsInLoadingOrder())
            for (size_t i = 0; i < group->count; ++i) {
                const SpriteRow& row = group->rows[i];
                ImageWrapper* sprite = *row.slot;
                ASSERT_NE(sprite, nullptr) << row.colour;
                if (usesFile(row, failedFiles)) EXPECT_EQ(sprite->texture, 0) << row.colour;
                else EXPECT_GT(sprite->texture, 0) << row.colour;
            }
    }

    TempDir master;
};

}  // namespace

// What loading must print for each missing file: one line per sprite that
// needs it, ten for the shared opacity picture of the machine overlays, two for
// the sphere texture used twice.
TEST_F(PictureFaults, MessagesPerMissingPicture)
{
    const std::vector<std::string> files = pictureFiles();
    std::string tenPairs;
    for (int i = 0; i < 10; ++i) tenPairs += "Error loading\n";
    EXPECT_EQ(messagesFor({"data/maskine8_alfa.jpg"}), tenPairs);
    EXPECT_EQ(messagesFor({"data/spheres_texture1.jpg"}),
              "Error loading data/spheres_texture1.jpg\nError loading data/spheres_texture1.jpg\n");
    EXPECT_EQ(messagesFor({"data/nois1.jpg"}), "Error loading\n");
    // Every file missing in turn: a line for each file of each sprite, one
    // for a plain sprite or a pair that is its own opacity, two for a pair of
    // two files.
    size_t lines = 0, filesOfSprites = 0;
    for (const std::string& file : files)
        for (char c : messagesFor({file})) lines += c == '\n';
    for (const SpriteGroup* group : spriteGroupsInLoadingOrder())
        for (size_t i = 0; i < group->count; ++i) {
            const SpriteRow& row = group->rows[i];
            filesOfSprites += row.alpha && std::string(row.alpha) != row.colour ? 2 : 1;
        }
    EXPECT_EQ(lines, filesOfSprites);
}

// Each of the table's pictures missing in turn: exactly its messages, the rest of
// the programme loads and draws. Split in four so that they can run side by side.
class EachPictureMissing : public PictureFaults, public ::testing::WithParamInterface<int> {};

TEST_P(EachPictureMissing, InTurn)
{
    const std::vector<std::string> files = pictureFiles();
    for (size_t i = static_cast<size_t>(GetParam()); i < files.size(); i += 4) {
        const std::string& file = files[i];
        TempDir run;
        copyFolder(master / "data", run / "data");
        ASSERT_EQ(std::remove((run / file).c_str()), 0) << file;
        inChild(file, [&] {
            EXPECT_EQ(loadAndDraw(run.path()), messagesFor({file}));
            expectOnlyTheseSpritesBlank({file});
        });
    }
}

INSTANTIATE_TEST_SUITE_P(Quarter, EachPictureMissing, ::testing::Values(0, 1, 2, 3));

// Pictures that are there but broken fail like missing ones; JPEG variants the
// decoder understands load as if nothing were different; data that ends early
// loads as libjpeg decodes it, with one warning line naming the file.
TEST_F(PictureFaults, BrokenAndUnusualPictures)
{
    std::string failure;
    const std::string defaultData = generatedDataSet(&failure);
    ASSERT_FALSE(defaultData.empty()) << failure;
    struct Case {
        const char* what;
        const char* file;
        std::function<void(const std::string& path)> make;
        bool loads;
    };
    const std::vector<Case> cases = {
        {"truncated", "data/soya1.jpg",
         [](const std::string& path) { writeFile(path, readFile(path).substr(0, readFile(path).size() / 2)); }, true},
        {"zero length", "data/twist_1.jpg", [](const std::string& path) { writeFile(path, ""); }, false},
        {"random bytes", "data/nois1.jpg", [](const std::string& path) { writeFile(path, randomBytes(3000, 7)); },
         false},
        {"random bytes after a JPEG start marker", "data/tunnel_texture.jpg",
         [](const std::string& path) { writeFile(path, "\xFF\xD8\xFF\xE0" + randomBytes(3000, 8)); }, false},
        {"a directory", "data/spheres_texture1.jpg",
         [](const std::string& path) {
             std::remove(path.c_str());
             mkdir(path.c_str(), 0755);
         },
         false},
        {"an opacity picture of another size", "data/slut1_alfa.jpg",
         [](const std::string& path) { writeSolidJpeg(path, 32, 16, 255, 255, 255); }, false},
        {"progressive", "data/code1.jpg", [](const std::string& path) { recodeJpeg(path, "-progressive"); }, true},
        {"arithmetic-coded", "data/slut2.jpg", [](const std::string& path) { recodeJpeg(path, "-arithmetic"); }, true},
        {"progressive arithmetic-coded opacity", "data/slut3_alfa.jpg",
         [](const std::string& path) { recodeJpeg(path, "-progressive -arithmetic"); }, true},
    };
    for (const Case& c : cases) {
        TempDir run;
        copyFolder(defaultData + "/data", run / "data");
        c.make(run / c.file);
        inChild(std::string(c.what) + " " + c.file, [&] {
            const std::string messages = loadAndDraw(run.path());
            if (c.loads) {
                // At most libjpeg's warning about the file.
                EXPECT_EQ(messages, linesStartingWith(messages, std::string(c.file) + ": "));
                expectOnlyTheseSpritesBlank({});
            } else {
                EXPECT_EQ(messages, messagesFor({c.file}));
                expectOnlyTheseSpritesBlank({c.file});
            }
        });
    }

    // Variants whose texture is checked texel by texel: arithmetic coding keeps
    // the colour, a greyscale-coded file becomes a luminance texture.
    TempDir run;
    copyFolder(master / "data", run / "data");
    recodeJpeg(run / "data/twist_2.jpg", "-arithmetic");
    writeJpeg(run / "data/bitmap_env.jpg", 16, 16, std::vector<unsigned char>(256, 90), 1);
    inChild("greyscale and arithmetic textures", [&] {
        EXPECT_EQ(loadAndDraw(run.path()), "");
        const Texel arithmetic = firstTexel(twist2->texture);
        const Rgb c = pictureColour("data/twist_2.jpg");
        EXPECT_TRUE(near({arithmetic.r, arithmetic.g, arithmetic.b}, c));
        const Texel grey = firstTexel(bitmapEnv->texture);
        EXPECT_EQ(grey.format, GL_LUMINANCE8);
        EXPECT_NEAR(grey.r, 90, 2);
    });
}

// Pictures made to cost all a header can claim: huge claimed sizes
// (sequential, progressive, arithmetic-coded greyscale), a side past any
// driver's texture limit, and more scans than the scan limit, each as a plain
// picture and as one half of an opacity pair, are refused like broken files.
// Pictures at the limits load (libjpeg fills what the data lacks); an opacity
// picture of the wrong size is refused on its header. A picture missing only
// its end marker loads whole. Neither raises loading's peak memory by more
// than 300 MB over a clean load.
TEST_F(PictureFaults, CraftedPicturesCostNoMoreThanTheLimitsAllow)
{
    std::string failure;
    const std::string defaultData = generatedDataSet(&failure);
    ASSERT_FALSE(defaultData.empty()) << failure;
    // Re-codes a picture with jpegtran, adds empty scans up to scans in all
    // and claims to be width x height (0: as it is).
    auto craft = [](const std::string& recoding, int width, int height, int scans = 0) {
        return [=](const std::string& path) {
            recodeJpeg(path, recoding);
            std::string jpeg = readFile(path);
            ASSERT_TRUE(scans == 0 || padWithEmptyScans(jpeg, scans));
            ASSERT_TRUE(width == 0 || patchFrameSize(jpeg, width, height));
            writeFile(path, jpeg);
        };
    };
    const int budgetWidth = static_cast<int>(PICTURE_PIXEL_BUDGET / 4096);
    const std::string sequential = "-arithmetic", progressive = "-progressive -arithmetic",
                      grey = "-grayscale -arithmetic";
    const std::vector<std::tuple<const char*, std::function<void(const std::string&)>, bool>> crafted = {
        {"data/code1.jpg", craft(sequential, 16384, 16384), true},
        {"data/slut1.jpg", craft(sequential, 16384, 16384), true},
        {"data/code2.jpg", craft(progressive, 16384, 16384), true},
        {"data/slut2_alfa.jpg", craft(progressive, 16384, 16384), true},
        {"data/code3.jpg", craft(grey, 16384, 16384), true},
        {"data/slut3.jpg", craft(grey, 16384, 16384), true},
        {"data/code4.jpg", craft(sequential, 65500, 16), true},
        {"data/slut4_alfa.jpg", craft(sequential, 65500, 16), true},
        {"data/gfx1.jpg", craft("-progressive", 0, 0, PICTURE_SCAN_LIMIT + 1), true},
        {"data/slut5_alfa.jpg", craft("-progressive", 0, 0, PICTURE_SCAN_LIMIT + 1), true},
        {"data/maskine8_alfa.jpg", craft(progressive, budgetWidth, 4096), true},
        {"data/slut6.jpg", craft(progressive, budgetWidth, 4096), true},
        {"data/msx1.jpg", craft(progressive, budgetWidth, 4096), false},
        {"data/msx2.jpg", craft("-progressive", 0, 0, PICTURE_SCAN_LIMIT), false},
        {"data/slut7_alfa.jpg", craft("-progressive", 0, 0, PICTURE_SCAN_LIMIT), false},
    };
    TempDir clean, craftedData;
    copyFolder(defaultData + "/data", clean / "data");
    copyFolder(defaultData + "/data", craftedData / "data");
    Files refusedFiles;
    for (const auto& [file, make, refused] : crafted) {
        make(craftedData / file);
        if (refused) refusedFiles.insert(file);
    }
    const std::string soya2 = readFile(craftedData / "data/soya2.jpg");
    writeFile(craftedData / "data/soya2.jpg", soya2.substr(0, soya2.size() - 2));

    const long cleanKb = peakGrowthKb("clean", clean.path(),
                                      [](const std::string& messages) { EXPECT_EQ(messages, ""); });
    const long craftedKb = peakGrowthKb("crafted", craftedData.path(), [&](const std::string& messages) {
        EXPECT_EQ(linesStartingWith(messages, "Error loading"), messagesFor(refusedFiles));
        EXPECT_EQ(linesStartingWith(messages, "data/soya2.jpg: "), "data/soya2.jpg: Premature end of JPEG file\n");
        expectOnlyTheseSpritesBlank(refusedFiles);
        const int whole = loadTexture((defaultData + "/data/soya2.jpg").c_str());
        GLint format = 0;
        EXPECT_EQ(readTextureRgba(soya[1]->texture, &format), readTextureRgba(whole, &format));
    });
    ASSERT_GT(cleanKb, 0);
    ASSERT_GT(craftedKb, 0);
#ifndef __SANITIZE_ADDRESS__
    // (The address sanitizer holds freed memory back for a while: peaks say nothing there.)
    EXPECT_LT(craftedKb, cleanKb + 300 * 1024) << "clean load " << cleanKb << " kB";
#endif
}

// A picture nobody may read. Tests usually run as root, where permissions do
// not stop a read: then the picture simply loads. Otherwise it fails like a
// missing one.
TEST_F(PictureFaults, UnreadablePicture)
{
    std::string failure;
    const std::string defaultData = generatedDataSet(&failure);
    ASSERT_FALSE(defaultData.empty()) << failure;
    TempDir run;
    copyFolder(defaultData + "/data", run / "data");
    const bool readable = makeUnreadable(run / "data/hearing1.jpg");
    inChild(readable ? "unreadable file that root still reads" : "unreadable file", [&] {
        const std::string messages = loadAndDraw(run.path());
        if (readable) {
            EXPECT_EQ(messages, "");
            expectOnlyTheseSpritesBlank({});
        } else {
            EXPECT_EQ(messages, "Error loading data/hearing1.jpg\n");
            expectOnlyTheseSpritesBlank({"data/hearing1.jpg"});
        }
    });
    chmod((run / "data/hearing1.jpg").c_str(), 0644);
}
