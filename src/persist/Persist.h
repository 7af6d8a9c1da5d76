#pragma once
// ToxPersist: stores named properties of its owner window and of the
// components the window owns, and restores them. Each item of `Items` names
// an object, a property path and the key its value is stored under; the
// store is a container file, an ini file or the registry.

#include <functional>
#include <memory>
#include <optional>
#include <vector>

#include <QObject>
#include <QStringList>
#include <QVariant>

#include "core/FileResult.h"

namespace oxp {
class TItemStore;
class TPersistItem;
struct TItemTarget;
} // namespace oxp

// An owner window that raises OnDestroy first thing in its destructor lets
// the component save itself then (oxpAutoSave). A plain hook, not a signal:
// this is a second base beside the window's QObject, and the window's own
// destroyed() comes only once the components it owns are gone.
class TDestroyNotifier {
public:
    std::function<void()> OnDestroy;
};

class ToxRegFile;

class ToxPersist : public QObject {
    Q_OBJECT
    Q_PROPERTY(bool Enabled READ Enabled WRITE SetEnabled)
    Q_PROPERTY(QStringList Items READ Items WRITE SetItems)
    Q_PROPERTY(QString FileName READ FileName WRITE SetFileName)
    Q_PROPERTY(QString RegistryKey READ RegistryKey WRITE SetRegistryKey)
    Q_PROPERTY(ToxpStorageType StorageType READ StorageType WRITE SetStorageType)
    Q_PROPERTY(ToxpOptions Options READ Options WRITE SetOptions)
    Q_PROPERTY(ToxRootKey RootKey READ RootKey WRITE SetRootKey)
    Q_PROPERTY(TFileStorageDirectory FileStorageDirectory READ FileStorageDirectory WRITE
                   SetFileStorageDirectory)
public:
    enum ToxpStorageType { oxpFile, oxpRegistry, oxpIniFile };
    Q_ENUM(ToxpStorageType)
    enum ToxpOption {
        oxpAutoSave = 0x1,
        oxpAutoLoad = 0x2,
        oxpAutoFileName = 0x4,
        oxpAutoRegKey = 0x8
    };
    Q_DECLARE_FLAGS(ToxpOptions, ToxpOption)
    Q_FLAG(ToxpOptions)
    enum ToxRootKey { oxpHKEY_CURRENT_USER, oxpHKEY_LOCAL_MACHINE };
    Q_ENUM(ToxRootKey)
    enum TFileStorageDirectory { oxpApplication, oxpWindows, oxpSystem };
    Q_ENUM(TFileStorageDirectory)

    // The deferred-load message posted to the component's own receiver.
    static constexpr int kPostLoadMessage = 1047;

    explicit ToxPersist(QObject* owner);
    ~ToxPersist() override;

    bool Enabled() const { return enabled_; }
    void SetEnabled(bool v) { enabled_ = v; }
    QStringList Items() const { return items_; }
    void SetItems(const QStringList& v) { items_ = v; }
    QString FileName() const { return fileName_; }
    void SetFileName(const QString& v) { fileName_ = v; }
    QString RegistryKey() const { return registryKey_; }
    void SetRegistryKey(const QString& v);
    ToxpStorageType StorageType() const { return storageType_; }
    void SetStorageType(ToxpStorageType v) { storageType_ = v; }
    ToxpOptions Options() const { return options_; }
    void SetOptions(ToxpOptions v);
    ToxRootKey RootKey() const { return rootKey_; }
    void SetRootKey(ToxRootKey v) { rootKey_ = v; }
    TFileStorageDirectory FileStorageDirectory() const { return storageDirectory_; }
    void SetFileStorageDirectory(TFileStorageDirectory v) { storageDirectory_ = v; }
    int SeqID() const { return seqId_; }
    void SetSeqID(int v) { seqId_ = v; }

    // Assigning the settings as a window description does: between the two
    // calls setters do not act; the end rewrites the owner's items and runs
    // the automatic options.
    void BeginReadDescription();
    void EndReadDescription();

    // Queues one load that runs once the event loop delivers it.
    void PostLoad();
    // Loads now. Fails when the store file cannot be read (loaded is
    // emitted all the same, so start-up completes).
    TFileResult<> Load();
    // Saves now. Fails when the store file cannot be written.
    TFileResult<> Save();

