// Files that are whole or absent. A file is written under a temporary name in
// its own folder and renamed to its name only once it is complete; a failure
// removes the temporary file, and so does a signal that ends the program
// (SIGINT, SIGQUIT, SIGTERM, SIGHUP) once removeTemporaryFilesOnSignals() has
// been called. Both tools write every file this way.
#pragma once

#include <spawn.h>
#include <sys/types.h>

#include <cstdio>
#include <string>

// Installs the handler that, when one of those signals arrives, kills the
// child started by spawnChildKilledOnSignal (unless forgetChildOnSignal came
// since), removes every temporary file still open and then ends the program by
// the same signal. A signal that is ignored
// when this is called (nohup, a background job) stays ignored. Call early in main.
void removeTemporaryFilesOnSignals();

// Starts a program as posix_spawnp does, with the caller's signal mask, as
// the child (the video encoder, which writes a temporary file of ours) that a
// signal kills before the files are removed. A signal that comes while it is
// being started waits until it is known, so it is never left running alone.
// Returns posix_spawnp's result.
int spawnChildKilledOnSignal(pid_t* child, const char* program, const posix_spawn_file_actions_t* actions,
                             char* const argv[]);
// No child to kill any more: called before waiting for it, so that a signal
// never kills a process id that has become someone else's.
void forgetChildOnSignal();

// "cannot write PATH: <the system's reason>".
std::string cannotWrite(const std::string& path, int errorNumber);

class TemporaryFile {
public:
    TemporaryFile() = default;
    // Closes and removes the file unless it was renamed.
    ~TemporaryFile();
    TemporaryFile(const TemporaryFile&) = delete;
    TemporaryFile& operator=(const TemporaryFile&) = delete;

    // Creates a new, empty file FOLDER/PREFIX<process id>-<n>SUFFIX that no one
    // else has and opens it for writing. False with the system's error number
    // when it cannot.
    bool create(const std::string& folder, const std::string& prefix, const std::string& suffix, int* errorNumber);

    const std::string& path() const { return path_; }
    FILE* file() const { return file_; }

    // Closes the file, reporting what the last buffered writes hit: errors
    // name the file as shownAs.
    bool close(const std::string& shownAs, std::string* error);
    // Closes the file and gives it the name path (replacing what is there).
    bool renameTo(const std::string& path, std::string* error);
    // Closes and removes the file.
    void remove();

private:
    std::string path_;
    FILE* file_ = nullptr;
    int ticket_ = -1;  // its place among the files a signal removes
};

// A file that appears under path only when finish() succeeds. Until then it is
// written under a hidden name beside it, ".NAME.partial-<pid>-<n>.EXT", which
// keeps the extension for programs that read the format from it.
class WholeFile {
public:
    explicit WholeFile(std::string path) : path_(std::move(path)) {}

    // Creates the temporary file, open for writing.
    bool create(std::string* error);
    // The file to write to, and the name under which it is being written.
    FILE* file() const { return temporary_.file(); }
    const std::string& temporaryPath() const { return temporary_.path(); }
    const std::string& path() const { return path_; }

    // Closes the temporary file and renames it to path; on failure removes it.
    bool finish(std::string* error);
    // Removes the temporary file (also done by the destructor).
    void abandon() { temporary_.remove(); }

private:
    std::string path_;
    TemporaryFile temporary_;
};
