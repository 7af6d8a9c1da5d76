#include "persist/ItemStore.h"

#include <QWidget>

#include "storage/Ascii.h"
#include "storage/ContainerFile.h"
#include "storage/Encodings.h"
#include "storage/IniFile.h"
#include "storage/RegistryStore.h"

namespace oxp {

bool TContainerItemStore::Exists(const QString& key) const {
    return file_.ValueExists(key);
}
QString TContainerItemStore::ReadText(const QString& key) const {
    return file_.ReadString(key);
}
QByteArray TContainerItemStore::ReadBlock(const QString& key) const {
    // The table holds no more than the file did, so its size can be trusted.
    QByteArray buffer(file_.DataSize(key), '\0');
    file_.ReadBinary(key, buffer.data(), static_cast<int>(buffer.size()));
    return buffer;
}
void TContainerItemStore::WriteText(const QString& key, const QString& text) {
    file_.WriteString(key, text);
}
void TContainerItemStore::WriteBlock(const QString& key, const std::optional<QByteArray>& block) {
    if (block) file_.WriteBinary(key, *block);
}

bool TIniItemStore::Exists(const QString& key) const {
    return file_.ReadSectionKeys(section_).contains(key, Qt::CaseInsensitive);
}
QString TIniItemStore::ReadText(const QString& key) const {
    return file_.ReadString(section_, key, QString());
}
void TIniItemStore::WriteText(const QString& key, const QString& text) {
    file_.WriteString(section_, key, text);
}

bool TRegistryItemStore::BeginItem(bool forWrite) {
    reg_.CloseKey();
    return reg_.OpenKey(keyPath_, forWrite);
}
bool TRegistryItemStore::Exists(const QString& key) const {
    return reg_.ValueExists(key);
}
QString TRegistryItemStore::ReadText(const QString& key) const {
    return reg_.ReadString(key);
}
QByteArray TRegistryItemStore::ReadBlock(const QString& key) const {
    return reg_.ReadBinary(key);
}
void TRegistryItemStore::WriteText(const QString& key, const QString& text) {
    reg_.WriteString(key, text);
}
void TRegistryItemStore::WriteBlock(const QString& key, const std::optional<QByteArray>& block) {
    reg_.WriteBinary(key, block.value_or(QByteArray()));
}

namespace {

void ApplyParent(QWidget* control, const QObject* owner, const QString& name) {
    QObject* found = FindComponent(control, name);
    if (found == nullptr) found = FindComponent(owner, name);
    auto* parent = qobject_cast<QWidget*>(found);
    if (parent == nullptr || parent == control || control->isAncestorOf(parent)) return;
    const bool visible = control->isVisible();
    control->setParent(parent);
    if (visible) control->show();
}

void ApplyBounds(QWidget* control, const QString& text) {
    const QStringList parts = text.split(QLatin1Char(';'));
    const int current[] = {control->x(), control->y(), control->width(), control->height()};
    int v[4];
    for (int i = 0; i < 4; ++i) {
        bool ok = false;
        v[i] = i < parts.size() ? TrimBlanks(parts[i]).toInt(&ok) : 0;
        if (!ok) v[i] = current[i];
    }
    control->setGeometry(v[0], v[1], std::max(v[2], 0), std::max(v[3], 0));
}

QObject* OwnerOf(const QObject* object) {
    if (object == nullptr) return nullptr;
    if (object->isWidgetType()) {
        const auto* w = static_cast<const QWidget*>(object);
        if (!w->isWindow()) return w->window();
    }
    return object->parent();
}

} // namespace

void ApplyItemText(const TPropRef& p, const QString& text) {
    ApplyText(p, text, OwnerOf(p.object));
}

void LoadTarget(TItemStore& store, const TItemTarget& t, const QString& key, const QObject* owner) {
    if (t.property) {
        if (IsObjectValue(*t.property)) {
            if (store.HoldsBlocks() && store.Exists(key))
                ApplyBlock(*t.property, store.ReadBlock(key));
        } else if (store.Exists(key)) {
            ApplyItemText(*t.property, store.ReadText(key));
        }
        return;
    }
    auto* control = qobject_cast<QWidget*>(t.object);
    if (control == nullptr || !store.Exists(key)) return;
    if (t.pseudo == TItemTarget::Pseudo::Parent) ApplyParent(control, owner, store.ReadText(key));
    if (t.pseudo == TItemTarget::Pseudo::Bounds) ApplyBounds(control, store.ReadText(key));
}

void SaveTarget(TItemStore& store, const TItemTarget& t, const QString& key) {
    if (t.property) {
        if (IsObjectValue(*t.property)) {
            if (store.HoldsBlocks()) store.WriteBlock(key, EncodeBlock(*t.property));
        } else {
            store.WriteText(key, EncodeText(*t.property));
        }
        return;
    }
    auto* control = qobject_cast<QWidget*>(t.object);
    if (control == nullptr) return;
    if (t.pseudo == TItemTarget::Pseudo::Parent && control->parentWidget() != nullptr)
        store.WriteText(key, control->parentWidget()->objectName());
    if (t.pseudo == TItemTarget::Pseudo::Bounds)
        store.WriteText(key, QStringLiteral("%1;%2;%3;%4")
                                 .arg(control->x())
                                 .arg(control->y())
                                 .arg(control->width())
                                 .arg(control->height()));
}

} // namespace oxp
