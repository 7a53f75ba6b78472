// Loading on both cores: the pictures of the sprite tables are decoded on
// worker threads, in loading order, while the OpenGL thread creates the
// sprites and uploads what is ready.
#pragma once

#include "image/jpeg_texture.h"

#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <mutex>
#include <thread>
#include <vector>

struct SpriteGroup;

class PicturePrefetch {
public:
    // The longest wait for a picture between two calls of betweenPictures.
    static constexpr std::chrono::milliseconds WAIT_SLICE{20};

    // Starts decoding the rows of the groups, in order, for textures of at
    // most maxSide (queried by the caller on the OpenGL thread). When given,
    // betweenPictures is called on the taking thread after every picture
    // taken and every WAIT_SLICE while a picture is waited for, with nothing
    // locked: the loading thread's chance to look around (the demo's Esc key).
    PicturePrefetch(const std::vector<const SpriteGroup*>& groups, int maxSide, void (*betweenPictures)() = nullptr);
    // Stops the workers and joins them; what was not taken is freed.
    ~PicturePrefetch();
    PicturePrefetch(const PicturePrefetch&) = delete;
    PicturePrefetch& operator=(const PicturePrefetch&) = delete;

    // Uploads the picture of the row (alpha, colour) (alpha null for a plain
    // picture) as loadTexture or loadAlphaTexture would, with the same
    // messages, and gives the texture name or -1. The row due next is
    // waited for; a row asked for out of order is still served (decoded here
    // when no worker has begun it) and counted. Returns false, and does
    // nothing, for a row that is not on the list or when no worker could be
    // started: the caller loads it itself.
    bool take(const char* alpha, const char* colour, int* texture);

    // How the rows were asked for. Loading in the order of the list takes
    // every row in order; anything else costs the workers' head start.
    struct Counts {
        size_t rows = 0;        // on the list
        size_t inOrder = 0;     // taken as the row due next
        size_t outOfOrder = 0;  // taken while an earlier row was still due
        size_t unlisted = 0;    // asked for but not on the list (or already taken)
    };
    Counts counts() const;

private:
    struct Job {
        const char* colour;
        const char* alpha;
        bool started = false;
        bool ready = false;
        bool taken = false;
        PreparedPicture picture;
    };

    void work();
    // The first row not taken with these files; jobs.size() for none.
    size_t find(const char* alpha, const char* colour) const;
    // Decodes the job's picture into picture.
    void prepare(const Job& job, PreparedPicture& picture, OpacityScratch& scratch) const;

    const int maxSide;
    void (*const betweenPictures)();
    std::vector<Job> jobs;
    std::vector<PreparedPicture> spare;  // pixel buffers given back after upload
    size_t nextToStart = 0;              // no row before it waits for a worker
    size_t nextToTake = 0;               // the first row not taken: the one due
    Counts tally;
    bool stopping = false;
    mutable std::mutex mutex;
    std::condition_variable changed;
    std::vector<std::thread> workers;
};
