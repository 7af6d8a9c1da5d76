#pragma once
// The desk's one main window: the fader bank, the menus, the dialogs and the
// preference store, and the order in which they come to life and go.
// Main.cpp builds it and holds the bank's handlers; MainMenus.cpp the menus
// and their commands; MainPreferences.cpp the stored items and the
// preference commands; MainLifecycle.cpp start-up and close; MainHostLink.cpp
// the host link's indicator and its notice of a refused host.

#include <memory>
#include <set>
#include <string>
#include <utility>

#include <QMainWindow>

#include "bank/BankBuilder.h"
#include "bank/BankRefresh.h"
#include "bank/DeskState.h"
#include "base/Guarded.h"
#include "base/WindowPlace.h"
#include "hostlink/Endpoint.h"
#include "output/OutputSettings.h"

#include <functional>

class QFrame;
class QMenu;
class QMenuBar;
class TColorDialog;
class TFileDialog;
class TLayoutCommands;
class TLinkIndicator;
class TMenuItem;
class TOutputSet;
class TOutputStatusLabel;
class TStatusCorner;
class ToxPersist;

#include "core/Version.h"
inline constexpr auto& APPLICATION_TITLE = core::JoinedText<"Vantrelle ", VANTRELLE_VERSION_MAJOR>;
inline constexpr auto& MAIN_CAPTION = core::JoinedText<"Vantrelle ", VANTRELLE_VERSION>;
inline constexpr char LAYOUT_FILTER[] = "Vantrelle File|*.HXI";
inline constexpr char LAYOUT_EXTENSION[] = "HXI";
inline constexpr char CLOSE_QUESTION[] = "Do you want to save the layout before exiting?";

class TMainForm : public QMainWindow {
    Q_OBJECT
    Q_PROPERTY(int Top READ Top WRITE SetTop)
    Q_PROPERTY(int Left READ Left WRITE SetLeft)
public:
    // The endpoint reaches the host; tests hand in one of their own.
    explicit TMainForm(
        std::unique_ptr<hostlink::Endpoint> endpoint = hostlink::CreatePlatformEndpoint(),
        QWidget* parent = nullptr);
    ~TMainForm() override;

    int Top() const;
    void SetTop(int top);
    int Left() const;
    void SetLeft(int left);

    TDeskState& State() { return state_; }
    const TDeskState& State() const { return state_; }

    // Hands the current levels to the host and to the network outputs' mailbox,
    // then recolours the page buttons.
    void SendDmxFrame();

    // Changes to the saved output settings for this run only (the command
    // line's --sacn, --artnet, --ola); set before the window is shown.
    using TOutputOverrides = std::function<void(TOutputSettings&)>;
    void SetOutputOverrides(TOutputOverrides overrides) { outputOverrides_ = std::move(overrides); }
    // The outputs' own settings file, beside "Config.dat".
    QString OutputSettingsPath() const;
    const TOutputSettings& OutputSettings() const { return outputSettings_; }
    TOutputSet& Outputs() { return *outputs_; }

    // Components, by the names the preference store and the handlers use.
    QFrame* PanelPage = nullptr;
    QFrame* PanelFader = nullptr;
    QMenuBar* oxMenu1 = nullptr;
    TLinkIndicator* LinkIndicator = nullptr; // at the right end of the menu bar
    QMenu* PopupMenu1 = nullptr;
    TColorDialog* ColorDialog1 = nullptr;
    TFileDialog* OpenDialog1 = nullptr;
    TFileDialog* SaveDialog1 = nullptr;
    ToxPersist* oxPersist1 = nullptr;

