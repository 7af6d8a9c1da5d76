// The menu bar, the fader popup menu and the commands they run.

#include <cmath>

#include <QCoreApplication>
#include <QMenu>
#include <QMenuBar>
#include <QPointer>

#include "app/LayoutCommands.h"
#include "app/MainWindow.h"
#include "app/MenuItem.h"
#include "bank/BankView.h"
#include "base/MessageBox.h"
#include "base/WindowLayer.h"
#include "dialogs/AboutBox.h"
#include "dialogs/ReadmeWindow.h"

TMenuItem* TMainWindow::AddItem(QMenu* menu, const char* name, const QString& caption, int tag) {
    auto* item = new TMenuItem(QLatin1String(name), caption, this, tag);
    menu->addAction(item);
    return item;
}

void TMainWindow::CreateMenus() {
    // The menus stay in the window. Said before the bar is made, this also
    // spares every start a look on the session bus for a desktop-wide bar.
    QCoreApplication::setAttribute(Qt::AA_DontUseNativeMenuBar);
    MenuBar = menuBar();
    MenuBar->setObjectName(QStringLiteral("oxMenu1"));
    MenuBar->setNativeMenuBar(false);

    FileMenu = MenuBar->addMenu(QStringLiteral("&File"));
    FileMenu->setObjectName(QStringLiteral("File1"));
    NewItem = AddItem(FileMenu, "M_New", QStringLiteral("&New"));
    OpenItem = AddItem(FileMenu, "M_Open", QStringLiteral("&Open"));
    SaveItem = AddItem(FileMenu, "M_Save", QStringLiteral("&Save"));
    SaveAsItem = AddItem(FileMenu, "M_SaveAs", QStringLiteral("Save &As"));
    FileMenu->addSeparator()->setObjectName(QStringLiteral("N3"));
    ExitItem = AddItem(FileMenu, "M_Exit", QStringLiteral("E&xit"));

    ActionMenu = MenuBar->addMenu(QStringLiteral("&Action"));
    ActionMenu->setObjectName(QStringLiteral("Action1"));
    ReleaseBumpsItem = AddItem(ActionMenu, "M_ReleaseAllToggledBumpButtons",
                               QStringLiteral("Release All Toggled Bump Buttons"));
    ActionMenu->addSeparator()->setObjectName(QStringLiteral("N2"));
    AllTo0Item = AddItem(ActionMenu, "M_AllFaderTo_0", QStringLiteral("All Faders To 0%"));
    AllTo50Item = AddItem(ActionMenu, "M_AllFaderTo_50", QStringLiteral("All Faders To 50%"));
    AllTo100Item = AddItem(ActionMenu, "M_AllFaderTo_100", QStringLiteral("All Faders To 100%"));
    ActionMenu->addSeparator()->setObjectName(QStringLiteral("N1"));
    PageTo0Item = AddItem(ActionMenu, "M_FadersOfCurrentPageAt_0",
                          QStringLiteral("Faders Of Current Page At 0%"));
    PageTo50Item = AddItem(ActionMenu, "M_FadersOfCurrentPageAt_50",
                           QStringLiteral("Faders Of Current Page At 50%"));
    PageTo100Item = AddItem(ActionMenu, "M_FadersOfCurrentPageAt_100",
                            QStringLiteral("Faders Of Current Page At 100%"));

    PreferencesMenu = MenuBar->addMenu(QStringLiteral("&Preferences"));
    PreferencesMenu->setObjectName(QStringLiteral("M_Preferences"));
    ShowDigitsItem = AddItem(PreferencesMenu, "M_Displayvalueasdigit",
                             QStringLiteral("&Display Value As Digit"));
    ToggleBumpsItem =
        AddItem(PreferencesMenu, "M_ButtonAsToggle", QStringLiteral("Bump Button As &Toggle"));
    ForwardKeysItem = AddItem(PreferencesMenu, "M_PassKeypressesToHalvex",
                              QStringLiteral("&Pass Keypresses To Halvex"));
    StayOnTopItem = AddItem(PreferencesMenu, "M_StayOnTop", QStringLiteral("&Stay On Top"));
    KeepLevelsItem = AddItem(PreferencesMenu, "M_MemoriseFaderStatusOnExit",
                             QStringLiteral("&Memorise Fader Status On Exit"));
    GradientItem = AddItem(PreferencesMenu, "M_GradientLook", QStringLiteral("&Gradient Look"));
    PreferencesMenu->addSeparator();
    OutputsItem = AddItem(PreferencesMenu, "M_DmxOutputs", QStringLiteral("DMX &Outputs\u2026"));
    SurfacesItem =
        AddItem(PreferencesMenu, "M_ControlSurfaces", QStringLiteral("&Control Surfaces\u2026"));
    RemoteItem = AddItem(PreferencesMenu, "M_RemoteAccess", QStringLiteral("&Remote Access\u2026"));
    // Independent check marks that flip themselves before their command runs.
    for (TMenuItem* item : {ShowDigitsItem, ToggleBumpsItem, ForwardKeysItem, StayOnTopItem,
                            KeepLevelsItem, GradientItem}) {
        item->setCheckable(true);
        item->setChecked(false);
    }

    HelpMenu = MenuBar->addMenu(QStringLiteral("&Help"));
    HelpMenu->setObjectName(QStringLiteral("M_Help"));
    ReadmeItem = AddItem(HelpMenu, "M_Readme", QStringLiteral("Readme"));
    AboutItem = AddItem(HelpMenu, "M_About", QStringLiteral("About"));
    connect(ReadmeItem, &QAction::triggered, this, [this] { ShowReadme(); });
    connect(AboutItem, &QAction::triggered, this, [this] { ShowAbout(); });

    connect(NewItem, &QAction::triggered, this, [this] { layoutCommands_->New(); });
    connect(OpenItem, &QAction::triggered, this, [this] { layoutCommands_->Open(); });
    connect(SaveItem, &QAction::triggered, this, [this] { layoutCommands_->Save(); });
    connect(SaveAsItem, &QAction::triggered, this, [this] { layoutCommands_->SaveAs(); });
    connect(ExitItem, &QAction::triggered, this, [this] { close(); });
    connect(ForwardKeysItem, &QAction::triggered, this, [this] { ApplyKeyForwarding(); });
    connect(StayOnTopItem, &QAction::triggered, this, [this] { ApplyZOrder(); });
}

