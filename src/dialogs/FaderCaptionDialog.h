#pragma once
// The caption dialog: edits the two caption lines of the channels of the
// page shown, one fader at a time, stepping with Back and Next (or the Up
// and Down keys) and storing each channel's lines as it leaves it.

#include <QDialog>

#include "model/DeskModel.h"

class QLabel;
class QLineEdit;
class ToxGraphicButton;

// Slots step round the page: 32 is followed by 1.
inline int NextFaderSlot(int slot) {
    return CheckSlot(slot) == FADERS_PER_PAGE ? 1 : slot + 1;
}
inline int PreviousFaderSlot(int slot) {
    return CheckSlot(slot) == 1 ? FADERS_PER_PAGE : slot - 1;
}

inline constexpr char FADER_CAPTION_TITLE[] = "Fader Caption: ";
inline constexpr char CHANNEL_LINE[] = "Channel ";

class TFaderCaptionDialog : public QDialog {
    Q_OBJECT
public:
    TFaderCaptionDialog(TDeskModel& model, QWidget* parent);

    // Loads the channel of the current fader; raises std::out_of_range when
    // there is none.
    void Prepare();
    // Prepare, then shown modally; an error of Prepare ends it unshown.
    int Execute();

    QLabel* Label1 = nullptr;
    QLabel* Label2 = nullptr;
    QLabel* LabelChannel = nullptr; // names the channel being edited
    QLineEdit* EditCaption1 = nullptr;
    QLineEdit* EditCaption2 = nullptr;
    ToxGraphicButton* ButtonBack = nullptr;
    ToxGraphicButton* ButtonNext = nullptr;
    ToxGraphicButton* ButtonCancel = nullptr;
    ToxGraphicButton* ButtonOK = nullptr;

    void StoreAndClose();
    void Cancel();
    void StoreAndStepNext();
    void StoreAndStepBack();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    void CreateControls();
    ToxGraphicButton* CreateButton(const char* name, int left, int picture);
    void Store();
    void Step(int slot);
    void LoadChannel();
    void FocusFirstEdit();
    // Runs a handler; an error is shown and the dialog stays open.
    template <typename F>
    void Guarded(F&& handler);

    TDeskModel& model_;
};
