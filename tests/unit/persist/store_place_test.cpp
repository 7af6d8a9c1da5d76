// Where the preferences are read from and saved to: beside the program while
// it can be written there, else with the user (said once), and always with
// the user for an installed program; and what a file the user cannot read
// or write does to a load and a save. Permission cases run as an ordinary
// user (see Unprivileged.h).

#include <QAction>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <sys/stat.h>

#include "FileBytes.h"
#include "TestObjects.h"
#include "Unprivileged.h"
#include "persist/Persist.h"
#include "storage/ContainerFile.h"

namespace {

// Sets an environment variable while it lives.
class Environment {
public:
    Environment(const char* name, const QByteArray& value)
        : name_(name), old_(qgetenv(name)), had_(qEnvironmentVariableIsSet(name)) {
        qputenv(name, value);
    }
    ~Environment() {
        if (had_)
            qputenv(name_, old_);
        else
            qunsetenv(name_);
    }

private:
    const char* name_;
    QByteArray old_;
    bool had_;
};

bool Chmod(const QString& path, mode_t mode) {
    return ::chmod(QFile::encodeName(path).constData(), mode) == 0;
}

// A window with one check item whose store lives in `program`, the user's
// configuration folder being `config`.
struct Desk {
    TSampleWindow window;
    QAction* check = new QAction(&window);
    ToxPersist* persist = new ToxPersist(&window);
    QStringList notices;

    explicit Desk(const QString& program) {
        check->setObjectName(QStringLiteral("M_Check"));
        check->setCheckable(true);
        persist->setObjectName(QStringLiteral("oxPersist1"));
        persist->SetProgramDirectory(program);
        persist->SetFileName(QStringLiteral("Config.dat"));
        persist->SetOptions({});
        persist->SetItems({QStringLiteral("M_Check;Checked;3;M_Check_Checked;;1;0;0;;")});
        QObject::connect(persist, &ToxPersist::storeMoved,
                         [this](const QString& notice) { notices << notice; });
    }
};

QByteArray ContainerWithCheck(bool checked) {
    ToxRegFile f;
    f.SetSection(QStringLiteral("Software"));
    f.WriteString(QStringLiteral("M_Check_Checked"),
                  checked ? QStringLiteral("True") : QStringLiteral("False"));
    f.WriteString(QStringLiteral("Unrelated"), QStringLiteral("kept"));
    return f.SaveToBytes();
}

bool Put(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    return f.open(QIODevice::WriteOnly | QIODevice::Truncate) && f.write(bytes) == bytes.size();
}

QString StoredCheck(const QString& path) {
    ToxRegFile f;
    if (!f.LoadFromFile(path)) return QStringLiteral("<unreadable>");
    f.SetSection(QStringLiteral("Software"));
    return f.ReadString(QStringLiteral("M_Check_Checked")) + QLatin1Char('/') +
           f.ReadString(QStringLiteral("Unrelated"));
}

class StorePlace : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(TUnprivileged::OpenToAll(work_.path()));
        ASSERT_TRUE(QDir().mkpath(program_));
        ASSERT_TRUE(TUnprivileged::OpenToAll(program_));
    }
    QTemporaryDir work_;
    const QString program_ = work_.filePath(QStringLiteral("program"));
    const QString config_ = work_.filePath(QStringLiteral("home/.config"));
    const Environment home_{"XDG_CONFIG_HOME", QFile::encodeName(config_)};
    QString Beside() const { return program_ + QStringLiteral("/Config.dat"); }
    QString UsersFile() const { return config_ + QStringLiteral("/vantrelle/Config.dat"); }
};

} // namespace

TEST(SystemFolder, InstalledProgramFoldersAreKnown) {
    for (const char* dir : {"/usr/bin", "/usr/local/bin", "/bin", "/opt/vantrelle", "/usr/games",
                            "/usr/lib/vantrelle/", "/snap/vantrelle/12/bin"})
        EXPECT_TRUE(ToxPersist::IsSystemFolder(QString::fromLatin1(dir))) << dir;
    for (const char* dir :
         {"/home/ann/vantrelle", "/tmp/usr/bin", "/usr2/bin", "/optional", "/srv/desk"})
        EXPECT_FALSE(ToxPersist::IsSystemFolder(QString::fromLatin1(dir))) << dir;
}

TEST_F(StorePlace, AnInstalledDeskKeepsItsPreferencesWithTheUserWhoeverRunsIt) {
    const bool besideBefore = QFile::exists(QStringLiteral("/usr/bin/Config.dat"));
    Desk desk(QStringLiteral("/usr/bin"));
    EXPECT_EQ(desk.persist->StoreFilePath(), UsersFile());
    EXPECT_EQ(desk.persist->ReadFilePath(), UsersFile());
    desk.check->setChecked(true);
    ASSERT_TRUE(desk.persist->Save());
    EXPECT_EQ(StoredCheck(UsersFile()), QStringLiteral("True/"));
    EXPECT_EQ(QFile::exists(QStringLiteral("/usr/bin/Config.dat")), besideBefore);
    EXPECT_TRUE(desk.notices.isEmpty()) << "an installed desk has nothing to explain";
}

TEST_F(StorePlace, AWritableProgramFolderKeepsThePreferencesBesideTheProgram) {
    Desk desk(program_);
    EXPECT_EQ(desk.persist->StoreFilePath(), Beside());
    ASSERT_TRUE(desk.persist->Save());
    EXPECT_TRUE(QFile::exists(Beside()));
    EXPECT_FALSE(QFile::exists(UsersFile()));
}

