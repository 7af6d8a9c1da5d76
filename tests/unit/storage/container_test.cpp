// The container store, byte for byte, and its reader against hostile input.

#include <csignal>

#include <sys/resource.h>

#include <QDir>
#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include "storage/ContainerFile.h"

namespace {

// Limits the size of files this process writes, as a full disk would.
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes) {
        ::getrlimit(RLIMIT_FSIZE, &old_);
        previous_ = std::signal(SIGXFSZ, SIG_IGN);
        rlimit limit = old_;
        limit.rlim_cur = bytes;
        ::setrlimit(RLIMIT_FSIZE, &limit);
    }
    ~FileSizeLimit() {
        ::setrlimit(RLIMIT_FSIZE, &old_);
        std::signal(SIGXFSZ, previous_);
    }

private:
    rlimit old_{};
    void (*previous_)(int) = nullptr;
};

QByteArray Header() {
    return QByteArray("03") + QByteArray(14, '\0');
}

QByteArray TopEntry() {
    QByteArray e("||++");
    e += QByteArray("(TForm)_Top") + QByteArray(13, '\0');
    e += QByteArray("Software") + QByteArray(56, '\0');
    e += QByteArray("\x01\x04\x00\x00\x00", 5);
    e += "||->";
    e += QByteArray("120\0", 4);
    return e;
}

ToxRegFile InSoftware() {
    ToxRegFile f;
    f.SetSection(QStringLiteral("Software"));
    return f;
}

} // namespace

TEST(ContainerFile, EmptyTableIsHeaderAndTrailer) {
    const QByteArray bytes = ToxRegFile().SaveToBytes();
    EXPECT_EQ(bytes.size(), 32);
    EXPECT_EQ(bytes, Header() + Header());
}

TEST(ContainerFile, TrueStringEntryTakes106Bytes) {
    ToxRegFile f = InSoftware();
    f.WriteString(QStringLiteral("M_StayOnTop_Checked"), QStringLiteral("True"));
    EXPECT_EQ(f.SaveToBytes().size(), 32 + 106);
}

TEST(ContainerFile, WindowTopEntryIsExactly105Bytes) {
    ToxRegFile f = InSoftware();
    f.WriteString(QStringLiteral("(TForm)_Top"), QStringLiteral("120"));
    EXPECT_EQ(TopEntry().size(), 105);
    EXPECT_EQ(f.SaveToBytes(), Header() + TopEntry() + Header());

    ToxRegFile back;
    back.LoadFromBytes(Header() + TopEntry() + Header());
    back.SetSection(QStringLiteral("Software"));
    EXPECT_EQ(back.ReadString(QStringLiteral("(tform)_TOP")), QStringLiteral("120"));
    EXPECT_EQ(back.DataSize(QStringLiteral("(TForm)_Top")), 4);
}

TEST(ContainerFile, NamesAreCutTo23Characters) {
    ToxRegFile f = InSoftware();
    const QString name30 = QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZ1234");
    f.WriteString(name30, QStringLiteral("v"));
    ASSERT_EQ(f.Entries().size(), 1u);
    EXPECT_EQ(f.Entries()[0].Name, QByteArray("ABCDEFGHIJKLMNOPQRSTUVW"));
    EXPECT_TRUE(f.ValueExists(name30));
    // Two names equal in their first 23 characters share one entry.
    f.WriteString(name30.left(23) + QStringLiteral("other"), QStringLiteral("w"));
    EXPECT_EQ(f.Entries().size(), 1u);
    EXPECT_EQ(f.ReadString(name30), QStringLiteral("w"));
}

TEST(ContainerFile, SectionNamesAreNormalised) {
    struct Case {
        const char* name;
        QString given;
        QString expected;
    };
    const Case cases[] = {
        {"doubled backslashes both ends", QStringLiteral("\\\\Software\\\\"),
         QStringLiteral("Software")},
        {"one trailing backslash", QStringLiteral("Software\\"), QStringLiteral("Software")},
        {"inner runs collapse", QStringLiteral("A\\\\\\\\B"), QStringLiteral("A\\B")},
        {"only one leading removed", QStringLiteral("\\A"), QStringLiteral("A")},
        {"long names keep 63", QString(70, QLatin1Char('s')), QString(63, QLatin1Char('s'))},
    };
    for (const Case& c : cases) {
        ToxRegFile f;
        f.SetSection(c.given);
        EXPECT_EQ(f.Section(), c.expected) << c.name;
    }
}

