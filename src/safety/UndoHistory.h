#pragma once
// The steps a person can take back and do again. The history follows the
// model: a named step between the model's BeginStep and EndStep is one step;
// changes outside a step join the burst of their channel (a drag, a held
// arrow key, a run of wheel turns) until the control is let go, another
// channel changes or the burst pauses. Each step keeps the whole desk state
// before and after it; states that did not change are shared, not copied.

#include <deque>
#include <functional>
#include <memory>
#include <vector>

#include <QObject>
#include <QString>

#include "model/DeskModel.h"

class TUndoHistory : public QObject {
    Q_OBJECT
public:
    static constexpr int DEFAULT_DEPTH = 128;
    // A burst that rested this long ends; the next change starts a step.
    static constexpr qint64 BURST_PAUSE_MS = 1000;

    explicit TUndoHistory(TDeskModel& model, QObject* parent = nullptr);
    ~TUndoHistory() override;

    // Milliseconds of a steady clock; tests hand in their own.
    void SetClock(std::function<qint64()> clock) { clock_ = std::move(clock); }
    // Puts the levels a running fade is heading for into a captured table:
    // a step sees a fade as arrived.
    void SetPendingLevels(std::function<void(TChannelTable&)> pending) {
        pending_ = std::move(pending);
    }
    // Runs before a state is put back (running fades stop there).
    void SetBeforeRestore(std::function<void()> hook) { beforeRestore_ = std::move(hook); }
    // The layout's file name, kept with each step and given back by
    // documentRestored when a step is undone or redone across it.
    void SetDocument(std::function<QString()> document) { document_ = std::move(document); }
    void SetDepth(int depth);
    int Depth() const { return depth_; }

    bool CanUndo() const { return !undo_.empty(); }
    bool CanRedo() const { return !redo_.empty(); }
    QString UndoName() const { return CanUndo() ? undo_.back().Name : QString(); }
    QString RedoName() const { return CanRedo() ? redo_.back().Name : QString(); }
    int UndoCount() const { return static_cast<int>(undo_.size()); }
    int RedoCount() const { return static_cast<int>(redo_.size()); }

    // False when there is nothing to take back, the desk is not ready or a
    // step is still open.
    bool Undo();
    bool Redo();
    // Ends an open burst now, as a step of its own.
    void Settle();

signals:
    void stepsChanged();
    void documentRestored(const QString& document);

private:
    using TStatePtr = std::shared_ptr<const TDeskState>;
    struct TStep {
        QString Name;
        TStatePtr Before;
        TStatePtr After;
        QString DocumentBefore;
        QString DocumentAfter;
    };

    void Follow(const TDeskChange& change);
    void Mark(const TStepMark& mark);
    void Capture();
    TStatePtr Share();
    void CloseBurst();
    void Push(TStep step);
    bool Restore(bool undo);
    QString Document() const { return document_ ? document_() : QString(); }

    TDeskModel& model_;
    std::function<qint64()> clock_;
    std::function<void(TChannelTable&)> pending_;
    std::function<void()> beforeRestore_;
    std::function<QString()> document_;
    int depth_ = DEFAULT_DEPTH;
    std::deque<TStep> undo_;
    std::vector<TStep> redo_;

    // The desk as the history last saw it, and the last state it shared.
    std::unique_ptr<TDeskState> now_;
    TStatePtr shared_;
    QString nowDocument_;

    bool stepOpen_ = false;
    TStep step_;
    bool burstOpen_ = false;
    int burstChannel_ = 0;
    qint64 burstLast_ = 0;
    TStep burst_;
    bool restoring_ = false;
};
