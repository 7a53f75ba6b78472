#include "quiet_regex.h"
#include "../data/generated_data_set.h"
#include "command_line/version.h"
#include "contact_sheet.h"
#include "files.h"
#include "process.h"

#include "shell/schedule.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <iterator>
#include <regex>
#include <set>
#include <sstream>

namespace {

struct Picture {
    int width = 0;
    int height = 0;
    std::string rgb;  // 8-bit RGB, top row first

    bool isRed(int x, int y) const { return at(x, y, 0) > 200 && at(x, y, 1) < 60 && at(x, y, 2) < 60; }
    bool isGreen(int x, int y) const { return at(x, y, 0) < 60 && at(x, y, 1) > 200 && at(x, y, 2) < 60; }
    bool isBlue(int x, int y) const { return at(x, y, 0) < 60 && at(x, y, 1) < 60 && at(x, y, 2) > 200; }
    bool isBlack(int x, int y) const { return at(x, y, 0) < 30 && at(x, y, 1) < 30 && at(x, y, 2) < 30; }
    int at(int x, int y, int channel) const
    {
        return static_cast<unsigned char>(rgb[(static_cast<size_t>(y) * width + x) * 3 + channel]);
    }
};

// A picture of width x height: the top half one colour, the bottom half another.
void writeTwoToneJpeg(const std::string& path, int width, int height, const int top[3], const int bottom[3])
{
    std::vector<unsigned char> pixels;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            for (int c = 0; c < 3; ++c)
                pixels.push_back(static_cast<unsigned char>(y < height / 2 ? top[c] : bottom[c]));
    writeJpeg(path, width, height, pixels);
}

// 16-bit stereo PCM at 44.1 kHz: silence for silentMs, then a loud 440 Hz tone up to totalMs.
void writeWav(const std::string& path, int silentMs, int totalMs)
{
    const int rate = 44100;
    const uint32_t frames = static_cast<uint32_t>(static_cast<int64_t>(totalMs) * rate / 1000);
    std::string data;
    for (uint32_t i = 0; i < frames; ++i) {
        int16_t sample = 0;
        if (i >= static_cast<uint32_t>(static_cast<int64_t>(silentMs) * rate / 1000))
            sample = static_cast<int16_t>(20000 * std::sin(2 * M_PI * 440 * i / rate));
        for (int channel = 0; channel < 2; ++channel) {
            data += static_cast<char>(sample & 0xff);
            data += static_cast<char>((sample >> 8) & 0xff);
        }
    }
    auto u32 = [](uint32_t v) { return std::string{char(v), char(v >> 8), char(v >> 16), char(v >> 24)}; };
    auto u16 = [](uint16_t v) { return std::string{char(v), char(v >> 8)}; };
    std::string header = "RIFF" + u32(36 + static_cast<uint32_t>(data.size())) + "WAVE" + "fmt " + u32(16) + u16(1) +
                         u16(2) + u32(rate) + u32(rate * 4) + u16(4) + u16(16) + "data" +
                         u32(static_cast<uint32_t>(data.size()));
    writeFile(path, header + data);
}

std::vector<std::string> lines(const std::string& text)
{
    std::vector<std::string> result;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) result.push_back(line);
    return result;
}

// Standard error written into a pipe or a log ends with the line saying what
// was written, and holds no progress bar (drawn over itself with '\r').
bool endsWithTheLine(const std::string& err, const std::string& pattern)
{
    const std::vector<std::string> all = lines(err);
    return !all.empty() && err.back() == '\n' && err.find('\r') == std::string::npos &&
           std::regex_match(all.back(), std::regex(pattern));
}

// The renderer in a folder of its own with a small data/ folder. The noise
// pictures are black, so the film-noise overlay leaves every frame untouched
// and what the frame shows is what the scenes drew.
class RenderTool : public ::testing::Test {
protected:
    void SetUp() override
    {
        std::filesystem::create_directory(folder / "data");
        writeSolidJpeg(folder / "data/nois1.jpg", 16, 16, 0, 0, 0);
        writeSolidJpeg(folder / "data/nois2.jpg", 16, 16, 0, 0, 0);
    }

    ProcessResult render(std::vector<std::string> arguments, const std::map<std::string, std::string>& env = {})
    {
        arguments.insert(arguments.begin(), binaryPath("skarvelin-render"));
        return runProcess(arguments, folder.path(), env, 120);
    }

    // Reads a PNG back through ImageMagick, which checks its format on the way.
    Picture readPng(const std::string& path, std::string* format = nullptr)
    {
        Picture picture;
        ProcessResult info = runProcess({"identify", "-format", "%w %h %z %[channels]", path}, "");
        std::istringstream words(info.out);
        int depth = 0;
        std::string channels;
        words >> picture.width >> picture.height >> depth >> channels;
        if (format) *format = std::to_string(depth) + "-bit " + channels;
        picture.rgb = runProcess({"convert", path, "-depth", "8", "rgb:-"}, "").out;
        return picture;
    }

