#include "dialogs/OutputStatusLabel.h"

TOutputStatusLabel::TOutputStatusLabel(TSource source, QWidget* parent)
    : QLabel(parent), source_(std::move(source)) {
    setObjectName(QStringLiteral("OutputStatus"));
    setContentsMargins(6, 0, 6, 0);
    setVisible(false);
    timer_.setInterval(POLL_MS);
    connect(&timer_, &QTimer::timeout, this, &TOutputStatusLabel::Refresh);
    timer_.start();
}

void TOutputStatusLabel::Refresh() {
    QStringList parts;
    for (const TOutputStatus& status : source_())
        parts << QStringLiteral("%1: %2").arg(
            QString::fromStdString(status.name),
            QString::fromStdString(OutputStateText(status.state)));
    const QString next = parts.join(QStringLiteral("  "));
    setVisible(!next.isEmpty());
    if (next != text()) setText(next);
}