    // A modal dialog listing the items flagged for it, each value editable as
    // its stored text; OK applies the edits. True when accepted.
    virtual bool ShowSetupDialog();

    bool IsLoading() const { return loading_; }
    bool IsLoaded() const { return loaded_; }
    bool IsSaving() const { return saving_; }
    bool IsSaved() const { return saved_; }

    // Run-time variables and items (registry store).
    QVariant GetVariable(const QString& name) const;
    void SetVariable(const QString& name, const QVariant& value);
    int AddItem(int index, const QString& component, const QString& property, QString key,
                bool noSave, bool inSetupDialog, const QString& description);
    int IndexOfKey(const QString& name) const;

    // Where the stores live. The program directory is the executable's (or
    // the one set here, for tests). A store file of oxpApplication goes
    // beside the program while it can be written there; otherwise, and
    // always for an installed program (one in a system folder), it goes to
    // the per-user configuration folder, and is read from beside the
    // program until it is there. The registry folder holds the registry
    // files.
    void SetProgramDirectory(const QString& dir) { programDir_ = dir; }
    QString ProgramDirectory() const;
    void SetRegistryDirectory(const QString& dir) { registryDir_ = dir; }
    QString RegistryFilePath() const;
    // The store file of oxpFile and oxpIniFile: where saves go.
    QString StoreFilePath() const;
    // Where a load reads them: the store file, or, while that does not exist
    // yet, a readable one beside the program.
    QString ReadFilePath() const;
    // Folders of installed programs (under /usr, /opt and their like).
    static bool IsSystemFolder(const QString& dir);
    // The section (file stores) or key path (registry) items live under.
    QString SectionName() const;
    QString RegistryKeyPath() const;

signals:
    // A receiver that sets cancel skips the load or save, and loaded or saved.
    void aboutToLoad(bool& cancel);
    void loaded();
    void aboutToSave(bool& cancel);
    // Only after a save that succeeded.
    void saved();
    // Once, at the first save to the per-user folder in place of the
    // program's: `notice` says where the preferences now go, and why.
    void storeMoved(const QString& notice);

protected:
    virtual bool DoBeforeLoad();
    virtual void DoAfterLoad();
    virtual bool DoBeforeSave();
    virtual void DoAfterSave();

private:
    class Receiver;
    QWidget* OwnerWindow() const;
    QString OwnerName() const;
    void InstallDestroyChain();
    void RemoveDestroyChain();
    void RewriteOwnerItems();

    std::optional<oxp::TItemTarget> Resolve(const oxp::TPersistItem& item, bool registry) const;
    void LoadItems(oxp::TItemStore& store, bool registry);
    void SaveItems(oxp::TItemStore& store, bool registry);
    TFileResult<> LoadContainer();
    TFileResult<> SaveContainer();
    void LoadIni();
    void SaveIni();
    void LoadRegistry();
    TFileResult<> SaveRegistry();
    struct TStorePlace {
        QString Read, Write;
        QString Reason; // why Write is not beside the program; empty when it is
    };
    TStorePlace StorePlace() const;
    void InsertDynamicItems();
    void RemoveDynamicItems();

    // The container file as this object last read or wrote it, with its stamp
    // then: a save starts from it instead of reading the unchanged file again.
    struct TKeptContainer;
    std::shared_ptr<TKeptContainer> keptContainer_;
    void KeepContainer(const QString& path, const ToxRegFile& table);

    bool enabled_ = true;
    QStringList items_;
    QString fileName_;
    QString registryKey_ = QStringLiteral("Software\\");
    ToxpStorageType storageType_ = oxpFile;
    ToxpOptions options_ = ToxpOptions(oxpAutoSave | oxpAutoLoad | oxpAutoFileName | oxpAutoRegKey);
    ToxRootKey rootKey_ = oxpHKEY_CURRENT_USER;
    TFileStorageDirectory storageDirectory_ = oxpApplication;
    int seqId_ = 0;

    bool reading_ = false;
    bool loading_ = false;
    bool loaded_ = false;
    bool saving_ = false;
    bool saved_ = false;
    bool dynamicItems_ = false;
    std::vector<std::pair<QString, QVariant>> variables_;

    bool chained_ = false;
    std::function<void()> previousOnDestroy_;
    std::unique_ptr<QObject> receiver_;
    QString programDir_;
    QString registryDir_;
};

Q_DECLARE_OPERATORS_FOR_FLAGS(ToxPersist::ToxpOptions)
