#include "core/FileResult.h"

#include <QStringList>

QString TFileError::Message() const {
    // An action without %1 (a fixed text) is shown as it is.
    const QString text = action_.contains(QLatin1String("%1")) ? action_.arg(path_) : action_;
    QStringList parts;
    if (!text.isEmpty()) parts << text;
    if (!step_.isEmpty()) parts << (reason_.isEmpty() ? step_ : step_ + QLatin1Char(':'));
    if (!reason_.isEmpty()) parts << reason_;
    return parts.join(QLatin1Char(' '));
}
