// Frames to a video file through the ffmpeg command, with the soundtrack.
#pragma once

#include "output/whole_file.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

// The encoder's defaults: visually lossless for this material, and a preset
// fast enough that encoding keeps up with rendering on two cores.
constexpr int DEFAULT_CRF = 18;
constexpr const char* DEFAULT_PRESET = "veryfast";

class VideoWriter {
public:
    VideoWriter() = default;
    // An unfinished video is abandoned: the encoder is stopped and its file removed.
    ~VideoWriter();
    VideoWriter(const VideoWriter&) = delete;
    VideoWriter& operator=(const VideoWriter&) = delete;

    // Starts ffmpeg reading raw yuv420p frames of width x height at fps frames a
    // second, with sound: 16-bit stereo samples at 44.1 kHz that start with
    // the first frame and last as long as the frames (the music as the
    // demo's mixer plays it from the first frame's time, see
    // sound/music_samples.h). They go to ffmpeg through a temporary file.
    // It encodes H.264 (yuv420p) with AAC sound into a temporary file beside
    // file, in the container that file's extension names (videoContainer),
    // MP4 when it names none, with sound as its soundtrack (44.1 kHz stereo,
    // interleaved). Returns false with a message when ffmpeg cannot be started.
    bool start(const std::string& file, int width, int height, int fps, const std::vector<int16_t>& sound,
               std::string* error);

    // The H.264 quality (x264's CRF) and speed preset for the next start.
    void setEncoder(int crf, const std::string& preset)
    {
        crf_ = crf;
        preset_ = preset;
    }

    // Sends one frame: yuv420p planes (Y, then U and V at half size), top row first.
    bool writeFrame(const std::vector<unsigned char>& yuv, std::string* error);

    // Ends the input, waits for ffmpeg and, if it succeeded, moves the
    // finished video to its name. Returns false otherwise: a write error as
    // "cannot write FILE: <reason>", any other failure with ffmpeg's own messages.
    bool finish(std::string* error);

private:
    void abandon();
    // Reaps the encoder; returns its wait status.
    int waitForEncoder();
    // Whether the encoder, though it ended with status 0, could not write the
    // end of the video.
    bool encoderFailedAtTheEnd() const;
    // Why the encoder failed: for a write error one line naming the video and
    // the system's reason, otherwise what followed by ffmpeg's last messages.
    std::string encoderFailure(const std::string& what) const;

    int crf_ = DEFAULT_CRF;
    std::string preset_ = DEFAULT_PRESET;
    int pid_ = -1;
    int pipe_ = -1;
    size_t frameBytes_ = 0;
    std::unique_ptr<WholeFile> video_;  // written by ffmpeg under its temporary name
    TemporaryFile log_;                 // ffmpeg's messages
    TemporaryFile sound_;               // the samples ffmpeg reads
};

// Whether ffmpeg takes frames of width x height. Its frame-size check refuses
// a picture when (8 * width + 1024) * (height + 128) reaches 2^31 - 1, so
// 16384x16128 passes and 16384x16130 does not; x264 takes whatever passes.
bool videoTakesSize(int width, int height);
// The largest even height it takes at this width, and width at this height.
int largestVideoHeight(int width);
int largestVideoWidth(int height);

// The container a video is written in, by the extension of its name in any
// case: ffmpeg's name for it ("mp4", "mov", "matroska"), or null for any
// other extension and for none.
const char* videoContainer(const std::string& path);
// Those extensions, as messages and the help list them.
constexpr const char* VIDEO_EXTENSIONS = ".mp4, .mov or .mkv";

// The ffmpeg arguments (without the program name) for the parameters of
// start, the sound read from soundFile; container is ffmpeg's name for it.
std::vector<std::string> ffmpegArguments(const std::string& output, const char* container, int width, int height,
                                         int fps, const std::string& soundFile, int crf, const std::string& preset);