TEST(ContainerFile, WritingTwiceLeavesOneEntryAtTheEnd) {
    ToxRegFile f = InSoftware();
    f.WriteString(QStringLiteral("a"), QStringLiteral("1"));
    f.WriteString(QStringLiteral("b"), QStringLiteral("2"));
    f.WriteString(QStringLiteral("A"), QStringLiteral("3"));
    ASSERT_EQ(f.Entries().size(), 2u);
    EXPECT_EQ(f.Entries()[0].Name, QByteArray("b"));
    EXPECT_EQ(f.Entries()[1].Name, QByteArray("A"));
    EXPECT_EQ(f.ReadString(QStringLiteral("a")), QStringLiteral("3"));
}

TEST(ContainerFile, ReadBinaryCopiesAtMostCapacityAndReturnsFullSize) {
    ToxRegFile f = InSoftware();
    f.WriteBinary(QStringLiteral("blob"), QByteArrayView("abcdef", 6));
    char buffer[4] = {'-', '-', '-', '-'};
    EXPECT_EQ(f.ReadBinary(QStringLiteral("blob"), buffer, 3), 6);
    EXPECT_EQ(QByteArray(buffer, 4), QByteArray("abc-"));
}

TEST(ContainerFile, EntryKindsDoNotCross) {
    ToxRegFile f = InSoftware();
    f.WriteBinary(QStringLiteral("blob"), QByteArrayView("abc", 3));
    f.WriteString(QStringLiteral("text"), QStringLiteral("xy"));
    EXPECT_EQ(f.ReadString(QStringLiteral("blob")), QString());
    EXPECT_EQ(f.DataSize(QStringLiteral("blob")), 3);
    char buffer[8];
    EXPECT_EQ(f.ReadBinary(QStringLiteral("text"), buffer, 8), 0);
    EXPECT_EQ(f.DataSize(QStringLiteral("missing")), 0);
}

TEST(ContainerFile, SectionsKeepTheirOwnEntries) {
    ToxRegFile f;
    f.SetSection(QStringLiteral("One"));
    f.WriteString(QStringLiteral("k"), QStringLiteral("1"));
    f.SetSection(QStringLiteral("Two"));
    EXPECT_FALSE(f.ValueExists(QStringLiteral("k")));
    f.WriteString(QStringLiteral("k"), QStringLiteral("2"));
    EXPECT_TRUE(f.DeleteValue(QStringLiteral("K")));
    EXPECT_FALSE(f.DeleteValue(QStringLiteral("k")));
    f.SetSection(QStringLiteral("one"));
    EXPECT_EQ(f.ReadString(QStringLiteral("k")), QStringLiteral("1"));
}

TEST(ContainerFile, DuplicatesAreKeptAndTheFirstIsFound) {
    ToxRegFile one = InSoftware();
    one.WriteString(QStringLiteral("k"), QStringLiteral("first"));
    ToxRegFile two = InSoftware();
    two.WriteString(QStringLiteral("k"), QStringLiteral("second"));
    const QByteArray a = one.SaveToBytes(), b = two.SaveToBytes();
    ToxRegFile both;
    both.LoadFromBytes(a.chopped(16) + b.mid(16));
    EXPECT_EQ(both.Entries().size(), 2u);
    EXPECT_EQ(both.ReadString(QStringLiteral("k")), QStringLiteral("first"));
    EXPECT_EQ(both.Section(), QStringLiteral("Software"));
}

TEST(ContainerFile, RoundTripThroughAFile) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("Config.dat"));
    ToxRegFile f = InSoftware();
    f.WriteString(QStringLiteral("name"), QStringLiteral("Grüße"));
    f.WriteBinary(QStringLiteral("bytes"), QByteArrayView("\0\1\2", 3));
    ASSERT_TRUE(f.SaveToFile(path));
    ToxRegFile back;
    ASSERT_TRUE(back.LoadFromFile(path));
    back.SetSection(QStringLiteral("Software"));
    EXPECT_EQ(back.ReadString(QStringLiteral("name")), QStringLiteral("Grüße"));
    EXPECT_EQ(back.DataSize(QStringLiteral("bytes")), 3);
    EXPECT_EQ(back.SaveToBytes(), f.SaveToBytes());
}

