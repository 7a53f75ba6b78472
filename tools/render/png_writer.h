// Frames as PNG files.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// Makes the folder (and its parents) if it does not exist, and checks that a
// file can be created in it. Returns false with a message otherwise.
bool prepareFolder(const std::string& folder, std::string* error);

// "DIR/%06u.png" for the frame named by number: its millisecond, or its
// place in the run.
std::string framePath(const std::string& folder, uint64_t number);

// The list beside the frames: a line per file, its name and its millisecond.
constexpr const char* FRAME_LIST_NAME = "frames.txt";
struct ListedFrame {
    std::string name;  // "000042.png"
    uint32_t t;
};
// Writes FOLDER/frames.txt whole, as writePng writes a frame.
bool writeFrameList(const std::string& folder, const std::vector<ListedFrame>& frames, std::string* error);

// Writes 8-bit RGB rows, top row first, as a PNG that appears under path only
// once it is whole. Returns false with "cannot write PATH: <reason>" and leaves
// nothing behind if the file cannot be created or written in full.
bool writePng(const std::string& path, int width, int height, const std::vector<unsigned char>& rgb,
              std::string* error);
