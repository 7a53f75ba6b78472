// The real skarvelin-data: the set it writes is complete, every file decodes,
// the pictures suit their roles and the soundtrack covers the programme.
#include "generated_data_set.h"

#include "image/sprite_group.h"
#include "shell/loading.h"

#include <gtest/gtest.h>
#include <jpeglib.h>

#include <cmath>
#include <csetjmp>
#include <cstdio>
#include <filesystem>
#include <map>
#include <set>

namespace fs = std::filesystem;

namespace {

struct Picture {
    int width = 0, height = 0;
    std::vector<unsigned char> rgb;
    int red(int x, int y) const { return rgb[(static_cast<size_t>(y) * width + x) * 3]; }
};

struct JpegFailure {
    jpeg_error_mgr manager;
    jmp_buf back;
};

void onJpegError(j_common_ptr info)
{
    longjmp(reinterpret_cast<JpegFailure*>(info->err)->back, 1);
}

// Decodes a JPEG to RGB; false for anything libjpeg will not decode.
bool decodeJpeg(const std::string& path, Picture& picture)
{
    FILE* file = fopen(path.c_str(), "rb");
    if (!file) return false;
    jpeg_decompress_struct info;
    JpegFailure failure;
    info.err = jpeg_std_error(&failure.manager);
    failure.manager.error_exit = onJpegError;
    if (setjmp(failure.back)) {
        jpeg_destroy_decompress(&info);
        fclose(file);
        return false;
    }
    jpeg_create_decompress(&info);
    jpeg_stdio_src(&info, file);
    jpeg_read_header(&info, TRUE);
    info.out_color_space = JCS_RGB;
    jpeg_start_decompress(&info);
    picture.width = static_cast<int>(info.output_width);
    picture.height = static_cast<int>(info.output_height);
    picture.rgb.resize(static_cast<size_t>(picture.width) * picture.height * 3);
    while (info.output_scanline < info.output_height) {
        JSAMPROW row = &picture.rgb[static_cast<size_t>(info.output_scanline) * picture.width * 3];
        jpeg_read_scanlines(&info, &row, 1);
    }
    jpeg_finish_decompress(&info);
    jpeg_destroy_decompress(&info);
    fclose(file);
    return true;
}

// Every picture path of the demo's table, and its opacity pairs (colour, alpha) with two different files.
std::set<std::string> tablePictures()
{
    std::set<std::string> paths;
    for (const SpriteGroup* group : spriteGroupsInLoadingOrder())
        for (size_t i = 0; i < group->count; ++i) {
            paths.insert(group->rows[i].colour);
            if (group->rows[i].alpha) paths.insert(group->rows[i].alpha);
        }
    return paths;
}

std::vector<std::pair<std::string, std::string>> opacityPairs()
{
    std::vector<std::pair<std::string, std::string>> pairs;
    for (const SpriteGroup* group : spriteGroupsInLoadingOrder())
        for (size_t i = 0; i < group->count; ++i) {
            const SpriteRow& row = group->rows[i];
            if (row.alpha && std::string(row.alpha) != row.colour) pairs.emplace_back(row.colour, row.alpha);
        }
    return pairs;
}

// Runs a shell command line and returns its standard output.
std::string capture(const std::string& command)
{
    std::string out;
    FILE* pipe = popen(command.c_str(), "r");
    if (!pipe) return out;
    char buffer[4096];
    size_t n;
    while ((n = fread(buffer, 1, sizeof buffer, pipe)) > 0) out.append(buffer, n);
    pclose(pipe);
    return out;
}

// Decodes an MP3 with ffmpeg to 16-bit samples (interleaved when stereo), after an optional filter.
std::vector<int16_t> decodeMp3(const std::string& path, int channels, const std::string& filter = "")
{
    TempDir temp;
    std::string raw = temp / "audio.raw";
    std::string command = "ffmpeg -v error -i '" + path + "'" + (filter.empty() ? "" : " -af " + filter) + " -ac " +
                          std::to_string(channels) + " -f s16le -acodec pcm_s16le '" + raw + "'";
    if (system(command.c_str()) != 0) return {};
    std::string bytes = readFile(raw);
    std::vector<int16_t> samples(bytes.size() / 2);
    memcpy(samples.data(), bytes.data(), samples.size() * 2);
    return samples;
}

// Root mean square of a mono signal between two times, full scale 1.
double rms(const std::vector<int16_t>& mono, double from, double to, int rate = 44100)
{
    size_t a = static_cast<size_t>(from * rate), b = std::min(mono.size(), static_cast<size_t>(to * rate));
    if (b <= a) return 0;
    double sum = 0;
    for (size_t i = a; i < b; ++i) sum += static_cast<double>(mono[i]) * mono[i];
    return std::sqrt(sum / (b - a)) / 32768;
}

class GeneratedSet : public ::testing::Test {
protected:
    void SetUp() override
    {
        std::string failure;
        root = generatedDataSet(&failure);
        ASSERT_FALSE(root.empty()) << failure;
    }
    std::string path(const std::string& relative) const { return root + "/" + relative; }
    std::string root;
};

}  // namespace

