// The menu bar, the fader popup menu and the commands they run.

#include <QCoreApplication>
#include <QMenu>
#include <QMenuBar>
#include <QPointer>

#include "app/Main.h"
#include "app/MenuItem.h"
#include "bank/BankView.h"
#include "base/MessageBox.h"
#include "base/WindowLayer.h"
#include "dialogs/About.h"
#include "dialogs/UnitReadme.h"
#include "app/LayoutCommands.h"

TMenuItem* TMainForm::AddItem(QMenu* menu, const char* name, const QString& caption, int tag) {
    auto* item = new TMenuItem(QLatin1String(name), caption, this, tag);
    menu->addAction(item);
    return item;
}

void TMainForm::CreateMenus() {
    // The menus stay in the window. Said before the bar is made, this also
    // spares every start a look on the session bus for a desktop-wide bar.
    QCoreApplication::setAttribute(Qt::AA_DontUseNativeMenuBar);
    oxMenu1 = menuBar();
    oxMenu1->setObjectName(QStringLiteral("oxMenu1"));
    oxMenu1->setNativeMenuBar(false);

    File1 = oxMenu1->addMenu(QStringLiteral("&File"));
    File1->setObjectName(QStringLiteral("File1"));
    M_New = AddItem(File1, "M_New", QStringLiteral("&New"));
    M_Open = AddItem(File1, "M_Open", QStringLiteral("&Open"));
    M_Save = AddItem(File1, "M_Save", QStringLiteral("&Save"));
    M_SaveAs = AddItem(File1, "M_SaveAs", QStringLiteral("Save &As"));
    File1->addSeparator()->setObjectName(QStringLiteral("N3"));
    M_Exit = AddItem(File1, "M_Exit", QStringLiteral("E&xit"));

    Action1 = oxMenu1->addMenu(QStringLiteral("&Action"));
    Action1->setObjectName(QStringLiteral("Action1"));
    M_ReleaseAllToggledBumpButtons = AddItem(Action1, "M_ReleaseAllToggledBumpButtons",
                                             QStringLiteral("Release All Toggled Bump Buttons"));
    Action1->addSeparator()->setObjectName(QStringLiteral("N2"));
    M_AllFaderTo_0 = AddItem(Action1, "M_AllFaderTo_0", QStringLiteral("All Faders To 0%"));
    M_AllFaderTo_50 = AddItem(Action1, "M_AllFaderTo_50", QStringLiteral("All Faders To 50%"));
    M_AllFaderTo_100 = AddItem(Action1, "M_AllFaderTo_100", QStringLiteral("All Faders To 100%"));
    Action1->addSeparator()->setObjectName(QStringLiteral("N1"));
    M_FadersOfCurrentPageAt_0 = AddItem(Action1, "M_FadersOfCurrentPageAt_0",
                                        QStringLiteral("Faders Of Current Page At 0%"));
    M_FadersOfCurrentPageAt_50 = AddItem(Action1, "M_FadersOfCurrentPageAt_50",
                                         QStringLiteral("Faders Of Current Page At 50%"));
    M_FadersOfCurrentPageAt_100 = AddItem(Action1, "M_FadersOfCurrentPageAt_100",
                                          QStringLiteral("Faders Of Current Page At 100%"));

    M_Preferences = oxMenu1->addMenu(QStringLiteral("&Preferences"));
    M_Preferences->setObjectName(QStringLiteral("M_Preferences"));
    M_Displayvalueasdigit =
        AddItem(M_Preferences, "M_Displayvalueasdigit", QStringLiteral("&Display Value As Digit"));
    M_ButtonAsToggle =
        AddItem(M_Preferences, "M_ButtonAsToggle", QStringLiteral("Bump Button As &Toggle"));
    M_PassKeypressesToHalvex = AddItem(M_Preferences, "M_PassKeypressesToHalvex",
                                       QStringLiteral("&Pass Keypresses To Halvex"));
    M_StayOnTop = AddItem(M_Preferences, "M_StayOnTop", QStringLiteral("&Stay On Top"));
    M_MemoriseFaderStatusOnExit = AddItem(M_Preferences, "M_MemoriseFaderStatusOnExit",
                                          QStringLiteral("&Memorise Fader Status On Exit"));
    M_GradientLook = AddItem(M_Preferences, "M_GradientLook", QStringLiteral("&Gradient Look"));
    M_Preferences->addSeparator();
    M_DmxOutputs = AddItem(M_Preferences, "M_DmxOutputs", QStringLiteral("DMX &Outputs\u2026"));
    // Independent check marks that flip themselves before their command runs.
    for (TMenuItem* item : {M_Displayvalueasdigit, M_ButtonAsToggle, M_PassKeypressesToHalvex,
                            M_StayOnTop, M_MemoriseFaderStatusOnExit, M_GradientLook}) {
        item->setCheckable(true);
        item->setChecked(false);
    }

    M_Help = oxMenu1->addMenu(QStringLiteral("&Help"));
    M_Help->setObjectName(QStringLiteral("M_Help"));
    M_Readme = AddItem(M_Help, "M_Readme", QStringLiteral("Readme"));
    M_About = AddItem(M_Help, "M_About", QStringLiteral("About"));
    connect(M_Readme, &QAction::triggered, this, [this] { ShowReadme(); });
    connect(M_About, &QAction::triggered, this, [this] { ShowAbout(); });

    connect(M_New, &QAction::triggered, this, [this] { layoutCommands_->New(); });
    connect(M_Open, &QAction::triggered, this, [this] { layoutCommands_->Open(); });
    connect(M_Save, &QAction::triggered, this, [this] { layoutCommands_->Save(); });
    connect(M_SaveAs, &QAction::triggered, this, [this] { layoutCommands_->SaveAs(); });
    connect(M_Exit, &QAction::triggered, this, [this] { close(); });
    connect(M_PassKeypressesToHalvex, &QAction::triggered, this, [this] { ApplyKeyForwarding(); });
    connect(M_StayOnTop, &QAction::triggered, this, [this] { ApplyZOrder(); });
}

