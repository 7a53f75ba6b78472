#include "shell/schedule.h"

#include "image/image_wrapper.h"
#include "scenes/frame.h"
#include "shell/programme.h"

#include <GL/gl.h>

#include <algorithm>

namespace {

std::vector<ScheduleRow> scheduleFromProgramme()
{
    std::vector<ScheduleRow> rows;
    for (const SceneUnit* unit : programmeUnits())
        rows.insert(rows.end(), unit->windows, unit->windows + unit->windowCount);
    std::stable_sort(rows.begin(), rows.end(),
                     [](const ScheduleRow& a, const ScheduleRow& b) { return a.first < b.first; });
    return rows;
}

}  // namespace

// Two windows overlap, 10126..10650: the credits draw first, the twist column after them.
const std::vector<ScheduleRow> SCHEDULE = scheduleFromProgramme();

void renderFrame(uint32_t t)
{
    glLoadIdentity();
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    for (const ScheduleRow& row : SCHEDULE)
        if (rowContains(row, t)) row.scene(t);
    noise[t & 1]->drawBlended();
}
