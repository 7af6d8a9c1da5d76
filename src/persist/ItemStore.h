#pragma once
// What one load or save of the items needs of a store, and what an item
// resolves to: a property, or one of the pseudo-properties.

#include <optional>

#include <QByteArray>
#include <QString>

#include "storage/PropertyTable.h"

class ToxIniFile;
class ToxRegFile;
class TRegistryStore;

namespace oxp {

class TItemStore {
public:
    virtual ~TItemStore() = default;
    // Registry: reopens the key path before each item; false skips the item.
    virtual bool BeginItem(bool /*forWrite*/) { return true; }
    virtual bool Exists(const QString& key) const = 0;
    virtual QString ReadText(const QString& key) const = 0;
    virtual QByteArray ReadBlock(const QString& key) const = 0;
    virtual void WriteText(const QString& key, const QString& text) = 0;
    // `block` empty when the object yielded no block.
    virtual void WriteBlock(const QString& key, const std::optional<QByteArray>& block) = 0;
    // The ini store keeps no object values.
    virtual bool HoldsBlocks() const { return true; }
};

class TContainerItemStore : public TItemStore {
public:
    explicit TContainerItemStore(ToxRegFile& file) : file_(file) {}
    bool Exists(const QString& key) const override;
    QString ReadText(const QString& key) const override;
    QByteArray ReadBlock(const QString& key) const override;
    void WriteText(const QString& key, const QString& text) override;
    void WriteBlock(const QString& key, const std::optional<QByteArray>& block) override;

private:
    ToxRegFile& file_;
};

class TIniItemStore : public TItemStore {
public:
    TIniItemStore(ToxIniFile& file, QString section) : file_(file), section_(std::move(section)) {}
    bool Exists(const QString& key) const override;
    QString ReadText(const QString& key) const override;
    QByteArray ReadBlock(const QString&) const override { return {}; }
    void WriteText(const QString& key, const QString& text) override;
    void WriteBlock(const QString&, const std::optional<QByteArray>&) override {}
    bool HoldsBlocks() const override { return false; }

private:
    ToxIniFile& file_;
    QString section_;
};

class TRegistryItemStore : public TItemStore {
public:
    TRegistryItemStore(TRegistryStore& reg, QString keyPath)
        : reg_(reg), keyPath_(std::move(keyPath)) {}
    bool BeginItem(bool forWrite) override;
    bool Exists(const QString& key) const override;
    QString ReadText(const QString& key) const override;
    QByteArray ReadBlock(const QString& key) const override;
    void WriteText(const QString& key, const QString& text) override;
    void WriteBlock(const QString& key, const std::optional<QByteArray>& block) override;
    TRegistryStore& Registry() { return reg_; }

private:
    TRegistryStore& reg_;
    QString keyPath_;
};

struct TItemTarget {
    enum class Pseudo { None, Parent, Bounds, Variant };
    QObject* object = nullptr;
    std::optional<TPropRef> property;
    Pseudo pseudo = Pseudo::None;
};

// A stored text applied to a property as loading applies it: a component
// reference is looked for in the object's owner too (a widget's window, else
// its parent).
void ApplyItemText(const TPropRef& p, const QString& text);

// Loads or saves one resolved item through the store.
void LoadTarget(TItemStore& store, const TItemTarget& target, const QString& key,
                const QObject* owner);
void SaveTarget(TItemStore& store, const TItemTarget& target, const QString& key);

} // namespace oxp