    void makeMusic(int silentMs, int totalMs)
    {
        writeWav(folder / "music.wav", silentMs, totalMs);
        ProcessResult lame = runProcess({"lame", "--quiet", "-b", "128", "music.wav", "data/music.mp3"}, folder.path());
        ASSERT_EQ(lame.status, 0) << lame.err;
    }

    TempDir folder;
};

const int RED[3] = {255, 0, 0};
const int BLUE[3] = {0, 0, 255};

TEST_F(RenderTool, PngFramesAreNamedByTimeInEightBitRgbWithTheTopRowFirst)
{
    // The noise overlay lies on every frame and is its own opacity (its red
    // channel): red over blue gives an opaque red top over a see-through,
    // black bottom, so an upside-down frame shows black on top.
    writeTwoToneJpeg(folder / "data/nois1.jpg", 64, 64, RED, BLUE);
    writeTwoToneJpeg(folder / "data/nois2.jpg", 64, 64, RED, BLUE);
    // Times at which no scene draws: the overlay alone, noise 2 then noise 1.
    // A time may be written as the timeline prints it.
    ProcessResult result = render({"--size", "80x60", "--times", "0:03.601,0", "--png", "frames/sub"});
    ASSERT_EQ(result.status, 0) << result.err;
    for (const char* name : {"frames/sub/000000.png", "frames/sub/003601.png"}) {
        std::string format;
        Picture frame = readPng(folder / name, &format);
        EXPECT_EQ(frame.width, 80) << name;
        EXPECT_EQ(frame.height, 60) << name;
        EXPECT_EQ(format, "8-bit srgb") << name;
        ASSERT_EQ(frame.rgb.size(), 80u * 60 * 3) << name;
        EXPECT_TRUE(frame.isRed(40, 5)) << name << ": top is " << frame.at(40, 5, 0) << "," << frame.at(40, 5, 1) << ","
                                        << frame.at(40, 5, 2);
        EXPECT_TRUE(frame.isBlack(40, 54)) << name;
    }

    // An evenly spaced span: floor(i * 1000 / fps) from --from, up to --to
    // inclusive, listed with their times. Into a pipe or a log the renderer
    // says what it wrote and nothing else: no progress bar.
    result = render({"--from", "0:01", "--to", "2.0", "--fps", "3", "--size", "16x16", "--png", "span"});
    ASSERT_EQ(result.status, 0) << result.err;
    EXPECT_TRUE(endsWithTheLine(result.err,
                                "skarvelin-render: wrote 4 PNG frames of 16x16 to span \\(listed in "
                                "span/frames\\.txt\\) in [0-9]+\\.[0-9] s"))
        << result.err;
    auto names = [&](const std::string& where) {
        std::set<std::string> found;
        for (const auto& entry : std::filesystem::directory_iterator(folder / where))
            found.insert(entry.path().filename().string());
        return found;
    };
    EXPECT_EQ(names("span"),
              (std::set<std::string>{"001000.png", "001333.png", "001666.png", "002000.png", "frames.txt"}));
    EXPECT_EQ(readFile(folder / "span/frames.txt"),
              "001000.png 1000\n001333.png 1333\n001666.png 1666\n002000.png 2000\n");

    // Named by their place: an image sequence that ffmpeg reads whole.
    result = render({"--from", "1000", "--to", "2000", "--fps", "3", "--size", "16x16", "--png", "sequence",
                     "--png-names", "index"});
    ASSERT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(names("sequence"),
              (std::set<std::string>{"000000.png", "000001.png", "000002.png", "000003.png", "frames.txt"}));
    EXPECT_EQ(readFile(folder / "sequence/frames.txt"),
              "000000.png 1000\n000001.png 1333\n000002.png 1666\n000003.png 2000\n");
    EXPECT_EQ(readFile(folder / "sequence/000000.png"), readFile(folder / "span/001000.png"));
    EXPECT_EQ(readFile(folder / "sequence/000003.png"), readFile(folder / "span/002000.png"));
    ProcessResult count = runProcess({"ffprobe", "-v", "error", "-count_frames", "-show_entries",
                                      "stream=nb_read_frames", "-of", "csv=p=0", "sequence/%06d.png"},
                                     folder.path());
    EXPECT_EQ(count.out, "4\n") << count.err;
}

