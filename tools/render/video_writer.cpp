#include "video_writer.h"

#include "output/whole_file.h"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace {

// A new file in $TMPDIR, else in /tmp when $TMPDIR is unset or unusable:
// where the encoder's messages go, and the sound it reads.
bool createTemporary(TemporaryFile* file, const char* suffix, const char* what, std::string* error)
{
    const char* variable = std::getenv("TMPDIR");
    int code = 0;
    if (variable && *variable && file->create(variable, "skarvelin-render-ffmpeg-", suffix, &code)) return true;
    if (file->create("/tmp", "skarvelin-render-ffmpeg-", suffix, &code)) return true;
    *error = std::string("cannot make a temporary file in /tmp for ") + what + ": " + std::strerror(code);
    return false;
}

// The reasons a file cannot be written that ffmpeg passes on in strerror's
// words ("No space left on device"). Not EIO or EINVAL: ffmpeg also says those
// of failures that are not the file's.
const int WRITE_ERRORS[] = {ENOSPC, EDQUOT, EFBIG, EROFS, EACCES};

// What ffmpeg's frame-size check must stay under.
constexpr int64_t FFMPEG_FRAME_LIMIT = INT32_MAX;

int64_t evenAtMost(int64_t value)
{
    return value - (value & 1);
}

}  // namespace

bool videoTakesSize(int width, int height)
{
    return (8 * static_cast<int64_t>(width) + 1024) * (static_cast<int64_t>(height) + 128) < FFMPEG_FRAME_LIMIT;
}

int largestVideoHeight(int width)
{
    return static_cast<int>(evenAtMost((FFMPEG_FRAME_LIMIT - 1) / (8 * static_cast<int64_t>(width) + 1024) - 128));
}

int largestVideoWidth(int height)
{
    return static_cast<int>(evenAtMost(((FFMPEG_FRAME_LIMIT - 1) / (static_cast<int64_t>(height) + 128) - 1024) / 8));
}

const char* videoContainer(const std::string& path)
{
    std::string extension = std::filesystem::path(path).extension().string();
    for (char& c : extension) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    if (extension == ".mp4") return "mp4";
    if (extension == ".mov") return "mov";
    if (extension == ".mkv") return "matroska";
    return nullptr;
}

std::vector<std::string> ffmpegArguments(const std::string& output, const char* container, int width, int height,
                                         int fps, const std::string& soundFile, int crf, const std::string& preset)
{
    std::vector<std::string> arguments = {"-hide_banner", "-nostats", "-loglevel", "error", "-y", "-f", "rawvideo",
                                          "-pix_fmt", "yuv420p", "-video_size",
                                          std::to_string(width) + "x" + std::to_string(height), "-framerate",
                                          std::to_string(fps), "-i", "pipe:0", "-f", "s16le", "-ar", "44100", "-ac",
                                          "2", "-i", "file:" + soundFile, "-map", "0:v:0", "-map", "1:a:0", "-c:v",
                                          "libx264", "-preset", preset, "-crf", std::to_string(crf), "-pix_fmt",
                                          "yuv420p",
                                          // Said in the stream, so that players turn it back into RGB as it was made.
                                          "-colorspace", "bt709", "-color_primaries", "bt709", "-color_trc", "bt709",
                                          "-color_range", "tv", "-c:a", "aac", "-b:a", "192k"};
    // The container is said, not guessed from the temporary name. MP4 and
    // QuickTime get their index (moov) ahead of the media: ffmpeg writes it at
    // the end and then moves it to the front, so a browser or player starts
    // before the file has come whole.
    arguments.insert(arguments.end(), {"-f", container});
    if (std::strcmp(container, "mp4") == 0 || std::strcmp(container, "mov") == 0)
        arguments.insert(arguments.end(), {"-movflags", "+faststart"});
    // A plain file, whatever the name: without the prefix ffmpeg takes what
    // comes before a colon ("a:b.mp4") for a protocol.
    arguments.push_back("file:" + output);
    return arguments;
}

VideoWriter::~VideoWriter()
{
    abandon();
}

