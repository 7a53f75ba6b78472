// skarvelin-data --check: reads a data set as the demo will, with the
// loader's own decoder and limits and the player's own way of opening the
// music, and names each file that will not show or play as the user expects.
#pragma once

#include <string>
#include <vector>

// The texture side the check assumes the graphics driver takes: the driver's
// own limit is only known with an OpenGL context, and this is what most
// drivers (Mesa's among them) give.
constexpr int ASSUMED_TEXTURE_SIDE = 16384;

struct DataSetCheck {
    int files = 0;    // files looked at: every picture once, and the music
    int failing = 0;  // files that will not show or play as expected
    // One line for each of them (one for all when there is no data/), then
    // the notes, which do not count: "FILE: note: ..." for what shows as
    // meant but may surprise (a portrait picture drawn stretched, music
    // that goes on past the programme's end).
    std::vector<std::string> problems;
};

// Checks the data set in folder: every picture file of the demo's picture
// table, in loading order, then the music. The lines name the files as the
// demo does ("data/soya1.jpg") when folder is "data", else under folder.
DataSetCheck checkDataSet(const std::string& folder);

// The orientation (tag 0x0112 of the first directory) in an Exif segment's
// TIFF data, as the check reads it: 1, upright, when there is none or it
// cannot be read.
int exifOrientation(const std::string& tiff);
