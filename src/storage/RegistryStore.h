#pragma once
// The registry as a hierarchical key-value file of our own under the
// per-user configuration directory: one file per root key, holding key paths
// with typed values (string, integer, binary). Names compare ASCII
// case-insensitively. Changes reach the disk with Flush.

#include <map>
#include <optional>
#include <vector>

#include <QByteArray>
#include <QString>
#include <QVariant>

#include "core/FileResult.h"

class TRegistryStore {
public:
    enum class ValueType { String, Integer, Binary };
    static constexpr qint64 kMaxFileSize = 16 * 1024 * 1024;

    explicit TRegistryStore(QString filePath);

    void CloseKey() { open_.clear(); }
    // Opens a key path ("Software\A\B"); with `create` missing keys are made.
    bool OpenKey(const QString& path, bool create);

    bool ValueExists(const QString& name) const;
    std::optional<ValueType> GetDataType(const QString& name) const;
    int GetDataSize(const QString& name) const;
    QString ReadString(const QString& name) const;
    std::optional<qint64> ReadInteger(const QString& name) const;
    QByteArray ReadBinary(const QString& name) const;
    void WriteString(const QString& name, const QString& value);
    void WriteInteger(const QString& name, qint64 value);
    void WriteBinary(const QString& name, const QByteArray& value);

    TFileResult<> Flush() const;

private:
    struct Value {
        QString name;
        ValueType type = ValueType::String;
        QVariant data;
    };
    struct Key {
        QString path;
        std::vector<Value> values;
    };
    static QString Normalise(const QString& path);
    Key* OpenKeyData();
    const Value* Find(const QString& name) const;
    void Write(const QString& name, ValueType type, QVariant data);
    void Read(const QByteArray& json);

    QString filePath_;
    std::map<QString, Key> keys_; // by lower-case path
    QString open_;
};
