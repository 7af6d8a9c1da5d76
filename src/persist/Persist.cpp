#include "persist/Persist.h"

#include <algorithm>
#include <cerrno>
#include <cstring>

#include <fcntl.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QDir>
#include <QEvent>
#include <QFileInfo>
#include <QStandardPaths>
#include <QWidget>

#include "base/MessageBox.h"
#include "core/WholeFile.h"
#include "persist/ItemStore.h"
#include "storage/Ascii.h"
#include "storage/ContainerFile.h"
#include "storage/FileStamp.h"
#include "storage/IniFile.h"
#include "storage/PersistItem.h"

using oxp::TPersistItem;

namespace {

const QEvent::Type kPostLoadEvent = static_cast<QEvent::Type>(ToxPersist::kPostLoadMessage);

QString UserConfigDirectory() {
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
           QStringLiteral("/vantrelle");
}

QString WithSlash(const QString& dir) {
    return dir.endsWith(QLatin1Char('/')) ? dir : dir + QLatin1Char('/');
}

} // namespace

// The component's own receiver of the deferred-load message.
class ToxPersist::Receiver : public QObject {
public:
    explicit Receiver(ToxPersist& owner) : owner_(owner) {}
    bool event(QEvent* e) override {
        if (e->type() != kPostLoadEvent) return QObject::event(e);
        QString error;
        bool ok = false;
        try {
            const TFileResult<> loaded = owner_.Load();
            ok = static_cast<bool>(loaded);
            if (!ok) error = loaded.Error().Message();
        } catch (const std::exception& ex) {
            error = QString::fromLocal8Bit(ex.what());
        }
        if (!ok) ShowMessageBox(owner_.OwnerWindow(), error, TMsgDlgType::mtError, QMessageBox::Ok);
        return true;
    }

private:
    ToxPersist& owner_;
};

ToxPersist::ToxPersist(QObject* owner)
    : QObject(owner), receiver_(std::make_unique<Receiver>(*this)) {
    if (OwnerWindow() == nullptr) options_ &= ~ToxpOptions(oxpAutoSave | oxpAutoLoad);
}

ToxPersist::~ToxPersist() {
    RemoveDestroyChain();
}

QWidget* ToxPersist::OwnerWindow() const {
    auto* w = qobject_cast<QWidget*>(parent());
    return w != nullptr && w->isWindow() ? w : nullptr;
}

QString ToxPersist::OwnerName() const {
    const QObject* owner = parent();
    if (owner == nullptr) return {};
    if (!owner->objectName().isEmpty()) return owner->objectName();
    return QString::fromLatin1(owner->metaObject()->className()).mid(1);
}

void ToxPersist::SetRegistryKey(const QString& v) {
    if (v == registryKey_) return;
    registryKey_ = ToxRegFile::NormaliseSection(v);
}

void ToxPersist::SetOptions(ToxpOptions v) {
    if (OwnerWindow() == nullptr) v &= ~ToxpOptions(oxpAutoSave | oxpAutoLoad);
    if (v == options_) return;
    const bool wasAutoSave = options_.testFlag(oxpAutoSave);
    options_ = v;
    if (reading_) return;
    if (!wasAutoSave && v.testFlag(oxpAutoSave)) InstallDestroyChain();
    if (wasAutoSave && !v.testFlag(oxpAutoSave)) RemoveDestroyChain();
}

void ToxPersist::InstallDestroyChain() {
    auto* notifier = dynamic_cast<TDestroyNotifier*>(parent());
    if (notifier == nullptr || chained_) return;
    previousOnDestroy_ = notifier->OnDestroy;
    notifier->OnDestroy = [this, previous = previousOnDestroy_] {
        if (previous) previous();
        Save();
    };
    chained_ = true;
    // Once the owner is going, there is no handler left to put back.
    connect(parent(), &QObject::destroyed, this, [this] { chained_ = false; });
}

void ToxPersist::RemoveDestroyChain() {
    if (!chained_) return;
    if (auto* notifier = dynamic_cast<TDestroyNotifier*>(parent()))
        notifier->OnDestroy = previousOnDestroy_;
    previousOnDestroy_ = nullptr;
    chained_ = false;
}

void ToxPersist::BeginReadDescription() {
    reading_ = true;
}

void ToxPersist::EndReadDescription() {
    reading_ = false;
    RewriteOwnerItems();
    if (options_.testFlag(oxpAutoSave)) InstallDestroyChain();
    if (options_.testFlag(oxpAutoLoad)) PostLoad();
}

void ToxPersist::RewriteOwnerItems() {
    const QString ownerName = OwnerName();
    if (ownerName.isEmpty()) return;
    for (QString& line : items_) {
        const TPersistItem item = TPersistItem::Parse(line);
        if (!item.Usable() || item[TPersistItem::Component] != ownerName) continue;
        const qsizetype sep = line.indexOf(QLatin1Char(';'));
        line = QLatin1String(oxp::kOwnerComponent) + (sep < 0 ? QString() : line.mid(sep));
    }
}

