// Files as users break them: cut short, emptied, replaced by noise, re-coded,
// or with a header that lies about the picture's size. For the fault tests.
#pragma once

#include <string>

// n bytes of noise, the same for the same seed.
std::string randomBytes(size_t n, unsigned seed);

// Rewrites the width and height in a JPEG's frame header (baseline, extended or
// progressive). False when the file has no such header.
bool patchFrameSize(std::string& jpeg, int width, int height);

// Adds copies of the header of a JPEG's last scan before its end marker until
// it has totalScans scans: empty scans, each of which makes a decoder pass
// over every block again. False when the file has no scan or no end marker.
bool padWithEmptyScans(std::string& jpeg, int totalScans);

// Re-codes a JPEG file in place with jpegtran (e.g. "-progressive", "-arithmetic").
// Throws when jpegtran fails.
void recodeJpeg(const std::string& path, const std::string& jpegtranOptions);

// Copies a folder with everything in it.
void copyFolder(const std::string& from, const std::string& to);

// Takes every permission from a file and says whether this process can still
// open it for reading (it can when running as root).
bool makeUnreadable(const std::string& path);
