#include "picture_set.h"

#include "files.h"
#include "image/sprite_group.h"
#include "shell/loading.h"

#include <sys/stat.h>

#include <algorithm>
#include <stdexcept>

std::vector<std::string> pictureFiles()
{
    std::vector<std::string> files;
    auto add = [&files](const char* file) {
        if (file && std::find(files.begin(), files.end(), file) == files.end()) files.push_back(file);
    };
    for (const SpriteGroup* group : spriteGroupsInLoadingOrder())
        for (size_t i = 0; i < group->count; ++i) {
            add(group->rows[i].colour);
            add(group->rows[i].alpha);
        }
    return files;
}

size_t pictureTableRows()
{
    size_t rows = 0;
    for (const SpriteGroup* group : spriteGroupsInLoadingOrder()) rows += group->count;
    return rows;
}

Rgb pictureColour(const std::string& file)
{
    const std::vector<std::string> files = pictureFiles();
    const auto found = std::find(files.begin(), files.end(), file);
    if (found == files.end()) throw std::runtime_error("not a picture of the table: " + file);
    // Five levels a channel, 52 apart: 125 colours that stay apart after JPEG coding.
    static const int LEVELS[5] = {24, 76, 128, 180, 232};
    const int i = static_cast<int>(found - files.begin());
    return Rgb{LEVELS[i % 5], LEVELS[i / 5 % 5], LEVELS[i / 25 % 5]};
}

void writePictureSet(const std::string& folder, int size)
{
    mkdir((folder + "/data").c_str(), 0755);
    for (const std::string& file : pictureFiles()) {
        const Rgb c = pictureColour(file);
        writeSolidJpeg(folder + "/" + file, size, size, c.r, c.g, c.b);
    }
}
