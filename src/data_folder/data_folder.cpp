#include "data_folder/data_folder.h"

#include <sys/stat.h>
#include <unistd.h>

#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

const char* const WORKING_FOLDER_SET = "data";
const char* const SET_UNDER_SHARE = "skarvelin/data";

std::string processDataFolder = WORKING_FOLDER_SET;

bool isFolder(const std::string& path)
{
    struct stat info;
    return stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

bool isExecutable(const std::string& path)
{
    struct stat info;
    return stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode) && access(path.c_str(), X_OK) == 0;
}

// a/b without a doubled slash; "." as the parent adds nothing.
std::string joined(const std::string& parent, const std::string& child)
{
    if (parent.empty() || parent == ".") return child;
    return parent.back() == '/' ? parent + child : parent + "/" + child;
}

std::string variable(EnvironmentLookup lookup, const char* name)
{
    const char* value = lookup(name);
    return value ? value : "";
}

std::string home(EnvironmentLookup lookup)
{
    return variable(lookup, "HOME");
}

std::string dataHome(EnvironmentLookup lookup)
{
    const std::string set = variable(lookup, "XDG_DATA_HOME");
    if (!set.empty() && set[0] == '/') return set;
    return home(lookup).empty() ? "" : joined(home(lookup), ".local/share");
}

std::vector<std::string> dataDirs(EnvironmentLookup lookup)
{
    std::string list = variable(lookup, "XDG_DATA_DIRS");
    if (list.empty()) list = "/usr/local/share:/usr/share";
    std::vector<std::string> dirs;
    size_t start = 0;
    for (;;) {
        const size_t colon = list.find(':', start);
        const std::string entry = list.substr(start, colon == std::string::npos ? std::string::npos : colon - start);
        if (!entry.empty() && entry[0] == '/') dirs.push_back(entry);
        if (colon == std::string::npos) break;
        start = colon + 1;
    }
    return dirs;
}

std::string workingFolder()
{
    char cwd[PATH_MAX];
    return getcwd(cwd, sizeof cwd) ? cwd : ".";
}

// The folder this program's file is in; empty when it cannot be read.
std::string programFolder()
{
    char path[PATH_MAX];
    const ssize_t length = readlink("/proc/self/exe", path, sizeof path - 1);
    if (length <= 0) return "";
    const std::string file(path, static_cast<size_t>(length));
    const size_t slash = file.rfind('/');
    return slash == std::string::npos || slash == 0 ? "/" : file.substr(0, slash);
}

// The folder of the PATH entry that holds program, empty for none.
std::string folderOnPath(const char* program, EnvironmentLookup lookup)
{
    const std::string path = variable(lookup, "PATH");
    size_t start = 0;
    for (;;) {
        const size_t colon = path.find(':', start);
        const std::string entry = path.substr(start, colon == std::string::npos ? std::string::npos : colon - start);
        if (!entry.empty() && isExecutable(joined(entry, program))) return entry;
        if (colon == std::string::npos) return "";
        start = colon + 1;
    }
}

bool sameFile(const std::string& a, const std::string& b)
{
    struct stat first, second;
    return stat(a.c_str(), &first) == 0 && stat(b.c_str(), &second) == 0 && first.st_dev == second.st_dev &&
           first.st_ino == second.st_ino;
}

// How to start program, which sits in folder: its bare name when the PATH
// finds that very file, else its path.
std::string command(const std::string& folder, const char* program, EnvironmentLookup lookup)
{
    const std::string file = joined(folder, program);
    const std::string onPath = folderOnPath(program, lookup);
    if (!onPath.empty() && sameFile(joined(onPath, program), file)) return program;
    return shellQuoted(file);
}

}  // namespace

std::string dataFolderIn(const std::string& dir)
{
    const std::string nested = joined(dir, WORKING_FOLDER_SET);
    return isFolder(nested) ? nested : dir;
}

DataSearch findDataSet(const std::string& option, EnvironmentLookup lookup)
{
    DataSearch search;
    auto tryPlace = [&search](const std::string& folder, const std::string& origin) {
        search.looked.push_back({folder, origin});
        if (!isFolder(folder)) return false;
        search.folder = folder;
        return true;
    };
    // A set the user names on the command line is that set or none.
    if (!option.empty()) {
        tryPlace(dataFolderIn(option), "--data");
        return search;
    }
    const std::string named = variable(lookup, "SKARVELIN_DATA");
    if (!named.empty()) {
        if (tryPlace(dataFolderIn(named), "$SKARVELIN_DATA")) return search;
        search.warnings.push_back("$SKARVELIN_DATA is " + named + ", which is no folder; looking further");
    }
    if (tryPlace(WORKING_FOLDER_SET, "the working folder")) return search;
    const std::string userData = dataHome(lookup);
    if (!userData.empty() && tryPlace(joined(userData, SET_UNDER_SHARE), "$XDG_DATA_HOME")) return search;
    for (const std::string& dir : dataDirs(lookup))
        if (tryPlace(joined(dir, SET_UNDER_SHARE), "$XDG_DATA_DIRS")) return search;
    return search;
}

