#include "app/LinkIndicator.h"

QColor TLinkIndicator::ColourFor(hostlink::LinkState state) {
    switch (state) {
    case hostlink::LinkState::Connected:
        return QColor(0x1a, 0x7f, 0x37);
    case hostlink::LinkState::NotAnswering:
        return QColor(0xb3, 0x59, 0x00);
    case hostlink::LinkState::Refused:
        return QColor(0xc0, 0x15, 0x1a);
    case hostlink::LinkState::NoHost:
        break;
    }
    return QColor(0x60, 0x60, 0x60);
}

TLinkIndicator::TLinkIndicator(QWidget* parent) : QLabel(parent) {
    setObjectName(QStringLiteral("LinkIndicator"));
    setContentsMargins(6, 0, 6, 0);
    // In the menu bar a child would draw in the bar's button-text colour.
    setForegroundRole(QPalette::WindowText);
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
    // A palette, not a style sheet: a style sheet gives the label a style of
    // its own, costly to make at every start.
    QPalette colours = palette();
    colours.setColor(QPalette::WindowText, ColourFor(status.State));
    setPalette(colours);
    QString tip = QString::fromStdString(status.Path);
    if (!status.Reason.empty()) tip += QStringLiteral("\n") + QString::fromStdString(status.Reason);
    setToolTip(tip);
}
