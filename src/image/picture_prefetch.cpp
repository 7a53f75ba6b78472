#include "image/picture_prefetch.h"

#include "data_folder/data_folder.h"
#include "image/sprite_group.h"

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

bool samePath(const char* a, const char* b)
{
    if (!a || !b) return a == b;
    return strcmp(a, b) == 0;
}

}  // namespace

PicturePrefetch::PicturePrefetch(const std::vector<const SpriteGroup*>& groups, int side, void (*between)())
    : maxSide(side), betweenPictures(between)
{
    for (const SpriteGroup* group : groups)
        for (size_t i = 0; i < group->count; ++i) {
            Job job;
            job.colour = group->rows[i].colour;
            job.alpha = group->rows[i].alpha;
            jobs.push_back(std::move(job));
        }
    tally.rows = jobs.size();
    // Without a thread to decode on, the sprites decode their pictures themselves.
    try {
        for (int i = 0; i < WORKER_COUNT; ++i) workers.emplace_back(&PicturePrefetch::work, this);
    } catch (const std::system_error&) {
    }
}

PicturePrefetch::~PicturePrefetch()
{
    {
        std::lock_guard<std::mutex> lock(mutex);
        stopping = true;
    }
    changed.notify_all();
    for (std::thread& worker : workers) worker.join();
}

void PicturePrefetch::prepare(const Job& job, PreparedPicture& picture, OpacityScratch& scratch) const
{
    // Jobs are known by the names in the picture rows; the files are in the data folder.
    if (job.alpha) preparePair(dataFile(job.alpha).c_str(), dataFile(job.colour).c_str(), maxSide, picture, scratch);
    else preparePicture(dataFile(job.colour).c_str(), maxSide, picture);
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
            while (nextToStart < jobs.size() && jobs[nextToStart].started) ++nextToStart;
            return stopping || nextToStart >= jobs.size() || nextToStart < nextToTake + LOOK_AHEAD;
        });
        if (stopping || nextToStart >= jobs.size()) break;
        Job& job = jobs[nextToStart++];
        job.started = true;
        PreparedPicture picture;
        if (!spare.empty()) {
            picture = std::move(spare.back());
            spare.pop_back();
        }
        lock.unlock();
        prepare(job, picture, alphaScratch);
        lock.lock();
        job.picture = std::move(picture);
        job.ready = true;
        changed.notify_all();
    }
}

size_t PicturePrefetch::find(const char* alpha, const char* colour) const
{
    auto matches = [&](const Job& job) {
        return !job.taken && samePath(job.colour, colour) && samePath(job.alpha, alpha);
    };
    for (size_t i = nextToTake; i < jobs.size(); ++i)
        if (matches(jobs[i])) return i;
    return jobs.size();
}

bool PicturePrefetch::take(const char* alpha, const char* colour, int* texture)
{
    std::unique_lock<std::mutex> lock(mutex);
    if (workers.empty()) return false;
    const size_t index = find(alpha, colour);
    if (index == jobs.size()) {
        ++tally.unlisted;
        return false;
    }
    ++(index == nextToTake ? tally.inOrder : tally.outOfOrder);
    Job& job = jobs[index];
    job.taken = true;
    PreparedPicture picture;
    const bool decodeHere = !job.started;
    job.started = true;
    if (!decodeHere) {
        // A large picture takes a while: the wait is cut into slices.
        while (!changed.wait_for(lock, WAIT_SLICE, [&job] { return job.ready; }))
            if (betweenPictures) {
                lock.unlock();
                betweenPictures();
                lock.lock();
            }
        picture = std::move(job.picture);
    }
    while (nextToTake < jobs.size() && jobs[nextToTake].taken) ++nextToTake;
    lock.unlock();
    changed.notify_all();

    if (decodeHere) {
        OpacityScratch scratch;
        prepare(job, picture, scratch);
    }
    *texture = uploadPrepared(picture);

    lock.lock();
    if (nextToStart < jobs.size()) spare.push_back(std::move(picture));
    lock.unlock();
    if (betweenPictures) betweenPictures();
    return true;
}

PicturePrefetch::Counts PicturePrefetch::counts() const
{
    std::lock_guard<std::mutex> lock(mutex);
    return tally;
}