void TMainWindow::CreatePopupMenu() {
    FaderMenu = new QMenu(this);
    FaderMenu->setObjectName(QStringLiteral("PopupMenu1"));
    EditNamesItem = AddItem(FaderMenu, "M_SetCaption", QStringLiteral("Set Caption"));
    ClearNamesItem = AddItem(FaderMenu, "M_ClearCaption", QStringLiteral("Clear Caption"));
    FaderMenu->addSeparator()->setObjectName(QStringLiteral("N4"));
    struct Preset {
        const char* name;
        const char* caption;
        int level;
    };
    static constexpr Preset kPresets[] = {
        {"N1001", "100%  or 255", 255}, {"N901", "90% or 230", 230}, {"N801", "80% or 204", 204},
        {"N701", "70% or 178", 178},    {"N601", "60% or 153", 153}, {"N501", "50% or 128", 128},
        {"N401", "40% or 102", 102},    {"N301", "30% or 76", 76},   {"N201", "20% or 51", 51},
        {"N101", "10% or 26", 26},      {"N01", "0% or 0", 0},
    };
    for (const Preset& p : kPresets)
        AddItem(FaderMenu, p.name, QString::fromLatin1(p.caption), p.level);
    FaderMenu->addSeparator()->setObjectName(QStringLiteral("N5"));
    FaderColorItem = AddItem(FaderMenu, "M_SetFaderColor", QStringLiteral("Set Fader Color"));
    LearnItem = AddItem(FaderMenu, "M_LearnControl", QStringLiteral("Learn Control"));
}

