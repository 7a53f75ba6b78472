#include "programme/time.h"

const float PHASE_SCALE = 0.00066666666f;
