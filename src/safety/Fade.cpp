#include "safety/Fade.h"

#include <algorithm>

#include "model/ChannelTable.h"

namespace {

std::size_t Index(int channel) {
    return static_cast<std::size_t>(CheckChannel(channel) - 1);
}

} // namespace

std::uint8_t TFade::LevelAt(int from, int to, std::int64_t elapsed, std::int64_t duration) {
    if (duration <= 0 || elapsed >= duration) return static_cast<std::uint8_t>(to);
    if (elapsed <= 0) return static_cast<std::uint8_t>(from);
    // Rounded to the nearest level, halves away from the start, so that the
    // levels never step back.
    const std::int64_t span = static_cast<std::int64_t>(to - from) * elapsed;
    const std::int64_t half = duration / 2;
    const std::int64_t moved = span >= 0 ? (span + half) / duration : -((-span + half) / duration);
    return static_cast<std::uint8_t>(from + moved);
}

void TFade::Start(TLevels from, TLevels to, std::int64_t durationMs, std::int64_t nowMs) {
    start_ = nowMs;
    duration_ = std::max<std::int64_t>(0, durationMs);
    running_ = 0;
    for (std::size_t i = 0; i < channels_.size(); ++i) {
        TChannelFade& c = channels_[i];
        c = {from[i] != to[i], from[i], to[i], from[i]};
        running_ += c.Running ? 1 : 0;
    }
}

void TFade::Step(std::int64_t nowMs, std::vector<TChannelLevel>& due) {
    due.clear();
    if (running_ == 0) return;
    const std::int64_t elapsed = nowMs - start_;
    for (std::size_t i = 0; i < channels_.size(); ++i) {
        TChannelFade& c = channels_[i];
        if (!c.Running) continue;
        const std::uint8_t level = LevelAt(c.From, c.To, elapsed, duration_);
        if (level != c.Last) {
            due.push_back({static_cast<int>(i) + 1, level});
            c.Last = level;
        }
        if (level == c.To && elapsed >= duration_) {
            c.Running = false;
            --running_;
        }
    }
}

void TFade::Drop(int channel) {
    TChannelFade& c = channels_[Index(channel)];
    if (!c.Running) return;
    c.Running = false;
    --running_;
}

void TFade::Clear() {
    for (TChannelFade& c : channels_)
        c.Running = false;
    running_ = 0;
}

bool TFade::Fading(int channel) const {
    return channels_[Index(channel)].Running;
}

std::uint8_t TFade::Target(int channel) const {
    return channels_[Index(channel)].To;
}
