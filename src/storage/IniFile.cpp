#include "storage/IniFile.h"

#include "core/WholeFile.h"

#include <QFile>

#include "storage/Ascii.h"

ToxIniFile::ToxIniFile(QString path) : path_(std::move(path)) {
    QFile file(path_);
    if (file.open(QIODevice::ReadOnly) && file.size() <= kMaxFileSize) FromBytes(file.readAll());
}

void ToxIniFile::FromBytes(const QByteArray& bytes) {
    sections_.clear();
    Section* current = nullptr;
    for (const QByteArray& raw : bytes.split('\n')) {
        const QString line = oxp::TrimBlanks(QString::fromUtf8(raw));
        if (line.isEmpty() || line.startsWith(QLatin1Char(';'))) continue;
        if (line.startsWith(QLatin1Char('[')) && line.endsWith(QLatin1Char(']'))) {
            const QString name = oxp::TrimBlanks(QStringView(line).mid(1, line.size() - 2));
            current = const_cast<Section*>(Find(name));
            if (current == nullptr) {
                sections_.push_back({name, {}});
                current = &sections_.back();
            }
            continue;
        }
        const qsizetype eq = line.indexOf(QLatin1Char('='));
        if (current == nullptr || eq <= 0) continue;
        current->values.emplace_back(oxp::TrimBlanks(QStringView(line).left(eq)),
                                     oxp::TrimBlanks(QStringView(line).mid(eq + 1)));
    }
}

QByteArray ToxIniFile::ToBytes() const {
    QByteArray out;
    for (const Section& s : sections_) {
        if (!out.isEmpty()) out += "\n";
        out += '[' + s.name.toUtf8() + "]\n";
        for (const auto& [key, value] : s.values)
            out += key.toUtf8() + '=' + value.toUtf8() + '\n';
    }
    return out;
}

const ToxIniFile::Section* ToxIniFile::Find(const QString& section) const {
    for (const Section& s : sections_)
        if (oxp::AsciiEqualsIgnoreCase(s.name, section)) return &s;
    return nullptr;
}

QString ToxIniFile::ReadString(const QString& section, const QString& key,
                               const QString& fallback) const {
    if (const Section* s = Find(section))
        for (const auto& [k, v] : s->values)
            if (oxp::AsciiEqualsIgnoreCase(k, key)) return v.left(kMaxValueLength);
    return fallback.left(kMaxValueLength);
}

bool ToxIniFile::ValueExists(const QString& section, const QString& key) const {
    if (const Section* s = Find(section))
        for (const auto& entry : s->values)
            if (oxp::AsciiEqualsIgnoreCase(entry.first, key)) return true;
    return false;
}

void ToxIniFile::WriteString(const QString& section, const QString& key, const QString& value) {
    // Keys and values are single lines.
    QString v = value;
    v.replace(QLatin1Char('\n'), QLatin1Char(' ')).replace(QLatin1Char('\r'), QLatin1Char(' '));
    auto* s = const_cast<Section*>(Find(section));
    if (s == nullptr) {
        sections_.push_back({section, {}});
        s = &sections_.back();
    }
    for (auto& [k, old] : s->values)
        if (oxp::AsciiEqualsIgnoreCase(k, key)) {
            old = v;
            return;
        }
    s->values.emplace_back(key, v);
}

QStringList ToxIniFile::ReadSectionKeys(const QString& section) const {
    QStringList keys;
    if (const Section* s = Find(section))
        for (const auto& entry : s->values)
            keys << entry.first;
    return keys;
}

TFileResult<> ToxIniFile::UpdateFile() const {
    return ReplaceFileWhole(path_, ToBytes(), QStringLiteral("Unable to write to %1:"));
}
