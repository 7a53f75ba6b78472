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

// Writes 8-bit RGB rows, top row first, as a PNG. Returns false with a message
// if the file cannot be created or written in full.
bool writePng(const std::string& path, int width, int height, const std::vector<unsigned char>& rgb,
              std::string* error);