// A still (--times) or a clip (--from) shows exactly the frame that a run of
// the whole programme from 0 at the same rate shows at that millisecond,
// whatever was rendered before it in the same process: in the spike tube (its
// offset ladder and the depth test), the twist room (its camera offset), the
// blob (the shape left in the sphere cache) and the wave (its speed, which
// steps once per frame, and the ending picture). A clip whose frames fall
// between that run's frames shows the stills of the same milliseconds: the
// wave has slowed down as often as in the run, not once per frame of the clip.
TEST(RenderStartAnywhere, StillsAndClipsShowWhatARunFromZeroShows)
{
    std::string failure;
    const std::string data = generatedDataSet(&failure);
    ASSERT_FALSE(data.empty()) << failure;
    TempDir out;
    auto render = [&](std::vector<std::string> arguments) {
        arguments.insert(arguments.begin(), {binaryPath("skarvelin-render"), "--size", "96x72", "--fps", "10"});
        ProcessResult result = runProcess(arguments, data, {}, 300);
        EXPECT_EQ(result.status, 0) << result.err;
    };
    render({"--to", "125000", "--png", out / "run"});
    // Later times first: nothing carries from one still to the next.
    render({"--times", "125000,40000,60000,76000,120000,10600,10700", "--png", out / "stills"});
    for (const char* from : {"40000", "59000", "75000", "119000"})
        render({"--from", from, "--to", std::to_string(std::stoi(from) + 1000), "--png", out / "clips"});
    render({"--from", "120950", "--to", "121150", "--png", out / "between"});
    render({"--times", "120950,121050,121150", "--png", out / "between-stills"});
    for (const std::string name : {"120950.png", "121050.png", "121150.png"}) {
        const std::string still = readFile(out / ("between-stills/" + name));
        EXPECT_FALSE(still.empty()) << name;
        EXPECT_EQ(still, readFile(out / ("between/" + name))) << name;
    }

    int compared = 0;
    for (const char* folder : {"stills", "clips"})
        for (const auto& entry : std::filesystem::directory_iterator(out / folder)) {
            const std::string name = entry.path().filename().string();
            if (entry.path().extension() != ".png") continue;  // frames.txt lists each run's own frames
            EXPECT_EQ(readFile(entry.path().string()), readFile(out / ("run/" + name))) << folder << "/" << name;
            ++compared;
        }
    EXPECT_EQ(compared, 7 + 4 * 11);
}

// The contact sheet of the default set: at least 1200 pixels wide, and each
// cell is the --times still of its time, scaled down; cells of different
// scenes differ.
TEST(RenderSheet, EachCellIsTheStillOfItsTimeScaledDown)
{
    std::string failure;
    const std::string data = generatedDataSet(&failure);
    ASSERT_FALSE(data.empty()) << failure;
    TempDir out;
    auto render = [&](std::vector<std::string> arguments) {
        arguments.insert(arguments.begin(), binaryPath("skarvelin-render"));
        ProcessResult result = runProcess(arguments, data, {}, 120);
        EXPECT_EQ(result.status, 0) << result.err;
    };
    auto read = [](const std::string& path, int* width, int* height) {
        std::istringstream size(runProcess({"identify", "-format", "%w %h", path}, "").out);
        size >> *width >> *height;
        const std::string rgb = runProcess({"convert", path, "-depth", "8", "rgb:-"}, "").out;
        return std::vector<unsigned char>(rgb.begin(), rgb.end());
    };
    render({"--sheet", out / "sheet.png"});
    const std::vector<uint32_t> times = sheetTimes();
    // Stills of three scenes, one of them the band-sliced twist room.
    const size_t cells[] = {12, 15, 20};
    std::string list;
    for (size_t i : cells) list += (list.empty() ? "" : ",") + std::to_string(times[i]);
    render({"--times", list, "--png", out / "stills"});

    int width = 0, height = 0;
    const std::vector<unsigned char> sheet = read(out / "sheet.png", &width, &height);
    const SheetLayout layout = sheetLayout(640, 480, times.size());
    EXPECT_GE(width, 1200);
    ASSERT_EQ(width, layout.width);
    ASSERT_EQ(height, layout.height);
    ASSERT_EQ(sheet.size(), static_cast<size_t>(width) * height * 3);
    auto cell = [&](size_t i) {
        std::vector<unsigned char> pixels;
        for (int y = 0; y < layout.pictureHeight; ++y) {
            const auto row = sheet.begin() +
                             (static_cast<size_t>(layout.pictureY(i) + y) * width + layout.pictureX(i)) * 3;
            pixels.insert(pixels.end(), row, row + layout.pictureWidth * 3);
        }
        return pixels;
    };
    for (size_t i : cells) {
        char name[32];
        std::snprintf(name, sizeof name, "stills/%06u.png", times[i]);
        int stillWidth = 0, stillHeight = 0;
        const std::vector<unsigned char> still = read(out / name, &stillWidth, &stillHeight);
        ASSERT_EQ(still.size(), 640u * 480 * 3) << name;
        EXPECT_TRUE(cell(i) == scaleDown(still, 640, 480, layout.pictureWidth, layout.pictureHeight))
            << "cell " << i << " is not the still of " << times[i] << " ms";
        EXPECT_GT(std::count_if(still.begin(), still.end(), [](unsigned char v) { return v > 40; }), 10000) << name;
    }
    EXPECT_FALSE(cell(12) == cell(15));
    EXPECT_FALSE(cell(15) == cell(20));
}

