#include "app/OutputStatusLabel.h"

TOutputStatusLabel::TOutputStatusLabel(TSource source, QWidget* parent)
    : QLabel(parent), m_source(std::move(source)) {
    setObjectName(QStringLiteral("OutputStatus"));
    setContentsMargins(6, 0, 6, 0);
    setVisible(false);
    m_timer.setInterval(POLL_MS);
    connect(&m_timer, &QTimer::timeout, this, &TOutputStatusLabel::Refresh);
    m_timer.start();
}

void TOutputStatusLabel::Refresh() {
    QStringList parts;
    for (const TOutputStatus& status : m_source())
        parts << QStringLiteral("%1: %2").arg(
            QString::fromStdString(status.name),
            QString::fromStdString(OutputStateText(status.state)));
    const QString next = parts.join(QStringLiteral("  "));
    setVisible(!next.isEmpty());
    if (next != text()) setText(next);
}
