// Runs the real programs: a child process with its own working folder,
// environment additions, captured output and a time limit; and a private Xvfb.
#pragma once

#include <map>
#include <string>
#include <vector>

struct ProcessResult {
    bool exited = false;    // ended by exit() rather than a signal or the time limit
    int status = -1;        // exit status when exited
    int signal = 0;         // the signal that ended it, if any
    bool timedOut = false;  // killed at the time limit
    std::string out;
    std::string err;
};

// Where the programs the tests start look for data sets beyond their working
// folder, unless the test's env says otherwise: a folder that is not there.
constexpr const char* NO_DATA_SET_HERE = "/nonexistent/skarvelin-tests";

class Process {
public:
    // Starts argv[0] (a path) in folder cwd, with the parent's environment,
    // SKARVELIN_DATA unset and XDG_DATA_HOME and XDG_DATA_DIRS set to
    // NO_DATA_SET_HERE, plus env (an empty value unsets the variable), every signal at its default
    // disposition and none blocked, whatever the test process inherited (to
    // have SIGHUP ignored, start the program under nohup).
    Process(const std::vector<std::string>& argv, const std::string& cwd,
            const std::map<std::string, std::string>& env = {});
    ~Process();
    Process(const Process&) = delete;
    Process& operator=(const Process&) = delete;

    bool running();
    // Waits up to timeoutSeconds, then kills it; returns what happened.
    ProcessResult wait(double timeoutSeconds);
    // The standard error written so far.
    std::string errorSoFar() const;
    int pid() const { return pid_; }

private:
    int pid_ = -1;
    bool reaped_ = false;
    int rawStatus_ = 0;
    std::string outPath_;
    std::string errPath_;
};

// Runs to the end (or the time limit) and returns what happened.
ProcessResult runProcess(const std::vector<std::string>& argv, const std::string& cwd,
                         const std::map<std::string, std::string>& env = {}, double timeoutSeconds = 60);

// Runs argv as runProcess does, but with a fresh file system of `kilobytes`
// (tmpfs) over the folder `disk`, which must exist. The mount lives in a
// private mount namespace (and a user namespace when not root), so no root is
// needed and nothing outside sees it; what the disk holds when argv ends is
// copied into the folder copyTo. *possible is false when such a namespace
// cannot be made here.
ProcessResult runOnSmallDisk(const std::vector<std::string>& argv, const std::string& cwd,
                             const std::map<std::string, std::string>& env, const std::string& disk, int kilobytes,
                             const std::string& copyTo, double timeoutSeconds, bool* possible);

// A private X server on a free display number, torn down on destruction.
class Xvfb {
public:
    Xvfb(int width = 640, int height = 480);
    ~Xvfb();
    Xvfb(const Xvfb&) = delete;
    Xvfb& operator=(const Xvfb&) = delete;

    bool ok() const { return !display_.empty(); }
    const std::string& display() const { return display_; }  // ":N"

    // Runs an X client command line (xdotool, xwininfo...) on this display; returns its output.
    std::string run(const std::vector<std::string>& argv, double timeoutSeconds = 10) const;
    // Waits for a window with this exact title; returns its id or "" after the time limit.
    std::string waitForWindow(const std::string& title, double timeoutSeconds = 20) const;
    // Width and height of a window as the X server sees it.
    bool windowSize(const std::string& window, int* width, int* height) const;
    // Saves the whole screen as a PNG (needs ImageMagick's import); false if it could not.
    bool screenshot(const std::string& pngPath) const;
    // The part of a window that is on the screen, as the screen shows it.
    // With no window manager a window sits at (-1, -1), so its first column
    // and row are off screen: left and top say which of its pixels come first.
    struct WindowPixels {
        int left = 0, top = 0, width = 0, height = 0;
        std::string rgb;  // 8-bit RGB, top row first
    };
    // Needs ImageMagick; false if the window or the screen could not be read.
    bool windowPixels(const std::string& window, WindowPixels* pixels) const;

private:
    int pid_ = -1;
    std::string display_;
};

// The same part of a picture file (a frame the renderer wrote) as 8-bit RGB,
// top row first; empty if it could not be read.
std::string pictureRegionRgb(const std::string& path, int left, int top, int width, int height);

// Puts every signal back to its default disposition and unblocks them all: what
// a child of the tests starts with.
void restoreDefaultSignals();

double secondsSince(double start);
double nowSeconds();