TEST_F(RenderTool, VideoHoldsThePicturesAndTheMusicFromTheFirstFramesTime)
{
    // One second of silence, then a tone: a video from 0 ms starts silent,
    // one from 1200 ms starts in the tone.
    makeMusic(1000, 3000);
    std::filesystem::create_directory(folder / "out");
    ProcessResult result = render(
        {"--from", "0", "--to", "2000", "--fps", "10", "--size", "64x48", "--video", "out/first.mp4"});
    ASSERT_EQ(result.status, 0) << result.err;
    ProcessResult probe = runProcess({"ffprobe", "-v", "error", "-show_entries",
                                      "stream=codec_type,codec_name,pix_fmt,width,height,nb_frames,duration", "-of",
                                      "compact=p=0", "out/first.mp4"},
                                     folder.path());
    ASSERT_EQ(probe.status, 0) << probe.err;
    std::vector<std::string> streams = lines(probe.out);
    ASSERT_EQ(streams.size(), 2u) << probe.out;
    std::smatch match;
    ASSERT_TRUE(std::regex_search(streams[0], match,
                                  std::regex("codec_name=h264\\|codec_type=video\\|width=64\\|"
                                             "height=48\\|pix_fmt=yuv420p\\|duration=([0-9.]+)\\|"
                                             "nb_frames=21")))
        << streams[0];
    EXPECT_NEAR(std::stod(match[1]), 2.1, 0.01);
    ASSERT_TRUE(
        std::regex_search(streams[1], match, std::regex("codec_name=aac\\|codec_type=audio\\|.*duration=([0-9.]+)")))
        << streams[1];
    EXPECT_NEAR(std::stod(match[1]), 2.1, 0.06);
    // The colours are said in the stream, so players decode them as they were made.
    probe = runProcess({"ffprobe", "-v", "error", "-select_streams", "v:0", "-show_entries",
                        "stream=color_range,color_space,color_transfer,color_primaries", "-of", "compact=p=0",
                        "out/first.mp4"},
                       folder.path());
    EXPECT_EQ(probe.out, "color_range=tv|color_space=bt709|color_transfer=bt709|color_primaries=bt709\n");

    auto loudness = [&](const std::string& video) {
        ProcessResult volume = runProcess({"ffmpeg", "-hide_banner", "-nostats", "-t", "0.5", "-i", video, "-map",
                                           "0:a", "-af", "volumedetect", "-f", "null", "-"},
                                          folder.path());
        std::smatch level;
        if (!std::regex_search(volume.err, level, std::regex("max_volume: (-?[0-9.]+) dB"))) return 1000.0;
        return std::stod(level[1]);
    };
    EXPECT_LT(loudness("out/first.mp4"), -40) << "the music did not start at 0 ms";
    // Into a pipe or a log too, the last line says what was written, where, and how long it took.
    EXPECT_TRUE(endsWithTheLine(result.err,
                                "skarvelin-render: wrote out/first\\.mp4, 2\\.100 s of video "
                                "\\(21 frames of 64x48 at 10 fps\\), in [0-9]+\\.[0-9] s"))
        << result.err;

    result = render({"--from", "1200", "--to", "1700", "--fps", "10", "--size", "64x48", "--video", "later.mp4"});
    ASSERT_EQ(result.status, 0) << result.err;
    EXPECT_GT(loudness("later.mp4"), -12) << "the music did not start at 1200 ms";
}

// The boxes at the top level of an MP4 or QuickTime file, in order.
std::string topLevelBoxes(const std::string& bytes)
{
    std::string boxes;
    for (size_t at = 0; at + 8 <= bytes.size();) {
        uint64_t size = 0;
        for (int i = 0; i < 4; ++i) size = size << 8 | static_cast<unsigned char>(bytes[at + i]);
        if (size == 1 && at + 16 <= bytes.size())
            for (int i = 8; i < 16; ++i) size = size << 8 | static_cast<unsigned char>(bytes[at + i]);
        boxes += (boxes.empty() ? "" : " ") + bytes.substr(at + 4, 4);
        if (size < 8) break;
        at += size;
    }
    return boxes;
}

// A clip's sound is the music from its first frame's millisecond: a tone
// that starts at 2300 ms in the track starts 2300 - from ms into the clip,
// for starts 1, 99 and 999 ms into a second. The clip's AAC sound begins
// with the encoder's priming (1024 samples), which the MP4's edit list
// removes on decoding; what is left is the tone to a fraction of a millisecond.
TEST_F(RenderTool, TheClipsSoundStartsAtItsFirstFramesMillisecond)
{
    makeMusic(2300, 4000);
    for (const int from : {1001, 1099, 1999}) {
        SCOPED_TRACE("--from " + std::to_string(from));
        ProcessResult result = render({"--from", std::to_string(from), "--to", std::to_string(from + 1500), "--fps",
                                       "10", "--size", "16x16", "--video", "clip.mp4"});
        ASSERT_EQ(result.status, 0) << result.err;
        const std::string pcm = runProcess({"ffmpeg", "-v", "error", "-i", "clip.mp4", "-map", "0:a", "-f", "s16le",
                                            "-ac", "1", "-ar", "44100", "-"},
                                           folder.path())
                                    .out;
        size_t onset = 0;
        while (onset + 1 < pcm.size() &&
               std::abs(static_cast<int16_t>(static_cast<unsigned char>(pcm[onset]) |
                                             static_cast<unsigned char>(pcm[onset + 1]) << 8)) < 5000)
            onset += 2;
        EXPECT_NEAR(onset / 2 / 44.1, 2300 - from, 2.0);
    }
}

