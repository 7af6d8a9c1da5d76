#pragma once
// The desk's one main window. It holds the model and wires its followers once
// (the host's frame and the network outputs, then the bank on screen), the
// menus, the dialogs and the preference store, and the order in which they
// come to life and go. MainWindow.cpp builds it and wires the model;
// MainWindowMenus.cpp the menus and their commands; MainWindowPreferences.cpp
// the stored items and the preference commands; MainWindowLifecycle.cpp
// start-up and close; MainWindowHostLink.cpp the host link's indicator and
// its notice of a refused host; MainWindowOutputs.cpp the network outputs;
// MainWindowSafety.cpp undo and redo, the blackout and the snapshots.

#include <functional>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <utility>

#include <QMainWindow>

#include "base/Guarded.h"
#include "base/WindowPlace.h"
#include "hostlink/Endpoint.h"
#include "model/DeskModel.h"
#include "output/OutputSettings.h"
#include "remote/RemoteAddress.h"

#include "surfaces/SurfaceSettings.h"

class QFrame;
class QLabel;
class TMidiSurface;
class TOscSurface;
struct TProfileFolders;
struct TSurfaceProfile;
class QMenu;
class QMenuBar;
class TBankView;
class TBlackoutLabel;
class TFadePlayer;
class TSnapshotStore;
class TUndoHistory;
class TColorDialog;
class TFileDialog;
class TFrameSender;
class TLayoutCommands;
class TLinkIndicator;
class TMenuItem;
class TOutputSet;
class TOutputStatusLabel;
class TStatusCorner;
class ToxPersist;
struct TBankPanels;
namespace remote {
class TRemoteServer;
}

#include "core/Version.h"
inline constexpr auto& APPLICATION_TITLE = core::JoinedText<"Vantrelle ", VANTRELLE_VERSION_MAJOR>;
inline constexpr auto& MAIN_CAPTION = core::JoinedText<"Vantrelle ", VANTRELLE_VERSION>;
inline constexpr char LAYOUT_FILTER[] = "Vantrelle File|*.HXI";
inline constexpr char LAYOUT_EXTENSION[] = "HXI";
inline constexpr char CLOSE_QUESTION[] = "Do you want to save the layout before exiting?";

class TMainWindow : public QMainWindow {
    Q_OBJECT
    Q_PROPERTY(int Top READ Top WRITE SetTop)
    Q_PROPERTY(int Left READ Left WRITE SetLeft)
public:
    // The endpoint reaches the host; tests hand in one of their own.
    explicit TMainWindow(
        std::unique_ptr<hostlink::Endpoint> endpoint = hostlink::CreatePlatformEndpoint(),
        QWidget* parent = nullptr);
    ~TMainWindow() override;

    int Top() const;
    void SetTop(int top);
    int Left() const;
    void SetLeft(int left);

    TDeskModel& Model() { return *model_; }
    const TDeskModel& Model() const { return *model_; }
    TBankView& Bank() { return *bank_; }
    TLayoutCommands& LayoutCommands() { return *layoutCommands_; }

    // Changes to the saved output settings for this run only (the command
    // line's --sacn, --artnet, --ola); set before the window is shown.
    using TOutputOverrides = std::function<void(TOutputSettings&)>;
    void SetOutputOverrides(TOutputOverrides overrides) { outputOverrides_ = std::move(overrides); }
    // A layout to open at start instead of the last one (the command line's
    // file); set before the window is shown.
    void SetStartLayout(const QString& path) { startLayout_ = path; }
    // The outputs' own settings file, beside "Config.dat".
    QString OutputSettingsPath() const;
    const TOutputSettings& OutputSettings() const { return outputSettings_; }
    TOutputSet& Outputs() { return *outputs_; }
    // The command line's --remote: the server starts with the window.
    void SetRemoteAddress(std::optional<remote::TListenAddress> address) {
        remoteAddress_ = std::move(address);
    }
    remote::TRemoteServer& Remote() { return *remote_; }
    // The paired devices' file, beside "Config.dat".
    QString RemoteDevicesPath() const;

