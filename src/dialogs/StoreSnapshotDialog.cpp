#include "dialogs/StoreSnapshotDialog.h"

#include <cmath>

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QDoubleSpinBox>
#include <QFormLayout>
#include <QPushButton>
#include <QVBoxLayout>

#include "base/MessageBox.h"

TStoreSnapshotDialog::TStoreSnapshotDialog(int slot, bool occupied, int fadeMs, bool withNames,
                                           QWidget* parent)
    : QDialog(parent), slot_(slot), occupied_(occupied) {
    setObjectName(QStringLiteral("StoreSnapshotDialog"));
    setWindowTitle(QStringLiteral("Store Snapshot %1").arg(slot));
    auto* form = new QFormLayout;
    FadeBox = new QDoubleSpinBox(this);
    FadeBox->setObjectName(QStringLiteral("FadeTime"));
    FadeBox->setRange(0.0, 60.0);
    FadeBox->setDecimals(1);
    FadeBox->setSingleStep(0.5);
    FadeBox->setSuffix(QStringLiteral(" s"));
    FadeBox->setValue(fadeMs / 1000.0);
    form->addRow(QStringLiteral("&Fade time:"), FadeBox);
    NamesBox = new QCheckBox(QStringLiteral("With &captions and colours"), this);
    NamesBox->setObjectName(QStringLiteral("WithNames"));
    NamesBox->setChecked(withNames);
    form->addRow(NamesBox);

    auto* buttons = new QDialogButtonBox(this);
    QPushButton* store = buttons->addButton(QStringLiteral("&Store"), QDialogButtonBox::AcceptRole);
    store->setObjectName(QStringLiteral("StoreButton"));
    store->setDefault(true);
    buttons->addButton(QDialogButtonBox::Cancel);
    connect(buttons, &QDialogButtonBox::accepted, this, &TStoreSnapshotDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(buttons);
}

bool TStoreSnapshotDialog::WithNames() const {
    return NamesBox->isChecked();
}

int TStoreSnapshotDialog::FadeMs() const {
    return static_cast<int>(std::lround(FadeBox->value() * 1000.0));
}

void TStoreSnapshotDialog::accept() {
    if (occupied_ &&
        ShowMessageBox(
            this, QStringLiteral("Snapshot %1 already holds a look. Overwrite it?").arg(slot_),
            TMsgDlgType::mtConfirmation, QMessageBox::Yes | QMessageBox::No) != QMessageBox::Yes)
        return;
    QDialog::accept();
}