// Any name is a file to the encoder: a colon (which ffmpeg would take for a
// protocol), a leading dash, a space, letters beyond ASCII; a TMPDIR that names
// no folder falls back to /tmp. The extension, in any case, names the
// container; MP4 and QuickTime have their index (moov) before the media
// (mdat), so they play while they download. A clip past the end of a short
// track still has its sound: silence as long as the pictures.
TEST_F(RenderTool, AnyVideoNameWorksAndAClipPastTheTracksEndHasSilence)
{
    makeMusic(0, 1000);
    struct Case {
        std::string name;
        size_t at;
        std::string mark;  // at byte at: the MP4 or QuickTime brand, Matroska's magic number
        bool boxes;        // MP4 or QuickTime
    };
    for (const Case& c :
         {Case{"capture-2025-06-01T12:30.mp4", 4, "ftypisom", true}, Case{"-dash.MOV", 4, "ftypqt  ", true},
          Case{"two words \u00e9.mkv", 0, "\x1A\x45\xDF\xA3", false}}) {
        ProcessResult result = render({"--to", "300", "--fps", "10", "--size", "32x32", "--video=" + c.name},
                                      {{"TMPDIR", folder / "no-such-folder"}});
        EXPECT_EQ(result.status, 0) << c.name << ": " << result.err;
        const std::string bytes = readFile(folder / c.name);
        EXPECT_EQ(bytes.substr(std::min(c.at, bytes.size()), c.mark.size()), c.mark) << c.name;
        if (!c.boxes) continue;
        const std::string boxes = topLevelBoxes(bytes);
        EXPECT_LT(boxes.find("moov"), boxes.find("mdat")) << c.name << ": " << boxes;
        EXPECT_NE(boxes.find("mdat"), std::string::npos) << c.name << ": " << boxes;
    }
    ProcessResult result = render(
        {"--from", "2000", "--to", "2500", "--fps", "10", "--size", "32x32", "--video", "past.mp4"});
    ASSERT_EQ(result.status, 0) << result.err;
    ProcessResult probe = runProcess({"ffprobe", "-v", "error", "-show_entries", "stream=codec_type,duration", "-of",
                                      "compact=p=0", "past.mp4"},
                                     folder.path());
    EXPECT_EQ(probe.out, "codec_type=video|duration=0.600000\ncodec_type=audio|duration=0.600000\n") << probe.err;
}

TEST_F(RenderTool, AspectFourByThreeDrawsThePictureAtItsOwnSizeBetweenBlackBars)
{
    // At 90000 ms the tunnel fills the picture out to its edges, so a bar one
    // pixel too wide or too narrow shows. The picture must be exactly what a
    // frame of its own size shows: the scenes see a 4:3 window, not a stretched one.
    struct Case {
        std::string size, pictureSize;
        int x, y;
    };
    for (const Case& c : {Case{"96x48", "64x48", 16, 0}, Case{"48x64", "48x36", 0, 14}}) {
        ProcessResult result = render({"--size", c.size, "--aspect", "4:3", "--times", "90000", "--png", "bars"});
        ASSERT_EQ(result.status, 0) << result.err;
        result = render({"--size", c.pictureSize, "--times", "90000", "--png", "plain"});
        ASSERT_EQ(result.status, 0) << result.err;
        const Picture framed = readPng(folder / "bars/090000.png");
        const Picture plain = readPng(folder / "plain/090000.png");
        ASSERT_EQ(framed.rgb.size(), static_cast<size_t>(framed.width) * framed.height * 3) << c.size;
        ASSERT_EQ(plain.rgb.size(), static_cast<size_t>(plain.width) * plain.height * 3) << c.pictureSize;
        int wrong = 0, lit = 0;
        for (int y = 0; y < framed.height; ++y)
            for (int x = 0; x < framed.width; ++x)
                for (int k = 0; k < 3; ++k) {
                    const bool inside = x >= c.x && x < c.x + plain.width && y >= c.y && y < c.y + plain.height;
                    const int expected = inside ? plain.at(x - c.x, y - c.y, k) : 0;
                    wrong += framed.at(x, y, k) != expected;
                    lit += inside && expected > 100;
                }
        EXPECT_EQ(wrong, 0) << c.size;
        EXPECT_GT(lit, plain.width * plain.height) << "the picture at " << c.pictureSize << " is too dark to tell";
    }
}

