// Encodes a canvas as a baseline RGB JPEG file with libjpeg.
#pragma once

#include "canvas.h"

#include <string>

// Writes the picture at the given quality (1..100) with full-resolution colour
// (no chroma subsampling), so thin coloured lines and mask edges stay sharp.
// The file appears under path only once it is whole. Returns false with
// "cannot write PATH: <reason>" and leaves nothing behind when it cannot be written.
bool writeJpegFile(const std::string& path, const Canvas& canvas, int quality, std::string* error);
