#include "shell/heap.h"

#include <malloc.h>

void keepFreedMemoryForReuse()
{
    // Setting the thresholds also turns off glibc's adaptive adjustment of them.
    mallopt(M_MMAP_THRESHOLD, 64 << 20);
    mallopt(M_TRIM_THRESHOLD, 256 << 20);
}