void TMainForm::CreatePopupMenu() {
    PopupMenu1 = new QMenu(this);
    PopupMenu1->setObjectName(QStringLiteral("PopupMenu1"));
    M_SetCaption = AddItem(PopupMenu1, "M_SetCaption", QStringLiteral("Set Caption"));
    M_ClearCaption = AddItem(PopupMenu1, "M_ClearCaption", QStringLiteral("Clear Caption"));
    PopupMenu1->addSeparator()->setObjectName(QStringLiteral("N4"));
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
        AddItem(PopupMenu1, p.name, QString::fromLatin1(p.caption), p.level);
    PopupMenu1->addSeparator()->setObjectName(QStringLiteral("N5"));
    M_SetFaderColor = AddItem(PopupMenu1, "M_SetFaderColor", QStringLiteral("Set Fader Color"));
}

void TMainForm::ConnectMenuCommands() {
    const auto on = [this](QAction* item, auto command) {
        connect(item, &QAction::triggered, this, command);
    };
    on(M_ReleaseAllToggledBumpButtons, [this] { ReleaseAllBumps(); });
    on(M_AllFaderTo_0, [this] { SetAllLevels(0); });
    on(M_AllFaderTo_50, [this] { SetAllLevels(128); });
    on(M_AllFaderTo_100, [this] { SetAllLevels(255); });
    on(M_FadersOfCurrentPageAt_0, [this] { SetPageLevels(0); });
    on(M_FadersOfCurrentPageAt_50, [this] { SetPageLevels(128); });
    on(M_FadersOfCurrentPageAt_100, [this] { SetPageLevels(255); });
    on(M_Displayvalueasdigit, [this] { bank_->ShowDigits(M_Displayvalueasdigit->isChecked()); });
    on(M_ButtonAsToggle, [this] { ApplyBumpType(); });
    on(M_GradientLook, [this] { bank_->ShowGradient(M_GradientLook->isChecked()); });
    on(M_DmxOutputs, [this] { ChooseOutputs(); });
    on(M_SetCaption, [this] { EditFaderNames(); });
    on(M_ClearCaption, [this] { ClearFaderNames(); });
    on(M_SetFaderColor, [this] { ChooseFaderColor(); });
    // The level presets carry their level in their tag.
    for (QAction* a : PopupMenu1->actions()) {
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

void TMainForm::ShowReadme() {
    model_->SetForwardKeys(false);
    SetWindowTopmost(this, false);
    QString failure;
    try {
        ShowHelpWindow<TFormReadme>(this);
    } catch (const std::exception& e) {
        failure = QString::fromLocal8Bit(e.what());
    }
    // Put back whatever happened, so that a failed window cannot leave the
    // desk out of its layer or deaf to the host's shortcuts.
    ApplyZOrder();
    model_->SetForwardKeys(true);
    if (!failure.isEmpty()) ShowMessageBox(this, failure, TMsgDlgType::mtError, QMessageBox::Ok);
}

void TMainForm::ShowAbout() {
    try {
        ShowHelpWindow<TFormAbout>(this);
    } catch (const std::exception& e) {
        ShowMessageBox(this, QString::fromLocal8Bit(e.what()), TMsgDlgType::mtError,
                       QMessageBox::Ok);
    }
}

void TMainForm::SetAllLevels(int level) {
    Guarded([&] { model_->SetAllLevels(level, bank_->Focus()); });
}

void TMainForm::SetPageLevels(int level) {
    Guarded([&] { model_->SetPageLevels(level, bank_->Focus()); });
}

void TMainForm::ReleaseAllBumps() {
    Guarded([&] { model_->ReleaseAllBumps(bank_->Focus()); });
}
