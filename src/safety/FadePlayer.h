#pragma once
// Plays a fade into the model: at most 44 frames a second, each one rule of
// the model marked as a fade's; the last frame holds the targets exactly. A
// level written by anything else (a person's fader, a bulk command, an undo)
// takes its channel out of the fade; a desk that stops being ready (New,
// Open) ends it.

#include <cstdint>
#include <functional>
#include <vector>

#include <QObject>
#include <QTimer>

#include "model/DeskModel.h"
#include "safety/Fade.h"

class TFadePlayer : public QObject {
    Q_OBJECT
public:
    static constexpr int MAX_FRAMES_PER_SECOND = 44;
    // The least time between two frames, in microseconds.
    static constexpr std::int64_t FRAME_GAP_US =
        (1'000'000 + MAX_FRAMES_PER_SECOND - 1) / MAX_FRAMES_PER_SECOND;

    explicit TFadePlayer(TDeskModel& model, QObject* parent = nullptr);

    // Microseconds of a steady clock; tests hand in their own and call Tick.
    void SetClock(std::function<std::int64_t()> clock) { clock_ = std::move(clock); }
    // Fades the desk's levels to `to` over `durationMs`; with 0 they are
    // written at once, in one frame.
    void Start(TFade::TLevels to, std::int64_t durationMs);
    void Stop();
    bool Running() const { return fade_.Running(); }
    const TFade& Fade() const { return fade_; }
    // Sends the frame that is due now, if any, and plans the next.
    void Tick();
    // Levels a running fade is heading for, put into `table`.
    void PutTargets(TChannelTable& table) const;

signals:
    void finished();

private:
    void Follow(const TDeskChange& change);
    void PlanNext(std::int64_t now);

    TDeskModel& model_;
    std::function<std::int64_t()> clock_;
    TFade fade_;
    QTimer timer_;
    std::int64_t lastFrame_ = 0;
    bool sentAny_ = false;
    std::vector<TChannelLevel> due_;
};
