#include "pictures.h"

#include <cctype>

void splitStem(const std::string& stem, std::string& word, int& number)
{
    size_t end = stem.size();
    while (end > 0 && std::isdigit(static_cast<unsigned char>(stem[end - 1]))) --end;
    word = stem.substr(0, end);
    number = end < stem.size() ? std::stoi(stem.substr(end)) : -1;
}

bool paintPicture(const std::string& stem, bool mask, Canvas& out)
{
    if (mask) return paintOverlay(stem, true, out);
    return paintCard(stem, out) || paintOverlay(stem, false, out) || paintTexture(stem, out);
}