void TMainWindow::ConnectMenuCommands() {
    const auto on = [this](QAction* item, auto command) {
        connect(item, &QAction::triggered, this, command);
    };
    on(ReleaseBumpsItem, [this] { ReleaseAllBumps(); });
    on(AllTo0Item, [this] { SetAllLevels(0); });
    on(AllTo50Item, [this] { SetAllLevels(128); });
    on(AllTo100Item, [this] { SetAllLevels(255); });
    on(PageTo0Item, [this] { SetPageLevels(0); });
    on(PageTo50Item, [this] { SetPageLevels(128); });
    on(PageTo100Item, [this] { SetPageLevels(255); });
    on(ShowDigitsItem, [this] {
        bank_->ShowDigits(ShowDigitsItem->isChecked());
        ShowRemoteLook();
    });
    on(ToggleBumpsItem, [this] { ApplyBumpType(); });
    on(GradientItem, [this] { bank_->ShowGradient(GradientItem->isChecked()); });
    on(OutputsItem, [this] { ChooseOutputs(); });
    on(RemoteItem, [this] { ChooseRemoteAccess(); });
    on(EditNamesItem, [this] { EditFaderNames(); });
    on(ClearNamesItem, [this] { ClearFaderNames(); });
    on(FaderColorItem, [this] { ChooseFaderColor(); });
    on(SurfacesItem, [this] { ChooseSurfaces(); });
    on(LearnItem, [this] { LearnControl(); });
    // The level presets carry their level in their tag.
    for (QAction* a : FaderMenu->actions()) {
        auto* item = qobject_cast<TMenuItem*>(a);
        if (item == nullptr || !item->objectName().startsWith(QLatin1Char('N')) ||
            item->isSeparator())
            continue;
        on(item, [this, item] { ApplyPreset(item->Tag()); });
    }
}

namespace {

// Shows a help window modally and frees it, also when showing fails.
template <class TForm>
void ShowHelpWindow(QWidget* owner) {
    QPointer<TForm> form = new TForm(owner);
    try {
        form->exec();
    } catch (...) {
        delete form;
        throw;
    }
    delete form; // null when it has freed itself
}

} // namespace

void TMainWindow::ShowReadme() {
    model_->SetForwardKeys(false);
    SetWindowTopmost(this, false);
    QString failure;
    try {
        ShowHelpWindow<TReadmeWindow>(this);
    } catch (const std::exception& e) {
        failure = QString::fromLocal8Bit(e.what());
    }
    // Put back whatever happened, so that a failed window cannot leave the
    // desk out of its layer or deaf to the host's shortcuts.
    ApplyZOrder();
    model_->SetForwardKeys(true);
    if (!failure.isEmpty()) ShowMessageBox(this, failure, TMsgDlgType::mtError, QMessageBox::Ok);
}

void TMainWindow::ShowAbout() {
    try {
        ShowHelpWindow<TAboutBox>(this);
    } catch (const std::exception& e) {
        ShowMessageBox(this, QString::fromLocal8Bit(e.what()), TMsgDlgType::mtError,
                       QMessageBox::Ok);
    }
}

void TMainWindow::SetAllLevels(int level) {
    AsStep(QStringLiteral("All Faders To %1%").arg(std::lround(level * 100 / 255.0)),
           [&] { model_->SetAllLevels(level, bank_->Focus()); });
}

void TMainWindow::SetPageLevels(int level) {
    AsStep(QStringLiteral("Faders Of Current Page At %1%").arg(std::lround(level * 100 / 255.0)),
           [&] { model_->SetPageLevels(level, bank_->Focus()); });
}

void TMainWindow::ReleaseAllBumps() {
    AsStep(ReleaseBumpsItem->text(), [&] { model_->ReleaseAllBumps(bank_->Focus()); });
}
