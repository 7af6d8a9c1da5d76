// The item loops of ToxPersist, shared by the three stores, and the run-time
// variables and items of the registry store.

#include <QFileInfo>
#include <QWidget>

#include "base/MessageBox.h"
#include "core/WholeFile.h"
#include "persist/ItemStore.h"
#include "persist/Persist.h"
#include "storage/Ascii.h"
#include "storage/PersistItem.h"
#include "storage/RegistryStore.h"

using oxp::TItemTarget;
using oxp::TPersistItem;

namespace {

constexpr char kSeqIdKey[] = "_SeqID_";
constexpr char kDynamicItemsKey[] = "_DynamicItems_";
constexpr char kExceptText[] = "except";

bool Is(const QString& a, const char* b) {
    return oxp::AsciiEqualsIgnoreCase(a, QString::fromLatin1(b));
}

} // namespace

std::optional<TItemTarget> ToxPersist::Resolve(const TPersistItem& item, bool registry) const {
    QObject* owner = parent();
    const QString& component = item[TPersistItem::Component];
    QObject* object = nullptr;
    if (component == QLatin1String(oxp::kOwnerComponent) ||
        (registry && component == QLatin1String(oxp::kVariableComponent)))
        object = owner;
    else
        object = oxp::FindComponent(owner, component);
    if (object == nullptr) return std::nullopt;
    const std::optional<oxp::TPathEnd> end = oxp::FollowPath(object, item[TPersistItem::Property]);
    if (!end) return std::nullopt;
    TItemTarget target;
    target.object = end->object;
    target.property = oxp::FindProperty(end->object, end->name);
    if (target.property) return target;
    const bool control = end->object->isWidgetType();
    if (control && Is(end->name, "Parent"))
        target.pseudo = TItemTarget::Pseudo::Parent;
    else if (control && Is(end->name, "Bounds"))
        target.pseudo = TItemTarget::Pseudo::Bounds;
    else if (registry && Is(end->name, "Variant"))
        target.pseudo = TItemTarget::Pseudo::Variant;
    else
        return std::nullopt;
    return target;
}

void ToxPersist::LoadItems(oxp::TItemStore& store, bool registry) {
    // The list may change under the loop (a stored item list replaces it),
    // so its length is read again before every item.
    for (qsizetype i = 0; i < items_.size(); ++i) {
        const TPersistItem item = TPersistItem::Parse(items_[i]);
        if (!item.Usable() || !store.BeginItem(false)) continue;
        const std::optional<TItemTarget> target = Resolve(item, registry);
        if (!target) continue;
        const QString& key = item[TPersistItem::Key];
        try {
            if (target->pseudo != TItemTarget::Pseudo::Variant) {
                LoadTarget(store, *target, key, parent());
                continue;
            }
            auto& reg = static_cast<oxp::TRegistryItemStore&>(store).Registry();
            if (Is(key, kSeqIdKey)) {
                const std::optional<qint64> stored = reg.ReadInteger(key);
                if (!stored) continue;
                if (*stored < seqId_)
                    ++i; // an older stored item list is not taken
                else
                    dynamicItems_ = true;
            } else {
                SetVariable(key, reg.ValueExists(key) ? reg.ReadString(key)
                                                      : item[TPersistItem::DefaultValue]);
            }
        } catch (const std::exception&) {
            ShowMessageBox(OwnerWindow(), QLatin1String(kExceptText), TMsgDlgType::mtError,
                           QMessageBox::Ok);
        }
    }
}

void ToxPersist::SaveItems(oxp::TItemStore& store, bool registry) {
    for (qsizetype i = 0; i < items_.size(); ++i) {
        const TPersistItem item = TPersistItem::Parse(items_[i]);
        if (!item.Usable() || item.IsNoSave() || !store.BeginItem(true)) continue;
        const std::optional<TItemTarget> target = Resolve(item, registry);
        if (!target) continue;
        const QString& key = item[TPersistItem::Key];
        try {
            if (target->pseudo != TItemTarget::Pseudo::Variant) {
                SaveTarget(store, *target, key);
                continue;
            }
            auto& reg = static_cast<oxp::TRegistryItemStore&>(store).Registry();
            if (Is(key, kSeqIdKey))
                reg.WriteInteger(key, seqId_);
            else
                reg.WriteString(key, GetVariable(key).toString());
        } catch (const std::exception&) {
            // One item that cannot be written does not stop the others.
        }
    }
}

