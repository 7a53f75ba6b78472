#include "video_writer.h"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>

extern char** environ;

namespace {

std::string seconds(uint64_t milliseconds)
{
    char text[32];
    std::snprintf(text, sizeof text, "%llu.%03llu", static_cast<unsigned long long>(milliseconds / 1000),
                  static_cast<unsigned long long>(milliseconds % 1000));
    return text;
}

// What an interrupted render must not leave behind: the encoder, its
// unfinished video and its message log. Plain data, for the signal handler.
char interruptedPartial[4096];
char interruptedLog[4096];
volatile pid_t interruptedEncoder = -1;

// Ctrl-C, Ctrl-\, kill and a closed terminal. A signal that was ignored when
// the render started (nohup, a background job) stays ignored.
const int CLEANUP_SIGNALS[] = {SIGINT, SIGQUIT, SIGTERM, SIGHUP};
struct sigaction previousActions[std::size(CLEANUP_SIGNALS)];
bool handlerInstalled[std::size(CLEANUP_SIGNALS)];

void cleanUpAndDie(int signalNumber)
{
    const pid_t encoder = interruptedEncoder;
    if (encoder > 0) {
        // Killed outright: an encoder told to stop would still finish the file.
        kill(encoder, SIGKILL);
        waitpid(encoder, nullptr, 0);
    }
    if (interruptedPartial[0]) unlink(interruptedPartial);
    if (interruptedLog[0]) unlink(interruptedLog);
    signal(signalNumber, SIG_DFL);
    raise(signalNumber);
}

bool copyPath(const std::string& path, char* to, size_t size)
{
    if (path.size() >= size) return false;
    std::memcpy(to, path.c_str(), path.size() + 1);
    return true;
}

void cleanUpOnSignals(const std::string& partial, const std::string& log, pid_t encoder)
{
    if (!copyPath(partial, interruptedPartial, sizeof interruptedPartial) ||
        !copyPath(log, interruptedLog, sizeof interruptedLog))
        return;
    interruptedEncoder = encoder;
    for (size_t i = 0; i < std::size(CLEANUP_SIGNALS); ++i) {
        sigaction(CLEANUP_SIGNALS[i], nullptr, &previousActions[i]);
        handlerInstalled[i] = previousActions[i].sa_handler != SIG_IGN;
        if (handlerInstalled[i]) signal(CLEANUP_SIGNALS[i], cleanUpAndDie);
    }
}

// The encoder is about to be reaped: its process id may soon be someone else's.
void forgetEncoder()
{
    interruptedEncoder = -1;
}

void forgetCleanup()
{
    for (size_t i = 0; i < std::size(CLEANUP_SIGNALS); ++i)
        if (handlerInstalled[i]) sigaction(CLEANUP_SIGNALS[i], &previousActions[i], nullptr);
    std::fill(std::begin(handlerInstalled), std::end(handlerInstalled), false);
    interruptedEncoder = -1;
    interruptedPartial[0] = 0;
    interruptedLog[0] = 0;
}

// Where temporary files go: $TMPDIR, else /tmp.
std::string temporaryFolder()
{
    const char* folder = std::getenv("TMPDIR");
    return folder && *folder ? folder : "/tmp";
}

}  // namespace

std::vector<std::string> ffmpegArguments(const std::string& output, bool guessFormat, int width, int height,
                                         int fps, uint32_t fromMs, size_t frames, const std::string& music,
                                         int crf, const std::string& preset)
{
    // The video lasts frames / fps seconds; the music is cut to that length
    // (rounded up to the millisecond) so it never outlasts the pictures.
    const uint64_t lengthMs = (static_cast<uint64_t>(frames) * 1000 + fps - 1) / fps;
    std::vector<std::string> arguments = {
        "-hide_banner", "-nostats", "-loglevel", "error", "-y",
        "-f", "rawvideo", "-pix_fmt", "yuv420p",
        "-video_size", std::to_string(width) + "x" + std::to_string(height),
        "-framerate", std::to_string(fps),
        "-i", "pipe:0",
        "-ss", seconds(fromMs), "-t", seconds(lengthMs), "-i", music,
        "-map", "0:v:0", "-map", "1:a:0",
        "-c:v", "libx264", "-preset", preset, "-crf", std::to_string(crf), "-pix_fmt", "yuv420p",
        // Said in the stream, so that players turn it back into RGB as it was made.
        "-colorspace", "bt709", "-color_primaries", "bt709", "-color_trc", "bt709", "-color_range", "tv",
        "-c:a", "aac", "-b:a", "192k"};
    if (!guessFormat) {
        arguments.push_back("-f");
        arguments.push_back("mp4");
    }
    arguments.push_back(output);
    return arguments;
}

VideoWriter::~VideoWriter()
{
    abandon();
}

