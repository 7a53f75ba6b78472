// Frames from the OpenGL thread to PNG files and the video, with both cores
// busy: the frame is read back into a pixel-buffer object and mapped one frame
// later, so a driver that copies asynchronously need not hold up the next
// frame (llvmpipe still finishes drawing the frame before it copies), and
// converting, compressing and piping happen on writer threads of their own.
#pragma once

#include "shell/screen.h"
#include "video_writer.h"

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

class YuvFrameMaker;

class FrameCapture {
public:
    // Frames of frameWidth x frameHeight whose picture, area.width x
    // area.height, is what the current OpenGL context's render target holds;
    // the rest is black. Each frame goes to pngFolder (none when empty) and to
    // video (none when null), which must have been started and outlive this.
    FrameCapture(int frameWidth, int frameHeight, PictureArea area, std::string pngFolder, VideoWriter* video);
    // Stops the writers; frames not yet written are dropped.
    ~FrameCapture();
    FrameCapture(const FrameCapture&) = delete;
    FrameCapture& operator=(const FrameCapture&) = delete;

    // On the OpenGL thread, once the frame at t is drawn: starts its read-back
    // and hands the frame before it to the writers. False once a writer has
    // failed; finish then says why.
    bool add(uint32_t t);

    // Hands over the last frame and waits until every frame is written.
    // False with the first failure.
    bool finish(std::string* error);

private:
    struct Job {
        uint32_t t;
        size_t buffer;
    };

    void handOver(int pbo, uint32_t t);
    void writeFrames();
    bool writeFrame(uint32_t t, const unsigned char* bottomUpRgba, std::vector<unsigned char>* frame,
                    YuvFrameMaker* yuv, std::string* error);
    void stopWriters();

    const int frameWidth_;
    const int frameHeight_;
    const PictureArea area_;
    const std::string pngFolder_;
    VideoWriter* const video_;
    const size_t pictureBytes_;

    // OpenGL side: two pixel-buffer objects used in turn.
    unsigned pbo_[2] = {0, 0};
    int next_ = 0;
    int pendingPbo_ = -1;
    uint32_t pendingT_ = 0;

    // Shared with the writers, under mutex_.
    std::mutex mutex_;
    std::condition_variable changed_;
    std::vector<std::vector<unsigned char>> buffers_;  // read-back copies, bottom row first, RGBA
    std::vector<size_t> freeBuffers_;
    std::deque<Job> jobs_;
    bool closing_ = false;  // no more jobs will come
    bool failed_ = false;
    std::string error_;

    std::vector<std::thread> writers_;
    bool finished_ = false;
};
