#pragma once
// ToxRegFile, the container file: an ordered table of named string and
// binary entries grouped in sections, read from and written to one file.

#include <cstdint>
#include <vector>

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

#include "core/FileResult.h"

class ToxRegFile {
public:
    static constexpr int kMaxNameLength = 23;
    static constexpr int kMaxSectionLength = 63;
    static constexpr std::uint8_t kStringEntry = 1;
    static constexpr std::uint8_t kBinaryEntry = 2;
    // A container larger than this is refused rather than read into memory.
    static constexpr qint64 kMaxFileSize = 64 * 1024 * 1024;

    struct Entry {
        QByteArray Name;
        QByteArray Section;
        std::uint8_t Type = 0;
        std::int32_t Size = 0;
        QByteArray Data; // at most Size bytes; missing bytes read as zero
    };

    void SetSection(const QString& section);
    QString Section() const { return QString::fromUtf8(section_); }

    bool ValueExists(const QString& name) const;
    void WriteString(const QString& name, const QString& text);
    void WriteBinary(const QString& name, const char* bytes, int count);
    void WriteBinary(const QString& name, QByteArrayView bytes);
    QString ReadString(const QString& name) const;
    // Copies at most `capacity` bytes and returns the entry's full size.
    int ReadBinary(const QString& name, char* buffer, int capacity) const;
    int DataSize(const QString& name) const;
    bool DeleteValue(const QString& name);
    void Clear() { entries_.clear(); }

    // Replaces the file whole (ReplaceFileWhole): a failure leaves the
    // previous file as it was.
    TFileResult<> SaveToFile(const QString& path) const;
    // The same, handing back the bytes written.
    TFileResult<> SaveToFile(const QString& path, QByteArray& written) const;
    // Fails when the file cannot be opened or is too large; a file that is
    // no container loads as an empty table.
    TFileResult<> LoadFromFile(const QString& path);

    QByteArray SaveToBytes() const;
    void LoadFromBytes(QByteArrayView bytes);

    const std::vector<Entry>& Entries() const { return entries_; }

    // Doubled backslashes collapsed, then one leading and one trailing
    // backslash removed; shared with the component's RegistryKey.
    static QString NormaliseSection(const QString& section);

private:
    const Entry* Find(const QString& name) const;
    void Append(const QString& name, std::uint8_t type, QByteArray data);

    std::vector<Entry> entries_;
    QByteArray section_;
};
