// skarvelin-data --check: silent but for its count on the default set, and
// on a set broken in every way it knows, one line naming each file and why.
#include "quiet_regex.h"
#include "broken_files.h"
#include "generated_data_set.h"
#include "sound.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <regex>
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
    bool note = false;              // a note, which does not count
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
        {"code1.jpg",
         [](const std::string& data) { writeFile(data + "/code1.jpg", randomBytes(3000, 7)); },
         {"cannot be decoded (Not a JPEG file"}},
        {"gfx1.jpg",
         [](const std::string& data) {
             writeJpeg(data + "/gfx1.jpg", 64, 64, std::vector<unsigned char>(64 * 64 * 4, 90), 4);
         },
         {"CMYK"}},
        {"hearing1.jpg",
         [](const std::string& data) { addExifOrientation(data + "/hearing1.jpg", 6); },
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
         {"data/slut3_alfa.jpg differs in size", "and 64 x 64", "make both the same size"}},
        // The same width, another height.
        {"slut4.jpg",
         [](const std::string& data) {
             writeSolidJpeg(data + "/slut4.jpg", 64, 64, 200, 100, 0);
             writeSolidJpeg(data + "/slut4_alfa.jpg", 64, 48, 255, 255, 255);
         },
         {"data/slut4_alfa.jpg differs in size (64 x 64 and 64 x 48)"}},
        // What the demo would find under another spelling, and what is not a JPEG at all.
        {"code2.jpg",
         [](const std::string& data) { std::rename((data + "/code2.jpg").c_str(), (data + "/CODE2.JPG").c_str()); },
         {"found CODE2.JPG; the demo loads code2.jpg: rename it"}},
        {"hearing2.jpg",
         [](const std::string& data) {
             std::rename((data + "/hearing2.jpg").c_str(), (data + "/hearing2.jpeg").c_str());
         },
         {"found hearing2.jpeg; the demo loads hearing2.jpg: rename it"}},
        {"gfx2.jpg",
         [](const std::string& data) {
             ASSERT_EQ(runProcess({"convert", data + "/gfx2.jpg", "png:" + data + "/gfx2.jpg"}, "").status, 0);
         },
         {"a PNG file, not a JPEG: drawn as a white square", "save it as JPEG"}},
        {"gfx3.jpg",
         [](const std::string& data) {
             std::remove((data + "/gfx3.jpg").c_str());
             std::filesystem::create_directory(data + "/gfx3.jpg");
         },
         {"a folder, not a picture"}},
        {"gfx4.jpg", [](const std::string& data) { writeFile(data + "/gfx4.jpg", ""); }, {"empty: drawn as"}},
        // Notes: they show as meant, and do not count.
        {"soya4.jpg",
         [](const std::string& data) { writeSolidJpeg(data + "/soya4.jpg", 48, 64, 10, 20, 30); },
         {"note: 48 x 64, taller than wide: drawn stretched to the screen's shape"},
         true},
        {"soya5.jpg",
         [](const std::string& data) { writeSolidJpeg(data + "/soya5.jpg", 8, 15, 10, 20, 30); },
         {"note: 8 x 15, taller than wide", "smaller than 16 x 16: fills the screen with a few colours"},
         true},
        {"soya6.jpg",
         [](const std::string& data) { writeSolidJpeg(data + "/soya6.jpg", 64, 15, 10, 20, 30); },
         {"note: 64 x 15, smaller than 16 x 16"},
         true},
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
    const long notes = std::count_if(breakages.begin(), breakages.end(), [](const Breakage& b) { return b.note; });
    EXPECT_EQ(lines.back(), "skarvelin-data: 113 files in data checked, " + std::to_string(breakages.size() - notes) +
                                " will not show as expected");
    // Every line ends with what to do about it.
    for (const std::string& line : lines) {
        if (line.rfind("skarvelin-data:", 0) != 0) {
            EXPECT_TRUE(std::regex_search(line, std::regex("(; |\\()[a-z][^;]*\\)?$"))) << line;
        }
    }

    // The data folder itself, as well as the folder that holds it.
    ProcessResult named = runProcess({tool, "--check", "data"}, temp.path());
    EXPECT_EQ(named.status, 1);
    EXPECT_EQ(named.out, broken.out);
    named = runProcess({tool, "--check", temp / "data"}, "/");
    EXPECT_EQ(named.status, 1);
    EXPECT_NE(named.out.find("\n" + temp / "data/soya1.jpg: missing"), std::string::npos) << named.out;
    EXPECT_EQ(linesOf(named.out).back(), "skarvelin-data: 113 files in " + temp / "data" + " checked, " +
                                             std::to_string(breakages.size() - notes) + " will not show as expected");
    // A folder with no set nor data/ in it: the data/ that skarvelin-data DIR would make.
    named = runProcess({tool, "--check", temp / "none"}, "/");
    EXPECT_EQ(named.status, 1);
    EXPECT_EQ(linesOf(named.out).front(),
              temp / "none/data: no such folder (skarvelin-data " + temp / "none" + " makes the default set there)");

    // Music that is not MP3 is named for what it is; music that goes on past
    // the programme's end gets a note. The music's line alone is looked at.
    struct Music {
        const char* what;
        std::vector<std::string> ffmpeg;  // what makes it from a tone
        std::string said;
    };
    const std::vector<Music> musics = {
        {"wav",
         {"-t", "1", "-f", "wav"},
         "data/music.mp3: a WAV file, not MP3: the demo stops with \"Unknown file format\"; convert it to MP3"},
        {"ogg", {"-t", "1", "-c:a", "libvorbis", "-f", "ogg"}, "data/music.mp3: an Ogg file, not MP3"},
        {"flac", {"-t", "1", "-f", "flac"}, "data/music.mp3: a FLAC file, not MP3"},
        {"m4a", {"-t", "1", "-c:a", "aac", "-f", "ipod"}, "data/music.mp3: an M4A (MP4) file, not MP3"},
        {"long",
         {"-t", "185", "-c:a", "libmp3lame", "-b:a", "32k", "-f", "mp3"},
         "data/music.mp3: note: 3:05 long: plays to 2:12 of 3:05"},
    };
    for (const Music& music : musics) {
        SCOPED_TRACE(music.what);
        TempDir alone;
        std::filesystem::create_directory(alone / "data");
        std::vector<std::string> make = {"ffmpeg", "-v", "error", "-f", "lavfi", "-i", "sine=d=185"};
        make.insert(make.end(), music.ffmpeg.begin(), music.ffmpeg.end());
        make.push_back(alone / "data/music.mp3");
        ProcessResult made = runProcess(make, alone.path());
        ASSERT_EQ(made.status, 0) << made.err;
        ProcessResult checked = runProcess({tool, "--check"}, alone.path());
        const std::vector<std::string> said = linesOf(checked.out);
        EXPECT_NE(std::find_if(said.begin(), said.end(),
                               [&music](const std::string& l) { return l.rfind(music.said, 0) == 0; }),
                  said.end())
            << checked.out;
    }

    ProcessResult usage = runProcess({tool, "--check", "one", "two"}, temp.path());
    EXPECT_TRUE(usage.exited && usage.status == 2) << usage.err;
}
