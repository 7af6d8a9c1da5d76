#include "app/StatusCorner.h"

#include <QEvent>
#include <QHBoxLayout>
#include <QMenuBar>

TStatusCorner::TStatusCorner(QMenuBar* bar) : QWidget(bar) {
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
    auto* bar = qobject_cast<QMenuBar*>(parentWidget());
    if (bar != nullptr && event->type() == QEvent::LayoutRequest && sizeHint() != size())
        bar->setCornerWidget(this, Qt::TopRightCorner);
    return handled;
}