bool VideoWriter::start(const std::string& file, int width, int height, int fps, const std::vector<int16_t>& sound,
                        std::string* error)
{
    // A broken pipe must come back as an error from write, not end the process.
    signal(SIGPIPE, SIG_IGN);

    const char* container = videoContainer(file);
    if (!container) container = "mp4";
    frameBytes_ = static_cast<size_t>(width) * height * 3 / 2;  // yuv420p
    video_ = std::make_unique<WholeFile>(file);
    if (!video_->create(error) || !createTemporary(&log_, ".log", "ffmpeg's messages", error) ||
        !createTemporary(&sound_, ".s16", "the sound", error)) {
        abandon();
        return false;
    }
    if (std::fwrite(sound.data(), sizeof(int16_t), sound.size(), sound_.file()) != sound.size()) {
        *error = cannotWrite(sound_.path(), errno);
        abandon();
        return false;
    }
    if (!sound_.close(sound_.path(), error)) {
        abandon();
        return false;
    }
    const int logFd = fileno(log_.file());

    int fds[2];
    if (pipe2(fds, O_CLOEXEC) != 0) {
        *error = std::string("cannot make a pipe to ffmpeg: ") + std::strerror(errno);
        abandon();
        return false;
    }

    std::vector<std::string> arguments = ffmpegArguments(video_->temporaryPath(), container, width, height, fps,
                                                         sound_.path(), crf_, preset_);
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
    int spawned = spawnChildKilledOnSignal(&pid, "ffmpeg", &actions, argv.data());
    posix_spawn_file_actions_destroy(&actions);
    close(fds[0]);
    if (spawned != 0) {
        close(fds[1]);
        *error = spawned == ENOENT ? std::string("the ffmpeg command was not found (install the ffmpeg package)")
                                   : std::string("cannot start ffmpeg: ") + std::strerror(spawned);
        abandon();
        return false;
    }
    pid_ = pid;
    pipe_ = fds[1];
    // Room for a whole frame in the pipe lets the next frame render while
    // ffmpeg takes this one; where the system refuses, the default still works.
    fcntl(pipe_, F_SETPIPE_SZ, static_cast<int>(std::min<size_t>(frameBytes_ + 4096, 1 << 20)));
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
            const int code = errno;
            close(pipe_);
            pipe_ = -1;
            waitForEncoder();
            *error = encoderFailure(std::string("ffmpeg stopped reading frames (") + std::strerror(code) + ")");
            abandon();
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
    const int status = waitForEncoder();
    bool done = false;
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
        *error = encoderFailure("ffmpeg failed (" +
                                (WIFEXITED(status) ? "exit status " + std::to_string(WEXITSTATUS(status))
                                                   : "signal " + std::to_string(WTERMSIG(status))) +
                                ")");
    } else if (encoderFailedAtTheEnd()) {
        *error = encoderFailure("ffmpeg could not finish writing the video");
    } else if (struct stat info; stat(video_->temporaryPath().c_str(), &info) != 0 || info.st_size == 0) {
        *error = "ffmpeg reported success but wrote no video";
    } else {
        done = video_->finish(error);
    }
    abandon();
    return done;
}

int VideoWriter::waitForEncoder()
{
    // Forgotten first: once reaped, its process id may soon be someone else's.
    forgetChildOnSignal();
    int status = 0;
    while (waitpid(pid_, &status, 0) < 0 && errno == EINTR) {
    }
    pid_ = -1;
    return status;
}

bool VideoWriter::encoderFailedAtTheEnd() const
{
    // ffmpeg says so, and still exits with status 0, when the end of the file
    // (the index, the last buffered bytes) could not be written.
    std::ifstream in(log_.path());
    for (std::string line; std::getline(in, line);)
        if (line.rfind("Error writing trailer", 0) == 0 || line.rfind("Error closing file", 0) == 0) return true;
    return false;
}

std::string VideoWriter::encoderFailure(const std::string& what) const
{
    std::ifstream in(log_.path());
    std::ostringstream text;
    text << in.rdbuf();
    std::string messages = text.str();
    // A full disk, a quota, a file too large: one line with the file and the
    // system's reason, which ffmpeg's messages carry in strerror's words.
    for (int code : WRITE_ERRORS)
        if (messages.find(std::strerror(code)) != std::string::npos) return cannotWrite(video_->path(), code);
    // Otherwise ffmpeg's own last lines, which explain the failure.
    constexpr size_t KEEP = 4000;
    if (messages.size() > KEEP) messages = "...\n" + messages.substr(messages.size() - KEEP);
    while (!messages.empty() && messages.back() == '\n') messages.pop_back();
    return what + (messages.empty() ? "" : ":\n" + messages);
}

void VideoWriter::abandon()
{
    if (pipe_ >= 0) {
        close(pipe_);
        pipe_ = -1;
    }
    if (pid_ > 0) {
        forgetChildOnSignal();
        kill(pid_, SIGTERM);
        int status;
        while (waitpid(pid_, &status, 0) < 0 && errno == EINTR) {
        }
        pid_ = -1;
    }
    // An unfinished video and the encoder's log go.
    video_.reset();
    log_.remove();
    sound_.remove();
}
