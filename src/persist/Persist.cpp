#include "persist/Persist.h"

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
    const QString dir =
        programDir_.isEmpty() ? QCoreApplication::applicationDirPath() : programDir_;
    if (!dir.isEmpty() && QFileInfo(dir).isWritable()) return dir;
    // An installed program keeps its preferences with the user.
    return UserConfigDirectory();
}

QString ToxPersist::StoreFilePath() const {
    QString base = fileName_;
    if (options_.testFlag(oxpAutoFileName))
        base = QFileInfo(QCoreApplication::applicationFilePath()).completeBaseName() +
               (storageType_ == oxpIniFile ? QStringLiteral(".ini") : QStringLiteral(".oxp"));
    if (base.contains(QLatin1Char('/'))) return base;
    switch (storageDirectory_) {
    case oxpWindows:
        return WithSlash(QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation)) +
               base;
    case oxpSystem: {
        const QStringList dirs =
            QStandardPaths::standardLocations(QStandardPaths::GenericConfigLocation);
        return WithSlash(dirs.isEmpty() ? QStringLiteral("/etc/xdg") : dirs.constLast()) + base;
    }
    default:
        return WithSlash(ProgramDirectory()) + base;
    }
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
    const QString path = StoreFilePath();
    // What an interrupted save left beside the file goes first.
    RemoveSaveLeftovers(path);
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
    const QString path = StoreFilePath();
    ToxRegFile table;
    // Entries that no item writes survive the save: they come from the file,
    // or from what was last read or written here while the file is unchanged.
    // A file that cannot be read as a container (the load at start said so)
    // is replaced.
    const TFileStamp stamp = TFileStamp::Of(path);
    const bool kept = keptContainer_ && stamp.Known && keptContainer_->Path == path &&
                      keptContainer_->Stamp == stamp;
    if (kept)
        table = keptContainer_->Table;
    else if (QFileInfo::exists(path) && !table.LoadFromFile(path))
        table.Clear();
    table.SetSection(SectionName());
    oxp::TContainerItemStore store(table);
    SaveItems(store, false);
    const QString folder = QFileInfo(path).absolutePath();
    if (!QDir().mkpath(folder))
        return TFileError(path, QStringLiteral("Cannot create file \"%1\"."),
                          QStringLiteral("The folder \"%1\" cannot be created.").arg(folder));
    QByteArray bytes;
    TFileResult<> saved = table.SaveToFile(path, bytes);
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
    const QString path = StoreFilePath();
    RemoveSaveLeftovers(path);
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
    QDir().mkpath(QFileInfo(path).absolutePath());
    // A failed profile write is not reported.
    static_cast<void>(ini.UpdateFile());
}
