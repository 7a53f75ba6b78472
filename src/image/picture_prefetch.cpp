#include "image/picture_prefetch.h"

#include "image/picture_table.h"

#include <cstring>
#include <system_error>
#include <utility>

namespace {

// Two workers for two cores; the OpenGL thread's uploads are short beside a
// decode. At most this many pictures are decoded ahead of the one being
// uploaded, which bounds the memory in flight to a few pictures. People's
// pictures differ in size by twenty times and more: with two ahead, a worker
// that has finished a small picture often waits for the other's large one;
// with four it rarely does, and more only adds buffers to fill.
const int WORKER_COUNT = 2;
const size_t LOOK_AHEAD = 4;

PicturePrefetch* running = nullptr;

bool samePath(const char* a, const char* b)
{
    if (!a || !b) return a == b;
    return strcmp(a, b) == 0;
}

}  // namespace

PicturePrefetch* runningPrefetch()
{
    return running;
}

PicturePrefetch::PicturePrefetch(const SpriteGroup* const* groups, size_t groupCount, int side) : maxSide(side)
{
    for (size_t g = 0; g < groupCount; ++g)
        for (size_t i = 0; i < groups[g]->count; ++i) {
            Job job;
            job.colour = groups[g]->rows[i].colour;
            job.alpha = groups[g]->rows[i].alpha;
            jobs.push_back(std::move(job));
        }
    // Without a thread to decode on, the sprites decode their pictures themselves.
    try {
        for (int i = 0; i < WORKER_COUNT; ++i) workers.emplace_back(&PicturePrefetch::work, this);
    } catch (const std::system_error&) {
    }
    if (!workers.empty()) running = this;
}

PicturePrefetch::~PicturePrefetch()
{
    running = nullptr;
    {
        std::lock_guard<std::mutex> lock(mutex);
        stopping = true;
    }
    changed.notify_all();
    for (std::thread& worker : workers) worker.join();
    for (Job& job : jobs) releasePicture(job.picture);
    for (PreparedPicture& picture : spare) releasePicture(picture);
}

void PicturePrefetch::work()
{
    // The decoded opacity file of a pair, kept from one pair to the next.
    OpacityScratch alphaScratch;
    std::unique_lock<std::mutex> lock(mutex);
    for (;;) {
        // Once every row is started the worker's buffers go at once: the
        // peak of loading comes at its end, when the driver holds every texture.
        changed.wait(lock, [this] {
            return stopping || nextToStart >= jobs.size() || nextToStart < nextToTake + LOOK_AHEAD;
        });
        if (stopping || nextToStart >= jobs.size()) break;
        Job& job = jobs[nextToStart++];
        PreparedPicture picture;
        if (!spare.empty()) {
            picture = std::move(spare.back());
            spare.pop_back();
        }
        lock.unlock();
        if (job.alpha)
            preparePair(job.alpha, job.colour, maxSide, picture, alphaScratch);
        else
            preparePicture(job.colour, maxSide, picture);
        lock.lock();
        job.picture = std::move(picture);
        job.ready = true;
        changed.notify_all();
    }
    lock.unlock();
    releaseScratch(alphaScratch);
}

bool PicturePrefetch::take(const char* alpha, const char* colour, int* texture)
{
    std::unique_lock<std::mutex> lock(mutex);
    if (nextToTake >= jobs.size()) return false;
    Job& job = jobs[nextToTake];
    if (!samePath(job.colour, colour) || !samePath(job.alpha, alpha)) return false;
    changed.wait(lock, [&job] { return job.ready; });
    PreparedPicture picture = std::move(job.picture);
    job.picture = PreparedPicture();
    ++nextToTake;
    lock.unlock();
    changed.notify_all();

    *texture = uploadPrepared(picture);

    lock.lock();
    if (nextToStart < jobs.size())
        spare.push_back(std::move(picture));
    else
        releasePicture(picture);
    return true;
}
