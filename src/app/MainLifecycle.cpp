// Start-up and close of the main window, in the order they run.

#include <QCloseEvent>
#include <QGuiApplication>
#include <QScreen>

#include "app/FrameSender.h"
#include "app/KeyFilter.h"
#include "app/LayoutCommands.h"
#include "app/Main.h"
#include "app/MenuItem.h"
#include "bank/BankView.h"
#include "base/CommonDialogs.h"
#include "base/MessageBox.h"
#include "core/WholeFile.h"
#include "persist/Persist.h"

void TMainForm::SetUp() {
    setWindowTitle(QLatin1String(MAIN_CAPTION));
    model_->SetReady(false);
    oxPersist1->PostLoad();
    InstallKeyFilter();
    BuildBank();
    bank_->InitialiseSlots(!M_PassKeypressesToHalvex->isChecked());
    model_->SetForwardKeys(true);
}

void TMainForm::StartShowing() {
    StartOutputs();
    model_->RefreshPage(bank_->Focus());
    model_->ResendLevels();
}

bool TMainForm::AskToClose() {
    const auto answer = ShowMessageBox(this, QLatin1String(CLOSE_QUESTION), TMsgDlgType::mtWarning,
                                       QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
    if (answer == QMessageBox::Cancel || answer == QMessageBox::NoButton) return false;
    if (answer == QMessageBox::Yes) layoutCommands_->Save();
    if (const TFileResult<> saved = oxPersist1->Save(); !saved)
        ShowMessageBox(this, saved.Error().Message(), TMsgDlgType::mtError, QMessageBox::Ok);
    return true;
}

void TMainForm::ApplyLoadedPreferences() {
    layoutCommands_->SetFileName(OpenDialog1->FileName());
    // What an interrupted save left beside the layout goes before it is reopened.
    if (!layoutCommands_->FileName().isEmpty()) RemoveSaveLeftovers(layoutCommands_->FileName());
    auto table = std::make_unique<TChannelTable>(model_->Table());
    layoutCommands_->Read(*table);
    bank_->ShowDigits(M_Displayvalueasdigit->isChecked());
    ApplyBumpType();
    ApplyKeyForwarding();
    bank_->ShowGradient(M_GradientLook->isChecked());
    ApplyZOrder();
    model_->StartWith(*table, M_MemoriseFaderStatusOnExit->isChecked(), bank_->Focus());
}

void TMainForm::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    if (shown_ || event->spontaneous()) return;
    shown_ = true;
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        const QRect area = screen->availableGeometry();
        move(area.center() - QPoint(frameGeometry().width() / 2, frameGeometry().height() / 2));
    }
    StartShowing();
}

void TMainForm::closeEvent(QCloseEvent* event) {
    if (AskToClose())
        event->accept();
    else
        event->ignore();
}

void TMainForm::InstallKeyFilter() {
    auto* filter = new TKeyFilter(
        *endpoint_,
        [this] { return M_PassKeypressesToHalvex->isChecked() && model_->ForwardKeys(); }, this);
    QCoreApplication::instance()->installEventFilter(filter);
    keyFilter_ = filter;
}
