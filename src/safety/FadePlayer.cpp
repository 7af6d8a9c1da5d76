#include "safety/FadePlayer.h"

#include <QElapsedTimer>

namespace {

std::int64_t SteadyMicroseconds() {
    static QElapsedTimer timer = [] {
        QElapsedTimer t;
        t.start();
        return t;
    }();
    return timer.nsecsElapsed() / 1000;
}

} // namespace

TFadePlayer::TFadePlayer(TDeskModel& model, QObject* parent)
    : QObject(parent), model_(model), clock_(SteadyMicroseconds) {
    timer_.setSingleShot(true);
    timer_.setTimerType(Qt::PreciseTimer);
    connect(&timer_, &QTimer::timeout, this, &TFadePlayer::Tick);
    connect(&model_, &TDeskModel::changed, this, &TFadePlayer::Follow);
    due_.reserve(DMX_UNIVERSE_SIZE);
}

void TFadePlayer::Start(TFade::TLevels to, std::int64_t durationMs) {
    const std::int64_t now = clock_();
    fade_.Start(TFade::TLevels(model_.Table().Level), to, durationMs, now / 1000);
    sentAny_ = false;
    if (durationMs <= 0) {
        Tick();
        return;
    }
    lastFrame_ = now;
    sentAny_ = true; // the start counts as a frame: the first change comes a gap later
    PlanNext(now);
}

void TFadePlayer::Stop() {
    timer_.stop();
    if (!fade_.Running()) return;
    fade_.Clear();
    emit finished();
}

void TFadePlayer::Tick() {
    if (!fade_.Running()) return;
    const std::int64_t now = clock_();
    if (sentAny_ && now - lastFrame_ < FRAME_GAP_US) {
        PlanNext(now);
        return;
    }
    fade_.Step(now / 1000, due_);
    if (!due_.empty()) {
        lastFrame_ = now;
        sentAny_ = true;
        model_.WriteLevels(due_, true);
    }
    if (!fade_.Running()) {
        timer_.stop();
        emit finished();
        return;
    }
    // From the clock after the frame went out: the host's answer took time.
    PlanNext(clock_());
}

void TFadePlayer::PlanNext(std::int64_t now) {
    const std::int64_t wait = std::max<std::int64_t>(0, lastFrame_ + FRAME_GAP_US - now);
    timer_.start(static_cast<int>((wait + 999) / 1000));
}

void TFadePlayer::PutTargets(TChannelTable& table) const {
    if (!fade_.Running()) return;
    for (int c = 1; c <= DMX_UNIVERSE_SIZE; ++c)
        if (fade_.Fading(c)) table.LevelOf(c) = fade_.Target(c);
}

void TFadePlayer::Follow(const TDeskChange& change) {
    if (!fade_.Running() || change.Has(TDeskChange::Faded)) return;
    if (change.Has(TDeskChange::Readiness) && !model_.Ready()) {
        Stop();
        return;
    }
    if (!change.Has(TDeskChange::Levels) || change.Has(TDeskChange::LevelsKept)) return;
    for (int c = std::max(1, change.FirstChannel); c <= change.LastChannel; ++c)
        fade_.Drop(c);
    if (fade_.Running()) return;
    timer_.stop();
    emit finished();
}