TEST_F(RenderTool, CrfAndPresetReachTheEncoderAndTheBarsReachTheVideo)
{
    makeMusic(0, 1000);
    // x264 writes its settings into the stream: the preset shows in them
    // (ultrafast turns CABAC off, veryfast keeps it), the CRF as itself.
    auto settings = [&](const std::string& video) {
        std::string bytes = readFile(folder / video);
        size_t start = bytes.find("x264 - core");
        return start == std::string::npos ? std::string() : bytes.substr(start, bytes.find('\0', start) - start);
    };
    ProcessResult result = render(
        {"--to", "300", "--fps", "10", "--size", "96x48", "--aspect", "4:3", "--video", "default.mp4"});
    ASSERT_EQ(result.status, 0) << result.err;
    result = render({"--to", "300", "--fps", "10", "--size", "96x48", "--crf", "40", "--preset=ultrafast", "--video",
                     "chosen.mp4"});
    ASSERT_EQ(result.status, 0) << result.err;
    const std::string defaults = settings("default.mp4"), chosen = settings("chosen.mp4");
    EXPECT_NE(defaults.find(" crf=18.0 "), std::string::npos) << defaults;
    EXPECT_NE(defaults.find("cabac=1 "), std::string::npos) << defaults;
    EXPECT_NE(chosen.find(" crf=40.0 "), std::string::npos) << chosen;
    EXPECT_NE(chosen.find("cabac=0 "), std::string::npos) << chosen;

    // The first frame decoded: the noise overlay (red over blue, its own
    // opacity) makes the top half opaque red and leaves the bottom half black,
    // so the picture shows the right way up between black bars. At 98x48 the
    // left bar is 17 columns wide: colour samples straddle bar and picture.
    writeTwoToneJpeg(folder / "data/nois1.jpg", 16, 16, RED, BLUE);
    writeTwoToneJpeg(folder / "data/nois2.jpg", 16, 16, RED, BLUE);
    auto firstFrame = [&](const std::string& size, bool bars) {
        const std::string video = size + ".mp4";
        std::vector<std::string> arguments = {"--to", "300", "--fps", "10", "--size", size, "--video", video};
        if (bars) arguments.insert(arguments.end(), {"--aspect", "4:3"});
        ProcessResult rendered = render(arguments);
        EXPECT_EQ(rendered.status, 0) << rendered.err;
        ProcessResult decoded = runProcess({"ffmpeg", "-v", "error", "-i", video, "-frames:v", "1", "-f", "rawvideo",
                                            "-pix_fmt", "rgb24", "-"},
                                           folder.path());
        EXPECT_EQ(decoded.status, 0) << decoded.err;
        return Picture{std::stoi(size), 48, decoded.out};
    };
    auto show = [](const Picture& frame, int x, int y) {
        return std::to_string(frame.at(x, y, 0)) + "," + std::to_string(frame.at(x, y, 1)) + "," +
               std::to_string(frame.at(x, y, 2)) + " at " + std::to_string(x) + "," + std::to_string(y);
    };
    const Picture framed = firstFrame("98x48", true);
    ASSERT_EQ(framed.rgb.size(), 98u * 48 * 3);
    // Away from the edges, which the encoder's colour subsampling blurs.
    for (int x : {2, 12, 86, 95})
        for (int y : {10, 38}) EXPECT_TRUE(framed.isBlack(x, y)) << "bar: " << show(framed, x, y);
    for (int x : {22, 49, 76}) {
        EXPECT_TRUE(framed.isRed(x, 10)) << "picture: " << show(framed, x, 10);
        EXPECT_TRUE(framed.isBlack(x, 38)) << "picture: " << show(framed, x, 38);
    }
    const Picture plain = firstFrame("96x48", false);
    ASSERT_EQ(plain.rgb.size(), 96u * 48 * 3);
    // Stretched to 2:1, the overlay covers the middle half of the frame.
    for (int x : {30, 48, 66}) {
        EXPECT_TRUE(plain.isRed(x, 10)) << show(plain, x, 10);
        EXPECT_TRUE(plain.isBlack(x, 38)) << show(plain, x, 38);
    }
}

TEST_F(RenderTool, AMissingOrFailingEncoderFailsWithItsReasonAndLeavesNoVideo)
{
    makeMusic(0, 1000);
    ProcessResult result = render({"--to", "300", "--fps", "10", "--size", "32x32", "--video", "out.mp4"},
                                  {{"PATH", folder / "nothing-here"}});
    EXPECT_NE(result.status, 0);
    EXPECT_NE(result.err.find("ffmpeg"), std::string::npos) << result.err;

    // An encoder that gives up at once, and one that reads everything and then fails.
    std::filesystem::create_directory(folder / "bin");
    for (const char* body : {"echo 'no encoder for you' >&2; exit 1",
                             "while read -r line; do :; done; echo 'no encoder for you' >&2; exit 1"}) {
        writeFile(folder / "bin/ffmpeg", std::string("#!/bin/sh\n") + body + "\n");
        chmod((folder / "bin/ffmpeg").c_str(), 0755);
        result = render({"--to", "300", "--fps", "10", "--size", "32x32", "--video", "out.mp4"},
                        {{"PATH", folder / "bin"}});
        EXPECT_NE(result.status, 0) << body;
        EXPECT_NE(result.err.find("no encoder for you"), std::string::npos) << result.err;
    }
    std::vector<std::string> left;
    for (const auto& entry : std::filesystem::directory_iterator(folder.path()))
        left.push_back(entry.path().filename().string());
    EXPECT_EQ(std::set<std::string>(left.begin(), left.end()), (std::set<std::string>{"bin", "data", "music.wav"}));
}

