#include "sound.h"

#include "files.h"
#include "process.h"

#include <cmath>
#include <cstdio>
#include <cstring>
#include <stdexcept>

std::vector<int16_t> sineSamples(double seconds, int rate, int channels, double frequency, double amplitude)
{
    size_t frames = static_cast<size_t>(seconds * rate);
    std::vector<int16_t> samples(frames * channels);
    for (size_t i = 0; i < frames; ++i) {
        double value = amplitude * 32767.0 * std::sin(2.0 * M_PI * frequency * i / rate);
        for (int c = 0; c < channels; ++c) samples[i * channels + c] = static_cast<int16_t>(std::lround(value));
    }
    return samples;
}

std::vector<int16_t> tonesInTurn(const std::vector<std::pair<double, double>>& tones, int rate, int channels)
{
    std::vector<int16_t> samples;
    for (const auto& [seconds, frequency] : tones) {
        const std::vector<int16_t> tone = sineSamples(seconds, rate, channels, frequency);
        samples.insert(samples.end(), tone.begin(), tone.end());
    }
    return samples;
}

void encodeMp3(const std::string& mp3Path, const std::vector<int16_t>& samples, int rate, int channels,
               const std::vector<std::string>& lameOptions)
{
    std::string rawPath = mp3Path + ".raw";
    std::string bytes(reinterpret_cast<const char*>(samples.data()), samples.size() * sizeof(int16_t));
    writeFile(rawPath, bytes);
    char kiloHertz[32];
    snprintf(kiloHertz, sizeof kiloHertz, "%g", rate / 1000.0);
    std::vector<std::string> argv = {"lame",
                                     "--quiet",
                                     "-r",
                                     "-s",
                                     kiloHertz,
                                     "--bitwidth",
                                     "16",
                                     "--signed",
                                     "--little-endian",
                                     "-m",
                                     channels == 1 ? "m" : "j"};
    argv.insert(argv.end(), lameOptions.begin(), lameOptions.end());
    argv.push_back(rawPath);
    argv.push_back(mp3Path);
    ProcessResult result = runProcess(argv, "", {}, 60);
    std::remove(rawPath.c_str());
    if (!result.exited || result.status != 0 || !fileExists(mp3Path))
        throw std::runtime_error("lame failed: " + result.err);
}

void writeSineMp3(const std::string& mp3Path, double seconds)
{
    encodeMp3(mp3Path, sineSamples(seconds, 44100, 2), 44100, 2, {"-b", "128"});
}

namespace {

std::string bigEndian32(uint32_t value)
{
    std::string bytes(4, '\0');
    for (int i = 0; i < 4; ++i) bytes[i] = static_cast<char>((value >> (24 - 8 * i)) & 0xFF);
    return bytes;
}

// ID3v2 header sizes are 28-bit numbers in four 7-bit bytes.
std::string syncSafe32(uint32_t value)
{
    std::string bytes(4, '\0');
    for (int i = 0; i < 4; ++i) bytes[i] = static_cast<char>((value >> (21 - 7 * i)) & 0x7F);
    return bytes;
}

}  // namespace

std::string id3v2Tag(const std::string& title, size_t paddingBytes)
{
    // A TIT2 frame: encoding byte 0 (ISO-8859-1) and the text.
    std::string frame = "TIT2" + bigEndian32(static_cast<uint32_t>(title.size() + 1)) + std::string(2, '\0') +
                        std::string(1, '\0') + title;
    std::string body = frame + std::string(paddingBytes, '\0');
    return std::string("ID3\x03\x00\x00", 6) + syncSafe32(static_cast<uint32_t>(body.size())) + body;
}

