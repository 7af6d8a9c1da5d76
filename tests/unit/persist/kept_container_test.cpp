// A save of the container file starts from what was last read or written
// while the file is unchanged, and reads the file again once it changed.

#include <fcntl.h>
#include <sys/stat.h>

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include "SampleStore.h"
#include "persist/Persist.h"
#include "storage/ContainerFile.h"
#include "storage/FileStamp.h"

namespace {

struct Window : TSampleStore {
    Window()
        : TSampleStore(ToxPersist::oxpFile, QStringLiteral("Config.dat"),
                       {QStringLiteral("Sample1;Count;1;Count;;1;0;0;;")}) {}
    QString Path() const { return persist->StoreFilePath(); }
};

// Another writer's entry in a section of its own.
void WriteForeignEntry(const QString& path, const QString& value) {
    ToxRegFile table;
    if (QFile::exists(path)) {
        ASSERT_TRUE(table.LoadFromFile(path));
    }
    table.SetSection(QStringLiteral("Other"));
    table.WriteString(QStringLiteral("Keep"), value);
    ASSERT_TRUE(table.SaveToFile(path));
}

QString ForeignEntry(const QString& path) {
    ToxRegFile table;
    if (!table.LoadFromFile(path)) return QStringLiteral("<unreadable>");
    table.SetSection(QStringLiteral("Other"));
    return table.ValueExists(QStringLiteral("Keep")) ? table.ReadString(QStringLiteral("Keep"))
                                                     : QStringLiteral("<missing>");
}

} // namespace

TEST(KeptContainer, AnotherWritersEntryWrittenBetweenSavesSurvives) {
    Window w;
    w.sample->count = 1;
    ASSERT_TRUE(w.persist->Save());
    WriteForeignEntry(w.Path(), QStringLiteral("first"));
    w.sample->count = 2;
    ASSERT_TRUE(w.persist->Save());
    EXPECT_EQ(ForeignEntry(w.Path()), QStringLiteral("first"));
    WriteForeignEntry(w.Path(), QStringLiteral("second"));
    w.sample->count = 3;
    ASSERT_TRUE(w.persist->Save());
    EXPECT_EQ(ForeignEntry(w.Path()), QStringLiteral("second"));
    w.sample->count = 0;
    ASSERT_TRUE(w.persist->Load());
    EXPECT_EQ(w.sample->count, 3);
}

TEST(KeptContainer, AnUnchangedFileIsNotReadAgain) {
    Window w;
    WriteForeignEntry(w.Path(), QStringLiteral("kept"));
    ASSERT_TRUE(w.persist->Save()); // reads the file once
    // The file's bytes are spoilt in place, its stamp put back: a save that
    // read it would find no container and lose the other writer's entry.
    const QString path = w.Path();
    const TFileStamp before = TFileStamp::Of(path);
    ASSERT_TRUE(before.Known);
    {
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::ReadWrite));
        ASSERT_EQ(f.write(QByteArray(static_cast<int>(f.size()), 'x')), f.size());
    }
    const timespec times[2] = {{before.ModifiedSec, before.ModifiedNsec},
                               {before.ModifiedSec, before.ModifiedNsec}};
    ASSERT_EQ(::utimensat(AT_FDCWD, QFile::encodeName(path).constData(), times, 0), 0);
    ASSERT_EQ(TFileStamp::Of(path), before);
    w.sample->count = 7;
    ASSERT_TRUE(w.persist->Save());
    EXPECT_EQ(ForeignEntry(path), QStringLiteral("kept"));
}

TEST(KeptContainer, AChangedStampMakesTheSaveReadTheFile) {
    Window w;
    ASSERT_TRUE(w.persist->Save());
    const TFileStamp first = TFileStamp::Of(w.Path());
    WriteForeignEntry(w.Path(), QStringLiteral("new"));
    EXPECT_FALSE(TFileStamp::Of(w.Path()) == first); // replaced beside and renamed
    ASSERT_TRUE(w.persist->Save());
    EXPECT_EQ(ForeignEntry(w.Path()), QStringLiteral("new"));
    EXPECT_FALSE(TFileStamp::Of(QStringLiteral("/nonexistent/Config.dat")).Known);
}
