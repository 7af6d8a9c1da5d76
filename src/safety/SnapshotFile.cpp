#include "safety/SnapshotFile.h"

#include <cstring>
#include <memory>

#include <QFile>
#include <QFileInfo>
#include <QtEndian>

#include "core/WholeFile.h"

namespace {

constexpr qsizetype kSignatureSize = 8;
constexpr std::uint8_t kWithNames = 0x01;

void PutU16(QByteArray& out, std::uint16_t v) {
    char b[2];
    qToLittleEndian(v, b);
    out.append(b, 2);
}

void PutU32(QByteArray& out, std::uint32_t v) {
    char b[4];
    qToLittleEndian(v, b);
    out.append(b, 4);
}

void PutName(QByteArray& out, const TShortString12& name) {
    out.append(static_cast<char>(name.Length));
    out.append(name.Chars, CAPTION_CAPACITY);
}

// Reads forward through the bytes; every take is checked against what is left.
class TReader {
public:
    explicit TReader(QByteArrayView bytes) : bytes_(bytes) {}
    bool Take(qsizetype n, const char*& at) {
        if (n > bytes_.size() - pos_) return false;
        at = bytes_.data() + pos_;
        pos_ += n;
        return true;
    }
    bool U8(std::uint8_t& v) {
        const char* at = nullptr;
        if (!Take(1, at)) return false;
        v = static_cast<std::uint8_t>(*at);
        return true;
    }
    bool U16(std::uint16_t& v) {
        const char* at = nullptr;
        if (!Take(2, at)) return false;
        v = qFromLittleEndian<std::uint16_t>(at);
        return true;
    }
    bool U32(std::uint32_t& v) {
        const char* at = nullptr;
        if (!Take(4, at)) return false;
        v = qFromLittleEndian<std::uint32_t>(at);
        return true;
    }
    qsizetype Left() const { return bytes_.size() - pos_; }
    qsizetype Position() const { return pos_; }

private:
    QByteArrayView bytes_;
    qsizetype pos_ = 0;
};

QString Cut(int slot) {
    return QStringLiteral("The file ends inside snapshot %1.").arg(slot);
}

QString ReadName(TReader& in, TShortString12& name, int slot, int channel) {
    const char* at = nullptr;
    if (!in.Take(1 + CAPTION_CAPACITY, at)) return Cut(slot);
    name.Length = static_cast<std::uint8_t>(at[0]);
    if (name.Length > CAPTION_CAPACITY)
        return QStringLiteral("Snapshot %1 has a caption of channel %2 longer than %3 characters.")
            .arg(slot)
            .arg(channel)
            .arg(CAPTION_CAPACITY);
    std::memcpy(name.Chars, at + 1, CAPTION_CAPACITY);
    return {};
}

QString ReadSlot(TReader& in, TSnapshot& s, int slot) {
    std::uint8_t stored = 0;
    if (!in.U8(stored)) return Cut(slot);
    if (stored > 1)
        return QStringLiteral("Snapshot %1 is marked neither used nor empty.").arg(slot);
    s = TSnapshot{};
    if (stored == 0) return {};
    s.Stored = true;
    std::uint8_t flags = 0;
    std::uint32_t fade = 0;
    if (!in.U8(flags) || !in.U32(fade)) return Cut(slot);
    if ((flags & ~kWithNames) != 0)
        return QStringLiteral("Snapshot %1 has flags this desk does not know.").arg(slot);
    if (fade > static_cast<std::uint32_t>(MAX_SNAPSHOT_FADE_MS))
        return QStringLiteral("Snapshot %1 fades longer than 60 seconds.").arg(slot);
    s.WithNames = (flags & kWithNames) != 0;
    s.FadeMs = static_cast<int>(fade);
    const char* levels = nullptr;
    if (!in.Take(DMX_UNIVERSE_SIZE, levels)) return Cut(slot);
    std::memcpy(s.Levels.data(), levels, DMX_UNIVERSE_SIZE);
    if (!s.WithNames) return {};
    for (int c = 1; c <= DMX_UNIVERSE_SIZE; ++c) {
        const auto i = static_cast<std::size_t>(c - 1);
        if (QString e = ReadName(in, s.Name1[i], slot, c); !e.isEmpty()) return e;
        if (QString e = ReadName(in, s.Name2[i], slot, c); !e.isEmpty()) return e;
        std::uint32_t color = 0;
        if (!in.U32(color)) return Cut(slot);
        s.Colors[i] = static_cast<TColor>(color);
    }
    return {};
}

} // namespace

