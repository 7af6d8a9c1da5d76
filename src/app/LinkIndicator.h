#pragma once
// A small label at the end of the menu bar telling how the host link
// stands: connected, no host, not answering, or refused. Driven by a plain
// status value; it repaints only when the shown state changes.

#include <QColor>
#include <QLabel>

#include "hostlink/LinkStatus.h"

class TLinkIndicator : public QLabel {
    Q_OBJECT
public:
    explicit TLinkIndicator(QWidget* parent = nullptr);

    // Shows `status`; nothing happens when it is what is shown already.
    void SetStatus(const hostlink::LinkStatus& status);
    const hostlink::LinkStatus& Status() const { return status_; }

    // The words shown for a state.
    static QString TextFor(hostlink::LinkState state);
    // The colour the text of a state is drawn in.
    static QColor ColourFor(hostlink::LinkState state);

private:
    hostlink::LinkStatus status_;
};
