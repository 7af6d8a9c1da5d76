#include "app/StatusCorner.h"

#include <QEvent>
#include <QHBoxLayout>
#include <QMenuBar>

TStatusCorner::TStatusCorner(QMenuBar* bar) : QWidget(bar), bar_(bar) {
    setObjectName(QStringLiteral("StatusCorner"));
    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(6);
    bar->setCornerWidget(this, Qt::TopRightCorner);
}

void TStatusCorner::Add(QWidget* status) {
    layout()->addWidget(status);
}

bool TStatusCorner::event(QEvent* event) {
    const bool handled = QWidget::event(event);
    // Placing the corner again is the bar's one public way to lay out anew.
    if (event->type() == QEvent::LayoutRequest && sizeHint() != size())
        bar_->setCornerWidget(this, Qt::TopRightCorner);
    return handled;
}
