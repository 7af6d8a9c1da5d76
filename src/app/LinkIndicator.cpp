#include "app/LinkIndicator.h"

namespace {

QString ColourFor(hostlink::LinkState state) {
    switch (state) {
    case hostlink::LinkState::Connected:
        return QStringLiteral("#1a7f37");
    case hostlink::LinkState::NotAnswering:
        return QStringLiteral("#b35900");
    case hostlink::LinkState::Refused:
        return QStringLiteral("#c0151a");
    case hostlink::LinkState::NoHost:
        break;
    }
    return QStringLiteral("#606060");
}

} // namespace

TLinkIndicator::TLinkIndicator(QWidget* parent) : QLabel(parent) {
    setObjectName(QStringLiteral("LinkIndicator"));
    setContentsMargins(6, 0, 6, 0);
    // Shown from the first paint: a state that differs from this one repaints.
    status_.State = hostlink::LinkState::Connected;
    SetStatus({});
}

QString TLinkIndicator::TextFor(hostlink::LinkState state) {
    switch (state) {
    case hostlink::LinkState::Connected:
        return QStringLiteral("Host connected");
    case hostlink::LinkState::NotAnswering:
        return QStringLiteral("Host not answering");
    case hostlink::LinkState::Refused:
        return QStringLiteral("Host refused");
    case hostlink::LinkState::NoHost:
        break;
    }
    return QStringLiteral("No host");
}

void TLinkIndicator::SetStatus(const hostlink::LinkStatus& status) {
    if (status == status_) return;
    status_ = status;
    setText(TextFor(status.State));
    setStyleSheet(QStringLiteral("color: %1;").arg(ColourFor(status.State)));
    QString tip = QString::fromStdString(status.Path);
    if (!status.Reason.empty()) tip += QStringLiteral("\n") + QString::fromStdString(status.Reason);
    setToolTip(tip);
}