QByteArray EncodeSnapshots(const TSnapshotSet& set) {
    QByteArray out;
    out.reserve(MAX_SNAPSHOT_FILE_SIZE);
    out.append(SNAPSHOT_FILE_SIGNATURE, kSignatureSize);
    PutU16(out, SNAPSHOT_FILE_VERSION);
    PutU16(out, SNAPSHOT_SLOTS);
    for (const TSnapshot& s : set.Slots) {
        out.append(static_cast<char>(s.Stored ? 1 : 0));
        if (!s.Stored) continue;
        out.append(static_cast<char>(s.WithNames ? kWithNames : 0));
        PutU32(out, static_cast<std::uint32_t>(s.FadeMs));
        out.append(reinterpret_cast<const char*>(s.Levels.data()), DMX_UNIVERSE_SIZE);
        if (!s.WithNames) continue;
        for (std::size_t i = 0; i < DMX_UNIVERSE_SIZE; ++i) {
            PutName(out, s.Name1[i]);
            PutName(out, s.Name2[i]);
            PutU32(out, static_cast<std::uint32_t>(s.Colors[i]));
        }
    }
    return out;
}

QString DecodeSnapshots(QByteArrayView bytes, TSnapshotSet& set) {
    if (bytes.size() > MAX_SNAPSHOT_FILE_SIZE)
        return QStringLiteral("It is larger than any snapshots file.");
    TReader in(bytes);
    const char* signature = nullptr;
    if (!in.Take(kSignatureSize, signature) ||
        std::memcmp(signature, SNAPSHOT_FILE_SIGNATURE, kSignatureSize) != 0)
        return QStringLiteral("It is not a snapshots file.");
    std::uint16_t version = 0;
    std::uint16_t slotCount = 0;
    if (!in.U16(version) || !in.U16(slotCount)) return QStringLiteral("Its header is cut short.");
    if (version != SNAPSHOT_FILE_VERSION)
        return QStringLiteral("It was written in version %1 of the format, which this desk "
                              "cannot read.")
            .arg(version);
    if (slotCount != SNAPSHOT_SLOTS)
        return QStringLiteral("It holds %1 snapshots instead of %2.")
            .arg(slotCount)
            .arg(SNAPSHOT_SLOTS);
    auto read = std::make_unique<TSnapshotSet>();
    for (int slot = 1; slot <= SNAPSHOT_SLOTS; ++slot)
        if (QString e = ReadSlot(in, read->At(slot), slot); !e.isEmpty()) return e;
    if (in.Left() != 0) return QStringLiteral("%1 bytes follow the last snapshot.").arg(in.Left());
    set = *read;
    return {};
}

TFileResult<> ReadSnapshotFile(const QString& path, TSnapshotSet& set) {
    const QString action = QStringLiteral("The snapshots in \"%1\" were refused.");
    if (!QFileInfo::exists(path)) {
        set = TSnapshotSet{};
        return {};
    }
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return TFileError(path, action, file.errorString());
    // One byte more than the largest file tells a larger one apart.
    const QByteArray bytes = file.read(MAX_SNAPSHOT_FILE_SIZE + 1);
    if (file.error() != QFileDevice::NoError) return TFileError(path, action, file.errorString());
    if (const QString why = DecodeSnapshots(bytes, set); !why.isEmpty())
        return TFileError(path, action, why);
    return {};
}

TFileResult<> WriteSnapshotFile(const QString& path, const TSnapshotSet& set) {
    return ReplaceFileWhole(path, EncodeSnapshots(set),
                            QStringLiteral("The snapshots could not be saved to \"%1\"."));
}
