#pragma once
// Builds the bank in code: 32 faders with a bump button under each, placed
// in a 16 x 2 grid, and the row of 16 page buttons above them. Every widget
// is built inside its own guard, so one failure leaves a partial bank.

#include <array>

#include <QSize>

#include "core/Color.h"
#include "core/DmxConstants.h"

class QMenu;
class QWidget;
class TBumpButton;
class TFader;
class TPageButton;

// The bank's widgets by slot (1..32) and page (1..16); index 0 is unused. A
// slot whose widget could not be built holds null. The panels own them.
struct TBankWidgets {
    std::array<TFader*, FADERS_PER_PAGE + 1> Faders{};
    std::array<TBumpButton*, FADERS_PER_PAGE + 1> Bumps{};
    std::array<TPageButton*, PAGE_COUNT + 1> PageButtons{};

    // Range-checked; raise std::out_of_range.
    TFader* FaderAt(int slot) const;
    TBumpButton* BumpAt(int slot) const;
    TPageButton* PageButtonAt(int page) const;
};

// Makes the widgets; tests hand in one that fails on purpose.
class TBankFactory {
public:
    virtual ~TBankFactory() = default;
    virtual TFader* NewFader(QWidget* owner, int slot);
    virtual TBumpButton* NewBump(QWidget* owner, int slot);
    virtual TPageButton* NewPageButton(QWidget* owner, int page);
};

struct TBankPanels {
    QWidget* PanelFader = nullptr;
    QWidget* PanelPage = nullptr;
    QMenu* Popup = nullptr;
    QWidget* MessageParent = nullptr; // owner of the warning boxes
};

inline constexpr int GRID_COLUMNS = 16;
inline constexpr int GRID_ROWS = 2;
inline constexpr int FADER_WIDTH = 63;
inline constexpr int FADER_HEIGHT = 210;
inline constexpr int BUMP_HEIGHT = 40;
inline constexpr int LOWER_ROW_SHIFT = 60; // lower faders start 60 below their row
inline constexpr int UPPER_BUMP_TOP = 210;
inline constexpr int LOWER_BUMP_TOP = 270;
inline constexpr int FRAME_WIDTH = 6;   // both sides of the window frame
inline constexpr int BOTTOM_SPACE = 20; // the gap between the rows
inline constexpr int PAGE_BUTTON_TOP = 4;

// The faders and their bumps, in the bump colour given.
void CreateFaders(TBankWidgets& widgets, const TBankPanels& panels, bool gradient, TColor bumpColor,
                  TBankFactory& factory);
// Places the grid; returns the client size the window takes (empty when no
// cell could be placed).
QSize PlaceFaders(TBankWidgets& widgets, const TBankPanels& panels);
// Takes its sizes from the page panel, so it runs once the window has its size.
void CreatePageButtons(TBankWidgets& widgets, const TBankPanels& panels, TColor color,
                       TBankFactory& factory);
