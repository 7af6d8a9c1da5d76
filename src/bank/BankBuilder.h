#pragma once
// Builds the bank in code: 32 faders with a bump button under each, placed
// in a 16 x 2 grid, and the row of 16 page buttons above them. Every widget
// is built inside its own guard, so one failure leaves a partial bank.

#include <functional>

#include <QSize>

#include "bank/DeskState.h"
#include "base/Component.h"

class QMenu;
class QObject;
class QWidget;

// A handler receives the widget whose signal it answers.
using TBankNotify = std::function<void(QObject* sender)>;
using TBankMouse =
    std::function<void(QObject* sender, TMouseButton button, TShiftState shift, int x, int y)>;

// The main window's handlers connected to every widget built.
struct TBankHandlers {
    TBankNotify FaderValueChange;
    TBankNotify FaderEnter;
    TBankMouse FaderMouseDown;
    TBankNotify BumpChange;
    TBankMouse BumpMouseDown;
    TBankMouse BumpMouseUp;
    TBankNotify PageClick;
};

// Makes the widgets; tests hand in one that fails on purpose.
class TBankFactory {
public:
    virtual ~TBankFactory() = default;
    virtual TFaders* NewFader(QWidget* owner, int slot);
    virtual TFaderButtons* NewFaderButton(QWidget* owner, int slot);
    virtual TPageButtons* NewPageButton(QWidget* owner, int page);
};

struct TBankPanels {
    QWidget* PanelFader = nullptr;
    QWidget* PanelPage = nullptr;
    QMenu* Popup = nullptr;
    QWidget* MessageParent = nullptr; // owner of the warning boxes
};

inline constexpr int FADER_WIDTH = 63;
inline constexpr int FADER_HEIGHT = 210;
inline constexpr int BUMP_HEIGHT = 40;
inline constexpr int LOWER_ROW_SHIFT = 60; // lower faders start 60 below their row
inline constexpr int UPPER_BUMP_TOP = 210;
inline constexpr int LOWER_BUMP_TOP = 270;
inline constexpr int FRAME_WIDTH = 6;   // both sides of the window frame
inline constexpr int BOTTOM_SPACE = 20; // the gap between the rows
inline constexpr int PAGE_BUTTON_TOP = 4;

void CreateFader(TDeskState& state, const TBankPanels& panels, bool gradient,
                 const TBankHandlers& handlers, TBankFactory& factory);
// Places the grid; returns the client size the window takes (empty when no
// cell could be placed).
QSize ResizeFader(TDeskState& state, const TBankPanels& panels);
// Takes its sizes from the page panel, so it runs once the window has its size.
void CreatePageButtons(TDeskState& state, const TBankPanels& panels, const TBankHandlers& handlers,
                       TBankFactory& factory);
// Tags and captions of the current page, and the faders' keyboard switch.
void InitialiseSlots(TDeskState& state, bool enableKeyboard);
