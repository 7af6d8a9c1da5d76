// The operator's safety nets: Undo and Redo of every step a person takes,
// the blackout of the network outputs, and the ten snapshots with their
// fades; their items at the end of the Action menu and their keys.

#include <QCoreApplication>
#include <QFileInfo>
#include <QKeySequence>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>

#include "app/BlackoutLabel.h"
#include "app/CommandKeys.h"
#include "app/LayoutCommands.h"
#include "app/MainWindow.h"
#include "app/MenuItem.h"
#include "base/MessageBox.h"
#include "core/WholeFile.h"
#include "dialogs/SnapshotsDialog.h"
#include "dialogs/StoreSnapshotDialog.h"
#include "persist/Persist.h"
#include "safety/FadePlayer.h"
#include "safety/SnapshotFile.h"
#include "safety/SnapshotStore.h"
#include "safety/UndoHistory.h"

namespace {

constexpr unsigned kKeyZ = 'Z';
constexpr unsigned kKeyB = 'B';

// The menu shows the key; the window's key handling runs it (see TCommandKeys).
void ShowShortcut(QAction* item, const QKeySequence& keys) {
    item->setShortcut(keys);
    item->setShortcutContext(Qt::WidgetShortcut);
}

} // namespace

void TMainWindow::CreateSafety() {
    ActionMenu->addSeparator()->setObjectName(QStringLiteral("N6"));
    UndoItem = AddItem(ActionMenu, "M_Undo", QStringLiteral("&Undo"));
    RedoItem = AddItem(ActionMenu, "M_Redo", QStringLiteral("&Redo"));
    BlackoutItem = AddItem(ActionMenu, "M_Blackout", QStringLiteral("&Blackout"));
    BlackoutItem->setCheckable(true);
    BlackoutItem->setChecked(false);
    SnapshotsItem = AddItem(ActionMenu, "M_Snapshots", QStringLiteral("&Snapshots\u2026"));
    ShowShortcut(UndoItem, QKeySequence(Qt::CTRL | Qt::Key_Z));
    ShowShortcut(RedoItem, QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z));
    ShowShortcut(BlackoutItem, QKeySequence(Qt::CTRL | Qt::Key_B));
    connect(UndoItem, &QAction::triggered, this, [this] { Undo(); });
    connect(RedoItem, &QAction::triggered, this, [this] { Redo(); });
    connect(BlackoutItem, &QAction::triggered, this,
            [this] { model_->SetBlackout(BlackoutItem->isChecked()); });
    connect(SnapshotsItem, &QAction::triggered, this, [this] { ShowSnapshots(); });
    // A burst still open (a wheel run) is a step by the time the menu shows.
    connect(ActionMenu, &QMenu::aboutToShow, this, [this] { history_->Settle(); });

    history_->SetPendingLevels([this](TChannelTable& table) { fadePlayer_->PutTargets(table); });
    history_->SetBeforeRestore([this] { fadePlayer_->Stop(); });
    history_->SetDocument([this] { return layoutCommands_->FileName(); });
    connect(history_, &TUndoHistory::documentRestored, this,
            [this](const QString& name) { layoutCommands_->TakeBackFileName(name); });
    connect(history_, &TUndoHistory::stepsChanged, this, &TMainWindow::ShowUndoNames);
    ShowUndoNames();

    blackoutLabel_ = new TBlackoutLabel(*model_, MenuBar);
    AddToStatusCorner(blackoutLabel_);
    connect(model_, &TDeskModel::changed, this, [this](const TDeskChange& change) {
        blackoutLabel_->Follow(change);
        if (change.Has(TDeskChange::Blackout)) BlackoutItem->setChecked(model_->Blackout());
    });

    // Installed before the key filter, so that the filter forwards first.
    auto* keys = new TCommandKeys(this);
    keys->Add(true, false, kKeyZ, [this] { Undo(); });
    keys->Add(true, true, kKeyZ, [this] { Redo(); });
    keys->Add(true, false, kKeyB, [this] { BlackoutItem->trigger(); });
    for (int slot = 1; slot <= SNAPSHOT_SLOTS; ++slot) {
        const unsigned digit = '0' + static_cast<unsigned>(slot % 10);
        keys->Add(true, false, digit, [this, slot] { RecallSnapshot(slot); });
        keys->Add(true, true, digit, [this, slot] { StoreSnapshot(slot); });
    }
    QCoreApplication::instance()->installEventFilter(keys);
}

