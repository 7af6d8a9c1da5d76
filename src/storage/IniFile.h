#pragma once
// ToxIniFile: a sectioned text file of key=value lines. Sections and keys
// compare ASCII case-insensitively; the file is read once and written back
// whole (ReplaceFileWhole) by UpdateFile.

#include <vector>

#include <QString>
#include <QStringList>

#include "core/FileResult.h"

class ToxIniFile {
public:
    static constexpr int kMaxValueLength = 2047;
    static constexpr qint64 kMaxFileSize = 16 * 1024 * 1024;

    explicit ToxIniFile(QString path);

    QString FileName() const { return path_; }
    // At most kMaxValueLength characters, or `fallback` when the key is missing.
    QString ReadString(const QString& section, const QString& key, const QString& fallback) const;
    void WriteString(const QString& section, const QString& key, const QString& value);
    QStringList ReadSectionKeys(const QString& section) const;
    bool ValueExists(const QString& section, const QString& key) const;
    // Fails with "Unable to write to <file>:", the step and the reason when
    // the file cannot be written.
    TFileResult<> UpdateFile() const;

    QByteArray ToBytes() const;
    void FromBytes(const QByteArray& bytes);

private:
    struct Section {
        QString name;
        std::vector<std::pair<QString, QString>> values;
    };
    const Section* Find(const QString& section) const;

    QString path_;
    std::vector<Section> sections_;
};
