#include "shell/player.h"

#include "shell/programme_state.h"
#include "shell/schedule.h"

#include <cstdio>

namespace {

constexpr int KEY_ESCAPE = 27;
// Left and Right move by this much, Down and Up by a minute.
constexpr int64_t SHORT_SEEK_MS = 5000;
constexpr int64_t LONG_SEEK_MS = 60000;
// The frame rate is counted over this window.
constexpr double RATE_WINDOW_MS = 1000.0;

}  // namespace

uint32_t nextGridFrame(uint32_t t)
{
    // The grid index at or just below t, then forward to the first frame past t.
    uint64_t i = static_cast<uint64_t>(t) * DISPLAY_FPS / 1000;
    while (programmeFrameTime(i, DISPLAY_FPS) <= t) ++i;
    return programmeFrameTime(i, DISPLAY_FPS);
}

uint32_t previousGridFrame(uint32_t t)
{
    if (t == 0) return 0;
    uint64_t i = static_cast<uint64_t>(t) * DISPLAY_FPS / 1000 + 1;
    while (programmeFrameTime(i, DISPLAY_FPS) >= t) --i;
    return programmeFrameTime(i, DISPLAY_FPS);
}

Player::Player(uint32_t startMs, bool held) : held_(held), heldMs_(startMs) {}

PlayerAction Player::press(int key, uint32_t shownMs)
{
    const int64_t now = held_ ? heldMs_ : shownMs;
    // A move before 0 goes to 0; one to the end or past it ends the programme,
    // as its clock passing the end does.
    auto moveTo = [this](int64_t target) -> PlayerAction {
        if (target < 0) target = 0;
        if (target >= PROGRAMME_END_MS) return {PlayerAction::QUIT, static_cast<uint32_t>(PROGRAMME_END_MS)};
        if (held_) heldMs_ = static_cast<uint32_t>(target);
        return {PlayerAction::MOVE, static_cast<uint32_t>(target)};
    };
    switch (key) {
    case KEY_ESCAPE:
        return {PlayerAction::QUIT, 0};
    case ' ':
    case 'p':
        if (held_) {
            held_ = false;
            frameTimes_.clear();
            return {PlayerAction::RESUME, heldMs_};
        }
        // The rate as the last frame shown had it stays on the held picture.
        heldFramesPerSecond_ = frameTimes_.empty() ? 0 : framesPerSecond(frameTimes_.back());
        held_ = true;
        heldMs_ = shownMs;
        return {PlayerAction::HOLD, heldMs_};
    case 'o':
        overlay_ = !overlay_;
        return {PlayerAction::TOGGLE_OVERLAY, static_cast<uint32_t>(now)};
    case '.':
        return held_ ? moveTo(nextGridFrame(heldMs_)) : PlayerAction{};
    case ',':
        return held_ ? moveTo(previousGridFrame(heldMs_)) : PlayerAction{};
    case PLAYER_KEY_LEFT:
        return moveTo(now - SHORT_SEEK_MS);
    case PLAYER_KEY_RIGHT:
        return moveTo(now + SHORT_SEEK_MS);
    case PLAYER_KEY_DOWN:
        return moveTo(now - LONG_SEEK_MS);
    case PLAYER_KEY_UP:
        return moveTo(now + LONG_SEEK_MS);
    case PLAYER_KEY_HOME:
        return moveTo(0);
    default:
        if (key >= '0' && key <= '9') return moveTo(static_cast<int64_t>(key - '0') * PROGRAMME_END_MS / 10);
        return {};
    }
}

void Player::frameShown(double nowMs)
{
    frameTimes_.push_back(nowMs);
    while (frameTimes_.front() <= nowMs - RATE_WINDOW_MS) frameTimes_.pop_front();
}

int Player::framesPerSecond(double nowMs) const
{
    if (held_) return heldFramesPerSecond_;
    int count = 0;
    for (double at : frameTimes_)
        if (at > nowMs - RATE_WINDOW_MS && at <= nowMs) ++count;
    return count;
}

std::vector<std::string> overlayLines(uint32_t t, int framesPerSecond, bool held)
{
    char time[32];
    std::snprintf(time, sizeof time, "%u:%02u.%03u", t / 60000, t / 1000 % 60, t % 1000);
    std::string scenes;
    for (const ScheduleRow& row : SCHEDULE)
        if (rowContains(row, t)) scenes += (scenes.empty() ? "" : " + ") + std::string(row.name);
    std::string rate = std::to_string(framesPerSecond) + " fps";
    if (held) rate += "  paused";
    return {std::string(time) + "  " + (scenes.empty() ? "-" : scenes), rate};
}

std::vector<TimelineSpan> timelineSceneSpans()
{
    std::vector<TimelineSpan> spans;
    for (const ScheduleRow& row : SCHEDULE)
        spans.push_back({timelinePosition(row.first), timelinePosition(row.last + 1)});
    return spans;
}

double timelinePosition(uint32_t t)
{
    return t >= static_cast<uint32_t>(PROGRAMME_END_MS) ? 1.0 : static_cast<double>(t) / PROGRAMME_END_MS;
}
