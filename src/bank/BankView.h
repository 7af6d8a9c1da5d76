#pragma once
// The bank on screen: the faders, bumps and page buttons show the model, and
// what a person does to them becomes a call on the model. The view follows
// the model's announcements; it never changes a level itself.

#include <QObject>
#include <QSize>

#include "bank/BankBuilder.h"
#include "model/DeskModel.h"
#include "model/PageColors.h"

class QWidget;

class TBankView : public QObject {
    Q_OBJECT
public:
    // Failures of a person's action are shown over window.
    TBankView(TDeskModel& model, QWidget* window);

    // Builds the faders and bumps, then the page buttons once the window has
    // its size; PlaceFaders returns the client size the window takes.
    void BuildFaders(const TBankPanels& panels, bool gradient, TBankFactory& factory);
    QSize PlaceFaders(const TBankPanels& panels);
    void BuildPageButtons(const TBankPanels& panels, TBankFactory& factory);
    // The faders' first drawing and keyboard switch, and the bumps' numbers.
    void InitialiseSlots(bool enableKeyboard);

    TFader* FaderAt(int slot) const { return widgets_.FaderAt(slot); }
    TBumpButton* BumpAt(int slot) const { return widgets_.BumpAt(slot); }
    TPageButton* PageButtonAt(int page) const { return widgets_.PageButtonAt(page); }
    const TPagePalette& Palette() const { return palette_; }

    // The fader and bump holding the window's focus.
    TFocus Focus() const;

    // Preferences shown by the widgets; no level changes.
    void ShowDigits(bool digits);
    void SetBumpType(bool toggle);
    void ShowGradient(bool gradient);
    void EnableFaderKeys(bool enabled);

    // Follows one announcement of the model.
    void Follow(const TDeskChange& change);

private:
    void Connect(int slot);
    void ShowSlot(int slot, bool position, bool names, bool colors, bool shown);
    void ShowBump(int slot);
    TColor BumpColor(bool lit) const { return lit ? palette_.On : palette_.Off; }
    void RecolorPages();
    void BumpPressed(int slot);
    void BumpReleased(int slot);
    void BumpToggled(int slot);
    void PageClicked(int page);
    // Runs a person's action; a failure is shown and ends only it.
    template <typename F>
    void Guarded(F&& action);

    TDeskModel& model_;
    QWidget* window_;
    QWidget* pagePanel_ = nullptr;
    TBankWidgets widgets_;
    bool showing_ = false; // while the view moves a fader itself
    const TPagePalette palette_;
};