TEST(ContainerFile, AFailedSaveLeavesTheOldFileWhole) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("Config.dat"));
    ToxRegFile f = InSoftware();
    f.WriteString(QStringLiteral("k"), QStringLiteral("old"));
    ASSERT_TRUE(f.SaveToFile(path));
    const QByteArray before = f.SaveToBytes();
    f.WriteBinary(QStringLiteral("big"), QByteArray(64 * 1024, 'x'));
    TFileResult<> saved;
    {
        // A full disk: no file may grow beyond a few kilobytes.
        FileSizeLimit limit(4096);
        saved = f.SaveToFile(path);
    }
    ASSERT_FALSE(saved);
    const QString error = saved.Error().Message();
    EXPECT_TRUE(error.contains(QStringLiteral("Config.dat"))) << error.toStdString();
    EXPECT_FALSE(saved.Error().Reason().isEmpty()) << "the system's reason is carried";
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), before);
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{QStringLiteral("Config.dat")});
}

TEST(ContainerFile, MissingFileIsAnErrorForTheCaller) {
    ToxRegFile f;
    const TFileResult<> loaded = f.LoadFromFile(QStringLiteral("/nonexistent/Config.dat"));
    ASSERT_FALSE(loaded);
    const QString error = loaded.Error().Message();
    EXPECT_FALSE(error.isEmpty());
    EXPECT_TRUE(error.startsWith(QStringLiteral("Cannot open file \"/nonexistent/Config.dat\". ")))
        << error.toStdString();
    EXPECT_FALSE(loaded.Error().Reason().isEmpty());
}

TEST(ContainerReader, HostileInputLoadsWithoutHarm) {
    ToxRegFile good = InSoftware();
    good.WriteString(QStringLiteral("first"), QStringLiteral("1"));
    good.WriteString(QStringLiteral("second"), QStringLiteral("2"));
    const QByteArray valid = good.SaveToBytes();
    const qsizetype secondSize = 16 + 101 + 2; // header and the first entry
    auto withSize = [&](std::int32_t size) {
        QByteArray b = valid;
        const qsizetype at = secondSize + 4 + 24 + 64 + 1;
        for (int i = 0; i < 4; ++i)
            b[at + i] = static_cast<char>((size >> (8 * i)) & 0xFF);
        return b;
    };
    struct Case {
        const char* name;
        QByteArray bytes;
        std::size_t entries;
    };
    const Case cases[] = {
        {"empty file", QByteArray(), 0},
        {"bad header", QByteArray("04") + valid.mid(2), 0},
        {"header only", Header(), 0},
        {"truncated in a record", valid.left(16 + 40), 1},
        {"truncated in the data", valid.left(secondSize + 101 + 1), 2},
        {"wrong entry marker", valid.left(secondSize) + "||--" + valid.mid(secondSize + 4), 1},
        {"wrong data marker", valid.left(secondSize + 97) + "xxxx" + valid.mid(secondSize + 101),
         2},
        {"oversized size", withSize(0x7FFFFFFF), 2},
        {"negative size", withSize(-5), 2},
    };
    for (const Case& c : cases) {
        ToxRegFile f;
        f.LoadFromBytes(c.bytes);
        EXPECT_EQ(f.Entries().size(), c.entries) << c.name;
        for (const ToxRegFile::Entry& e : f.Entries()) {
            EXPECT_LE(e.Data.size(), c.bytes.size()) << c.name;
            EXPECT_EQ(e.Size, e.Data.size()) << c.name;
        }
    }
}

TEST(ContainerReader, RandomBytesNeverCrash) {
    QRandomGenerator random(1234);
    for (int round = 0; round < 2000; ++round) {
        QByteArray bytes(static_cast<qsizetype>(random.bounded(400)), '\0');
        for (char& c : bytes)
            c = static_cast<char>(random.bounded(256));
        if (round % 2 == 0 && bytes.size() > 20) bytes.replace(0, 2, "03").replace(16, 4, "||++");
        ToxRegFile f;
        f.LoadFromBytes(bytes);
        f.SetSection(QStringLiteral("Software"));
        (void)f.ReadString(QStringLiteral("x"));
        (void)f.SaveToBytes();
    }
    SUCCEED();
}
