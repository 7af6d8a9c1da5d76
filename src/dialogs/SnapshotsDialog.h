#pragma once
// Action > Snapshots…: the ten slots, what each holds, and the commands to
// recall one or store the desk's look into one. The window does the work;
// the dialog asks for it and shows the slots again afterwards.

#include <functional>
#include <vector>

#include <QDialog>
#include <QString>

class QLabel;
class QListWidget;
class QPushButton;

struct TSnapshotSummary {
    bool Stored = false;
    bool WithNames = false;
    int FadeMs = 0;
};

class TSnapshotsDialog : public QDialog {
    Q_OBJECT
public:
    using TSummaries = std::function<std::vector<TSnapshotSummary>()>;
    // `refusal`: why the snapshots file was refused, empty when it was not.
    TSnapshotsDialog(TSummaries summaries, const QString& refusal, QWidget* parent = nullptr);

    // The slot chosen, 1..10.
    int Slot() const;
    void SelectSlot(int slot);
    // Shows the slots again.
    void Refresh();

    QListWidget* SlotList = nullptr;
    QPushButton* RecallButton = nullptr;
    QPushButton* StoreButton = nullptr;
    QLabel* RefusalLabel = nullptr;

    // The line that describes one slot.
    static QString Describe(int slot, const TSnapshotSummary& summary);

signals:
    void recallRequested(int slot);
    void storeRequested(int slot);

private:
    void UpdateButtons();

    TSummaries summaries_;
};
