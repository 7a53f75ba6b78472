// skarvelin-data --check: silent but for its count on the default set, and
// on a set broken in every way it knows, one line naming each file and why.
#include "broken_files.h"
#include "generated_data_set.h"
#include "sound.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <sstream>

namespace {

std::vector<std::string> linesOf(const std::string& text)
{
    std::vector<std::string> lines;
    std::istringstream stream(text);
    for (std::string line; std::getline(stream, line);) lines.push_back(line);
    return lines;
}

// An Exif segment holding only an orientation, put right after the start
// marker: big-endian TIFF data with one directory of one entry.
void addExifOrientation(const std::string& path, int orientation)
{
    const std::string tiff = std::string("MM\0\x2A\0\0\0\x08", 8) + std::string("\0\x01", 2) +
                             std::string("\x01\x12\0\x03\0\0\0\x01\0", 9) + static_cast<char>(orientation) +
                             std::string(2, '\0') + std::string(4, '\0');
    const std::string payload = std::string("Exif\0\0", 6) + tiff;
    const size_t length = payload.size() + 2;
    const std::string segment = std::string("\xFF\xE1") + static_cast<char>(length >> 8) +
                                static_cast<char>(length & 0xFF) + payload;
    std::string jpeg = readFile(path);
    jpeg.insert(2, segment);
    writeFile(path, jpeg);
}

struct Breakage {
    const char* file;  // under data/, the file whose line tells
    std::function<void(const std::string& data)> breakIt;
    std::vector<std::string> said;  // what its line says after the file's name
};

}  // namespace

TEST(DataCheck, NamesEachFileThatWillNotShowAndWhyAndOnlyCountsAGoodSet)
{
    std::string failure;
    const std::string root = generatedDataSet(&failure);
    ASSERT_FALSE(root.empty()) << failure;
    const std::string tool = binaryPath("skarvelin-data");
    TempDir temp;

    ProcessResult good = runProcess({tool, "--check", root}, temp.path());
    ASSERT_TRUE(good.exited);
    EXPECT_EQ(good.status, 0) << good.out;
    EXPECT_EQ(good.out, "skarvelin-data: 113 files in " + root + "/data checked, 0 will not show as expected\n");
    EXPECT_EQ(good.err, "");

    const std::vector<Breakage> breakages = {
        {"soya1.jpg", [](const std::string& data) { std::remove((data + "/soya1.jpg").c_str()); }, {"missing"}},
        {"code1.jpg", [](const std::string& data) { writeFile(data + "/code1.jpg", randomBytes(3000, 7)); },
         {"cannot be decoded (Not a JPEG file"}},
        {"gfx1.jpg",
         [](const std::string& data) {
             writeJpeg(data + "/gfx1.jpg", 64, 64, std::vector<unsigned char>(64 * 64 * 4, 90), 4);
         },
         {"CMYK"}},
        {"hearing1.jpg", [](const std::string& data) { addExifOrientation(data + "/hearing1.jpg", 6); },
         {"EXIF orientation 6", "shown on its side"}},
        // A header claiming twice the pixel budget; the data ends early for that size.
        {"soya2.jpg",
         [](const std::string& data) {
             std::string jpeg = readFile(data + "/soya2.jpg");
             ASSERT_TRUE(patchFrameSize(jpeg, 8192, 4096));
             writeFile(data + "/soya2.jpg", jpeg);
         },
         {"8192 x 4096", "shown at half size, 4096 x 2048"}},
        {"soya3.jpg",
         [](const std::string& data) {
             recodeJpeg(data + "/soya3.jpg", "-progressive");
             std::string jpeg = readFile(data + "/soya3.jpg");
             ASSERT_TRUE(patchFrameSize(jpeg, 5000, 5000));
             writeFile(data + "/soya3.jpg", jpeg);
         },
         {"refused, 5000 x 5000, progressive and over the pixel budget"}},
        {"slut3.jpg",
         [](const std::string& data) { writeSolidJpeg(data + "/slut3_alfa.jpg", 64, 64, 255, 255, 255); },
         {"data/slut3_alfa.jpg differs in size", "and 64 x 64"}},
        // Variable bit rate without the header that gives its length: the
        // decoder's estimate from the first frames is a few seconds.
        {"music.mp3",
         [](const std::string& data) {
             encodeMp3(data + "/music.mp3", sineSamples(20, 44100, 2), 44100, 2, {"-V", "4", "-t"});
         },
         {"20.0 s long, shorter than the programme"}},
    };
    copyFolder(root + "/data", temp / "data");
    for (const Breakage& breakage : breakages) breakage.breakIt(temp / "data");

    // From the set's own folder, as the demo runs: files named as it names them.
    ProcessResult broken = runProcess({tool, "--check"}, temp.path());
    ASSERT_TRUE(broken.exited);
    EXPECT_EQ(broken.status, 1);
    const std::vector<std::string> lines = linesOf(broken.out);
    ASSERT_EQ(lines.size(), breakages.size() + 1) << broken.out;
    for (const Breakage& breakage : breakages) {
        const std::string name = std::string("data/") + breakage.file + ": ";
        const auto line = std::find_if(lines.begin(), lines.end(),
                                       [&name](const std::string& l) { return l.rfind(name, 0) == 0; });
        ASSERT_NE(line, lines.end()) << "no line for " << breakage.file << " in\n" << broken.out;
        for (const std::string& said : breakage.said) EXPECT_NE(line->find(said), std::string::npos) << *line;
    }
    EXPECT_EQ(lines.back(), "skarvelin-data: 113 files in data checked, 8 will not show as expected");
    // The data folder itself, as well as the folder that holds it.
    ProcessResult named = runProcess({tool, "--check", "data"}, temp.path());
    EXPECT_EQ(named.status, 1);
    EXPECT_EQ(named.out, broken.out);
    named = runProcess({tool, "--check", temp / "data"}, "/");
    EXPECT_EQ(named.status, 1);
    EXPECT_NE(named.out.find("\n" + temp / "data/soya1.jpg: missing"), std::string::npos) << named.out;
    EXPECT_EQ(linesOf(named.out).back(), "skarvelin-data: 113 files in " + temp / "data" + " checked, 8 will not show as expected");
    // A folder with no set nor data/ in it: the data/ that skarvelin-data DIR would make.
    named = runProcess({tool, "--check", temp / "none"}, "/");
    EXPECT_EQ(named.status, 1);
    EXPECT_EQ(linesOf(named.out).front(), temp / "none/data: no such folder (skarvelin-data " + temp / "none" + " makes the default set there)");

    ProcessResult usage = runProcess({tool, "--check", "one", "two"}, temp.path());
    EXPECT_TRUE(usage.exited && usage.status == 2) << usage.err;
}