TEST_F(GeneratedSet, HoldsExactlyThePicturesTheDemoLoadsAndTheMusic)
{
    std::set<std::string> expected = tablePictures();
    EXPECT_EQ(expected.size(), 112u);
    expected.insert("data/music.mp3");
    std::set<std::string> written;
    for (auto& entry : fs::directory_iterator(path("data"))) written.insert("data/" + entry.path().filename().string());
    EXPECT_EQ(written, expected);
}

TEST_F(GeneratedSet, EveryPictureDecodesAtAPowerOfTwoSizeAndEveryOpacityPairMatches)
{
    std::map<std::string, std::pair<int, int>> sizes;
    for (const std::string& file : tablePictures()) {
        Picture picture;
        ASSERT_TRUE(decodeJpeg(path(file), picture)) << file;
        EXPECT_TRUE(picture.width == 256 || picture.width == 512) << file << " is " << picture.width << " wide";
        EXPECT_EQ(picture.width, picture.height) << file;
        sizes[file] = {picture.width, picture.height};
    }
    // "data/maskine8_alfa.jpg" serves ten colour pictures; all of them must have its size.
    int servedByMaskine8 = 0;
    for (auto& [colour, alpha] : opacityPairs()) {
        EXPECT_EQ(sizes[colour], sizes[alpha]) << colour << " and " << alpha;
        if (alpha == "data/maskine8_alfa.jpg") ++servedByMaskine8;
    }
    EXPECT_EQ(servedByMaskine8, 10);
}

TEST_F(GeneratedSet, MasksCutCrispShapesAndLeaveTheMiddleOpen)
{
    std::set<std::string> masks;
    for (auto& pair : opacityPairs()) masks.insert(pair.second);
    for (const std::string& mask : masks) {
        Picture picture;
        ASSERT_TRUE(decodeJpeg(path(mask), picture)) << mask;
        size_t undecided = 0, shown = 0, openMiddle = 0, middle = 0;
        for (int y = 0; y < picture.height; ++y)
            for (int x = 0; x < picture.width; ++x) {
                int r = picture.red(x, y);
                if (r > 80 && r < 176) ++undecided;
                if (r > 127) ++shown;
                bool inMiddle = std::abs(x - picture.width / 2) < picture.width / 8 &&
                                std::abs(y - picture.height / 2) < picture.height / 8;
                if (inMiddle) {
                    ++middle;
                    if (r <= 127) ++openMiddle;
                }
            }
        size_t all = static_cast<size_t>(picture.width) * picture.height;
        // Two levels only, apart from a thin seam at the edges of the shapes.
        EXPECT_LT(undecided, all / 50) << mask;
        // Something is drawn, but the scene shows through most of the frame's centre.
        EXPECT_GT(shown, all / 200) << mask;
        EXPECT_GT(openMiddle, middle * 9 / 10) << mask;
    }
}

TEST_F(GeneratedSet, FilmGrainIsMostlyBlackWithBrightSpecks)
{
    for (const char* file : {"data/nois1.jpg", "data/nois2.jpg"}) {
        Picture picture;
        ASSERT_TRUE(decodeJpeg(path(file), picture)) << file;
        size_t dark = 0, bright = 0, all = static_cast<size_t>(picture.width) * picture.height;
        for (int y = 0; y < picture.height; ++y)
            for (int x = 0; x < picture.width; ++x) {
                int r = picture.red(x, y);
                if (r < 24) ++dark;
                if (r > 128) ++bright;
            }
        EXPECT_GT(dark, all * 95 / 100) << file;
        EXPECT_GT(bright, 50u) << file;
    }
    // Two different pictures, or the grain would not flicker.
    EXPECT_NE(readFile(path("data/nois1.jpg")), readFile(path("data/nois2.jpg")));
}