    QMenu* File1 = nullptr;
    TMenuItem* M_New = nullptr;
    TMenuItem* M_Open = nullptr;
    TMenuItem* M_Save = nullptr;
    TMenuItem* M_SaveAs = nullptr;
    TMenuItem* M_Exit = nullptr;
    QMenu* Action1 = nullptr;
    TMenuItem* M_ReleaseAllToggledBumpButtons = nullptr;
    TMenuItem* M_AllFaderTo_0 = nullptr;
    TMenuItem* M_AllFaderTo_50 = nullptr;
    TMenuItem* M_AllFaderTo_100 = nullptr;
    TMenuItem* M_FadersOfCurrentPageAt_0 = nullptr;
    TMenuItem* M_FadersOfCurrentPageAt_50 = nullptr;
    TMenuItem* M_FadersOfCurrentPageAt_100 = nullptr;
    QMenu* M_Preferences = nullptr;
    TMenuItem* M_Displayvalueasdigit = nullptr;
    TMenuItem* M_ButtonAsToggle = nullptr;
    TMenuItem* M_PassKeypressesToHalvex = nullptr;
    TMenuItem* M_StayOnTop = nullptr;
    TMenuItem* M_MemoriseFaderStatusOnExit = nullptr;
    TMenuItem* M_GradientLook = nullptr;
    TMenuItem* M_DmxOutputs = nullptr;
    QMenu* M_Help = nullptr;
    TMenuItem* M_Readme = nullptr;
    TMenuItem* M_About = nullptr;

    TMenuItem* M_SetCaption = nullptr;
    TMenuItem* M_ClearCaption = nullptr;
    TMenuItem* M_SetFaderColor = nullptr;

    // Handlers.
    void FormCreate();
    void FormShow();
    // Runs the close question; true when the window may close.
    bool FormClose();
    void oxPersist1AfterLoad();
    void M_ExitClick();
    void M_ReadmeClick();
    void M_AboutClick();
    void M_PassKeypressesToHalvexClick();
    void M_NewClick();
    void M_OpenClick();
    void M_SaveClick();
    void M_SaveAsClick();

    // The bank's handlers.
    void SkVSlider1ValueChange(QObject* Sender);
    void SkVSlider1Enter(QObject* Sender);
    void SkVSlider1MouseDown(QObject* Sender);
    void FaderButtonTempMouseDown(QObject* Sender);
    void FaderButtonTempMouseUp(QObject* Sender);
    void FaderButtonTempChange(QObject* Sender);
    void PageButtonTempClick(QObject* Sender);
    void N1001Click(QObject* Sender);
    void M_SetFaderColorClick();
    void M_ClearCaptionClick();
    void M_SetCaptionClick();

    // Preferences and action commands.
    void M_DisplayvalueasdigitClick();
    void M_ButtonAsToggleClick();
    void M_StayOnTopClick();
    void M_GradientLookClick();
    void M_AllFaderTo_0Click();
    void M_AllFaderTo_50Click();
    void M_AllFaderTo_100Click();
    void M_FadersOfCurrentPageAt_0Click();
    void M_FadersOfCurrentPageAt_50Click();
    void M_FadersOfCurrentPageAt_100Click();
    void M_ReleaseAllToggledBumpButtonsClick();
    void M_DmxOutputsClick();

    // The step every bank rule runs after a level change.
    const TSendThenRecolour& SendThenRecolour() const { return sendThenRecolour_; }

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
    // Runs a handler; a failure is shown in an error box and ends only it.
    template <typename F>
    void Guarded(F&& handler) {
        RunGuarded(this, std::forward<F>(handler));
    }
    void ApplyZOrder();
    void InstallKeyFilter();
    void CreateLinkIndicator();
    void ShowLinkStatus(const hostlink::LinkStatus& status);
    void AddToStatusCorner(QWidget* status);
    // Builds the bank with this window's handlers, then fits the window to it.
    void BuildBank();
    void FitWindowToBank();
    TBankHandlers NewBankHandlers();
    TBankPanels BankPanels();
    // Reads the outputs' settings, applies the overrides and starts them.
    void StartOutputs();
    void ApplyOutputSettings(const TOutputSettings& settings);

    TDeskState state_;
    std::unique_ptr<hostlink::Endpoint> endpoint_;
    QObject* keyFilter_ = nullptr;
    bool shown_ = false;
    // Top and Left are the frame's corner, as the window manager draws it.
    TWindowPlace place_{this};
    TBankHandlers bankHandlers_;
    const TSendThenRecolour sendThenRecolour_{[this] { SendDmxFrame(); }};
    std::unique_ptr<TLayoutCommands> layoutCommands_;
    TStatusCorner* statusCorner_ = nullptr;
    std::set<std::pair<std::string, std::string>> toldRefusals_; // path, reason
    TOutputOverrides outputOverrides_;
    TOutputSettings outputSettings_;
    std::unique_ptr<TOutputSet> outputs_;
    TOutputStatusLabel* outputStatus_ = nullptr;
};
