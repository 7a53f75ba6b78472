// Encodes 16-bit stereo samples as a constant-bit-rate MP3 file with LAME.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// `interleaved` holds left, right, left, right... at `rate` samples per second.
// The file appears under path only once it is whole. Returns false with a
// message ("cannot write PATH: <reason>" for a write error) and leaves nothing
// behind when encoding or writing fails.
bool writeMp3File(const std::string& path, const std::vector<int16_t>& interleaved, int rate, std::string* error);
