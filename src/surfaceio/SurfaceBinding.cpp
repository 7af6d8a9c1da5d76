#include "surfaceio/SurfaceBinding.h"

#include <stdexcept>

#include <QPointer>

#include "model/DeskModel.h"

TSurfaceBinding::TSurfaceBinding(TDeskModel& model, const TSurfaceShape& shape,
                                 TSurfaceSession::TFocusSource focus, QObject* parent)
    : QObject(parent), session_(model, shape, std::move(focus)) {
    clock_.start();
    flushTimer_.setSingleShot(true);
    flushTimer_.setTimerType(Qt::PreciseTimer);
    connect(&flushTimer_, &QTimer::timeout, this, &TSurfaceBinding::Flush);
    QPointer<TSurfaceBinding> self(this);
    mailbox_.SetWake([self] {
        QMetaObject::invokeMethod(
            self,
            [self] {
                if (self) self->Drain();
            },
            Qt::QueuedConnection);
    });
}

void TSurfaceBinding::Drain() {
    bool markers = false;
    for (const TSurfaceInput& input : mailbox_.TakeAll()) {
        try {
            markers = session_.Apply(input, Now()) || markers;
            Applied(input, Now());
        } catch (const std::out_of_range&) {
            // A rule refused a number: that input is dropped, the rest go on.
        }
    }
    if (markers) emit markersChanged();
    Flush();
}

void TSurfaceBinding::Follow(const TDeskChange& change) {
    if (session_.Follow(change, Now())) emit markersChanged();
    Followed(change);
    // Feedback goes once the rule that announced has finished: a bulk
    // command's many announcements become one pass.
    if (!flushQueued_) {
        flushQueued_ = true;
        QMetaObject::invokeMethod(
            this,
            [this] {
                flushQueued_ = false;
                Flush();
            },
            Qt::QueuedConnection);
    }
}

void TSurfaceBinding::Resync() {
    session_.Resync();
    Flush();
}

void TSurfaceBinding::Flush() {
    const TMillis now = Now();
    for (const TFeedback& f : session_.TakeDue(now))
        Send(f);
    std::optional<TMillis> due = session_.NextDue();
    if (const auto own = FlushOwn(now); own && (!due || *own < *due)) due = own;
    if (due) {
        const auto wait = static_cast<int>(std::max<TMillis>(0, *due - now));
        if (!flushTimer_.isActive() || flushTimer_.remainingTime() > wait) flushTimer_.start(wait);
    }
}
