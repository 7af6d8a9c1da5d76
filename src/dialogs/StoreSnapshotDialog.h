#pragma once
// Asks how to store the desk's look into one snapshot: with the captions and
// colours or without, and the time its recall fades over. Store is the
// default button; a slot that holds a look is overwritten only after a yes.

#include <QDialog>

class QCheckBox;
class QDoubleSpinBox;

class TStoreSnapshotDialog : public QDialog {
    Q_OBJECT
public:
    // `occupied`: the slot holds a look now; the fields start with `fadeMs`
    // and `withNames`.
    TStoreSnapshotDialog(int slot, bool occupied, int fadeMs, bool withNames,
                         QWidget* parent = nullptr);

    bool WithNames() const;
    int FadeMs() const; // 0..60000

    QCheckBox* NamesBox = nullptr;
    QDoubleSpinBox* FadeBox = nullptr;

    void accept() override;

private:
    int slot_;
    bool occupied_;
};
