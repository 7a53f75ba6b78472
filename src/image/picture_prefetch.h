// Loading on both cores: the pictures of the sprite tables are decoded on
// worker threads, in loading order, while the OpenGL thread creates the
// sprites and uploads what is ready.
#pragma once

#include "image/jpeg_texture.h"

#include <condition_variable>
#include <cstddef>
#include <mutex>
#include <thread>
#include <vector>

struct SpriteGroup;

class PicturePrefetch {
public:
    // Starts decoding the rows of the groups, in order, for textures of at
    // most maxSide (queried by the caller on the OpenGL thread). While it
    // lives it is the running prefetch that the sprites take from.
    PicturePrefetch(const SpriteGroup* const* groups, size_t groupCount, int maxSide);
    // Stops the workers, joins them and frees what was not taken.
    ~PicturePrefetch();
    PicturePrefetch(const PicturePrefetch&) = delete;
    PicturePrefetch& operator=(const PicturePrefetch&) = delete;

    // When the next row to take is (alpha, colour) (alpha null for a plain
    // picture), waits for it, uploads it as loadTexture or loadAlphaTexture
    // would, with the same messages, and gives the texture name or -1.
    // Returns false, and does nothing, for any other row.
    bool take(const char* alpha, const char* colour, int* texture);

private:
    struct Job {
        const char* colour;
        const char* alpha;
        bool ready = false;
        PreparedPicture picture;
    };

    void work();

    const int maxSide;
    std::vector<Job> jobs;
    std::vector<PreparedPicture> spare;  // pixel buffers given back after upload
    size_t nextToStart = 0;
    size_t nextToTake = 0;
    bool stopping = false;
    std::mutex mutex;
    std::condition_variable changed;
    std::vector<std::thread> workers;
};

// The prefetch that is running on this process, or null.
PicturePrefetch* runningPrefetch();