// --- the registry ---------------------------------------------------------------

void ToxPersist::InsertDynamicItems() {
    items_.insert(0, TPersistItem::Build(objectName(), QStringLiteral("Items"),
                                         QLatin1String(kDynamicItemsKey), false, false, {}));
    items_.insert(0, TPersistItem::Build(QLatin1String(oxp::kVariableComponent),
                                         QStringLiteral("Variant"), QLatin1String(kSeqIdKey), false,
                                         false, {}));
}

void ToxPersist::RemoveDynamicItems() {
    for (int i = 0; i < 2 && !items_.isEmpty(); ++i)
        items_.removeFirst();
}

void ToxPersist::LoadRegistry() {
    loading_ = true;
    InsertDynamicItems();
    RemoveSaveLeftovers(RegistryFilePath());
    TRegistryStore reg(RegistryFilePath());
    oxp::TRegistryItemStore store(reg, RegistryKeyPath());
    LoadItems(store, true);
    RemoveDynamicItems();
    loading_ = false;
    loaded_ = true;
}

TFileResult<> ToxPersist::SaveRegistry() {
    const bool dynamic = dynamicItems_;
    if (dynamic) InsertDynamicItems();
    TRegistryStore reg(RegistryFilePath());
    oxp::TRegistryItemStore store(reg, RegistryKeyPath());
    SaveItems(store, true);
    if (dynamic) RemoveDynamicItems();
    return reg.Flush();
}

QVariant ToxPersist::GetVariable(const QString& name) const {
    for (const auto& [n, v] : variables_)
        if (oxp::AsciiEqualsIgnoreCase(n, name)) return v;
    return {};
}

void ToxPersist::SetVariable(const QString& name, const QVariant& value) {
    for (auto& [n, v] : variables_)
        if (oxp::AsciiEqualsIgnoreCase(n, name)) {
            v = value;
            return;
        }
    const int index =
        AddItem(static_cast<int>(items_.size()), QLatin1String(oxp::kVariableComponent),
                QStringLiteral("Variant"), name, false, false, {});
    if (index >= 0) {
        QStringList fields = items_[index].split(QLatin1Char(';'));
        while (fields.size() <= TPersistItem::DefaultValue)
            fields << QString();
        fields[TPersistItem::DefaultValue] = value.toString();
        items_[index] = fields.join(QLatin1Char(';'));
    }
    variables_.emplace_back(name, value);
}

int ToxPersist::AddItem(int index, const QString& component, const QString& property, QString key,
                        bool noSave, bool inSetupDialog, const QString& description) {
    if (key.isEmpty()) key = component + QLatin1Char('_') + property;
    if (IndexOfKey(key) >= 0) return -1;
    index = std::clamp(index, 0, static_cast<int>(items_.size()));
    items_.insert(
        index, TPersistItem::Build(component, property, key, noSave, inSetupDialog, description));
    dynamicItems_ = true;
    return index;
}

int ToxPersist::IndexOfKey(const QString& name) const {
    for (qsizetype i = 0; i < items_.size(); ++i) {
        const TPersistItem item = TPersistItem::Parse(items_[i]);
        const QString& component = item[TPersistItem::Component];
        if (oxp::AsciiEqualsIgnoreCase(item[TPersistItem::Key], name) ||
            (component != QLatin1String(oxp::kVariableComponent) &&
             oxp::AsciiEqualsIgnoreCase(component + QLatin1Char('.') + item[TPersistItem::Property],
                                        name)))
            return static_cast<int>(i);
    }
    return -1;
}
