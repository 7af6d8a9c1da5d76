#include "surfaceio/MidiSurface.h"

#include <QPointer>

#include "model/DeskModel.h"

TMidiSurface::TMidiSurface(TDeskModel& model, const TSurfaceSettings& settings,
                           TSurfaceProfile profile, TSurfaceSession::TFocusSource focus,
                           QObject* parent)
    : QObject(parent), model_(model), profile_(profile), feedback_(profile),
      session_(model, ShapeOf(profile), std::move(focus)) {
    clock_.start();
    flushTimer_.setSingleShot(true);
    flushTimer_.setTimerType(Qt::PreciseTimer);
    connect(&flushTimer_, &QTimer::timeout, this, &TMidiSurface::Flush);
    port_ = std::make_unique<TMidiPort>(settings.MidiApi, settings.MidiInput, settings.MidiOutput,
                                        profile_, mailbox_);
    QPointer<TMidiSurface> self(this);
    mailbox_.SetWake([self] {
        QMetaObject::invokeMethod(
            self,
            [self] {
                if (self) self->Drain();
            },
            Qt::QueuedConnection);
    });
    port_->SetStatusListener([self](const TPortStatus& status) {
        const bool opened = status.State == TPortState::Open;
        QMetaObject::invokeMethod(
            self,
            [self, opened] {
                if (!self) return;
                // A surface that came (back) shows the desk as it is now.
                if (opened) {
                    self->session_.Resync();
                    self->Flush();
                }
                emit self->statusChanged();
            },
            Qt::QueuedConnection);
    });
}

TMidiSurface::~TMidiSurface() {
    // The port's threads end before the mailbox and the session go.
    port_->SetStatusListener(nullptr);
    port_->Stop();
}

void TMidiSurface::Start() {
    port_->Start();
}

void TMidiSurface::Drain() {
    bool markers = false;
    for (const TSurfaceInput& input : mailbox_.TakeAll()) {
        try {
            markers = session_.Apply(input, Now()) || markers;
        } catch (const std::out_of_range&) {
            // A rule refused a number: that input is dropped, the rest go on.
        }
    }
    if (markers) emit markersChanged();
    Flush();
}

void TMidiSurface::Follow(const TDeskChange& change) {
    if (session_.Follow(change, Now())) emit markersChanged();
    if (!flushTimer_.isActive()) QMetaObject::invokeMethod(this, &TMidiSurface::Flush, Qt::QueuedConnection);
}

void TMidiSurface::Flush() {
    const TMillis now = Now();
    for (const TFeedback& f : session_.TakeDue(now)) {
        switch (f.Role) {
        case TControlRole::Fader: port_->Send(feedback_.FaderMessage(f.Index, f.Value)); break;
        case TControlRole::Bump: port_->Send(feedback_.BumpMessage(f.Index, f.Value != 0)); break;
        case TControlRole::Page: port_->Send(feedback_.PageMessage(f.Index, f.Value != 0)); break;
        default: break;
        }
    }
    if (const auto due = session_.NextDue()) {
        const auto wait = static_cast<int>(std::max<TMillis>(0, *due - now));
        if (!flushTimer_.isActive() || flushTimer_.remainingTime() > wait) flushTimer_.start(wait);
    }
}

bool TMidiSurface::Learn(int slot) {
    const int index = slot - session_.BankOffset();
    if (index < 1 || index > profile_.Faders) return false;
    QPointer<TMidiSurface> self(this);
    port_->SetLearnListener([self, slot, index](const TMidiAddress& address) {
        QMetaObject::invokeMethod(
            self,
            [self, slot, index, address] {
                if (!self) return;
                self->LearnedProfile = self->profile_;
                if (!AssignFader(self->LearnedProfile, index, address)) return;
                emit self->learned(slot, QString::fromStdString(AddressText(address)));
            },
            Qt::QueuedConnection);
    });
    return true;
}

void TMidiSurface::CancelLearn() {
    port_->SetLearnListener(nullptr);
}
