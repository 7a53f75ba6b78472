// The default data set: every picture file the demo loads, read from the
// picture rows of the programme's scenes (shell/programme.h), and the soundtrack.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

struct PictureFile {
    std::string path;  // as the demo opens it, "data/slut1_alfa.jpg"
    std::string stem;  // "slut1_alfa"
    bool mask;         // an opacity picture for other colour pictures
};

// Every distinct picture file of the programme's scenes, in the order of loading.
// A file named as the alpha of a row with a different colour file is a mask;
// a file that is its own alpha is a colour picture.
std::vector<PictureFile> pictureFiles();

struct DataSetSummary {
    int files = 0;       // written
    uint64_t bytes = 0;  // written
    int kept = 0;        // already there and left alone
};

// How far the writing has come, for a progress line.
struct DataSetProgress {
    int pictures = 0;        // done (written or kept)
    int pictureCount = 0;    // in all
    const char* music = "";  // what the music is at: "composing", "encoding", "done" or "kept"
};

// Writes DIR/data/ with every picture and music.mp3, creating folders as
// needed. Files already there are kept (they may be the user's own) unless
// force is set. Each file appears under its name only once it is whole.
// Calls progress (when given) on the calling thread after each picture and
// about ten times a second while the music is still being made.
// Returns false with a message when something cannot be made or written.
bool writeDataSet(const std::string& dir, bool force, DataSetSummary& summary, std::string* error,
                  const std::function<void(const DataSetProgress&)>& progress = {});