    TUndoHistory& History() { return *history_; }
    TFadePlayer& FadePlayer() { return *fadePlayer_; }
    TSnapshotStore& Snapshots() { return *snapshots_; }
    // The snapshots' own file, beside "Config.dat".
    QString SnapshotsPath() const;
    // Recalls snapshot 1..10 (nothing when it is empty), or asks how to
    // store the desk's look into it.
    void RecallSnapshot(int slot);
    void StoreSnapshot(int slot);

    // Changes to the saved control surface settings for this run only (the
    // command line's --midi, --midi-api, --osc); set before the window is shown.
    using TSurfaceOverrides = std::function<void(TSurfaceSettings&)>;
    void SetSurfaceOverrides(TSurfaceOverrides overrides) {
        surfaceOverrides_ = std::move(overrides);
    }
    // The surfaces' own settings file, beside "Config.dat".
    QString SurfaceSettingsPath() const;
    // The user's profiles, beside "Config.dat"; then the shipped ones.
    TProfileFolders ProfileFolders() const;
    const TSurfaceSettings& SurfaceSettings() const { return surfaceSettings_; }
    TMidiSurface* MidiSurface() const { return midiSurface_; }
    TOscSurface* OscSurface() const { return oscSurface_; }

    // Components, named after the objects the preference store and the
    // menus' users find by name.
    QFrame* PanelPage = nullptr;
    QFrame* PanelFader = nullptr;
    QMenuBar* MenuBar = nullptr;
    TLinkIndicator* LinkIndicator = nullptr; // at the right end of the menu bar
    QMenu* FaderMenu = nullptr;
    TColorDialog* ColorDialog = nullptr;
    TFileDialog* OpenDialog = nullptr;
    TFileDialog* SaveDialog = nullptr;
    ToxPersist* PreferenceStore = nullptr;

    QMenu* FileMenu = nullptr;
    TMenuItem* NewItem = nullptr;
    TMenuItem* OpenItem = nullptr;
    TMenuItem* SaveItem = nullptr;
    TMenuItem* SaveAsItem = nullptr;
    TMenuItem* ExitItem = nullptr;
    QMenu* ActionMenu = nullptr;
    TMenuItem* ReleaseBumpsItem = nullptr;
    TMenuItem* AllTo0Item = nullptr;
    TMenuItem* AllTo50Item = nullptr;
    TMenuItem* AllTo100Item = nullptr;
    TMenuItem* PageTo0Item = nullptr;
    TMenuItem* PageTo50Item = nullptr;
    TMenuItem* PageTo100Item = nullptr;
    TMenuItem* UndoItem = nullptr;
    TMenuItem* RedoItem = nullptr;
    TMenuItem* BlackoutItem = nullptr;
    TMenuItem* SnapshotsItem = nullptr;
    QMenu* PreferencesMenu = nullptr;
    TMenuItem* ShowDigitsItem = nullptr;
    TMenuItem* ToggleBumpsItem = nullptr;
    TMenuItem* ForwardKeysItem = nullptr;
    TMenuItem* StayOnTopItem = nullptr;
    TMenuItem* KeepLevelsItem = nullptr;
    TMenuItem* GradientItem = nullptr;
    TMenuItem* OutputsItem = nullptr;
    TMenuItem* RemoteItem = nullptr;
    QLabel* RemoteLabel = nullptr; // the pairing code, at the right of the menu bar
    TMenuItem* SurfacesItem = nullptr;
    QMenu* HelpMenu = nullptr;
    TMenuItem* ReadmeItem = nullptr;
    TMenuItem* AboutItem = nullptr;

    TMenuItem* EditNamesItem = nullptr;
    TMenuItem* ClearNamesItem = nullptr;
    TMenuItem* FaderColorItem = nullptr;
    TMenuItem* LearnItem = nullptr;

    // Runs the close question; true when the window may close.
    bool AskToClose();
    // Closes as File > Exit does but without the question, for a desk told
    // to end by its session: the layout is left as it is on disk, the
    // preferences are kept and the outputs end their streams.
    void CloseWithoutQuestion();

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void CreateComponents();
    void CreateMenus();
    void CreatePopupMenu();
    void CreatePersist();
    TMenuItem* AddItem(QMenu* menu, const char* name, const QString& caption, int tag = 0);
    void ConnectMenuCommands();
    // Runs a command; a failure is shown in an error box and ends only it.
    template <typename F>
    void Guarded(F&& command) {
        RunGuarded(this, std::forward<F>(command));
    }

