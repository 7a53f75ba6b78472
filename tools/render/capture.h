// Frames from the OpenGL thread to PNG files and the video, with both cores
// busy: the frame is read back into a pixel-buffer object and mapped one frame
// later, so a driver that copies asynchronously need not hold up the next
// frame (llvmpipe still finishes drawing the frame before it copies), and
// converting, compressing and piping happen on writer threads of their own.
#pragma once

#include "png_writer.h"
#include "programme/screen.h"
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
    // the rest is black. Each frame goes to pngFolder (none when empty), named
    // by its millisecond or with pngByIndex by its place among the frames
    // added, and to video (none when null), which must have been started and
    // outlive this.
    FrameCapture(int frameWidth, int frameHeight, PictureArea area, std::string pngFolder, bool pngByIndex,
                 VideoWriter* video);
    // Stops the writers; frames not yet written are dropped.
    ~FrameCapture();
    FrameCapture(const FrameCapture&) = delete;
    FrameCapture& operator=(const FrameCapture&) = delete;

    // On the OpenGL thread, once the frame at t is drawn: starts its read-back
    // and hands the frame before it to the writers. False once a writer has
    // failed; finish then says why.
    bool add(uint32_t t);

    // Hands over the last frame, waits until every frame is written and lists
    // the PNG files in the folder's frames.txt. False when a frame was not
    // written, with the failure of the earliest such frame: every frame before
    // it is whole in its place, and none after it is left (the writers work on
    // several frames at once, and later ones may have been finished first).
    bool finish(std::string* error);

    // The PNG files of the frames added so far, in their order: the first
    // use of each name.
    std::vector<ListedFrame> pngFiles() const;

private:
    struct Job {
        size_t index;  // its place among the frames added
        uint32_t t;
        size_t buffer;
    };

    std::string pngPath(size_t index, uint32_t t) const;
    void handOver(int pbo, size_t index);
    // Under mutex_: the frame at index was not written, for this reason.
    void noteFailure(size_t index, const std::string& error);
    // Removes the files of frames after the earliest one not written.
    void removeFilesAfterTheFailure();
    void writeFrames();
    bool writeFrame(size_t index, uint32_t t, const unsigned char* bottomUpRgba, std::vector<unsigned char>* frame,
                    YuvFrameMaker* yuv, std::string* error);
    void stopWriters();

    const int frameWidth_;
    const int frameHeight_;
    const PictureArea area_;
    const std::string pngFolder_;
    const bool pngByIndex_;
    VideoWriter* const video_;
    const size_t pictureBytes_;

    // OpenGL side: two pixel-buffer objects used in turn.
    unsigned pbo_[2] = {0, 0};
    int next_ = 0;
    int pendingPbo_ = -1;
    std::vector<uint32_t> times_;  // of every frame added, by index

    // Shared with the writers, under mutex_.
    std::mutex mutex_;
    std::condition_variable changed_;
    std::vector<std::vector<unsigned char>> buffers_;  // read-back copies, bottom row first, RGBA
    std::vector<size_t> freeBuffers_;
    std::deque<Job> jobs_;
    bool closing_ = false;  // no more jobs will come
    bool failed_ = false;
    size_t failedIndex_ = 0;       // the earliest frame not written, once failed_
    std::string error_;            // why it was not
    std::vector<size_t> written_;  // the frames whose PNG file this capture wrote

    std::vector<std::thread> writers_;
    bool finished_ = false;
};
