// The programme's running order: which scenes draw a frame at time t.
#pragma once

#include "programme/schedule_row.h"
#include "programme/time.h"

#include <cstdint>
#include <vector>

// Every window of the programme's scenes, by start time: where windows
// overlap, the one that starts first draws first. Made from the programme's
// list (shell/programme.h).
extern const std::vector<ScheduleRow> SCHEDULE;

// Clears the frame, calls every scene whose window holds t in table order,
// then lays the film-noise overlay over everything.
void renderFrame(uint32_t t);
