#include "storage/PersistItem.h"

#include <QStringList>

#include "storage/Ascii.h"

namespace oxp {

TPersistItem TPersistItem::Parse(const QString& line) {
    TPersistItem item;
    const QList<QStringView> parts = QStringView(line).split(QLatin1Char(';'));
    for (qsizetype i = 0; i < parts.size() && i < kFieldCount; ++i)
        item.fields_[static_cast<std::size_t>(i)] = TrimBlanks(parts[i]);
    return item;
}

QString TPersistItem::Build(const QString& component, const QString& property, const QString& key,
                            bool noSave, bool inSetupDialog, const QString& description) {
    return QStringLiteral("%1;%2;;%3;;;%4;%5;%6")
        .arg(component, property, key)
        .arg(noSave ? 1 : 0)
        .arg(inSetupDialog ? 1 : 0)
        .arg(description);
}

bool TPersistItem::Usable() const {
    return !fields_[Component].isEmpty() || !fields_[Property].isEmpty() || !fields_[Key].isEmpty();
}

QString TPersistItem::Join() const {
    QStringList parts(fields_.begin(), fields_.end());
    return parts.join(QLatin1Char(';'));
}

} // namespace oxp
