#include "shell/clock.h"

#include <sys/time.h>

#include <cmath>

int clockStartSec = 0;
int clockStartUsec = 0;

int32_t elapsedMs(long sec, long usec, int startSec, int startUsec)
{
    double now = sec * 1000.0 + usec * 0.001;
    double start = startSec * 1000.0 + startUsec * 0.001;
    double elapsed = std::trunc(now - start);
    // The conversion to int is only defined inside int's range; a clock that
    // has jumped by more than 24 days saturates instead of wrapping at random.
    if (elapsed >= 2147483647.0) return INT32_MAX;
    if (elapsed <= -2147483648.0) return INT32_MIN;
    return static_cast<int32_t>(elapsed);
}

void originBefore(long sec, long usec, int32_t ms, int* startSec, int* startUsec)
{
    const long long micros = static_cast<long long>(sec) * 1000000 + usec - static_cast<long long>(ms) * 1000;
    *startSec = static_cast<int>(micros / 1000000);
    *startUsec = static_cast<int>(micros % 1000000);
}

void startClockAt(int32_t ms)
{
    struct timeval tv;
    gettimeofday(&tv, nullptr);
    originBefore(tv.tv_sec, tv.tv_usec, ms, &clockStartSec, &clockStartUsec);
}

int32_t currentTimeMs()
{
    struct timeval tv;
    struct timezone tz;
    gettimeofday(&tv, &tz);
    // Only the seconds field tells whether the origin has been latched.
    if (clockStartSec == 0) {
        clockStartSec = static_cast<int>(tv.tv_sec);
        clockStartUsec = static_cast<int>(tv.tv_usec);
    }
    return elapsedMs(tv.tv_sec, tv.tv_usec, clockStartSec, clockStartUsec);
}
