#include "programme/schedule_row.h"

bool rowContains(const ScheduleRow& row, uint32_t t)
{
    return row.first <= t && t <= row.last;
}
