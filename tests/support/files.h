// Small file helpers for tests: temporary folders, JPEG writing, whole-file reads.
#pragma once

#include <string>
#include <vector>

// A fresh folder under the system's temporary folder, removed with its contents on destruction.
class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    const std::string& path() const { return path_; }
    std::string operator/(const std::string& name) const { return path_ + "/" + name; }

private:
    std::string path_;
};

// Writes an RGB (components 3), greyscale (1) or CMYK (4) JPEG with libjpeg.
void writeJpeg(const std::string& path, int width, int height, const std::vector<unsigned char>& pixels,
               int components = 3, int quality = 95);
// A picture of one colour.
void writeSolidJpeg(const std::string& path, int width, int height, int r, int g, int b);

void writeFile(const std::string& path, const std::string& bytes);
std::string readFile(const std::string& path);
bool fileExists(const std::string& path);
// True when one whole line of text equals line.
bool hasLine(const std::string& text, const std::string& line);

// Where the built programs are.
std::string binaryPath(const std::string& program);
