#include <cstring>
#include <memory>
#include <optional>

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <unistd.h>

#include "layoutfile/LayoutFile.h"

namespace {

// The three outcomes a caller of ReadLayoutFile tells apart.
enum class Outcome { Read, Missing, Failed };
Outcome OutcomeOf(const TFileResult<TLayoutRead>& read) {
    if (!read) return Outcome::Failed;
    return read.Value() == TLayoutRead::Read ? Outcome::Read : Outcome::Missing;
}

class LayoutFileTest : public ::testing::Test {
protected:
    LayoutFileTest() : table_(std::make_unique<TChannelTable>()) { ClearChannels(*table_); }

    QString PathOf(const char* name) const { return dir_.filePath(QLatin1String(name)); }
    static QByteArray Contents(const QString& path) {
        QFile f(path);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
    static void WriteBytes(const QString& path, const QByteArray& bytes) {
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
    }
    // Root ignores file permissions; while this lives, act as an ordinary user.
    class Unprivileged {
    public:
        explicit Unprivileged(const QTemporaryDir& dir) {
            if (::geteuid() != 0) return;
            QFile::setPermissions(dir.path(), QFile::ReadOwner | QFile::WriteOwner |
                                                  QFile::ExeOwner | QFile::ReadOther |
                                                  QFile::ExeOther);
            // Group first: the root group's (empty) bits would hide the others'.
            dropped_ = ::setegid(65534) == 0 && ::seteuid(65534) == 0;
        }
        ~Unprivileged() {
            if (!dropped_) return;
            [[maybe_unused]] const int user = ::seteuid(0);
            [[maybe_unused]] const int group = ::setegid(0);
        }

    private:
        bool dropped_ = false;
    };

    QTemporaryDir dir_;
    std::unique_ptr<TChannelTable> table_;
};

TEST_F(LayoutFileTest, SaveThenOpenRestoresEveryByte) {
    table_->LevelOf(1) = 255;
    table_->BumpOf(512) = 1;
    table_->Name1Of(33).Assign("ABCDEFGH");
    table_->Name1Of(33).Assign("XY"); // the older bytes stay behind the length
    table_->FaderColorOf(7) = 0x0080FF;
    table_->ReservedInts[100] = -12345;
    table_->ReservedColor4[3] = 0x123456;
    table_->SaveMark = 77;
    const QString path = PathOf("show.HXI");
    ASSERT_TRUE(WriteLayoutFile(path, *table_));
    EXPECT_EQ(table_->SaveMark, 77) << "the desk's own table is left as it is";
    table_->SaveMark = 1; // what the file holds

    const QByteArray bytes = Contents(path);
    ASSERT_EQ(bytes.size(), 33800);
    EXPECT_EQ(bytes.left(4), QByteArray("\x01\x00\x00\x00", 4));
    EXPECT_EQ(std::memcmp(bytes.constData(), table_.get(), 33800), 0);

    auto back = std::make_unique<TChannelTable>();
    EXPECT_EQ(OutcomeOf(ReadLayoutFile(path, *back)), Outcome::Read);
    EXPECT_EQ(std::memcmp(back.get(), table_.get(), 33800), 0);
    EXPECT_EQ(back->Name1Of(33).Text(), "XY");
    EXPECT_EQ(std::string(back->Name1Of(33).Chars, 8), "XYCDEFGH");
}

TEST_F(LayoutFileTest, FileSizesDecideBetweenReadAndWarning) {
    struct Case {
        const char* name;
        int size;
        Outcome expected;
    } cases[] = {
        {"one byte short", 33799, Outcome::Failed},
        {"empty", 0, Outcome::Failed},
        {"exact", 33800, Outcome::Read},
        {"longer file uses its first 33,800 bytes", 40000, Outcome::Read},
    };
    for (const Case& c : cases) {
        QByteArray bytes(c.size, '\x05');
        const QString path = PathOf("sized.HXI");
        WriteBytes(path, bytes);
        const TFileResult<TLayoutRead> read = ReadLayoutFile(path, *table_);
        EXPECT_EQ(OutcomeOf(read), c.expected) << c.name;
        if (!read) {
            EXPECT_FALSE(read.Error().Message().isEmpty()) << c.name;
        }
        if (c.size == 33799) {
            ASSERT_FALSE(read);
            EXPECT_EQ(read.Error().Message(),
                      QStringLiteral("Read beyond end of file: \"%1\" holds 33799 of 33800 bytes.")
                          .arg(path));
        }
    }
}

TEST_F(LayoutFileTest, AFailedReadLeavesTheTableExactlyAsItWas) {
    const QString directory = PathOf("folder.HXI");
    ASSERT_TRUE(QDir(dir_.path()).mkdir(QStringLiteral("folder.HXI")));
    const QString shortFile = PathOf("short.HXI");
    WriteBytes(shortFile, QByteArray(33799, '\x05'));
    const QString emptyFile = PathOf("empty.HXI");
    WriteBytes(emptyFile, QByteArray());
    const QString locked = PathOf("locked.HXI");
    WriteBytes(locked, QByteArray(33800, '\x05'));
    QFile::setPermissions(locked, QFile::WriteOwner);
    for (const QString& path : {shortFile, emptyFile, directory, locked}) {
        std::memset(table_.get(), 0x5A, sizeof *table_);
        const QByteArray before(reinterpret_cast<const char*>(table_.get()), sizeof *table_);
        std::optional<Unprivileged> user;
        if (path == locked) user.emplace(dir_);
        const TFileResult<TLayoutRead> read = ReadLayoutFile(path, *table_);
        user.reset();
        EXPECT_FALSE(read) << path.toStdString();
        if (!read) {
            EXPECT_TRUE(read.Error().Message().contains(path)) << path.toStdString();
        }
        EXPECT_EQ(QByteArray(reinterpret_cast<const char*>(table_.get()), sizeof *table_), before)
            << path.toStdString();
    }
}

TEST_F(LayoutFileTest, MissingFileOrNoNameResetsTheTable) {
    for (const QString& path : {PathOf("absent.HXI"), QString()}) {
        std::memset(table_.get(), 0x33, sizeof *table_);
        EXPECT_EQ(OutcomeOf(ReadLayoutFile(path, *table_)), Outcome::Missing);
        EXPECT_EQ(table_->NewMark, 1);
        EXPECT_EQ(table_->LevelOf(1), 0);
        EXPECT_EQ(table_->FaderColorOf(1), 0x808080);
        EXPECT_EQ(table_->SaveMark, 0) << "the table was zeroed before the reset";
    }
}

TEST_F(LayoutFileTest, AReadOnlyFileOpens) {
    const QString path = PathOf("locked.HXI");
    WriteBytes(path, QByteArray(33800, '\x07'));
    QFile::setPermissions(path, QFile::ReadOwner | QFile::ReadOther);
    Unprivileged user(dir_);
    const TFileResult<TLayoutRead> read = ReadLayoutFile(path, *table_);
    EXPECT_EQ(OutcomeOf(read), Outcome::Read);
    EXPECT_EQ(table_->LevelOf(1), 7);
}

TEST_F(LayoutFileTest, AReaderNeverCreatesTheFile) {
    // As if the file were moved away between the check and the open.
    const QString path = PathOf("moved.HXI");
    const TFileResult<QByteArray> read = ReadLayoutBytes(path);
    ASSERT_FALSE(read);
    EXPECT_EQ(read.Error().Message().toStdString(),
              QStringLiteral("Cannot open file \"%1\". No such file or directory")
                  .arg(path)
                  .toStdString());
    EXPECT_FALSE(QFile::exists(path));
}

TEST_F(LayoutFileTest, AnUnreadableFileIsRefusedWithTheReason) {
    const QString path = PathOf("locked.HXI");
    WriteBytes(path, QByteArray(33800, '\0'));
    QFile::setPermissions(path, QFile::WriteOwner);
    Unprivileged user(dir_);
    const TFileResult<TLayoutRead> read = ReadLayoutFile(path, *table_);
    ASSERT_FALSE(read);
    EXPECT_EQ(read.Error().Message().toStdString(),
              QStringLiteral("Cannot open file \"%1\". Permission denied").arg(path).toStdString());
}

TEST_F(LayoutFileTest, FailedSaveLeavesTheOldFileWhole) {
    const QString path = PathOf("show.HXI");
    table_->LevelOf(1) = 11;
    ASSERT_TRUE(WriteLayoutFile(path, *table_));
    const QByteArray before = Contents(path);

    // A folder of that name stands where the file should go.
    const QString blocked = PathOf("folder.HXI");
    ASSERT_TRUE(QDir().mkpath(blocked));
    const TFileResult<> blockedWrite = WriteLayoutFile(blocked, *table_);
    ASSERT_FALSE(blockedWrite);
    EXPECT_FALSE(blockedWrite.Error().Message().isEmpty());
    EXPECT_EQ(
        blockedWrite.Error().Message().toStdString(),
        QStringLiteral("\"%1\": cannot replace it: Is a directory").arg(blocked).toStdString())
        << "the file, the step and the system's reason, as the caller shows them";

    QFile::setPermissions(path, QFile::ReadOwner | QFile::ReadOther);
    {
        Unprivileged user(dir_);
        table_->LevelOf(1) = 22;
        const TFileResult<> written = WriteLayoutFile(path, *table_);
        ASSERT_FALSE(written) << "a read-only file is not replaced";
        EXPECT_FALSE(written.Error().Message().isEmpty());
    }
    EXPECT_EQ(Contents(path), before);
}

TEST(LayoutCaption, NamesTheFileWithoutItsFolder) {
    EXPECT_EQ(LayoutCaption("Vantrelle 4.03", "/shows/spring/Act1.HXI"), "Vantrelle 4.03 Act1.HXI");
}

} // namespace
