#include "dialogs/SnapshotsDialog.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

TSnapshotsDialog::TSnapshotsDialog(TSummaries summaries, const QString& refusal, QWidget* parent)
    : QDialog(parent), summaries_(std::move(summaries)) {
    setObjectName(QStringLiteral("SnapshotsDialog"));
    setWindowTitle(QStringLiteral("Snapshots"));
    auto* layout = new QVBoxLayout(this);
    RefusalLabel = new QLabel(refusal, this);
    RefusalLabel->setObjectName(QStringLiteral("RefusalLabel"));
    RefusalLabel->setWordWrap(true);
    RefusalLabel->setStyleSheet(QStringLiteral("color: #c00000;"));
    RefusalLabel->setVisible(!refusal.isEmpty());
    layout->addWidget(RefusalLabel);
    SlotList = new QListWidget(this);
    SlotList->setObjectName(QStringLiteral("SlotList"));
    layout->addWidget(SlotList);

    auto* buttons = new QDialogButtonBox(this);
    RecallButton = buttons->addButton(QStringLiteral("&Recall"), QDialogButtonBox::ActionRole);
    RecallButton->setObjectName(QStringLiteral("RecallButton"));
    StoreButton = buttons->addButton(QStringLiteral("&Store\u2026"), QDialogButtonBox::ActionRole);
    StoreButton->setObjectName(QStringLiteral("StoreButton"));
    buttons->addButton(QDialogButtonBox::Close);
    layout->addWidget(buttons);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(RecallButton, &QPushButton::clicked, this, [this] { emit recallRequested(Slot()); });
    connect(StoreButton, &QPushButton::clicked, this, [this] {
        emit storeRequested(Slot());
        Refresh();
    });
    connect(SlotList, &QListWidget::itemActivated, this, [this] {
        if (RecallButton->isEnabled()) emit recallRequested(Slot());
    });
    connect(SlotList, &QListWidget::currentRowChanged, this, [this] { UpdateButtons(); });
    Refresh();
    SlotList->setCurrentRow(0);
}

QString TSnapshotsDialog::Describe(int slot, const TSnapshotSummary& s) {
    // Ctrl+0 recalls the tenth.
    const QString key = QStringLiteral("Ctrl+%1").arg(slot % 10);
    if (!s.Stored) return QStringLiteral("%1  (%2)  empty").arg(slot).arg(key);
    return QStringLiteral("%1  (%2)  fade %3 s%4")
        .arg(slot)
        .arg(key)
        .arg(s.FadeMs / 1000.0, 0, 'f', 1)
        .arg(s.WithNames ? QStringLiteral(", with captions and colours") : QString());
}

void TSnapshotsDialog::Refresh() {
    const std::vector<TSnapshotSummary> all = summaries_();
    const int row = SlotList->currentRow();
    SlotList->clear();
    for (std::size_t i = 0; i < all.size(); ++i)
        SlotList->addItem(Describe(static_cast<int>(i) + 1, all[i]));
    if (row >= 0 && row < SlotList->count()) SlotList->setCurrentRow(row);
    UpdateButtons();
}

int TSnapshotsDialog::Slot() const {
    return SlotList->currentRow() + 1;
}

void TSnapshotsDialog::SelectSlot(int slot) {
    SlotList->setCurrentRow(slot - 1);
}

void TSnapshotsDialog::UpdateButtons() {
    const std::vector<TSnapshotSummary> all = summaries_();
    const int row = SlotList->currentRow();
    const bool valid = row >= 0 && row < static_cast<int>(all.size());
    RecallButton->setEnabled(valid && all[static_cast<std::size_t>(row)].Stored);
    StoreButton->setEnabled(valid);
}
