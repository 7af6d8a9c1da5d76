#include "surfaceio/MidiSurface.h"

#include <QPointer>

TMidiSurface::TMidiSurface(TDeskModel& model, const TSurfaceSettings& settings,
                           TSurfaceProfile profile, TSurfaceSession::TFocusSource focus,
                           QObject* parent)
    : TSurfaceBinding(model, ShapeOf(profile), std::move(focus), parent), profile_(profile),
      feedback_(profile) {
    port_ = std::make_unique<TMidiPort>(settings.MidiApi, settings.MidiInput, settings.MidiOutput,
                                        profile_, Mailbox());
    QPointer<TMidiSurface> self(this);
    port_->SetStatusListener([self](const TPortStatus& status) {
        const bool opened = status.State == TPortState::Open;
        QMetaObject::invokeMethod(
            self,
            [self, opened] {
                if (!self) return;
                // A surface that came (back) shows the desk as it is now.
                if (opened) self->Resync();
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

void TMidiSurface::Send(const TFeedback& f) {
    switch (f.Role) {
    case TControlRole::Fader:
        port_->Send(feedback_.FaderMessage(f.Index, f.Value));
        break;
    case TControlRole::Bump:
        port_->Send(feedback_.BumpMessage(f.Index, f.Value != 0));
        break;
    case TControlRole::Page:
        port_->Send(feedback_.PageMessage(f.Index, f.Value != 0));
        break;
    default:
        break;
    }
}

bool TMidiSurface::Learn(int slot) {
    const int index = slot - Session().BankOffset();
    if (index < 1 || index > profile_.Faders) return false;
    QPointer<TMidiSurface> self(this);
    port_->SetLearnListener([self, slot, index](const TMidiAddress& address) {
        QMetaObject::invokeMethod(
            self,
            [self, slot, index, address] {
                if (!self) return;
                TSurfaceProfile learned = self->profile_;
                if (!AssignFader(learned, index, address)) return;
                emit self->learned(slot, QString::fromStdString(AddressText(address)), learned);
            },
            Qt::QueuedConnection);
    });
    return true;
}