TEST_F(RenderTool, BadArgumentsAndUnusableFoldersGiveAMessageAndANonZeroStatus)
{
    const std::vector<std::vector<std::string>> bad = {
        {"--bogus", "--bench"},
        {"--size", "640", "--bench"},
        {"--size", "0x480", "--bench"},
        {"--size", "64x-48", "--bench"},
        {"--size", "64x48x2", "--bench"},
        {"--times", "100,,200", "--bench"},
        {"--times", "100,2OO", "--bench"},
        {"--times", "", "--bench"},
        {"--times", "-5", "--bench"},
        {"--times", "100,1:60", "--bench"},
        {"--from", "0:59.9999", "--bench"},
        {"--to", "2:12.001", "--bench"},
        {"--fps", "0", "--bench"},
        {"--fps", "-30", "--bench"},
        {"--fps", "29.97", "--bench"},
        {"--from", "2000", "--to", "1000", "--bench"},
        {"--times", "100", "--from", "50", "--bench"},
        {"--bench", "--png"},
        {"--png", "--bench"},
        {},
        {"--aspect", "16:9", "--bench"},
        {"--crf", "52", "--video", "out.mp4"},
        {"--crf", "-1", "--video", "out.mp4"},
        {"--crf=18.5", "--video", "out.mp4"},
        {"--preset", "warp", "--video", "out.mp4"},
        {"--preset", "veryfast", "--bench"},
        {"--sheet", "s.png", "--times", "100"},
        {"--sheet", "s.png", "--from", "100"},
        {"--sheet", "s.png", "--png", "frames"},
        {"--sheet", "s.png", "--aspect", "4:3"},
        {"--sheet", "s.png", "--size", "320x239"},
        {"--sheet", "s.png", "--size", "239x480"},
        {"--sheet", "data"},
        {"--sheet", "nowhere/s.png"},
        {"--data", "no-such-set", "--bench"},
        {"--data=", "--bench"},
        {"--png-names", "index", "--bench"},
        {"--png-names", "time", "--png", "frames"},
    };
    for (const auto& arguments : bad) {
        std::string shown;
        for (const std::string& a : arguments) shown += "'" + a + "' ";
        ProcessResult result = render(arguments);
        EXPECT_TRUE(result.exited) << shown;
        EXPECT_EQ(result.status, 2) << shown;
        EXPECT_NE(result.err.find("skarvelin-render: "), std::string::npos) << shown << result.err;
        // Refused before any picture is loaded.
        EXPECT_EQ(result.err.find("Error loading"), std::string::npos) << shown << result.err;
    }

    // An output folder that cannot be made: its parent is a file.
    writeFile(folder / "plain", "x");
    ProcessResult result = render({"--times", "100", "--png", "plain/frames"});
    EXPECT_NE(result.status, 0);
    EXPECT_NE(result.err.find("plain/frames"), std::string::npos) << result.err;
    result = render({"--times", "100", "--video", "plain/out.mp4"});
    EXPECT_NE(result.status, 0);

    // No data set where it runs nor in the data folders: where it looked,
    // and the command that makes one where it is found from anywhere.
    TempDir empty;
    const std::string home = empty / "home";
    result = runProcess({binaryPath("skarvelin-render"), "--times", "100", "--bench"}, empty.path(),
                        {{"XDG_DATA_HOME", home}, {"XDG_DATA_DIRS", empty / "a:" + empty.path() + "/b"}});
    EXPECT_EQ(result.status, 2);
    const std::string here = std::filesystem::canonical(empty.path()).string();
    for (const std::string& place : {"data/ in " + here, home + "/skarvelin/data", empty / "a/skarvelin/data",
                                     empty / "b/skarvelin/data", "skarvelin-data' '" + home + "/skarvelin'"})
        EXPECT_NE(result.err.find(place), std::string::npos) << place << " in " << result.err;

    // The same frame from the folder holding data/, and from elsewhere with
    // the set named by --data (the set or the folder holding it), by
    // $SKARVELIN_DATA, or found in $XDG_DATA_DIRS (the working folder's
    // data/ comes first).
    writeTwoToneJpeg(folder / "data/nois1.jpg", 16, 16, RED, BLUE);
    result = render({"--size", "16x16", "--times", "0", "--png", "here"});
    ASSERT_EQ(result.status, 0) << result.err;
    const std::string frame = readFile(folder / "here/000000.png");
    std::filesystem::create_directories(empty / "share/skarvelin");
    std::filesystem::create_symlink(folder / "data", empty / "share/skarvelin/data");
    struct Elsewhere {
        std::vector<std::string> arguments;
        std::map<std::string, std::string> env;
    };
    const Elsewhere elsewhere[] = {
        {{"--data", folder.path()}, {}},
        {{"--data=" + folder / "data"}, {}},
        {{}, {{"SKARVELIN_DATA", folder.path()}}},
        {{}, {{"XDG_DATA_DIRS", "/nonexistent:" + empty / "share"}}},
    };
    for (const Elsewhere& e : elsewhere) {
        std::vector<std::string> arguments = {
            binaryPath("skarvelin-render"), "--size", "16x16", "--times", "0", "--png", "out"};
        arguments.insert(arguments.end(), e.arguments.begin(), e.arguments.end());
        std::filesystem::remove_all(empty / "out");
        result = runProcess(arguments, empty.path(), e.env);
        ASSERT_EQ(result.status, 0) << arguments.back() << result.err;
        EXPECT_EQ(readFile(empty / "out/000000.png"), frame) << arguments.back();
    }
    // Messages name the files in the folder they came from (the set has no loading picture).
    result = runProcess({binaryPath("skarvelin-render"), "--times", "0", "--png", "out", "--data", folder.path()},
                        empty.path());
    EXPECT_NE(result.err.find("Error loading " + folder / "data/loading.jpg\n"), std::string::npos) << result.err;

    result = render({"--version"});
    EXPECT_EQ(result.status, 0);
    EXPECT_EQ(result.out.rfind("skarvelin-render " + std::string(PROJECT_VERSION), 0), 0u) << result.out;

    // Times out of order are fine.
    result = render({"--times", "3000,5,3000", "--size", "16x16", "--bench"});
    EXPECT_EQ(result.status, 0) << result.err;
}