ToneInfo analyseStereoOutput(const std::string& rawS16Path, int rate)
{
    std::string bytes = fileExists(rawS16Path) ? readFile(rawS16Path) : std::string();
    size_t frames = bytes.size() / 4;
    std::vector<int16_t> left(frames);
    for (size_t i = 0; i < frames; ++i) std::memcpy(&left[i], bytes.data() + 4 * i, 2);

    ToneInfo info;
    bool found = false;
    for (size_t i = 0; i < frames; ++i) {
        if (std::abs(static_cast<int>(left[i])) > 8192) {
            if (!found) info.firstLoudFrame = i;
            found = true;
            ++info.loudFrames;
        }
    }
    if (!found) return info;
    // Rising zero crossings over up to half a second from the first loud frame.
    size_t end = std::min(frames, info.firstLoudFrame + static_cast<size_t>(rate / 2));
    int crossings = 0;
    size_t first = 0, last = 0;
    for (size_t i = info.firstLoudFrame + 1; i < end; ++i) {
        if (left[i - 1] < 0 && left[i] >= 0) {
            if (crossings == 0) first = i;
            last = i;
            ++crossings;
        }
    }
    if (crossings >= 2) info.frequency = (crossings - 1) * static_cast<double>(rate) / (last - first);
    return info;
}

namespace {

constexpr int TONE_RATE = 44100;
constexpr double TONE_BASE_HZ = 200.0;
constexpr double TONE_RISE_HZ_PER_SECOND = 100.0;

// The position of a stretch of the tone whose frequency is hz, in milliseconds.
double tonePositionMs(double hz)
{
    return (hz - TONE_BASE_HZ) / TONE_RISE_HZ_PER_SECOND * 1000.0;
}

// Where a buffer of the left channel starts in the tone, read from the mean
// period of its rising zero crossings; false when it holds no tone to read.
bool bufferPositionMs(const std::vector<int16_t>& left, size_t start, size_t end, double* startMs)
{
    std::vector<double> crossings;
    for (size_t i = start + 1; i < end; ++i) {
        const double before = left[i - 1], after = left[i];
        if (before < 0 && after >= 0) crossings.push_back(static_cast<double>(i - 1) + before / (before - after));
    }
    if (crossings.size() < 3) return false;
    const double span = crossings.back() - crossings.front();
    const double hz = (crossings.size() - 1) * TONE_RATE / span;
    if (hz < TONE_BASE_HZ * 0.9) return false;
    // The mean frequency is that of the middle of the span; back from there to the buffer's start.
    const double middle = (crossings.front() + crossings.back()) / 2;
    *startMs = tonePositionMs(hz) - (middle - start) * 1000.0 / TONE_RATE;
    return true;
}

}  // namespace

void writePositionToneMp3(const std::string& mp3Path, double seconds)
{
    const size_t frames = static_cast<size_t>(seconds * TONE_RATE);
    std::vector<int16_t> samples(frames * 2);
    for (size_t i = 0; i < frames; ++i) {
        const double s = static_cast<double>(i) / TONE_RATE;
        const double phase = 2.0 * M_PI * (TONE_BASE_HZ * s + TONE_RISE_HZ_PER_SECOND * s * s / 2);
        samples[2 * i] = samples[2 * i + 1] = static_cast<int16_t>(std::lround(0.5 * 32767.0 * std::sin(phase)));
    }
    encodeMp3(mp3Path, samples, TONE_RATE, 2, {"-b", "192"});
}

std::vector<MusicMove> musicMoves(const std::string& rawS16Path, size_t bufferFrames)
{
    const std::string bytes = fileExists(rawS16Path) ? readFile(rawS16Path) : std::string();
    const size_t frames = bytes.size() / 4;
    std::vector<int16_t> left(frames);
    for (size_t i = 0; i < frames; ++i) std::memcpy(&left[i], bytes.data() + 4 * i, 2);

    const double bufferMs = bufferFrames * 1000.0 / TONE_RATE;
    std::vector<MusicMove> moves;
    bool playing = false;   // the buffer before held the tone
    bool heardAny = false;  // some buffer did
    double previousStartMs = 0;
    for (size_t start = 0; start + bufferFrames <= frames; start += bufferFrames) {
        double startMs = 0;
        if (!bufferPositionMs(left, start, start + bufferFrames, &startMs)) {
            playing = false;
            continue;
        }
        const double expectedMs = previousStartMs + bufferMs;
        if (!playing || std::fabs(startMs - expectedMs) > 5.0) {
            MusicMove move;
            move.frame = start;
            move.fromMs = startMs;
            move.afterSilence = !playing;
            move.previousEndMs = heardAny ? expectedMs : 0;
            moves.push_back(move);
        }
        playing = heardAny = true;
        previousStartMs = startMs;
    }
    return moves;
}
