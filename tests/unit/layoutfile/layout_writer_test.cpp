// Saving a layout on a disk that fills up anywhere in its 33,800 bytes: the
// old layout stays whole and the error names the file and the reason.

#include <memory>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include "DiskFullAfter.h"
#include "FileBytes.h"
#include "layoutfile/LayoutFile.h"

TEST(LayoutWriter, AFailureAnywhereInTheFileKeepsTheOldLayout) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("show.HXI"));
    auto table = std::make_unique<TChannelTable>();
    ClearChannels(*table);
    ASSERT_TRUE(WriteLayoutFile(path, *table));
    const QByteArray before = FileBytes(path);
    ASSERT_EQ(before.size(), static_cast<qsizetype>(sizeof(TChannelTable)));

    for (int i = 0; i < 512; ++i)
        table->Level[i] = static_cast<std::uint8_t>(i);
    // The marks, the levels and the colours at the end.
    for (const qint64 n : FailurePoints(static_cast<qint64>(sizeof(TChannelTable)), {8, 520})) {
        SCOPED_TRACE(n);
        const DiskFullAfter disk(n);
        const TFileResult<> saved = WriteLayoutFile(path, *table);
        ASSERT_FALSE(saved);
        EXPECT_EQ(saved.Error().Message(),
                  QStringLiteral("\"%1\": cannot write: No space left on device").arg(path));
        EXPECT_EQ(FileBytes(path), before);
        EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden).size(), 1);
    }
    ASSERT_TRUE(WriteLayoutFile(path, *table));
    EXPECT_NE(FileBytes(path), before);
    EXPECT_EQ(FileBytes(path).size(), before.size());
}