TEST_F(StorePlace, AReadOnlyProgramFolderIsReadThenThePreferencesMoveToTheUserSaidOnce) {
    ASSERT_TRUE(Put(Beside(), ContainerWithCheck(true)));
    ASSERT_TRUE(Chmod(Beside(), 0444));
    ASSERT_TRUE(Chmod(program_, 0555));
    const TUnprivileged user;
    ASSERT_TRUE(user.Active());
    {
        Desk desk(program_);
        EXPECT_EQ(desk.persist->ReadFilePath(), Beside());
        EXPECT_EQ(desk.persist->StoreFilePath(), UsersFile());
        ASSERT_TRUE(desk.persist->Load());
        EXPECT_TRUE(desk.check->isChecked()) << "the file beside the program was read";

        ASSERT_TRUE(desk.persist->Save());
        EXPECT_EQ(StoredCheck(UsersFile()), QStringLiteral("True/kept"));
        ASSERT_EQ(desk.notices.size(), 1);
        EXPECT_EQ(desk.notices[0].toStdString(),
                  QStringLiteral("The preferences cannot be saved in \"%1\" (Permission denied), "
                                 "so they are kept in \"%2\" from now on.")
                      .arg(program_, UsersFile())
                      .toStdString());
        desk.check->setChecked(false);
        ASSERT_TRUE(desk.persist->Save());
        EXPECT_EQ(desk.notices.size(), 1) << "said once";
    }
    EXPECT_EQ(FileBytes(Beside()), ContainerWithCheck(true));
    Desk next(program_);
    EXPECT_EQ(next.persist->ReadFilePath(), UsersFile());
    ASSERT_TRUE(next.persist->Load());
    EXPECT_FALSE(next.check->isChecked());
    EXPECT_TRUE(next.notices.isEmpty());
    Chmod(program_, 0755);
}

TEST_F(StorePlace, AWritableFileInAReadOnlyProgramFolderIsSavedInPlace) {
    ASSERT_TRUE(Put(Beside(), ContainerWithCheck(false)));
    ASSERT_TRUE(Chmod(Beside(), 0666));
    ASSERT_TRUE(Chmod(program_, 0555));
    const TUnprivileged user;
    Desk desk(program_);
    EXPECT_EQ(desk.persist->StoreFilePath(), Beside());
    desk.check->setChecked(true);
    ASSERT_TRUE(desk.persist->Save());
    EXPECT_EQ(StoredCheck(Beside()), QStringLiteral("True/kept"));
    EXPECT_FALSE(QFile::exists(UsersFile()));
    Chmod(program_, 0755);
}

TEST_F(StorePlace, AReadOnlyFileInTheUsersOwnFolderIsNotReplaced) {
    const TUnprivileged user;
    ASSERT_TRUE(user.Active());
    ASSERT_TRUE(Put(Beside(), ContainerWithCheck(false)));
    ASSERT_TRUE(Chmod(Beside(), 0444));
    Desk desk(program_);
    EXPECT_EQ(desk.persist->StoreFilePath(), Beside());
    desk.check->setChecked(true);
    const TFileResult<> saved = desk.persist->Save();
    ASSERT_FALSE(saved);
    EXPECT_EQ(saved.Error().Reason(), QStringLiteral("Permission denied"));
    EXPECT_EQ(FileBytes(Beside()), ContainerWithCheck(false));
}

TEST_F(StorePlace, AnUnreadableFileSaysSoAtStartAndIsReplacedWithTheUsualPermissions) {
    const TUnprivileged user;
    ASSERT_TRUE(user.Active());
    const mode_t oldMask = ::umask(022);
    ASSERT_TRUE(Put(Beside(), ContainerWithCheck(true)));
    ASSERT_TRUE(Chmod(Beside(), 0000));
    Desk desk(program_);
    const TFileResult<> loaded = desk.persist->Load();
    ASSERT_FALSE(loaded);
    EXPECT_EQ(loaded.Error().Reason(), QStringLiteral("Permission denied"));
    ASSERT_TRUE(desk.persist->Save());
    struct stat st {};
    ASSERT_EQ(::stat(QFile::encodeName(Beside()).constData(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0644u);
    Desk next(program_);
    EXPECT_TRUE(next.persist->Load()) << "the preferences come back";
    ::umask(oldMask);
}

TEST_F(StorePlace, NoPlaceToSaveNamesTheFolderThatCannotBeMadeAndWhy) {
    ASSERT_TRUE(Chmod(program_, 0555));
    const TUnprivileged user;
    ASSERT_TRUE(user.Active());
    const QString closedHome = work_.filePath(QStringLiteral("closed"));
    ASSERT_TRUE(QDir().mkdir(closedHome));
    ASSERT_TRUE(Chmod(closedHome, 0555));
    const Environment closed("XDG_CONFIG_HOME", QFile::encodeName(closedHome + "/.config"));
    Desk desk(program_);
    const TFileResult<> saved = desk.persist->Save();
    ASSERT_FALSE(saved);
    EXPECT_EQ(saved.Error().Message().toStdString(),
              QStringLiteral("Cannot save file \"%1/.config/vantrelle/Config.dat\": cannot create "
                             "the folder \"%1/.config\": Permission denied")
                  .arg(closedHome)
                  .toStdString());
    Chmod(closedHome, 0755);
    Chmod(program_, 0755);
}