void ToxPersist::PostLoad() {
    if (!enabled_) return;
    QCoreApplication::postEvent(receiver_.get(), new QEvent(kPostLoadEvent));
}

bool ToxPersist::DoBeforeLoad() {
    bool cancel = false;
    emit aboutToLoad(cancel);
    return !cancel;
}
void ToxPersist::DoAfterLoad() {
    emit loaded();
}
bool ToxPersist::DoBeforeSave() {
    bool cancel = false;
    emit aboutToSave(cancel);
    return !cancel;
}
void ToxPersist::DoAfterSave() {
    emit saved();
}

TFileResult<> ToxPersist::Load() {
    if (!DoBeforeLoad()) return {};
    TFileResult<> result;
    switch (storageType_) {
    case oxpFile:
        result = LoadContainer();
        break;
    case oxpIniFile:
        LoadIni();
        break;
    case oxpRegistry:
        LoadRegistry();
        break;
    }
    DoAfterLoad();
    return result;
}

TFileResult<> ToxPersist::Save() {
    if (!enabled_ || !DoBeforeSave()) return {};
    TFileResult<> result;
    saving_ = true;
    switch (storageType_) {
    case oxpFile:
        result = SaveContainer();
        break;
    case oxpIniFile:
        SaveIni();
        break;
    case oxpRegistry:
        result = SaveRegistry();
        break;
    }
    saving_ = false;
    if (!result) return result;
    saved_ = true;
    DoAfterSave();
    return result;
}

// --- where the stores live ---------------------------------------------------

QString ToxPersist::ProgramDirectory() const {
    return programDir_.isEmpty() ? QCoreApplication::applicationDirPath() : programDir_;
}

bool ToxPersist::IsSystemFolder(const QString& dir) {
    const QString canonical = QFileInfo(dir).canonicalFilePath();
    const QString path = QDir::cleanPath(canonical.isEmpty() ? dir : canonical);
    static const char* const kSystem[] = {"/usr", "/bin",  "/sbin", "/lib",      "/lib64",
                                          "/opt", "/snap", "/app",  "/nix/store"};
    return std::any_of(std::begin(kSystem), std::end(kSystem), [&path](const char* root) {
        const QLatin1String r(root);
        return path == r || path.startsWith(r + QLatin1Char('/'));
    });
}

ToxPersist::TStorePlace ToxPersist::StorePlace() const {
    QString base = fileName_;
    if (options_.testFlag(oxpAutoFileName))
        base = QFileInfo(QCoreApplication::applicationFilePath()).completeBaseName() +
               (storageType_ == oxpIniFile ? QStringLiteral(".ini") : QStringLiteral(".oxp"));
    if (base.contains(QLatin1Char('/'))) return {base, base, {}};
    switch (storageDirectory_) {
    case oxpWindows: {
        const QString path =
            WithSlash(QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation)) +
            base;
        return {path, path, {}};
    }
    case oxpSystem: {
        const QStringList dirs =
            QStandardPaths::standardLocations(QStandardPaths::GenericConfigLocation);
        const QString path =
            WithSlash(dirs.isEmpty() ? QStringLiteral("/etc/xdg") : dirs.constLast()) + base;
        return {path, path, {}};
    }
    default:
        break;
    }
    const QString program = ProgramDirectory();
    const QString user = WithSlash(UserConfigDirectory()) + base;
    // An installed program keeps its preferences with the user, whoever runs it.
    if (program.isEmpty() || IsSystemFolder(program)) return {user, user, {}};
    const QString beside = WithSlash(program) + base;
    const QByteArray folder = QFile::encodeName(program);
    // A writable program folder takes the file whatever it is (a read-only
    // one there is refused when saved, as is any file when the "folder" is
    // none); otherwise a file there that can be written is written in place.
    if (::faccessat(AT_FDCWD, folder.constData(), W_OK, AT_EACCESS) == 0)
        return {beside, beside, {}};
    const QString reason = QString::fromLocal8Bit(std::strerror(errno));
    const QByteArray besideName = QFile::encodeName(beside);
    if (const int fd = ::open(besideName.constData(), O_WRONLY | O_CLOEXEC | O_NONBLOCK); fd >= 0) {
        ::close(fd);
        return {beside, beside, {}};
    }
    const bool readable = ::faccessat(AT_FDCWD, besideName.constData(), R_OK, AT_EACCESS) == 0;
    const QString read = QFileInfo::exists(user) || !readable ? user : beside;
    return {read, user, reason};
}

QString ToxPersist::StoreFilePath() const {
    return StorePlace().Write;
}

QString ToxPersist::ReadFilePath() const {
    return StorePlace().Read;
}

