// Start-up and close of the main window, in the order they run.

#include <QCloseEvent>
#include <QGuiApplication>
#include <QScreen>
#include <cstdio>

#include "app/FrameSender.h"
#include "app/KeyFilter.h"
#include "app/LayoutCommands.h"
#include "app/MainWindow.h"
#include "app/MenuItem.h"
#include "bank/BankView.h"
#include "base/CommonDialogs.h"
#include "base/MessageBox.h"
#include "core/WholeFile.h"
#include "persist/Persist.h"

void TMainWindow::SetUp() {
    setWindowTitle(QLatin1String(MAIN_CAPTION));
    model_->SetReady(false);
    PreferenceStore->PostLoad();
    InstallKeyFilter();
    BuildBank();
    bank_->InitialiseSlots(!ForwardKeysItem->isChecked());
    model_->SetForwardKeys(true);
}

void TMainWindow::StartShowing() {
    StartOutputs();
    LoadSnapshots();
    StartRemote();
    StartSurfaces();
    model_->RefreshPage(bank_->Focus());
    model_->ResendLevels();
}

bool TMainWindow::AskToClose() {
    const auto answer = ShowMessageBox(this, QLatin1String(CLOSE_QUESTION), TMsgDlgType::mtWarning,
                                       QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
    if (answer == QMessageBox::Cancel || answer == QMessageBox::NoButton) return false;
    if (answer == QMessageBox::Yes) layoutCommands_->Save();
    if (const TFileResult<> saved = PreferenceStore->Save(); !saved)
        ShowMessageBox(this, saved.Error().Message(), TMsgDlgType::mtError, QMessageBox::Ok);
    return true;
}

void TMainWindow::CloseWithoutQuestion() {
    closingWithoutQuestion_ = true;
    close();
}

void TMainWindow::ApplyLoadedPreferences() {
    layoutCommands_->SetFileName(OpenDialog->FileName());
    // What an interrupted save left beside the layout goes before it is reopened.
    if (!layoutCommands_->FileName().isEmpty()) RemoveSaveLeftovers(layoutCommands_->FileName());
    auto table = std::make_unique<TChannelTable>(model_->Table());
    // A layout named on the command line comes instead of the last one; when
    // it cannot be read (the message says why), the last one comes after all.
    if (startLayout_.isEmpty() || !layoutCommands_->OpenAtStart(startLayout_, *table))
        layoutCommands_->Read(*table);
    bank_->ShowDigits(ShowDigitsItem->isChecked());
    ApplyBumpType();
    ApplyKeyForwarding();
    bank_->ShowGradient(GradientItem->isChecked());
    ApplyZOrder();
    model_->StartWith(*table, KeepLevelsItem->isChecked(), bank_->Focus());
}

void TMainWindow::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    if (shown_ || event->spontaneous()) return;
    shown_ = true;
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        const QRect area = screen->availableGeometry();
        move(area.center() - QPoint(frameGeometry().width() / 2, frameGeometry().height() / 2));
    }
    StartShowing();
}

void TMainWindow::closeEvent(QCloseEvent* event) {
    if (closingWithoutQuestion_) {
        // No window may wait for a click now: a failure goes to standard error.
        if (const TFileResult<> saved = PreferenceStore->Save(); !saved)
            std::fprintf(stderr, "vantrelle: %s\n", qPrintable(saved.Error().Message()));
        event->accept();
        return;
    }
    if (AskToClose())
        event->accept();
    else
        event->ignore();
}

void TMainWindow::InstallKeyFilter() {
    auto* filter = new TKeyFilter(
        *endpoint_, [this] { return ForwardKeysItem->isChecked() && model_->ForwardKeys(); }, this);
    QCoreApplication::instance()->installEventFilter(filter);
    keyFilter_ = filter;
}