TEST_F(GeneratedSet, SoundtrackIsStereoMusicAsLongAsTheProgrammeOnTheBeatGrid)
{
    std::string music = path("data/music.mp3");
    std::string probe = capture(
        "ffprobe -v error -select_streams a:0 -show_entries stream=sample_rate,channels,codec_name "
        "-of default=nw=1 '" +
        music + "'");
    EXPECT_NE(probe.find("codec_name=mp3"), std::string::npos) << probe;
    EXPECT_NE(probe.find("sample_rate=44100"), std::string::npos) << probe;
    EXPECT_NE(probe.find("channels=2"), std::string::npos) << probe;

    std::vector<int16_t> stereo = decodeMp3(music, 2);
    double seconds = stereo.size() / 2 / 44100.0;
    EXPECT_GE(seconds, 132.5);
    size_t clipped = 0, differ = 0;
    std::vector<int16_t> mono(stereo.size() / 2);
    for (size_t i = 0; i < mono.size(); ++i) {
        int l = stereo[2 * i], r = stereo[2 * i + 1];
        if (std::abs(l) >= 32700 || std::abs(r) >= 32700) ++clipped;
        if (std::abs(l - r) > 64) ++differ;
        mono[i] = static_cast<int16_t>((l + r) / 2);
    }
    EXPECT_LT(clipped, mono.size() / 1000) << "the mix clips";
    EXPECT_GT(differ, mono.size() / 10) << "left and right are the same";

    // Sound all the way through the programme, every four seconds of it.
    for (double t = 0; t + 4 <= 131; t += 4) EXPECT_GT(rms(mono, t, t + 4), 0.02) << "quiet at " << t << " s";
    // The break in the gap before the twist room is quieter than the spike run,
    // and the closing fade ends near silence.
    EXPECT_LT(rms(mono, 51.8, 53.2), 0.75 * rms(mono, 33, 45));
    EXPECT_LT(rms(mono, 132.6, 132.9), 0.1 * rms(mono, 120, 130));

    // The kick falls on the programme's 444 ms grid: in the twist column's
    // groove the low end is much stronger just after each beat than halfway between.
    std::vector<int16_t> low = decodeMp3(music, 1, "lowpass=f=150");
    const double beat = 60.0 / 135.0;
    double onBeat = 0, between = 0;
    for (int b = 40; b < 72; ++b) {
        onBeat += rms(low, b * beat + 0.005, b * beat + 0.065);
        between += rms(low, b * beat + 0.25, b * beat + 0.31);
    }
    EXPECT_GT(onBeat, 1.8 * between);
}

TEST_F(GeneratedSet, ASecondRunWritesTheSameBytes)
{
    TempDir again;
    ProcessResult run = runProcess({binaryPath("skarvelin-data"), again.path()}, again.path(), {}, 120);
    ASSERT_TRUE(run.exited && run.status == 0) << run.err;
    size_t compared = 0;
    for (auto& entry : fs::directory_iterator(path("data"))) {
        std::string name = entry.path().filename().string();
        EXPECT_EQ(readFile(entry.path().string()), readFile(again / ("data/" + name))) << name;
        ++compared;
    }
    EXPECT_EQ(compared, 113u);
}

TEST(DataTool, ReportsWhatItWroteAndFailsClearlyWhenItCannotWrite)
{
    // Success is one summary line.
    std::string failure;
    std::string root = generatedDataSet(&failure);
    ASSERT_FALSE(root.empty()) << failure;
    std::string summary = readFile(root + "/complete");
    EXPECT_EQ(summary.rfind("skarvelin-data: wrote 113 files", 0), 0u) << summary;
    EXPECT_EQ(std::count(summary.begin(), summary.end(), '\n'), 1);

    // A folder that cannot be made: a plain file stands where it should be.
    TempDir temp;
    writeFile(temp / "occupied", "not a folder");
    ProcessResult run = runProcess({binaryPath("skarvelin-data"), temp / "occupied"}, temp.path(), {}, 60);
    ASSERT_TRUE(run.exited);
    EXPECT_NE(run.status, 0);
    EXPECT_NE(run.err.find("occupied"), std::string::npos) << run.err;
    EXPECT_TRUE(run.out.empty()) << run.out;
}