void TMainWindow::ShowUndoNames() {
    // A name with an ampersand must not turn into an accelerator.
    const auto named = [](const char* verb, const QString& name) {
        QString text = QLatin1String(verb);
        if (!name.isEmpty()) text += QLatin1Char(' ') + QString(name).replace('&', "&&");
        return text;
    };
    UndoItem->setText(named("&Undo", history_->UndoName()));
    UndoItem->setEnabled(history_->CanUndo());
    RedoItem->setText(named("&Redo", history_->RedoName()));
    RedoItem->setEnabled(history_->CanRedo());
}

void TMainWindow::Undo() {
    Guarded([&] { history_->Undo(); });
}

void TMainWindow::Redo() {
    Guarded([&] { history_->Redo(); });
}

QString TMainWindow::SnapshotsPath() const {
    return QFileInfo(PreferenceStore->StoreFilePath()).absolutePath() + QLatin1Char('/') +
           QLatin1String(SNAPSHOT_FILE_NAME);
}

void TMainWindow::LoadSnapshots() {
    // What an interrupted save left beside the file goes first.
    RemoveSaveLeftovers(SnapshotsPath());
    const TFileResult<> loaded = snapshots_->Load(SnapshotsPath());
    if (loaded) return;
    // Told in the window without stopping it; the file is left for the person.
    auto* notice = new QMessageBox(
        QMessageBox::Warning, QLatin1String(MAIN_CAPTION),
        loaded.Error().Message() +
            QStringLiteral("\nThe snapshots stay empty, and nothing is stored over the file."),
        QMessageBox::Ok, this);
    notice->setObjectName(QStringLiteral("SnapshotsRefusedNotice"));
    notice->setModal(false);
    notice->setAttribute(Qt::WA_DeleteOnClose);
    notice->show();
}

void TMainWindow::RecallSnapshot(int slot) {
    Guarded([&] { ::RecallSnapshot(*model_, *fadePlayer_, snapshots_->At(slot), slot); });
}

void TMainWindow::StoreSnapshot(int slot) {
    Guarded([&] {
        const TSnapshot& held = snapshots_->At(slot);
        if (const auto& refusal = snapshots_->Refusal()) {
            ShowMessageBox(this,
                           refusal->Message() +
                               QStringLiteral("\nMove it away to store snapshots again."),
                           TMsgDlgType::mtError, QMessageBox::Ok);
            return;
        }
        TStoreSnapshotDialog dialog(slot, held.Stored, held.FadeMs, held.WithNames, this);
        // Keys typed into the dialog are its own, not the host's.
        model_->SetForwardKeys(false);
        const int answer = dialog.exec();
        model_->SetForwardKeys(true);
        if (answer != QDialog::Accepted) return;
        const TFileResult<> stored = snapshots_->Store(
            slot, SnapshotOf(model_->Table(), dialog.WithNames(), dialog.FadeMs()));
        if (!stored)
            ShowMessageBox(this, stored.Error().Message(), TMsgDlgType::mtError, QMessageBox::Ok);
    });
}

void TMainWindow::ShowSnapshots() {
    const auto summaries = [this] {
        std::vector<TSnapshotSummary> all;
        for (int slot = 1; slot <= SNAPSHOT_SLOTS; ++slot) {
            const TSnapshot& s = snapshots_->At(slot);
            all.push_back({s.Stored, s.WithNames, s.FadeMs});
        }
        return all;
    };
    const auto& refusal = snapshots_->Refusal();
    TSnapshotsDialog dialog(summaries, refusal ? refusal->Message() : QString(), this);
    connect(&dialog, &TSnapshotsDialog::recallRequested, this,
            [this](int slot) { RecallSnapshot(slot); });
    connect(&dialog, &TSnapshotsDialog::storeRequested, this,
            [this](int slot) { StoreSnapshot(slot); });
    model_->SetForwardKeys(false);
    dialog.exec();
    model_->SetForwardKeys(true);
}