    // Start-up and close.
    void SetUp();
    void StartShowing();
    void ApplyLoadedPreferences();

    // Commands.
    void ShowReadme();
    void ShowAbout();
    void ApplyPreset(int level);
    void ChooseFaderColor();
    void ClearFaderNames();
    void EditFaderNames();
    void SetAllLevels(int level);
    void SetPageLevels(int level);
    void ReleaseAllBumps();
    void ChooseOutputs();
    void Undo();
    void Redo();
    void ShowSnapshots();

    // Undo, redo, blackout and snapshots: items, keys and followers.
    void CreateSafety();
    void ShowUndoNames();
    void LoadSnapshots();
    // A menu command run as one step named after its item.
    template <typename F>
    void AsStep(const QString& name, F&& command) {
        Guarded([&] {
            const TStepScope step(*model_, name);
            command();
        });
    }

    // Preferences.
    void ApplyKeyForwarding();
    void ApplyBumpType();
    void ApplyZOrder();
    void InstallKeyFilter();

    void CreateLinkIndicator();
    void ShowLinkStatus(const hostlink::LinkStatus& status);
    void AddToStatusCorner(QWidget* status);
    // Builds the bank on screen, then fits the window to it.
    void BuildBank();
    void FitWindowToBank();
    TBankPanels BankPanels();
    // Reads the outputs' settings, applies the overrides and starts them.
    void StartOutputs();
    void ApplyOutputSettings(const TOutputSettings& settings);
    // Remote access for phones and tablets.
    void CreateRemote();
    void StartRemote();
    void ShowRemoteLook();
    void ShowRemoteState();
    void TellRemoteFailure(const QString& message);
    void ChooseRemoteAccess();
    // Reads the surfaces' settings, applies the overrides and starts them; a
    // bad file is shown in the window, naming its line.
    void StartSurfaces();
    void ApplySurfaceSettings(const TSurfaceSettings& settings);
    void ChooseSurfaces();
    void LearnControl();
    void SaveLearnedProfile(int slot, const QString& control, const TSurfaceProfile& learned);
    void ShowSurfaceStatus();
    void ShowTakeoverMarkers();

    std::unique_ptr<hostlink::Endpoint> endpoint_;
    std::unique_ptr<TOutputSet> outputs_;
    TOutputSettings outputSettings_;
    TDeskModel* model_ = nullptr;
    TFrameSender* frameSender_ = nullptr;
    TBankView* bank_ = nullptr;
    QObject* keyFilter_ = nullptr;
    bool shown_ = false;
    bool closingWithoutQuestion_ = false;
    // Top and Left are the frame's corner, as the window manager draws it.
    TWindowPlace place_{this};
    std::unique_ptr<TLayoutCommands> layoutCommands_;
    TStatusCorner* statusCorner_ = nullptr;
    std::set<std::pair<std::string, std::string>> toldRefusals_; // path, reason
    TOutputOverrides outputOverrides_;
    QString startLayout_;
    TOutputStatusLabel* outputStatus_ = nullptr;
    // The settings file was refused at start and has not been replaced.
    bool settingsRefused_ = false;
    TUndoHistory* history_ = nullptr;
    TFadePlayer* fadePlayer_ = nullptr;
    std::unique_ptr<TSnapshotStore> snapshots_;
    TBlackoutLabel* blackoutLabel_ = nullptr;
    remote::TRemoteServer* remote_ = nullptr;
    std::optional<remote::TListenAddress> remoteAddress_;
    QString toldCode_;
    TSurfaceSettings surfaceSettings_;
    TSurfaceOverrides surfaceOverrides_;
    TMidiSurface* midiSurface_ = nullptr;
    TOscSurface* oscSurface_ = nullptr;
    QLabel* surfaceStatus_ = nullptr;
    int learningSlot_ = 0;
};
