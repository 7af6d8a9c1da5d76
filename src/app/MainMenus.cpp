// The menu bar, the fader popup menu and the commands they run.

#include <QCoreApplication>
#include <QMenu>
#include <QMenuBar>
#include <QPointer>

#include "app/Main.h"
#include "app/MenuItem.h"
#include "bank/BankCommands.h"
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
    connect(M_Readme, &QAction::triggered, this, [this] { M_ReadmeClick(); });
    connect(M_About, &QAction::triggered, this, [this] { M_AboutClick(); });

    connect(M_New, &QAction::triggered, this, [this] { M_NewClick(); });
    connect(M_Open, &QAction::triggered, this, [this] { M_OpenClick(); });
    connect(M_Save, &QAction::triggered, this, [this] { M_SaveClick(); });
    connect(M_SaveAs, &QAction::triggered, this, [this] { M_SaveAsClick(); });
    connect(M_Exit, &QAction::triggered, this, [this] { M_ExitClick(); });
    connect(M_PassKeypressesToHalvex, &QAction::triggered, this,
            [this] { M_PassKeypressesToHalvexClick(); });
    connect(M_StayOnTop, &QAction::triggered, this, [this] { M_StayOnTopClick(); });
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
    const auto on = [this](QAction* item, void (TMainForm::*handler)()) {
        connect(item, &QAction::triggered, this, [this, handler] { (this->*handler)(); });
    };
    on(M_ReleaseAllToggledBumpButtons, &TMainForm::M_ReleaseAllToggledBumpButtonsClick);
    on(M_AllFaderTo_0, &TMainForm::M_AllFaderTo_0Click);
    on(M_AllFaderTo_50, &TMainForm::M_AllFaderTo_50Click);
    on(M_AllFaderTo_100, &TMainForm::M_AllFaderTo_100Click);
    on(M_FadersOfCurrentPageAt_0, &TMainForm::M_FadersOfCurrentPageAt_0Click);
    on(M_FadersOfCurrentPageAt_50, &TMainForm::M_FadersOfCurrentPageAt_50Click);
    on(M_FadersOfCurrentPageAt_100, &TMainForm::M_FadersOfCurrentPageAt_100Click);
    on(M_Displayvalueasdigit, &TMainForm::M_DisplayvalueasdigitClick);
    on(M_ButtonAsToggle, &TMainForm::M_ButtonAsToggleClick);
    on(M_GradientLook, &TMainForm::M_GradientLookClick);
    on(M_DmxOutputs, &TMainForm::M_DmxOutputsClick);
    on(M_SetCaption, &TMainForm::M_SetCaptionClick);
    on(M_ClearCaption, &TMainForm::M_ClearCaptionClick);
    on(M_SetFaderColor, &TMainForm::M_SetFaderColorClick);
    for (QAction* a : PopupMenu1->actions()) {
        auto* item = qobject_cast<TMenuItem*>(a);
        if (item == nullptr || !item->objectName().startsWith(QLatin1Char('N')) ||
            item->isSeparator())
            continue;
        connect(item, &QAction::triggered, this, [this, item] { N1001Click(item); });
    }
}

void TMainForm::M_ExitClick() {
    close();
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

void TMainForm::M_ReadmeClick() {
    state_.ForwardKeys = false;
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
    state_.ForwardKeys = true;
    if (!failure.isEmpty()) ShowMessageBox(this, failure, TMsgDlgType::mtError, QMessageBox::Ok);
}

void TMainForm::M_AboutClick() {
    try {
        ShowHelpWindow<TFormAbout>(this);
    } catch (const std::exception& e) {
        ShowMessageBox(this, QString::fromLocal8Bit(e.what()), TMsgDlgType::mtError,
                       QMessageBox::Ok);
    }
}

void TMainForm::M_NewClick() {
    layoutCommands_->New();
}

void TMainForm::M_OpenClick() {
    layoutCommands_->Open();
}

void TMainForm::M_SaveClick() {
    layoutCommands_->Save();
}

void TMainForm::M_SaveAsClick() {
    layoutCommands_->SaveAs();
}

void TMainForm::M_AllFaderTo_0Click() {
    Guarded([&] { AllFadersTo(state_, sendThenRecolour_, 0); });
}

void TMainForm::M_AllFaderTo_50Click() {
    Guarded([&] { AllFadersTo(state_, sendThenRecolour_, 128); });
}

void TMainForm::M_AllFaderTo_100Click() {
    Guarded([&] { AllFadersTo(state_, sendThenRecolour_, 255); });
}

void TMainForm::M_FadersOfCurrentPageAt_0Click() {
    Guarded([&] { PageFadersTo(state_, sendThenRecolour_, 0); });
}

void TMainForm::M_FadersOfCurrentPageAt_50Click() {
    Guarded([&] { PageFadersTo(state_, sendThenRecolour_, 128); });
}

void TMainForm::M_FadersOfCurrentPageAt_100Click() {
    Guarded([&] { PageFadersTo(state_, sendThenRecolour_, 255); });
}

void TMainForm::M_ReleaseAllToggledBumpButtonsClick() {
    Guarded([&] { ReleaseAllToggledBumps(state_, sendThenRecolour_); });
}
