#include "capture.h"

#include "png_writer.h"
#include "yuv_frame.h"

#include <GL/gl.h>
#include <GL/glext.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <memory>
#include <set>

FrameCapture::FrameCapture(int frameWidth, int frameHeight, PictureArea area, std::string pngFolder, bool pngByIndex,
                           VideoWriter* video)
    : frameWidth_(frameWidth),
      frameHeight_(frameHeight),
      area_(area),
      pngFolder_(std::move(pngFolder)),
      pngByIndex_(pngByIndex),
      video_(video),
      pictureBytes_(static_cast<size_t>(area.width) * area.height * 4)
{
    // RGBA is what the render target holds, so the read-back is a plain copy;
    // dropping alpha and turning the rows over is left to the writers.
    glGenBuffers(2, pbo_);
    for (unsigned pbo : pbo_) {
        glBindBuffer(GL_PIXEL_PACK_BUFFER, pbo);
        glBufferData(GL_PIXEL_PACK_BUFFER, static_cast<GLsizeiptr>(pictureBytes_), nullptr, GL_STREAM_READ);
    }
    glBindBuffer(GL_PIXEL_PACK_BUFFER, 0);

    // PNG files are independent, so several writers may compress at once; a
    // video takes its frames in order from one writer.
    unsigned writers = 1;
    if (!video_) writers = std::min(4u, std::max(1u, std::thread::hardware_concurrency()));
    buffers_.resize(writers + 2);
    for (size_t i = 0; i < buffers_.size(); ++i) {
        buffers_[i].resize(pictureBytes_);
        freeBuffers_.push_back(i);
    }
    for (unsigned i = 0; i < writers; ++i) writers_.emplace_back(&FrameCapture::writeFrames, this);
}

FrameCapture::~FrameCapture()
{
    if (!finished_) {
        {
            std::lock_guard<std::mutex> lock(mutex_);
            failed_ = true;  // drop whatever is queued
        }
        stopWriters();
    }
    glDeleteBuffers(2, pbo_);
}

bool FrameCapture::add(uint32_t t)
{
    const int pbo = next_;
    next_ = 1 - next_;
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glBindBuffer(GL_PIXEL_PACK_BUFFER, pbo_[pbo]);
    glReadPixels(0, 0, area_.width, area_.height, GL_RGBA, GL_UNSIGNED_BYTE, nullptr);
    glBindBuffer(GL_PIXEL_PACK_BUFFER, 0);
    if (pendingPbo_ >= 0) handOver(pendingPbo_, times_.size() - 1);
    pendingPbo_ = pbo;
    times_.push_back(t);
    std::lock_guard<std::mutex> lock(mutex_);
    return !failed_;
}

std::string FrameCapture::pngPath(size_t index, uint32_t t) const
{
    return framePath(pngFolder_, pngByIndex_ ? index : t);
}

std::vector<ListedFrame> FrameCapture::pngFiles() const
{
    std::vector<ListedFrame> files;
    std::set<uint64_t> named;
    for (size_t i = 0; i < times_.size(); ++i)
        if (named.insert(pngByIndex_ ? i : times_[i]).second)
            files.push_back({std::filesystem::path(pngPath(i, times_[i])).filename().string(), times_[i]});
    return files;
}

void FrameCapture::noteFailure(size_t index, const std::string& error)
{
    if (failed_ && failedIndex_ <= index) return;
    failed_ = true;
    failedIndex_ = index;
    error_ = error;
}

void FrameCapture::handOver(int pbo, size_t index)
{
    const uint32_t t = times_[index];
    size_t buffer;
    {
        std::unique_lock<std::mutex> lock(mutex_);
        // Waiting here for a free buffer is what keeps the drawing from
        // running ahead of slower writers.
        changed_.wait(lock, [&] { return failed_ || !freeBuffers_.empty(); });
        if (failed_) return;
        buffer = freeBuffers_.back();
        freeBuffers_.pop_back();
    }
    glBindBuffer(GL_PIXEL_PACK_BUFFER, pbo_[pbo]);
    const void* pixels = glMapBuffer(GL_PIXEL_PACK_BUFFER, GL_READ_ONLY);
    if (pixels) std::memcpy(buffers_[buffer].data(), pixels, pictureBytes_);
    const bool unmapped = pixels && glUnmapBuffer(GL_PIXEL_PACK_BUFFER);
    glBindBuffer(GL_PIXEL_PACK_BUFFER, 0);
    std::lock_guard<std::mutex> lock(mutex_);
    if (!pixels || !unmapped) {
        freeBuffers_.push_back(buffer);
        noteFailure(index, "cannot read the frame at " + std::to_string(t) + " ms back from OpenGL");
    } else {
        jobs_.push_back({index, t, buffer});
    }
    changed_.notify_all();
}

