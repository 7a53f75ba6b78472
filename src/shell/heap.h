// How the process's heap hands memory back to the system.
#pragma once

// Keeps freed memory in the process for reuse instead of trimming it back to
// the system. The software OpenGL renderer allocates and frees large buffers
// every frame; with glibc's default, adaptive thresholds those buffers can end
// up trimmed and faulted in again on every draw, which made the banded scenes
// several times slower depending only on which frame came first.
void keepFreedMemoryForReuse();