QString ToxPersist::SectionName() const {
    if (options_.testFlag(oxpAutoRegKey)) return OwnerName() + QLatin1Char('\\') + objectName();
    return registryKey_;
}

QString ToxPersist::RegistryKeyPath() const {
    if (!options_.testFlag(oxpAutoRegKey)) return registryKey_;
    return QStringLiteral("Software\\") +
           QFileInfo(QCoreApplication::applicationFilePath()).fileName() + QLatin1Char('\\') +
           OwnerName() + QLatin1Char('\\') + objectName();
}

QString ToxPersist::RegistryFilePath() const {
    const QString dir = registryDir_.isEmpty() ? UserConfigDirectory() : registryDir_;
    return WithSlash(dir) + (rootKey_ == oxpHKEY_LOCAL_MACHINE
                                 ? QStringLiteral("local-machine.reg")
                                 : QStringLiteral("current-user.reg"));
}

// --- the container file --------------------------------------------------------

struct ToxPersist::TKeptContainer {
    QString Path;
    TFileStamp Stamp;
    ToxRegFile Table;
};

void ToxPersist::KeepContainer(const QString& path, const ToxRegFile& table) {
    const TFileStamp stamp = TFileStamp::Of(path);
    if (!stamp.Known) {
        keptContainer_.reset();
        return;
    }
    keptContainer_ = std::make_shared<TKeptContainer>(TKeptContainer{path, stamp, table});
}

TFileResult<> ToxPersist::LoadContainer() {
    const TStorePlace place = StorePlace();
    const QString& path = place.Read;
    // What an interrupted save left beside the file goes first.
    RemoveSaveLeftovers(place.Write);
    if (!QFileInfo::exists(path)) return {};
    loading_ = true;
    ToxRegFile table;
    TFileResult<> result = table.LoadFromFile(path);
    if (result) {
        KeepContainer(path, table);
        table.SetSection(SectionName());
        oxp::TContainerItemStore store(table);
        LoadItems(store, false);
        loaded_ = true;
    }
    loading_ = false;
    return result;
}

TFileResult<> ToxPersist::SaveContainer() {
    const TStorePlace place = StorePlace();
    const QString& path = place.Write;
    const bool firstThere = !place.Reason.isEmpty() && !QFileInfo::exists(path);
    // Entries that no item writes survive the save: they come from the file
    // (or the one read in its place), or from what was last read or written
    // here while the file is unchanged. A file that cannot be read as a
    // container (the load at start said so) is replaced.
    const QString source = QFileInfo::exists(path) ? path : place.Read;
    ToxRegFile table;
    const TFileStamp stamp = TFileStamp::Of(source);
    const bool kept = keptContainer_ && stamp.Known && keptContainer_->Path == source &&
                      keptContainer_->Stamp == stamp;
    if (kept)
        table = keptContainer_->Table;
    else if (QFileInfo::exists(source) && !table.LoadFromFile(source))
        table.Clear();
    table.SetSection(SectionName());
    oxp::TContainerItemStore store(table);
    SaveItems(store, false);
    const QString folder = QFileInfo(path).absolutePath();
    if (const TFileResult<> made = CreateFolders(folder); !made)
        return TFileError(
            path, QStringLiteral("Cannot save file \"%1\":"), made.Error().Reason(),
            QStringLiteral("cannot create the folder \"%1\"").arg(made.Error().Path()));
    QByteArray bytes;
    TFileResult<> saved = table.SaveToFile(path, bytes);
    if (saved && firstThere)
        emit storeMoved(QStringLiteral("The preferences cannot be saved in \"%1\" (%2), so they "
                                       "are kept in \"%3\" from now on.")
                            .arg(ProgramDirectory(), place.Reason, path));
    if (saved) {
        // What a later read of the file gives, so that the kept copy never differs from it.
        ToxRegFile written;
        written.LoadFromBytes(bytes);
        KeepContainer(path, written);
    } else {
        keptContainer_.reset();
    }
    return saved;
}

// --- the ini file ------------------------------------------------------------

void ToxPersist::LoadIni() {
    const QString path = ReadFilePath();
    RemoveSaveLeftovers(StoreFilePath());
    if (!QFileInfo::exists(path)) return;
    loading_ = true;
    ToxIniFile ini(path);
    oxp::TIniItemStore store(ini, SectionName());
    LoadItems(store, false);
    loading_ = false;
    loaded_ = true;
}

void ToxPersist::SaveIni() {
    const QString path = StoreFilePath();
    ToxIniFile ini(path);
    oxp::TIniItemStore store(ini, SectionName());
    SaveItems(store, false);
    // A failed profile write is not reported.
    static_cast<void>(CreateFolders(QFileInfo(path).absolutePath()));
    static_cast<void>(ini.UpdateFile());
}
