#pragma once
// The ten snapshots as the desk keeps them: read from their file at start,
// written whole at every store. A file that was refused at start is left as
// it is: nothing is stored over it until a person moves it away.

#include <memory>
#include <optional>

#include <QString>

#include "core/FileResult.h"
#include "safety/Snapshot.h"

class TFadePlayer;

class TSnapshotStore {
public:
    TSnapshotStore();
    ~TSnapshotStore();

    // Reads `path`; the store is empty when it is missing or refused.
    TFileResult<> Load(const QString& path);
    const QString& Path() const { return path_; }
    // Why the file was refused at the last Load, if it was.
    const std::optional<TFileError>& Refusal() const { return refusal_; }

    const TSnapshot& At(int slot) const { return set_->At(slot); }
    // Stores into slot 1..10 and writes the file; on a failure nothing changes.
    TFileResult<> Store(int slot, const TSnapshot& snapshot);

private:
    std::unique_ptr<TSnapshotSet> set_;
    QString path_;
    std::optional<TFileError> refusal_;
};

// Recalls a snapshot as one step of the person's: the name lines and colours
// (when it holds them) at once, the levels fading over its time.
void RecallSnapshot(TDeskModel& model, TFadePlayer& player, const TSnapshot& snapshot, int slot);
