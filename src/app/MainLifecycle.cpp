// Start-up and close of the main window, in the order they run.

#include <QCloseEvent>
#include <QGuiApplication>
#include <QScreen>

#include "app/Main.h"
#include "app/MenuItem.h"
#include "bank/BankCommands.h"
#include "base/CommonDialogs.h"
#include "base/MessageBox.h"
#include "core/WholeFile.h"
#include "app/KeyFilter.h"
#include "app/LayoutCommands.h"
#include "persist/oxPerst.h"

void TMainForm::FormCreate() {
    setWindowTitle(QLatin1String(MAIN_CAPTION));
    ClearChannels(state_.Table);
    state_.Ready = false;
    oxPersist1->PostLoad();
    state_.ColorOff = clGray;
    state_.ColorOn = clSilver;
    state_.ColorOffLive = 0x0080FF;
    state_.ColorOnLive = clYellow;
    InstallKeyFilter();
    state_.GridRows = 2;
    state_.GridColumns = 16;
    BuildBank();
    state_.CurrentPage = 0;
    InitialiseSlots(state_, !M_PassKeypressesToHalvex->isChecked());
    state_.ForwardKeys = true;
}

void TMainForm::FormShow() {
    StartOutputs();
    RefreshFaders(state_, sendThenRecolour_);
    SendDmxFrame();
}

bool TMainForm::FormClose() {
    const auto answer = ShowMessageBox(this, QLatin1String(CLOSE_QUESTION), TMsgDlgType::mtWarning,
                                       QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
    if (answer == QMessageBox::Cancel || answer == QMessageBox::NoButton) return false;
    if (answer == QMessageBox::Yes) M_SaveClick();
    if (const TFileResult<> saved = oxPersist1->Save(); !saved)
        ShowMessageBox(this, saved.Error().Message(), TMsgDlgType::mtError, QMessageBox::Ok);
    return true;
}

void TMainForm::oxPersist1AfterLoad() {
    state_.LayoutFileName = OpenDialog1->FileName();
    // What an interrupted save left beside the layout goes before it is reopened.
    if (!state_.LayoutFileName.isEmpty()) RemoveSaveLeftovers(state_.LayoutFileName);
    layoutCommands_->Read();
    ApplyDisplayMode(state_, M_Displayvalueasdigit->isChecked());
    ApplyBumpType(state_, M_ButtonAsToggle->isChecked());
    SetFadersKeyboard(state_, !M_PassKeypressesToHalvex->isChecked());
    ApplyGradientLook(state_, M_GradientLook->isChecked());
    ApplyZOrder();
    if (!M_MemoriseFaderStatusOnExit->isChecked()) ClearLevelsAndBumps(state_.Table);
    RefreshFaders(state_, sendThenRecolour_);
    UpdatePageColors(state_);
    state_.Ready = true;
}

void TMainForm::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    if (shown_ || event->spontaneous()) return;
    shown_ = true;
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        const QRect area = screen->availableGeometry();
        move(area.center() - QPoint(frameGeometry().width() / 2, frameGeometry().height() / 2));
    }
    FormShow();
}

void TMainForm::closeEvent(QCloseEvent* event) {
    if (FormClose())
        event->accept();
    else
        event->ignore();
}

void TMainForm::InstallKeyFilter() {
    auto* filter = new TKeyFilter(
        *endpoint_, [this] { return M_PassKeypressesToHalvex->isChecked() && state_.ForwardKeys; },
        this);
    QCoreApplication::instance()->installEventFilter(filter);
    keyFilter_ = filter;
}
