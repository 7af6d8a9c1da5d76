// The eleven items the preference store keeps, and the preference commands.

#include <QMenu>

#include "app/Main.h"
#include "app/MenuItem.h"
#include "bank/BankView.h"
#include "base/WindowLayer.h"
#include "persist/Persist.h"

void TMainForm::CreatePersist() {
    oxPersist1 = new ToxPersist(this);
    oxPersist1->setObjectName(QStringLiteral("oxPersist1"));
    oxPersist1->BeginReadDescription();
    oxPersist1->SetFileName(QStringLiteral("Config.dat"));
    oxPersist1->SetRegistryKey(QStringLiteral("Software\\"));
    oxPersist1->SetStorageType(ToxPersist::oxpFile);
    oxPersist1->SetOptions({});
    oxPersist1->SetFileStorageDirectory(ToxPersist::oxpApplication);
    oxPersist1->SetEnabled(true);
    oxPersist1->SetSeqID(14);
    oxPersist1->SetItems({
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
    connect(oxPersist1, &ToxPersist::loaded, this, [this] { ApplyLoadedPreferences(); });
    oxPersist1->EndReadDescription();
}

int TMainForm::Top() const {
    return place_.Top();
}
void TMainForm::SetTop(int top) {
    place_.SetTop(top);
}
int TMainForm::Left() const {
    return place_.Left();
}
void TMainForm::SetLeft(int left) {
    place_.SetLeft(left);
}

void TMainForm::ApplyZOrder() {
    SetWindowTopmost(this, M_StayOnTop->isChecked());
}

void TMainForm::ApplyKeyForwarding() {
    // While keys go to the host, the faders leave the keyboard alone.
    bank_->EnableFaderKeys(!M_PassKeypressesToHalvex->isChecked());
}

void TMainForm::ApplyBumpType() {
    model_->SetToggleBumps(M_ButtonAsToggle->isChecked());
    bank_->SetBumpType(M_ButtonAsToggle->isChecked());
}
