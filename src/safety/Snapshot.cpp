#include "safety/Snapshot.h"

#include <algorithm>
#include <cstring>
#include <stdexcept>
#include <string>

bool TSnapshot::operator==(const TSnapshot& other) const {
    const auto sameNames = [](const auto& a, const auto& b) {
        return std::memcmp(a.data(), b.data(), sizeof(TShortString12) * a.size()) == 0;
    };
    return Stored == other.Stored && WithNames == other.WithNames && FadeMs == other.FadeMs &&
           Levels == other.Levels && sameNames(Name1, other.Name1) &&
           sameNames(Name2, other.Name2) && Colors == other.Colors;
}

int CheckSnapshotSlot(int slot) {
    if (slot < 1 || slot > SNAPSHOT_SLOTS)
        throw std::out_of_range("Snapshot " + std::to_string(slot) + " is out of range");
    return slot;
}

TSnapshot& TSnapshotSet::At(int slot) {
    return Slots[static_cast<std::size_t>(CheckSnapshotSlot(slot) - 1)];
}

const TSnapshot& TSnapshotSet::At(int slot) const {
    return Slots[static_cast<std::size_t>(CheckSnapshotSlot(slot) - 1)];
}

TSnapshot SnapshotOf(const TChannelTable& table, bool withNames, int fadeMs) {
    TSnapshot s;
    s.Stored = true;
    s.WithNames = withNames;
    s.FadeMs = std::clamp(fadeMs, 0, MAX_SNAPSHOT_FADE_MS);
    std::copy(std::begin(table.Level), std::end(table.Level), s.Levels.begin());
    if (withNames) {
        std::copy(std::begin(table.Name1), std::end(table.Name1), s.Name1.begin());
        std::copy(std::begin(table.Name2), std::end(table.Name2), s.Name2.begin());
        std::copy(std::begin(table.FaderColor), std::end(table.FaderColor), s.Colors.begin());
    }
    return s;
}

QString RecallStepName(int slot) {
    return QStringLiteral("Recall Snapshot %1").arg(CheckSnapshotSlot(slot));
}
