#pragma once
// A fader without a motor takes its channel only once it passes the
// channel's level; until then it only tells where it stands, so the screen
// can show the operator which way to move it.

#include <optional>

class TSoftTakeover {
public:
    // The channel moved without this fader, or the fader now shows another
    // channel: it must catch the level again.
    void Release() { holds_ = false; }
    // The fader moved to `value` (0..max), passing everything from `low` to
    // `high` on the way (-1: only `value`), while its channel stands at
    // `level`; true when it holds the channel, and the level follows it.
    bool Move(int value, int max, int level, int low = -1, int high = -1);
    bool Holds() const { return holds_; }
    // Where the fader stands, as a level, while it does not hold its channel
    // and has been seen; the screen's marker.
    std::optional<int> Marker() const;

private:
    bool holds_ = false;
    int last_ = -1; // last value seen, -1 before any
    int max_ = 0;
};
