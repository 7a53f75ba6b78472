// Frames as PNG files.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// Makes the folder (and its parents) if it does not exist, and checks that a
// file can be created in it. Returns false with a message otherwise.
bool prepareFolder(const std::string& folder, std::string* error);

// "DIR/%06u.png" for the frame at t.
std::string framePath(const std::string& folder, uint32_t t);

// Writes 8-bit RGB rows, top row first, as a PNG that appears under path only
// once it is whole. Returns false with "cannot write PATH: <reason>" and leaves
// nothing behind if the file cannot be created or written in full.
bool writePng(const std::string& path, int width, int height, const std::vector<unsigned char>& rgb,
              std::string* error);