TEST_F(RenderTool, BenchPrintsTheLoadTimeEverySceneAndTheProgramme)
{
    // 10200 ms lies where the credits and the twist column overlap: it counts for both.
    const uint32_t times[] = {100, 3651, 10200, 32001, 131026, 131500};
    ProcessResult result = render({"--bench", "--size", "32x32", "--times", "100,3651,10200,32001,131026,131500"});
    ASSERT_EQ(result.status, 0) << result.err;
    std::vector<std::string> out = lines(result.out);
    // The renderer, the load, a line per scene of the schedule, the programme.
    ASSERT_EQ(out.size(), 2u + SCHEDULE.size() + 1u) << result.out;
    // Which OpenGL drew: a GPU's or a software rasteriser.
    EXPECT_TRUE(std::regex_match(out[0], std::regex("renderer .+ / .+ / [0-9]\\.[0-9].*"))) << out[0];
    out.erase(out.begin());
    EXPECT_TRUE(std::regex_match(out[0], std::regex("load [0-9]+ ms"))) << out[0];
    // Each scene in schedule order with the frames in its window, then all of them.
    std::vector<std::pair<std::string, int>> expected;
    for (const ScheduleRow& row : SCHEDULE) {
        int frames = 0;
        for (uint32_t t : times) frames += rowContains(row, t);
        expected.push_back({row.name, frames});
    }
    expected.push_back({"programme", static_cast<int>(std::size(times))});
    EXPECT_EQ(expected[1], (std::pair<std::string, int>{"credits", 2}));
    const std::regex line(
        "([a-z-]+) +([0-9]+) frames +([0-9]+\\.[0-9]+) ms/frame +([0-9]+\\.[0-9]+) fps "
        "p95 +([0-9]+\\.[0-9]+) ms max +([0-9]+\\.[0-9]+) ms");
    for (size_t i = 0; i < expected.size(); ++i) {
        std::smatch match;
        ASSERT_TRUE(std::regex_match(out[i + 1], match, line)) << out[i + 1];
        EXPECT_EQ(match[1], expected[i].first);
        // Every line's fields stand in the same columns as the first line's.
        for (const char* field : {" frames ", " ms/frame ", " fps ", " ms max "})
            EXPECT_EQ(out[i + 1].find(field), out[1].find(field)) << field << "\n" << out[1] << "\n" << out[i + 1];
        EXPECT_EQ(std::stoi(match[2]), expected[i].second) << out[i + 1];
        const double ms = std::stod(match[3]), fps = std::stod(match[4]);
        const double p95 = std::stod(match[5]), slowest = std::stod(match[6]);
        if (expected[i].second > 0) {
            EXPECT_GT(ms, 0) << out[i + 1];
            EXPECT_LE(ms, p95) << out[i + 1];
            EXPECT_LE(p95, slowest) << out[i + 1];
            // Both are rounded: ms to 0.001, fps to 0.1.
            EXPECT_NEAR(fps, 1000 / ms, 0.05 + 1000 / (ms * ms) * 0.0005 + 0.01) << out[i + 1];
        } else {
            EXPECT_EQ(ms + p95 + slowest, 0) << out[i + 1];
        }
    }
}

}  // namespace
