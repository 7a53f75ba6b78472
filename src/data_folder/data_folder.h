// Where the programme's data set (its pictures and music.mp3) is read from.
// The scenes' picture rows and the music name files as "data/x.jpg"; a program
// finds the folder that holds its set once, at start, and every file of the
// set is then opened, and named in messages, under that folder.
#pragma once

#include <string>
#include <vector>

// One place a data set was looked for.
struct DataPlace {
    std::string folder;  // the folder that would hold the pictures: "data", "/usr/share/skarvelin/data"
    std::string origin;  // what named it: "--data", "$SKARVELIN_DATA", "the working folder", ...
};

struct DataSearch {
    std::vector<DataPlace> looked;      // every place tried, in order, the one found last
    std::string folder;                 // the first of them that is a folder; empty for none
    std::vector<std::string> warnings;  // "$SKARVELIN_DATA names ..., which is no folder"
};

// Reads an environment variable; null when it is not set.
using EnvironmentLookup = char* (*)(const char* name);

// The folder a data set is taken from, first that is a folder wins:
//   --data DIR (option, empty when not given): DIR/data when that is a
//     folder, else DIR itself; a --data that names no folder finds nothing,
//     as a set named on the command line is that set or none;
//   $SKARVELIN_DATA, as --data, but passed over (with a warning) when it
//     names no folder;
//   data/ under the working folder, as "data", so messages read "data/x.jpg";
//   $XDG_DATA_HOME/skarvelin/data ($HOME/.local/share when unset or empty);
//   each $XDG_DATA_DIRS entry's skarvelin/data (/usr/local/share:/usr/share
//     when unset or empty).
// Relative XDG entries are ignored, as the XDG base directory rules ask. A set
// is taken whole from one folder: no file is looked for anywhere else.
DataSearch findDataSet(const std::string& option, EnvironmentLookup lookup);

// A folder the user names as a data set (--data, $SKARVELIN_DATA,
// skarvelin-data --check DIR): DIR/data when that is a folder (the folder
// skarvelin-data DIR fills), else DIR itself.
std::string dataFolderIn(const std::string& dir);

// A file of the set as a scene's picture rows name it ("data/soya1.jpg"), in the
// data folder folder ("/usr/share/skarvelin/data/soya1.jpg"). Names that do
// not start with "data/", and every name while folder is "data", stay as they are.
std::string dataFileIn(const std::string& folder, const char* name);

// The data folder of this process: "data" until useDataFolder sets another.
void useDataFolder(const std::string& folder);
const std::string& dataFolder();
// dataFileIn(dataFolder(), name).
std::string dataFile(const char* name);

// The lines a program prints when no data set was found: where it looked,
// and commands that make or name a set, fit for where this program runs
// from (its own folder, an installed copy's set beside it, the data tool
// on the PATH or beside it). Paths in commands are quoted for a shell.
std::vector<std::string> noDataSetHint(const DataSearch& search, const char* program, EnvironmentLookup lookup);

// text quoted for a POSIX shell: 'it'\''s'.
std::string shellQuoted(const std::string& text);

// Where the data set is looked for, as the demo's and the renderer's --help say it.
#define DATA_SET_PLACES                                                                  \
    "The data set (the pictures and music.mp3) is read from the first folder there is\n" \
    "of: --data DIR, $SKARVELIN_DATA, data/ in the working folder,\n"                    \
    "$XDG_DATA_HOME/skarvelin/data (~/.local/share/skarvelin/data), each\n"              \
    "$XDG_DATA_DIRS entry's skarvelin/data (/usr/local/share, /usr/share).\n"

// For the demo and the renderer: finds the data set (--data's value in
// option), prints the search's warnings after "program: ", and makes the
// folder found the process's data folder ("data" when none was found).
// False, with a line printed, when --data names no folder: a set named on
// the command line is that set or none.
bool chooseDataFolder(const char* program, const std::string& option, DataSearch* search);

// The manual pages' words on the data set, for the demo and the renderer.
extern const char* const DATA_SET_MANUAL;
