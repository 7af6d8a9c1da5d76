#include "safety/UndoHistory.h"

#include <QElapsedTimer>

namespace {

qint64 SteadyMilliseconds() {
    static QElapsedTimer timer = [] {
        QElapsedTimer t;
        t.start();
        return t;
    }();
    return timer.elapsed();
}

// What an implicit step is called, by what its first change touched.
QString BurstName(const TDeskChange& change) {
    if (change.FirstChannel != change.LastChannel || change.FirstChannel == 0)
        return QStringLiteral("Levels");
    const QString channel = QString::number(change.FirstChannel);
    if (change.Has(TDeskChange::Bumps)) return QStringLiteral("Bump ") + channel;
    if (change.Has(TDeskChange::Levels)) return QStringLiteral("Fader ") + channel;
    if (change.Has(TDeskChange::Names)) return QStringLiteral("Caption ") + channel;
    return QStringLiteral("Color ") + channel;
}

// Whether a change alters what a step keeps.
bool AltersState(const TDeskChange& change) {
    if (change.Has(TDeskChange::Names | TDeskChange::Colors | TDeskChange::Bumps)) return true;
    return change.Has(TDeskChange::Levels) && !change.Has(TDeskChange::LevelsKept);
}

} // namespace

TUndoHistory::TUndoHistory(TDeskModel& model, QObject* parent)
    : QObject(parent), model_(model), clock_(SteadyMilliseconds),
      now_(std::make_unique<TDeskState>()) {
    Capture();
    connect(&model_, &TDeskModel::changed, this, &TUndoHistory::Follow);
    connect(&model_, &TDeskModel::stepMarked, this, &TUndoHistory::Mark);
}

TUndoHistory::~TUndoHistory() = default;

void TUndoHistory::SetDepth(int depth) {
    depth_ = std::max(1, depth);
    while (static_cast<int>(undo_.size()) > depth_)
        undo_.pop_front();
}

void TUndoHistory::Capture() {
    model_.CaptureState(*now_);
    if (pending_) pending_(now_->Table);
    nowDocument_ = Document();
}

TUndoHistory::TStatePtr TUndoHistory::Share() {
    if (!shared_ || !shared_->SameAs(*now_)) shared_ = std::make_shared<const TDeskState>(*now_);
    return shared_;
}

void TUndoHistory::Follow(const TDeskChange& change) {
    // Steps and the history's own restores are captured whole at their end;
    // a fade's frames only bring the levels to where the step already has them.
    if (restoring_ || stepOpen_ || change.Has(TDeskChange::Faded)) return;
    if (!model_.Ready() || change.Has(TDeskChange::Readiness)) {
        // Start-up: the desk's first state is no step.
        CloseBurst();
        Capture();
        return;
    }
    if (change.Has(TDeskChange::Page)) CloseBurst();
    if (!AltersState(change)) return;
    const int channel = change.FirstChannel == change.LastChannel ? change.FirstChannel : 0;
    const qint64 now = clock_();
    if (burstOpen_ &&
        (channel == 0 || channel != burstChannel_ || now - burstLast_ > BURST_PAUSE_MS))
        CloseBurst();
    if (!burstOpen_) {
        burstOpen_ = true;
        burstChannel_ = channel;
        burst_ = {BurstName(change), Share(), nullptr, nowDocument_, {}};
    }
    burstLast_ = now;
    Capture();
    // A change of many channels at once is a step by itself.
    if (channel == 0) CloseBurst();
}

void TUndoHistory::Mark(const TStepMark& mark) {
    switch (mark.What) {
    case TStepMark::Begin:
        CloseBurst();
        Capture();
        stepOpen_ = true;
        step_ = {mark.Name, Share(), nullptr, nowDocument_, {}};
        break;
    case TStepMark::End:
        if (!stepOpen_) return;
        stepOpen_ = false;
        Capture();
        step_.After = Share();
        step_.DocumentAfter = nowDocument_;
        Push(std::move(step_));
        break;
    case TStepMark::Settle:
        CloseBurst();
        break;
    }
}

void TUndoHistory::Settle() {
    CloseBurst();
}

void TUndoHistory::CloseBurst() {
    if (!burstOpen_) return;
    burstOpen_ = false;
    burst_.After = Share();
    burst_.DocumentAfter = nowDocument_;
    Push(std::move(burst_));
}

void TUndoHistory::Push(TStep step) {
    if (step.After->SameAs(*step.Before) && step.DocumentAfter == step.DocumentBefore) return;
    undo_.push_back(std::move(step));
    while (static_cast<int>(undo_.size()) > depth_)
        undo_.pop_front();
    redo_.clear();
    emit stepsChanged();
}

bool TUndoHistory::Undo() {
    return Restore(true);
}

bool TUndoHistory::Redo() {
    return Restore(false);
}

bool TUndoHistory::Restore(bool undo) {
    if (stepOpen_ || model_.InStep() || !model_.Ready()) return false;
    CloseBurst();
    if (undo ? undo_.empty() : redo_.empty()) return false;
    TStep step = undo ? std::move(undo_.back()) : std::move(redo_.back());
    if (undo)
        undo_.pop_back();
    else
        redo_.pop_back();
    const TStatePtr& state = undo ? step.Before : step.After;
    const QString& document = undo ? step.DocumentBefore : step.DocumentAfter;
    if (beforeRestore_) beforeRestore_();
    restoring_ = true;
    try {
        model_.RestoreState(*state);
    } catch (...) {
        restoring_ = false;
        throw;
    }
    restoring_ = false;
    *now_ = *state;
    shared_ = state;
    if (document != nowDocument_) emit documentRestored(document);
    nowDocument_ = document;
    if (undo)
        redo_.push_back(std::move(step));
    else
        undo_.push_back(std::move(step));
    emit stepsChanged();
    return true;
}