bool VideoWriter::start(const std::string& file, int width, int height, int fps, uint32_t fromMs, size_t frames,
                        const std::string& music, std::string* error)
{
    // A broken pipe must come back as an error from write, not end the process.
    signal(SIGPIPE, SIG_IGN);

    std::filesystem::path target(file);
    std::string extension = target.extension().string();
    std::filesystem::path partial = target.parent_path() /
        ("." + target.stem().string() + ".partial-" + std::to_string(getpid()) + extension);
    file_ = file;
    partial_ = partial.string();
    frameBytes_ = static_cast<size_t>(width) * height * 3 / 2;  // yuv420p

    std::string logName = temporaryFolder() + "/skarvelin-render-ffmpeg-XXXXXX";
    int logFd = mkstemp(logName.data());
    if (logFd < 0) {
        *error = std::string("cannot make a temporary file for ffmpeg's messages: ") + std::strerror(errno);
        return false;
    }
    log_ = logName;

    int fds[2];
    if (pipe2(fds, O_CLOEXEC) != 0) {
        close(logFd);
        *error = std::string("cannot make a pipe to ffmpeg: ") + std::strerror(errno);
        return false;
    }

    std::vector<std::string> arguments =
        ffmpegArguments(partial_, !extension.empty(), width, height, fps, fromMs, frames, music, crf_, preset_);
    arguments.insert(arguments.begin(), "ffmpeg");
    std::vector<char*> argv;
    for (std::string& argument : arguments) argv.push_back(argument.data());
    argv.push_back(nullptr);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, fds[0], STDIN_FILENO);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_adddup2(&actions, logFd, STDERR_FILENO);
    pid_t pid;
    int spawned = posix_spawnp(&pid, "ffmpeg", &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    close(fds[0]);
    close(logFd);
    if (spawned != 0) {
        close(fds[1]);
        *error = spawned == ENOENT ? std::string("the ffmpeg command was not found (install the ffmpeg package)")
                                   : std::string("cannot start ffmpeg: ") + std::strerror(spawned);
        return false;
    }
    pid_ = pid;
    pipe_ = fds[1];
    // Room for a whole frame in the pipe lets the next frame render while
    // ffmpeg takes this one; where the system refuses, the default still works.
    fcntl(pipe_, F_SETPIPE_SZ, static_cast<int>(std::min<size_t>(frameBytes_ + 4096, 1 << 20)));
    cleanUpOnSignals(partial_, log_, pid_);
    return true;
}

bool VideoWriter::writeFrame(const std::vector<unsigned char>& yuv, std::string* error)
{
    if (pipe_ < 0 || yuv.size() != frameBytes_) {
        *error = "the video is not open for a frame of this size";
        return false;
    }
    const unsigned char* data = yuv.data();
    size_t left = yuv.size();
    while (left > 0) {
        ssize_t written = write(pipe_, data, left);
        if (written < 0) {
            if (errno == EINTR) continue;
            // Usually ffmpeg stopped; its own messages say why.
            int code = errno;
            close(pipe_);
            pipe_ = -1;
            int status;
            forgetEncoder();
            while (waitpid(pid_, &status, 0) < 0 && errno == EINTR) {
            }
            pid_ = -1;
            std::string messages = encoderMessages();
            abandon();
            *error = std::string("ffmpeg stopped reading frames (") + std::strerror(code) + ")" +
                     (messages.empty() ? "" : ":\n" + messages);
            return false;
        }
        data += written;
        left -= static_cast<size_t>(written);
    }
    return true;
}

bool VideoWriter::finish(std::string* error)
{
    if (pid_ < 0) {
        *error = "the video was not started";
        return false;
    }
    if (pipe_ >= 0) {
        close(pipe_);
        pipe_ = -1;
    }
    int status = 0;
    forgetEncoder();
    while (waitpid(pid_, &status, 0) < 0 && errno == EINTR) {
    }
    pid_ = -1;
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
        std::string messages = encoderMessages();
        *error = "ffmpeg failed (" +
                 (WIFEXITED(status) ? "exit status " + std::to_string(WEXITSTATUS(status))
                                    : "signal " + std::to_string(WTERMSIG(status))) +
                 ")" + (messages.empty() ? "" : ":\n" + messages);
        abandon();
        return false;
    }
    std::error_code code;
    if (std::filesystem::file_size(partial_, code) == 0 || code) {
        *error = "ffmpeg reported success but wrote no video";
        abandon();
        return false;
    }
    std::filesystem::rename(partial_, file_, code);
    if (code) {
        *error = "cannot move the finished video to " + file_ + ": " + code.message();
        abandon();
        return false;
    }
    partial_.clear();
    abandon();
    return true;
}

std::string VideoWriter::encoderMessages() const
{
    std::ifstream in(log_);
    std::ostringstream text;
    text << in.rdbuf();
    std::string messages = text.str();
    // The last lines are the ones that explain a failure.
    constexpr size_t KEEP = 4000;
    if (messages.size() > KEEP) messages = "...\n" + messages.substr(messages.size() - KEEP);
    while (!messages.empty() && messages.back() == '\n') messages.pop_back();
    return messages;
}

void VideoWriter::abandon()
{
    if (pipe_ >= 0) {
        close(pipe_);
        pipe_ = -1;
    }
    if (pid_ > 0) {
        forgetEncoder();
        kill(pid_, SIGTERM);
        int status;
        while (waitpid(pid_, &status, 0) < 0 && errno == EINTR) {
        }
        pid_ = -1;
    }
    if (!partial_.empty()) {
        unlink(partial_.c_str());
        partial_.clear();
    }
    if (!log_.empty()) {
        unlink(log_.c_str());
        log_.clear();
    }
    forgetCleanup();
}
