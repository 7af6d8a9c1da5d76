#pragma once
// A linear fade of many channels, as plain arithmetic over a clock the
// caller reads: each channel runs from its level at the start to its target
// in the same time, rounded to the nearest level, and lands exactly on the
// target at the end. A channel can be taken out at any time.

#include <array>
#include <cstdint>
#include <span>
#include <vector>

#include "core/DmxConstants.h"
#include "model/DeskState.h"

class TFade {
public:
    using TLevels = std::span<const std::uint8_t, DMX_UNIVERSE_SIZE>;

    // Every channel whose level differs from its target fades over
    // `durationMs` (0 makes every one due at once), from `nowMs` on; a
    // fade already running is replaced.
    void Start(TLevels from, TLevels to, std::int64_t durationMs, std::int64_t nowMs);
    // The channels whose level at `nowMs` differs from the last one given,
    // with that level, into `due` (cleared first); channels at their target
    // leave the fade.
    void Step(std::int64_t nowMs, std::vector<TChannelLevel>& due);
    void Drop(int channel);
    void Clear();

    bool Running() const { return running_ > 0; }
    int ChannelsRunning() const { return running_; }
    bool Fading(int channel) const;
    std::uint8_t Target(int channel) const;
    std::int64_t EndsAt() const { return start_ + duration_; }

    // The level of a channel going from `from` to `to` after `elapsed` of
    // `duration` milliseconds.
    static std::uint8_t LevelAt(int from, int to, std::int64_t elapsed, std::int64_t duration);

private:
    struct TChannelFade {
        bool Running = false;
        std::uint8_t From = 0;
        std::uint8_t To = 0;
        std::uint8_t Last = 0;
    };
    std::array<TChannelFade, DMX_UNIVERSE_SIZE> channels_{};
    int running_ = 0;
    std::int64_t start_ = 0;
    std::int64_t duration_ = 0;
};
