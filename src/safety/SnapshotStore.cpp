#include "safety/SnapshotStore.h"

#include "safety/FadePlayer.h"
#include "safety/SnapshotFile.h"

TSnapshotStore::TSnapshotStore() : set_(std::make_unique<TSnapshotSet>()) {}

TSnapshotStore::~TSnapshotStore() = default;

TFileResult<> TSnapshotStore::Load(const QString& path) {
    path_ = path;
    refusal_.reset();
    auto read = std::make_unique<TSnapshotSet>();
    TFileResult<> result = ReadSnapshotFile(path, *read);
    if (!result) {
        refusal_ = result.Error();
        set_ = std::make_unique<TSnapshotSet>();
        return result;
    }
    set_ = std::move(read);
    return {};
}

TFileResult<> TSnapshotStore::Store(int slot, const TSnapshot& snapshot) {
    CheckSnapshotSlot(slot);
    if (refusal_)
        return TFileError(path_,
                          QStringLiteral("Nothing is stored over \"%1\", which was refused at "
                                         "start; move it away first."),
                          refusal_->Reason());
    auto next = std::make_unique<TSnapshotSet>(*set_);
    next->At(slot) = snapshot;
    if (TFileResult<> written = WriteSnapshotFile(path_, *next); !written) return written;
    set_ = std::move(next);
    return {};
}

void RecallSnapshot(TDeskModel& model, TFadePlayer& player, const TSnapshot& snapshot, int slot) {
    if (!snapshot.Stored || !model.Ready()) return;
    const TStepScope step(model, RecallStepName(slot));
    if (snapshot.WithNames)
        model.SetAllNamesAndColors(snapshot.Name1, snapshot.Name2, snapshot.Colors);
    player.Start(snapshot.Levels, snapshot.FadeMs);
}
