#include "storage/RegistryStore.h"

#include "core/WholeFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include "storage/Ascii.h"

namespace {

QString Lower(const QString& s) {
    QString out = s;
    for (QChar& c : out)
        if (c.unicode() >= 'A' && c.unicode() <= 'Z') c = QChar(c.unicode() + 32);
    return out;
}

const char* TypeName(TRegistryStore::ValueType t) {
    switch (t) {
    case TRegistryStore::ValueType::Integer:
        return "integer";
    case TRegistryStore::ValueType::Binary:
        return "binary";
    default:
        return "string";
    }
}

} // namespace

TRegistryStore::TRegistryStore(QString filePath) : filePath_(std::move(filePath)) {
    QFile file(filePath_);
    if (file.open(QIODevice::ReadOnly) && file.size() <= kMaxFileSize) Read(file.readAll());
}

void TRegistryStore::Read(const QByteArray& json) {
    const QJsonObject root = QJsonDocument::fromJson(json).object();
    for (auto it = root.begin(); it != root.end(); ++it) {
        Key key;
        key.path = Normalise(it.key());
        const QJsonArray values = it.value().toArray();
        for (const QJsonValue& v : values) {
            const QJsonObject o = v.toObject();
            Value value;
            value.name = o.value(QLatin1String("name")).toString();
            const QString type = o.value(QLatin1String("type")).toString();
            const QJsonValue data = o.value(QLatin1String("data"));
            if (type == QLatin1String("integer")) {
                value.type = ValueType::Integer;
                value.data = static_cast<qint64>(data.toDouble());
            } else if (type == QLatin1String("binary")) {
                value.type = ValueType::Binary;
                value.data = QByteArray::fromBase64(data.toString().toLatin1());
            } else {
                value.data = data.toString();
            }
            key.values.push_back(std::move(value));
        }
        keys_[Lower(key.path)] = std::move(key);
    }
}

QString TRegistryStore::Normalise(const QString& path) {
    QStringList parts;
    for (const QString& p : path.split(QLatin1Char('\\'), Qt::SkipEmptyParts))
        parts << p;
    return parts.join(QLatin1Char('\\'));
}

bool TRegistryStore::OpenKey(const QString& path, bool create) {
    CloseKey();
    const QString normal = Normalise(path);
    if (normal.isEmpty()) return false;
    const QString id = Lower(normal);
    if (keys_.count(id) == 0) {
        if (!create) return false;
        // Every key on the way exists once its child does.
        const QStringList parts = normal.split(QLatin1Char('\\'));
        for (qsizetype i = 1; i <= parts.size(); ++i) {
            const QString sub = parts.first(i).join(QLatin1Char('\\'));
            if (keys_.count(Lower(sub)) == 0) keys_[Lower(sub)] = Key{sub, {}};
        }
    }
    open_ = id;
    return true;
}

TRegistryStore::Key* TRegistryStore::OpenKeyData() {
    auto it = keys_.find(open_);
    return open_.isEmpty() || it == keys_.end() ? nullptr : &it->second;
}

const TRegistryStore::Value* TRegistryStore::Find(const QString& name) const {
    auto it = keys_.find(open_);
    if (open_.isEmpty() || it == keys_.end()) return nullptr;
    for (const Value& v : it->second.values)
        if (oxp::AsciiEqualsIgnoreCase(v.name, name)) return &v;
    return nullptr;
}

bool TRegistryStore::ValueExists(const QString& name) const {
    return Find(name) != nullptr;
}

std::optional<TRegistryStore::ValueType> TRegistryStore::GetDataType(const QString& name) const {
    const Value* v = Find(name);
    return v ? std::optional(v->type) : std::nullopt;
}

int TRegistryStore::GetDataSize(const QString& name) const {
    const Value* v = Find(name);
    if (v == nullptr) return -1;
    switch (v->type) {
    case ValueType::Integer:
        return 4;
    case ValueType::Binary:
        return static_cast<int>(v->data.toByteArray().size());
    default:
        return static_cast<int>(v->data.toString().toUtf8().size() + 1);
    }
}

QString TRegistryStore::ReadString(const QString& name) const {
    const Value* v = Find(name);
    return v && v->type == ValueType::String ? v->data.toString() : QString();
}

std::optional<qint64> TRegistryStore::ReadInteger(const QString& name) const {
    const Value* v = Find(name);
    if (v == nullptr || v->type != ValueType::Integer) return std::nullopt;
    return v->data.toLongLong();
}

QByteArray TRegistryStore::ReadBinary(const QString& name) const {
    const Value* v = Find(name);
    return v && v->type == ValueType::Binary ? v->data.toByteArray() : QByteArray();
}

void TRegistryStore::Write(const QString& name, ValueType type, QVariant data) {
    Key* key = OpenKeyData();
    if (key == nullptr) return;
    for (Value& v : key->values)
        if (oxp::AsciiEqualsIgnoreCase(v.name, name)) {
            v.type = type;
            v.data = std::move(data);
            return;
        }
    key->values.push_back({name, type, std::move(data)});
}

void TRegistryStore::WriteString(const QString& name, const QString& value) {
    Write(name, ValueType::String, value);
}
void TRegistryStore::WriteInteger(const QString& name, qint64 value) {
    Write(name, ValueType::Integer, value);
}
void TRegistryStore::WriteBinary(const QString& name, const QByteArray& value) {
    Write(name, ValueType::Binary, value);
}

TFileResult<> TRegistryStore::Flush() const {
    QJsonObject root;
    for (const auto& [id, key] : keys_) {
        QJsonArray values;
        for (const Value& v : key.values) {
            QJsonObject o{{QLatin1String("name"), v.name},
                          {QLatin1String("type"), QLatin1String(TypeName(v.type))}};
            if (v.type == ValueType::Integer)
                o.insert(QLatin1String("data"), static_cast<double>(v.data.toLongLong()));
            else if (v.type == ValueType::Binary)
                o.insert(QLatin1String("data"),
                         QString::fromLatin1(v.data.toByteArray().toBase64()));
            else
                o.insert(QLatin1String("data"), v.data.toString());
            values.append(o);
        }
        root.insert(key.path, values);
    }
    if (TFileResult<> folder = CreateFolders(QFileInfo(filePath_).absolutePath()); !folder)
        return folder;
    return ReplaceFileWhole(filePath_, QJsonDocument(root).toJson(),
                            QStringLiteral("Cannot save file \"%1\":"));
}
