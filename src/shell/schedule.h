// The programme's running order: which scenes draw a frame at time t.
#pragma once

#include "programme/schedule_row.h"
#include "programme/time.h"

#include <cstdint>

constexpr int SCHEDULE_ROWS = 10;
extern const ScheduleRow SCHEDULE[SCHEDULE_ROWS];

// Clears the frame, calls every scene whose window holds t in table order,
// then lays the film-noise overlay over everything.
void renderFrame(uint32_t t);
