// The eleven items the preference store keeps, and the preference commands.

#include <QMenu>

#include "app/MainWindow.h"
#include "app/MenuItem.h"
#include "bank/BankView.h"
#include "base/MessageBox.h"
#include "base/WindowLayer.h"
#include "persist/Persist.h"

void TMainWindow::CreatePersist() {
    PreferenceStore = new ToxPersist(this);
    PreferenceStore->setObjectName(QStringLiteral("oxPersist1"));
    PreferenceStore->BeginReadDescription();
    PreferenceStore->SetFileName(QStringLiteral("Config.dat"));
    PreferenceStore->SetRegistryKey(QStringLiteral("Software\\"));
    PreferenceStore->SetStorageType(ToxPersist::oxpFile);
    PreferenceStore->SetOptions({});
    PreferenceStore->SetFileStorageDirectory(ToxPersist::oxpApplication);
    PreferenceStore->SetEnabled(true);
    PreferenceStore->SetSeqID(14);
    PreferenceStore->SetItems({
        QStringLiteral("(TForm);Top;1;(TForm)_Top;;1;0;0;;"),
        QStringLiteral("(TForm);Left;1;(TForm)_Left;;1;0;0;;"),
        QStringLiteral("M_Displayvalueasdigit;Checked;3;M_Displayvalueasdigit_Checked;;1;0;0;;"),
        QStringLiteral("M_ButtonAsToggle;Checked;3;M_ButtonAsToggle_Checked;;1;0;0;;"),
        QStringLiteral(
            "M_PassKeypressesToHalvex;Checked;3;M_PassKeypressesToHalvex_Checked;;1;0;0;;"),
        QStringLiteral(
            "M_MemoriseFaderStatusOnExit;Checked;3;M_MemoriseFaderStatusOnExit_Checked;;1;0;0;;"),
        QStringLiteral("M_StayOnTop;Checked;3;M_StayOnTop_Checked;;1;0;0;;"),
        QStringLiteral("ColorDialog1;CustomColors;101;ColorDialog1_CustomColors;;1;0;0;;"),
        QStringLiteral("M_GradientLook;Checked;3;M_GradientLook_Checked;;1;0;0;;"),
        QStringLiteral("SaveDialog1;FileName;10;SaveDialog1_FileName;;1;0;0;;"),
        QStringLiteral("OpenDialog1;FileName;10;OpenDialog1_FileName;;1;0;0;;"),
    });
    connect(PreferenceStore, &ToxPersist::loaded, this, [this] { ApplyLoadedPreferences(); });
    connect(PreferenceStore, &ToxPersist::storeMoved, this, [this](const QString& notice) {
        ShowMessageBox(this, notice, TMsgDlgType::mtInformation, QMessageBox::Ok);
    });
    PreferenceStore->EndReadDescription();
}

int TMainWindow::Top() const {
    return place_.Top();
}
void TMainWindow::SetTop(int top) {
    place_.SetTop(top);
}
int TMainWindow::Left() const {
    return place_.Left();
}
void TMainWindow::SetLeft(int left) {
    place_.SetLeft(left);
}

void TMainWindow::ApplyZOrder() {
    SetWindowTopmost(this, StayOnTopItem->isChecked());
}

void TMainWindow::ApplyKeyForwarding() {
    // While keys go to the host, the faders leave the keyboard alone.
    bank_->EnableFaderKeys(!ForwardKeysItem->isChecked());
}

void TMainWindow::ApplyBumpType() {
    model_->SetToggleBumps(ToggleBumpsItem->isChecked());
    bank_->SetBumpType(ToggleBumpsItem->isChecked());
    if (remote_ != nullptr) ShowRemoteLook();
}
