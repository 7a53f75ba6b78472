#include "progress.h"

#include <unistd.h>

#include <cstdio>

ProgressBar::ProgressBar(size_t total)
    : total_(total), enabled_(isatty(STDERR_FILENO) == 1), started_(std::chrono::steady_clock::now())
{
}

void ProgressBar::update(size_t done, uint32_t t)
{
    if (!enabled_ || total_ == 0) return;
    auto now = std::chrono::steady_clock::now();
    if (drawn_ && done < total_ && now - lastDraw_ < std::chrono::milliseconds(100)) return;
    lastDraw_ = now;
    drawn_ = true;

    constexpr int WIDTH = 30;
    const double fraction = static_cast<double>(done) / total_;
    const int filled = static_cast<int>(fraction * WIDTH);
    char bar[WIDTH + 1];
    for (int i = 0; i < WIDTH; ++i) bar[i] = i < filled ? '#' : '-';
    bar[WIDTH] = 0;

    const double elapsed = std::chrono::duration<double>(now - started_).count();
    const double left = done > 0 ? elapsed * (total_ - done) / done : 0;
    const int leftSeconds = static_cast<int>(left + 0.5);
    std::fprintf(stderr, "\r[%s] %3d%% %zu/%zu frames  t=%u ms  %d:%02d left ", bar, static_cast<int>(fraction * 100),
                 done, total_, static_cast<unsigned>(t), leftSeconds / 60, leftSeconds % 60);
    std::fflush(stderr);
}

void ProgressBar::finish()
{
    if (enabled_ && drawn_) std::fputc('\n', stderr);
    drawn_ = false;
}
