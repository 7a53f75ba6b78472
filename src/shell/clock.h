// The demo's single time base: milliseconds since the music started.
#pragma once

#include <cstdint>

// Seconds and microseconds of the clock's origin; 0 seconds means "not latched yet".
extern int clockStartSec;
extern int clockStartUsec;

// Milliseconds since the origin, latching the origin on the first call.
int32_t currentTimeMs();

// Latches the origin ms milliseconds before now, so that currentTimeMs() reads
// ms at once: the programme started later into its course.
void startClockAt(int32_t ms);

// The origin ms milliseconds before the reading (sec, usec), as seconds and microseconds.
void originBefore(long sec, long usec, int32_t ms, int* startSec, int* startUsec);

// The arithmetic of currentTimeMs for a given reading and origin:
// (sec*1000 + usec*0.001) - (startSec*1000 + startUsec*0.001), in double,
// truncated toward zero into a signed 32-bit int.
int32_t elapsedMs(long sec, long usec, int startSec, int startUsec);