std::string dataFileIn(const std::string& folder, const char* name)
{
    const size_t prefix = std::strlen(WORKING_FOLDER_SET) + 1;
    if (folder == WORKING_FOLDER_SET || std::strncmp(name, "data/", prefix) != 0) return name;
    return joined(folder, name + prefix);
}

void useDataFolder(const std::string& folder)
{
    processDataFolder = folder;
}

const std::string& dataFolder()
{
    return processDataFolder;
}

std::string dataFile(const char* name)
{
    return dataFileIn(processDataFolder, name);
}

std::string shellQuoted(const std::string& text)
{
    std::string quoted = "'";
    for (char c : text) quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return quoted + "'";
}

std::vector<std::string> noDataSetHint(const DataSearch& search, const char* program, EnvironmentLookup lookup)
{
    std::string places;
    for (size_t i = 0; i < search.looked.size(); ++i) {
        const DataPlace& place = search.looked[i];
        places += i == 0 ? "" : i + 1 == search.looked.size() ? " nor " : ", ";
        places += place.folder == WORKING_FOLDER_SET ? "data/ in " + workingFolder() : place.folder;
    }
    std::vector<std::string> lines = {"no data set (the pictures and music.mp3) in " + places};

    // An installed copy whose prefix is not among $XDG_DATA_DIRS: its own set
    // is beside it, under share/.
    const std::string folder = programFolder();
    const std::string installed = folder.empty() ? "" : joined(folder, "../share/skarvelin/data");
    if (!installed.empty() && isFolder(installed)) {
        char resolved[PATH_MAX];
        const std::string set = realpath(installed.c_str(), resolved) ? resolved : installed;
        const std::string share = set.substr(0, set.size() - std::strlen("/skarvelin/data"));
        lines.push_back("the set installed with " + std::string(program) + " is in " + set + ": name it with --data " +
                        shellQuoted(set) + ", or run it as XDG_DATA_DIRS=" + shellQuoted(share) + " " +
                        command(folder, program, lookup));
        return lines;
    }
    // Made in $XDG_DATA_HOME, a set is found from every folder.
    const std::string userData = dataHome(lookup);
    const std::string target = userData.empty() ? workingFolder() : joined(userData, "skarvelin");
    const std::string tool = isExecutable(joined(folder, "skarvelin-data")) ? command(folder, "skarvelin-data", lookup)
                                                                            : std::string("skarvelin-data");
    lines.push_back("--data DIR names a set elsewhere; make the default set with: " + tool + " " + shellQuoted(target));
    return lines;
}

bool chooseDataFolder(const char* program, const std::string& option, DataSearch* search)
{
    *search = findDataSet(option, std::getenv);
    for (const std::string& warning : search->warnings) std::fprintf(stderr, "%s: %s\n", program, warning.c_str());
    if (!option.empty() && search->folder.empty()) {
        std::fprintf(stderr, "%s: --data %s: there is no such folder\n", program, option.c_str());
        return false;
    }
    useDataFolder(search->folder.empty() ? WORKING_FOLDER_SET : search->folder);
    return true;
}

const char* const DATA_SET_MANUAL =
    "The data set is 112 JPEG pictures and music.mp3 in one folder, with the names\n"
    "the programme loads (skarvelin-data writes the default set; skarvelin-data\n"
    "--check DIR says which files of a set will not show or play as expected). It\n"
    "is taken whole from the first of these that is a folder:\n"
    "\n"
    "  --data DIR           DIR/data, or DIR itself when it has no data/\n"
    "  $SKARVELIN_DATA      the same, passed over when it names no folder\n"
    "  data/                in the working folder\n"
    "  $XDG_DATA_HOME/skarvelin/data    ~/.local/share/skarvelin/data when unset\n"
    "  $XDG_DATA_DIRS       each entry's skarvelin/data, in order;\n"
    "                       /usr/local/share and /usr/share when unset\n"
    "\n"
    "An installed copy's set is share/skarvelin/data under its prefix, found where\n"
    "that share/ is among $XDG_DATA_DIRS (as /usr/local/share and /usr/share are when\n"
    "it is unset). Messages name each file in the folder it was read from.\n";
