#include "shell/player.h"

#include "command_line/option_table.h"
#include "shell/programme_state.h"
#include "shell/schedule.h"

#include <cmath>

namespace {

constexpr int KEY_ESCAPE = 27;
// Left and Right move by this much, Down and Up by a minute.
constexpr int64_t SHORT_SEEK_MS = 5000;
constexpr int64_t LONG_SEEK_MS = 60000;
// The frame rate is counted over this window.
constexpr double RATE_WINDOW_MS = 1000.0;
constexpr uint32_t END_MS = static_cast<uint32_t>(PROGRAMME_END_MS);

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

uint32_t nearestGridFrame(uint32_t t)
{
    const uint32_t before = previousGridFrame(t + 1), after = nextGridFrame(t);
    return t - before <= after - t ? before : after;
}

Player::Player(uint32_t startMs, bool held) : held_(held), heldMs_(startMs), anchorMs_(startMs) {}

void Player::start(double nowMs)
{
    anchorWallMs_ = nowMs;
}

int64_t Player::positionMs(double nowMs) const
{
    if (held_) return heldMs_;
    return anchorMs_ + static_cast<int64_t>(std::floor(nowMs - anchorWallMs_));
}

void Player::runFrom(uint32_t ms, double nowMs)
{
    held_ = false;
    anchorMs_ = ms;
    anchorWallMs_ = nowMs;
}

// A move before 0 goes to 0; one to the end or past it holds on the end, as
// the programme running into it does.
PlayerAction Player::moveTo(int64_t target, double nowMs)
{
    if (target < 0) target = 0;
    if (target >= END_MS) {
        held_ = true;
        heldMs_ = END_MS;
        return {PlayerAction::HOLD, END_MS};
    }
    const uint32_t ms = static_cast<uint32_t>(target);
    if (held_) heldMs_ = ms;
    else runFrom(ms, nowMs);
    return {PlayerAction::MOVE, ms};
}

PlayerAction Player::press(int key, double nowMs)
{
    if (key >= 'A' && key <= 'Z') key += 'a' - 'A';
    // Where the programme is now: a key pressed before the frame of the last
    // one's move is drawn moves on from that move.
    int64_t now = positionMs(nowMs);
    if (now > END_MS) now = END_MS;
    switch (key) {
    case KEY_ESCAPE:
    case 'q':
        return {PlayerAction::QUIT, 0};
    case ' ':
    case 'p':
        if (held_) {
            // At the end, play starts the programme again, as a finished video does.
            const uint32_t from = heldMs_ >= END_MS ? 0 : heldMs_;
            runFrom(from, nowMs);
            frameTimes_.clear();
            return {PlayerAction::RESUME, from};
        }
        held_ = true;
        heldMs_ = static_cast<uint32_t>(now);
        return {PlayerAction::HOLD, heldMs_};
    case 'o':
        overlay_ = !overlay_;
        return {PlayerAction::TOGGLE_OVERLAY, static_cast<uint32_t>(now)};
    case 'f':
        return {PlayerAction::TOGGLE_FULL_SCREEN, static_cast<uint32_t>(now)};
    case 'm':
        muted_ = !muted_;
        return {PlayerAction::TOGGLE_MUTE, static_cast<uint32_t>(now)};
    case '.':
        return held_ ? moveTo(nextGridFrame(heldMs_), nowMs) : PlayerAction{};
    case ',':
        return held_ ? moveTo(previousGridFrame(heldMs_), nowMs) : PlayerAction{};
    case PLAYER_KEY_LEFT:
        return moveTo(now - SHORT_SEEK_MS, nowMs);
    case PLAYER_KEY_RIGHT:
        return moveTo(now + SHORT_SEEK_MS, nowMs);
    case PLAYER_KEY_DOWN:
        return moveTo(now - LONG_SEEK_MS, nowMs);
    case PLAYER_KEY_UP:
        return moveTo(now + LONG_SEEK_MS, nowMs);
    case PLAYER_KEY_HOME:
        return moveTo(0, nowMs);
    default:
        if (key >= '0' && key <= '9') return moveTo(static_cast<int64_t>(key - '0') * PROGRAMME_END_MS / 10, nowMs);
        return {};
    }
}

PlayerAction Player::seek(uint32_t ms, double nowMs)
{
    return moveTo(ms, nowMs);
}

bool Player::holdIfPastEnd(double nowMs)
{
    if (held_ || positionMs(nowMs) <= END_MS) return false;
    held_ = true;
    heldMs_ = END_MS;
    return true;
}

void Player::frameShown(double nowMs)
{
    frameTimes_.push_back(nowMs);
    while (frameTimes_.front() <= nowMs - RATE_WINDOW_MS) frameTimes_.pop_front();
}

int Player::framesPerSecond(double nowMs) const
{
    int count = 0;
    for (double at : frameTimes_)
        if (at > nowMs - RATE_WINDOW_MS && at <= nowMs) ++count;
    return count;
}

TimelineText timelineText(uint32_t t, int framesPerSecond, bool held, bool muted)
{
    TimelineText text;
    text.time = minutesAndSeconds(t) + " / " + minutesAndSeconds(END_MS);
    for (const ScheduleRow& row : SCHEDULE)
        if (rowContains(row, t)) text.scenes += (text.scenes.empty() ? "" : " + ") + std::string(row.name);
    if (text.scenes.empty()) text.scenes = "between scenes";
    text.status = held ? "paused" : std::to_string(framesPerSecond) + " fps";
    if (muted) text.status += "  muted";
    return text;
}

const std::vector<std::string>& timelineKeyHints()
{
    static const std::vector<std::string> hints = {
        "Space play/hold   Left/Right 5 s   Down/Up 60 s   Home, 0-9 jump   . , frame   click: seek   "
        "f full screen   m mute   o hide   q quit",
        "Space play/hold  Left/Right 5 s  Down/Up 60 s  0-9 jump  . , frame  f full screen  m mute  o hide  q quit",
        "Space play  arrows seek  0-9 jump  . , frame  f full  m mute  o hide  q quit",
        "Space  arrows  0-9  . ,  f full  m mute  o hide  q quit",
    };
    return hints;
}

std::vector<TimelineSpan> timelineSceneSpans()
{
    std::vector<TimelineSpan> spans;
    for (const ScheduleRow& row : SCHEDULE)
        spans.push_back({timelinePosition(row.first), timelinePosition(row.last + 1), row.name});
    return spans;
}

double timelinePosition(uint32_t t)
{
    return t >= END_MS ? 1.0 : static_cast<double>(t) / PROGRAMME_END_MS;
}

uint32_t timelineTimeAt(double fraction)
{
    if (!(fraction > 0)) return 0;
    if (fraction >= 1) return END_MS;
    return nearestGridFrame(static_cast<uint32_t>(std::lround(fraction * PROGRAMME_END_MS)));
}
