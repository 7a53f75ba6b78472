#include "broken_files.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <random>
#include <stdexcept>

std::string randomBytes(size_t n, unsigned seed)
{
    std::mt19937 generator(seed);
    std::string bytes(n, '\0');
    for (char& byte : bytes) byte = static_cast<char>(generator() & 0xFF);
    return bytes;
}

bool patchFrameSize(std::string& jpeg, int width, int height)
{
    for (size_t i = 2; i + 8 < jpeg.size(); ++i) {
        const unsigned char a = jpeg[i], b = jpeg[i + 1];
        if (a == 0xFF && (b == 0xC0 || b == 0xC1 || b == 0xC2 || b == 0xC9 || b == 0xCA)) {
            jpeg[i + 5] = static_cast<char>(height >> 8);
            jpeg[i + 6] = static_cast<char>(height & 0xFF);
            jpeg[i + 7] = static_cast<char>(width >> 8);
            jpeg[i + 8] = static_cast<char>(width & 0xFF);
            return true;
        }
    }
    return false;
}

bool padWithEmptyScans(std::string& jpeg, int totalScans)
{
    // Entropy-coded data never holds 0xFF 0xDA: its 0xFF bytes are stuffed.
    int scans = 0;
    size_t last = std::string::npos;
    for (size_t at = jpeg.find("\xFF\xDA"); at != std::string::npos; at = jpeg.find("\xFF\xDA", at + 2), ++scans)
        last = at;
    if (last == std::string::npos || last + 4 > jpeg.size() || jpeg.compare(jpeg.size() - 2, 2, "\xFF\xD9") != 0)
        return false;
    const size_t length = static_cast<unsigned char>(jpeg[last + 2]) << 8 | static_cast<unsigned char>(jpeg[last + 3]);
    for (; scans < totalScans; ++scans) jpeg.insert(jpeg.size() - 2, jpeg.substr(last, 2 + length));
    return true;
}

void recodeJpeg(const std::string& path, const std::string& jpegtranOptions)
{
    const std::string temporary = path + ".recoded";
    const std::string command = "jpegtran " + jpegtranOptions + " -outfile '" + temporary + "' '" + path + "' && mv '" +
                                temporary + "' '" + path + "'";
    if (std::system(command.c_str()) != 0) throw std::runtime_error("jpegtran failed: " + command);
}

void copyFolder(const std::string& from, const std::string& to)
{
    std::filesystem::copy(from, to, std::filesystem::copy_options::recursive);
}

bool makeUnreadable(const std::string& path)
{
    chmod(path.c_str(), 0);
    const int fd = open(path.c_str(), O_RDONLY);
    if (fd < 0) return false;
    close(fd);
    return true;
}