void FrameCapture::writeFrames()
{
    // Each writer's own frames: the bars are black from the start and only the
    // picture's area is ever written. The RGB frame is for the PNG files, the
    // YUV one for the video.
    std::vector<unsigned char> frame;
    if (!pngFolder_.empty()) frame.assign(static_cast<size_t>(frameWidth_) * frameHeight_ * 3, 0);
    std::unique_ptr<YuvFrameMaker> yuv;
    if (video_) yuv = std::make_unique<YuvFrameMaker>(frameWidth_, frameHeight_, area_);
    for (;;) {
        Job job;
        {
            std::unique_lock<std::mutex> lock(mutex_);
            changed_.wait(lock, [&] { return !jobs_.empty() || closing_; });
            if (jobs_.empty()) return;
            job = jobs_.front();
            jobs_.pop_front();
            // Once a frame has failed the run stops: the frames still queued
            // come after every frame taken, so they are dropped unwritten.
            if (failed_) {
                freeBuffers_.push_back(job.buffer);
                changed_.notify_all();
                continue;
            }
        }
        std::string error;
        const bool written = writeFrame(job.index, job.t, buffers_[job.buffer].data(), &frame, yuv.get(), &error);
        std::lock_guard<std::mutex> lock(mutex_);
        freeBuffers_.push_back(job.buffer);
        // Frames taken before the failing one may still fail after it: the
        // earliest failure is the one that counts.
        if (!written) noteFailure(job.index, error);
        else if (!pngFolder_.empty()) written_.push_back(job.index);
        changed_.notify_all();
    }
}

bool FrameCapture::writeFrame(size_t index, uint32_t t, const unsigned char* bottomUpRgba,
                              std::vector<unsigned char>* frame, YuvFrameMaker* yuv, std::string* error)
{
    if (!pngFolder_.empty()) {
        // OpenGL's rows come bottom first; the files want the top row first.
        for (int y = 0; y < area_.height; ++y) {
            const unsigned char* in = bottomUpRgba + static_cast<size_t>(area_.height - 1 - y) * area_.width * 4;
            unsigned char* out = frame->data() + (static_cast<size_t>(area_.y + y) * frameWidth_ + area_.x) * 3;
            for (int x = 0; x < area_.width; ++x, in += 4, out += 3) {
                out[0] = in[0];
                out[1] = in[1];
                out[2] = in[2];
            }
        }
        const std::string path = pngPath(index, t);
        if (!writePng(path, frameWidth_, frameHeight_, *frame, error)) {
            // A name by index says nothing of the time to resume from.
            const size_t at = pngByIndex_ ? error->find(path) : std::string::npos;
            if (at != std::string::npos)
                error->insert(at + path.size(), " (the frame at " + std::to_string(t) + " ms)");
            return false;
        }
    }
    return !yuv || video_->writeFrame(yuv->make(bottomUpRgba), error);
}

void FrameCapture::stopWriters()
{
    {
        std::lock_guard<std::mutex> lock(mutex_);
        closing_ = true;
    }
    changed_.notify_all();
    for (std::thread& writer : writers_) writer.join();
    writers_.clear();
}

bool FrameCapture::finish(std::string* error)
{
    if (pendingPbo_ >= 0) handOver(pendingPbo_, times_.size() - 1);
    pendingPbo_ = -1;
    stopWriters();
    finished_ = true;
    if (failed_) {
        removeFilesAfterTheFailure();
        *error = error_;
        return false;
    }
    return pngFolder_.empty() || writeFrameList(pngFolder_, pngFiles(), error);
}

void FrameCapture::removeFilesAfterTheFailure()
{
    // Resuming from the frame that failed must leave no hole: a later frame
    // finished by another writer goes, unless an earlier frame has its name
    // (a --times list may name a millisecond twice).
    std::set<std::string> kept;
    for (size_t i = 0; i < failedIndex_ && i < times_.size(); ++i) kept.insert(pngPath(i, times_[i]));
    for (size_t index : written_) {
        const std::string path = pngPath(index, times_[index]);
        if (index > failedIndex_ && !kept.count(path)) std::remove(path.c_str());
    }
}
