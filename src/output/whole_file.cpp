#include "whole_file.h"

#include <fcntl.h>
#include <limits.h>
#include <pthread.h>
#include <signal.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <iterator>

extern char** environ;

namespace {

// The temporary files a signal must remove, as plain data the handler can
// read. A slot is claimed, its path copied in, and only then marked live; the
// handler removes live ones only, so it never reads a path half written.
constexpr int FREE = 0, CLAIMED = 1, LIVE = 2;
struct Slot {
    std::atomic<int> state{FREE};
    char path[PATH_MAX];
};
// Far more than are ever open at once: a frame per PNG writer, the video and
// its encoder's log, a picture and the music.
Slot slots[64];
std::atomic<pid_t> childToKill{-1};
// A child is being started; its process id is not known yet.
std::atomic<bool> spawning{false};
std::atomic<bool> dying{false};

const int CLEANUP_SIGNALS[] = {SIGINT, SIGQUIT, SIGTERM, SIGHUP};

void removeAndDie(int signalNumber)
{
    dying = true;
    // The thread starting a child holds these signals back, so this runs on
    // another thread: wait (a few milliseconds, at most two seconds) to know
    // the child, or it would outlive us and finish its file.
    for (int waited = 0; spawning && waited < 2000; ++waited) {
        const timespec millisecond{0, 1000000};
        nanosleep(&millisecond, nullptr);
    }
    const pid_t child = childToKill.exchange(-1);
    if (child > 0) {
        // Killed outright: an encoder told to stop would still finish its file.
        kill(child, SIGKILL);
        waitpid(child, nullptr, 0);
    }
    for (Slot& slot : slots) {
        // A path being copied in belongs to a file not yet created; its
        // creator sees dying and removes it itself.
        if (slot.state.load() == LIVE) unlink(slot.path);
    }
    signal(signalNumber, SIG_DFL);
    raise(signalNumber);
}

// Returns the slot that now holds path, or -1 when there is none free or the path is too long.
int rememberForSignals(const std::string& path)
{
    if (path.size() >= PATH_MAX) return -1;
    for (int i = 0; i < static_cast<int>(std::size(slots)); ++i) {
        int expected = FREE;
        if (!slots[i].state.compare_exchange_strong(expected, CLAIMED)) continue;
        std::memcpy(slots[i].path, path.c_str(), path.size() + 1);
        slots[i].state = LIVE;
        return i;
    }
    return -1;
}

void forgetForSignals(int* ticket)
{
    if (*ticket >= 0) slots[*ticket].state = FREE;
    *ticket = -1;
}

// The longest file name most file systems take.
constexpr size_t NAME_MAX_BYTES = 255;

}  // namespace

void removeTemporaryFilesOnSignals()
{
    for (int number : CLEANUP_SIGNALS) {
        struct sigaction current;
        if (sigaction(number, nullptr, &current) != 0 || current.sa_handler == SIG_IGN) continue;
        struct sigaction action {};
        action.sa_handler = removeAndDie;
        sigemptyset(&action.sa_mask);
        // The other cleanup signals wait while one is being handled.
        for (int other : CLEANUP_SIGNALS) sigaddset(&action.sa_mask, other);
        action.sa_flags = SA_RESTART;
        sigaction(number, &action, nullptr);
    }
}

int spawnChildKilledOnSignal(pid_t* child, const char* program, const posix_spawn_file_actions_t* actions,
                             char* const argv[])
{
    sigset_t cleanup, previous;
    sigemptyset(&cleanup);
    for (int number : CLEANUP_SIGNALS) sigaddset(&cleanup, number);
    pthread_sigmask(SIG_BLOCK, &cleanup, &previous);
    spawning = true;
    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    posix_spawnattr_setsigmask(&attributes, &previous);
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSIGMASK);
    const int result = posix_spawnp(child, program, actions, &attributes, argv, environ);
    posix_spawnattr_destroy(&attributes);
    if (result == 0) childToKill = *child;
    spawning = false;
    pthread_sigmask(SIG_SETMASK, &previous, nullptr);
    return result;
}

void forgetChildOnSignal()
{
    childToKill = -1;
}

std::string cannotWrite(const std::string& path, int errorNumber)
{
    return "cannot write " + path + ": " + std::strerror(errorNumber);
}

TemporaryFile::~TemporaryFile()
{
    remove();
}

bool TemporaryFile::create(const std::string& folder, const std::string& prefix, const std::string& suffix,
                           int* errorNumber)
{
    remove();
    static std::atomic<unsigned long> counter{0};
    const std::string start = folder.empty() ? prefix : folder + "/" + prefix;
    for (;;) {
        std::string path = start + std::to_string(getpid()) + "-" + std::to_string(counter++) + suffix;
        // Known before the file exists, so a signal at any moment finds it.
        ticket_ = rememberForSignals(path);
        if (ticket_ < 0) {
            *errorNumber = path.size() >= PATH_MAX ? ENAMETOOLONG : EMFILE;
            return false;
        }
        const int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        const int code = errno;
        if (fd >= 0 && dying) {
            // A signal is ending the program and may have looked before the file was there.
            unlink(path.c_str());
        }
        if (fd < 0) {
            forgetForSignals(&ticket_);
            if (code == EEXIST) continue;  // left by an earlier process of the same id
            *errorNumber = code;
            return false;
        }
        file_ = fdopen(fd, "wb");
        path_ = path;
        if (!file_) {
            *errorNumber = errno;
            ::close(fd);
            remove();
            return false;
        }
        return true;
    }
}

bool TemporaryFile::close(const std::string& shownAs, std::string* error)
{
    if (!file_) return true;
    FILE* file = file_;
    file_ = nullptr;
    // A full disk often shows only when the last buffer is written.
    errno = 0;
    const bool flushed = std::fflush(file) == 0 && !std::ferror(file);
    int code = errno;
    const bool closed = std::fclose(file) == 0;
    if (closed && flushed) return true;
    if (code == 0) code = errno ? errno : EIO;
    *error = cannotWrite(shownAs, code);
    return false;
}

bool TemporaryFile::renameTo(const std::string& path, std::string* error)
{
    if (path_.empty()) {
        *error = cannotWrite(path, ENOENT);
        return false;
    }
    if (!close(path, error)) return false;
    if (std::rename(path_.c_str(), path.c_str()) != 0) {
        *error = cannotWrite(path, errno);
        return false;
    }
    forgetForSignals(&ticket_);
    path_.clear();
    return true;
}

void TemporaryFile::remove()
{
    if (file_) {
        std::fclose(file_);
        file_ = nullptr;
    }
    if (!path_.empty()) {
        unlink(path_.c_str());
        path_.clear();
    }
    forgetForSignals(&ticket_);
}

bool WholeFile::create(std::string* error)
{
    const std::filesystem::path target(path_);
    std::string stem = target.stem().string();
    std::string extension = target.extension().string();
    // ".NAME.partial-<pid>-<n>.EXT" must stay a name the file system takes.
    const size_t fixed = std::strlen("..partial-") + 2 * 20 + 1;
    if (fixed + extension.size() > NAME_MAX_BYTES) extension.clear();
    if (fixed + extension.size() + stem.size() > NAME_MAX_BYTES) stem.resize(NAME_MAX_BYTES - fixed - extension.size());
    int code = 0;
    if (temporary_.create(target.parent_path().string(), "." + stem + ".partial-", extension, &code)) return true;
    *error = cannotWrite(path_, code);
    return false;
}

bool WholeFile::finish(std::string* error)
{
    if (temporary_.renameTo(path_, error)) return true;
    temporary_.remove();
    return false;
}
