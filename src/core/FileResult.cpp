#include "core/FileResult.h"

QString TFileError::Message() const {
    // An action without %1 (a fixed text) is shown as it is.
    const QString text = action_.contains(QLatin1String("%1")) ? action_.arg(path_) : action_;
    if (reason_.isEmpty()) return text;
    if (text.isEmpty()) return reason_;
    return text + QLatin1Char(' ') + reason_;
}
