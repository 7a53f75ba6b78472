#include "process.h"

#include "files.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <sstream>
#include <thread>

double nowSeconds()
{
    timespec now;
    clock_gettime(CLOCK_MONOTONIC, &now);
    return now.tv_sec + now.tv_nsec * 1e-9;
}

double secondsSince(double start)
{
    return nowSeconds() - start;
}

// A child starts as a program started from a terminal would: every signal at
// its default disposition and none blocked. A test run from a script's
// background job or under nohup inherits SIGINT, SIGQUIT (and SIGHUP) as
// ignored, and the programs keep what they inherit on purpose; a test that
// wants a signal ignored starts its program under nohup or says so itself.
void restoreDefaultSignals()
{
    for (int number = 1; number < NSIG; ++number) signal(number, SIG_DFL);
    sigset_t none;
    sigemptyset(&none);
    sigprocmask(SIG_SETMASK, &none, nullptr);
}

namespace {

std::string freshOutputPath(const char* what)
{
    static int counter = 0;
    std::ostringstream path;
    path << std::filesystem::temp_directory_path().string() << "/skarvelin-" << what << "-" << getpid() << "-"
         << counter++;
    return path.str();
}

}  // namespace

Process::Process(const std::vector<std::string>& argv, const std::string& cwd,
                 const std::map<std::string, std::string>& env)
    : outPath_(freshOutputPath("out")), errPath_(freshOutputPath("err"))
{
    pid_ = fork();
    if (pid_ == 0) {
        restoreDefaultSignals();
        int out = open(outPath_.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        int err = open(errPath_.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        int in = open("/dev/null", O_RDONLY);
        dup2(in, 0);
        dup2(out, 1);
        dup2(err, 2);
        if (!cwd.empty() && chdir(cwd.c_str()) != 0) _exit(126);
        // The programs find a data set only where the test puts one: not in
        // this user's or this machine's data folders (an installed copy).
        unsetenv("SKARVELIN_DATA");
        setenv("XDG_DATA_HOME", NO_DATA_SET_HERE, 1);
        setenv("XDG_DATA_DIRS", NO_DATA_SET_HERE, 1);
        for (const auto& [name, value] : env) {
            if (value.empty()) unsetenv(name.c_str());
            else setenv(name.c_str(), value.c_str(), 1);
        }
        // Its own process group, so a time-out can end everything it started.
        setpgid(0, 0);
        std::vector<char*> args;
        for (const std::string& arg : argv) args.push_back(const_cast<char*>(arg.c_str()));
        args.push_back(nullptr);
        execvp(args[0], args.data());
        fprintf(stderr, "cannot run %s: %s\n", args[0], strerror(errno));
        _exit(127);
    }
}

Process::~Process()
{
    if (pid_ > 0 && !reaped_) {
        kill(-pid_, SIGKILL);
        kill(pid_, SIGKILL);
        waitpid(pid_, &rawStatus_, 0);
    }
    unlink(outPath_.c_str());
    unlink(errPath_.c_str());
}

bool Process::running()
{
    if (reaped_ || pid_ <= 0) return false;
    if (waitpid(pid_, &rawStatus_, WNOHANG) == pid_) reaped_ = true;
    return !reaped_;
}

std::string Process::errorSoFar() const
{
    return readFile(errPath_);
}

ProcessResult Process::wait(double timeoutSeconds)
{
    ProcessResult result;
    double start = nowSeconds();
    while (running() && secondsSince(start) < timeoutSeconds)
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    if (running()) {
        result.timedOut = true;
        kill(-pid_, SIGKILL);
        kill(pid_, SIGKILL);
        waitpid(pid_, &rawStatus_, 0);
        reaped_ = true;
    }
    if (WIFEXITED(rawStatus_)) {
        result.exited = !result.timedOut;
        result.status = WEXITSTATUS(rawStatus_);
    } else if (WIFSIGNALED(rawStatus_)) {
        result.signal = WTERMSIG(rawStatus_);
    }
    result.out = readFile(outPath_);
    result.err = readFile(errPath_);
    return result;
}

ProcessResult runProcess(const std::vector<std::string>& argv, const std::string& cwd,
                         const std::map<std::string, std::string>& env, double timeoutSeconds)
{
    Process process(argv, cwd, env);
    return process.wait(timeoutSeconds);
}

ProcessResult runOnSmallDisk(const std::vector<std::string>& argv, const std::string& cwd,
                             const std::map<std::string, std::string>& env, const std::string& disk, int kilobytes,
                             const std::string& copyTo, double timeoutSeconds, bool* possible)
{
    constexpr int CANNOT_MOUNT = 97;
    std::vector<std::string> command = {"unshare", "--mount"};
    std::map<std::string, std::string> environment = env;
    if (geteuid() != 0) {
        command.insert(command.begin() + 1, {"--user", "--map-root-user"});
        // Root in the namespace, Mesa would look for its shader cache in
        // root's home, fail and say so.
        environment.emplace("MESA_SHADER_CACHE_DISABLE", "true");
    }
    const std::string script = "mount -t tmpfs -o size=\"$1\"k skarvelin-test \"$2\" || exit " +
                               std::to_string(CANNOT_MOUNT) +
                               "\n"
                               "disk=$2 copy=$3; shift 3\n"
                               "\"$@\"; status=$?\n"
                               "cp -a \"$disk/.\" \"$copy/\"; exit $status";
    command.insert(command.end(), {"sh", "-c", script, "sh", std::to_string(kilobytes), disk, copyTo});
    command.insert(command.end(), argv.begin(), argv.end());
    ProcessResult result = runProcess(command, cwd, environment, timeoutSeconds);
    *possible = !(result.exited && result.status == CANNOT_MOUNT) && result.err.rfind("unshare:", 0) != 0 &&
                result.err.rfind("cannot run unshare", 0) != 0;
    return result;
}

Xvfb::Xvfb(int width, int height)
{
    // Xvfb picks a free display number itself and writes it to the pipe.
    int fds[2];
    if (pipe(fds) != 0) return;
    pid_ = fork();
    if (pid_ == 0) {
        restoreDefaultSignals();
        close(fds[0]);
        int null = open("/dev/null", O_RDWR);
        dup2(null, 0);
        dup2(null, 1);
        dup2(null, 2);
        std::string fd = std::to_string(fds[1]);
        std::string screen = std::to_string(width) + "x" + std::to_string(height) + "x24";
        execlp("Xvfb", "Xvfb", "-displayfd", fd.c_str(), "-screen", "0", screen.c_str(), "-nolisten", "tcp", "-noreset",
               static_cast<char*>(nullptr));
        _exit(127);
    }
    close(fds[1]);
    std::string number;
    double start = nowSeconds();
    pollfd waiting{fds[0], POLLIN, 0};
    while (secondsSince(start) < 20) {
        if (poll(&waiting, 1, 200) > 0) {
            char buffer[32];
            ssize_t n = read(fds[0], buffer, sizeof buffer);
            if (n <= 0) break;
            number.append(buffer, n);
            if (number.find('\n') != std::string::npos) break;
        }
    }
    close(fds[0]);
    while (!number.empty() && (number.back() == '\n' || number.back() == ' ')) number.pop_back();
    if (!number.empty()) display_ = ":" + number;
}

Xvfb::~Xvfb()
{
    if (pid_ > 0) {
        kill(pid_, SIGTERM);
        int status;
        waitpid(pid_, &status, 0);
    }
}

std::string Xvfb::run(const std::vector<std::string>& argv, double timeoutSeconds) const
{
    ProcessResult result = runProcess(argv, "", {{"DISPLAY", display_}}, timeoutSeconds);
    return result.out;
}

std::string Xvfb::waitForWindow(const std::string& title, double timeoutSeconds) const
{
    double start = nowSeconds();
    while (secondsSince(start) < timeoutSeconds) {
        std::string found = run({"xdotool", "search", "--name", "^" + title + "$"});
        std::istringstream lines(found);
        std::string id;
        if (std::getline(lines, id) && !id.empty()) return id;
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    return "";
}

bool Xvfb::windowSize(const std::string& window, int* width, int* height) const
{
    std::string info = run({"xwininfo", "-id", window});
    const char* w = strstr(info.c_str(), "Width: ");
    const char* h = strstr(info.c_str(), "Height: ");
    if (!w || !h) return false;
    *width = atoi(w + 7);
    *height = atoi(h + 8);
    return true;
}

bool Xvfb::screenshot(const std::string& pngPath) const
{
    ProcessResult result = runProcess({"import", "-window", "root", pngPath}, "", {{"DISPLAY", display_}}, 20);
    return result.exited && result.status == 0 && fileExists(pngPath);
}

namespace {

// A number that follows label in xwininfo's report, or false.
bool xwininfoField(const std::string& info, const char* label, int* value)
{
    const size_t at = info.find(label);
    if (at == std::string::npos) return false;
    *value = atoi(info.c_str() + at + strlen(label));
    return true;
}

std::string regionGeometry(int left, int top, int width, int height)
{
    return std::to_string(width) + "x" + std::to_string(height) + "+" + std::to_string(left) + "+" +
           std::to_string(top);
}

}  // namespace

bool Xvfb::windowPixels(const std::string& window, WindowPixels* pixels) const
{
    const std::string info = run({"xwininfo", "-id", window});
    int x = 0, y = 0, width = 0, height = 0;
    if (!xwininfoField(info, "Absolute upper-left X:", &x) || !xwininfoField(info, "Absolute upper-left Y:", &y) ||
        !xwininfoField(info, "Width:", &width) || !xwininfoField(info, "Height:", &height))
        return false;
    const std::string rootInfo = run({"xwininfo", "-root"});
    int screenWidth = 0, screenHeight = 0;
    if (!xwininfoField(rootInfo, "Width:", &screenWidth) || !xwininfoField(rootInfo, "Height:", &screenHeight))
        return false;
    // The window's rectangle clipped to the screen.
    const int x0 = std::max(x, 0), y0 = std::max(y, 0);
    const int x1 = std::min(x + width, screenWidth), y1 = std::min(y + height, screenHeight);
    if (x1 <= x0 || y1 <= y0) return false;
    pixels->left = x0 - x;
    pixels->top = y0 - y;
    pixels->width = x1 - x0;
    pixels->height = y1 - y0;
    const std::string geometry = regionGeometry(x0, y0, pixels->width, pixels->height);
    ProcessResult shot = runProcess({"import", "-window", "root", "-crop", geometry, "-depth", "8", "rgb:-"}, "",
                                    {{"DISPLAY", display_}}, 20);
    pixels->rgb = shot.out;
    return shot.exited && shot.status == 0 &&
           pixels->rgb.size() == static_cast<size_t>(pixels->width) * pixels->height * 3;
}

std::string pictureRegionRgb(const std::string& path, int left, int top, int width, int height)
{
    ProcessResult crop = runProcess({"convert", path, "-crop", regionGeometry(left, top, width, height), "+repage",
                                     "-depth", "8", "rgb:-"},
                                    "");
    return crop.exited && crop.status == 0 ? crop.out : std::string();
}
