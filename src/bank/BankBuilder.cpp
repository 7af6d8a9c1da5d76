#include "bank/BankBuilder.h"

#include <stdexcept>
#include <string>

#include <QFont>

#include "bank/BumpButton.h"
#include "bank/Fader.h"
#include "bank/FaderLook.h"
#include "bank/PageButton.h"
#include "base/MessageBox.h"
#include "model/ChannelTable.h"

TFader* TBankWidgets::FaderAt(int slot) const {
    return Faders[static_cast<std::size_t>(CheckSlot(slot))];
}

TBumpButton* TBankWidgets::BumpAt(int slot) const {
    return Bumps[static_cast<std::size_t>(CheckSlot(slot))];
}

TPageButton* TBankWidgets::PageButtonAt(int page) const {
    return PageButtons[static_cast<std::size_t>(CheckPage(page - 1) + 1)];
}

TFader* TBankFactory::NewFader(QWidget* owner, int slot) {
    return new TFader(owner, slot);
}
TBumpButton* TBankFactory::NewBump(QWidget* owner, int slot) {
    return new TBumpButton(owner, slot);
}
TPageButton* TBankFactory::NewPageButton(QWidget* owner, int page) {
    return new TPageButton(owner, page);
}

namespace {

void Warn(const TBankPanels& panels, const char* phrase, int i) {
    ShowMessageBox(panels.MessageParent,
                   QLatin1String(phrase) + QString::number(i) + QLatin1Char(']'),
                   TMsgDlgType::mtWarning, QMessageBox::Ok);
}

template <typename T>
T& Existing(T* widget, const char* what, int index) {
    if (widget == nullptr)
        throw std::runtime_error(std::string(what) + " " + std::to_string(index) + " is missing");
    return *widget;
}

// The window's own font: a button keeps its own font, not its parent's, and
// the application font is too wide for the page labels.
QFont DeskFont(const TBankPanels& panels) {
    const QWidget* owner = panels.PanelPage != nullptr ? panels.PanelPage : panels.MessageParent;
    return owner != nullptr ? owner->window()->font() : QFont();
}

void ConfigureFader(TFader& f, const TBankPanels& panels, int slot, bool gradient) {
    f.setParent(panels.PanelFader);
    f.SetSlot(slot);
    f.setObjectName(QStringLiteral("Fader%1").arg(slot));
    ApplyFaderSettings(f, gradient);
    f.SetTabStop(false);
    f.SetPopupMenu(panels.Popup);
}

void ConfigureBump(TBumpButton& b, const TBankPanels& panels, int slot, TColor color) {
    b.setParent(panels.PanelFader);
    b.SetSlot(slot);
    b.setObjectName(QStringLiteral("FaderButton%1").arg(slot));
    b.SetFont(DeskFont(panels)); // made bold and larger by the look
    ApplyBumpLook(b, color);
}

// Returns the client size the window takes after this cell.
QSize PlaceCell(TBankWidgets& widgets, const TBankPanels& panels, int n, int row, int col) {
    TFader& f = Existing(widgets.FaderAt(n), "Fader", n);
    f.resize(FADER_WIDTH, FADER_HEIGHT);
    f.move((col - 1) * f.width(), (row - 1) * f.height() + (row == 1 ? 0 : LOWER_ROW_SHIFT));
    TBumpButton& b = Existing(widgets.BumpAt(n), "FaderButton", n);
    b.resize(FADER_WIDTH, BUMP_HEIGHT);
    b.move(b.width() * (col - 1),
           f.height() * (row - 1) + (row == 1 ? UPPER_BUMP_TOP : LOWER_BUMP_TOP));
    const int outerWidth = b.width() * col + FRAME_WIDTH;
    return {outerWidth - FRAME_WIDTH,
            (b.height() + f.height()) * row + panels.PanelPage->height() + BOTTOM_SPACE};
}

} // namespace

void CreateFaders(TBankWidgets& widgets, const TBankPanels& panels, bool gradient, TColor bumpColor,
                  TBankFactory& factory) {
    panels.PanelFader->hide();
    for (int slot = 1; slot <= FADERS_PER_PAGE; ++slot) {
        const auto i = static_cast<std::size_t>(slot);
        try {
            widgets.Faders[i] = factory.NewFader(panels.PanelFader, slot);
            widgets.Bumps[i] = factory.NewBump(panels.PanelFader, slot);
            ConfigureFader(Existing(widgets.Faders[i], "Fader", slot), panels, slot, gradient);
            ConfigureBump(Existing(widgets.Bumps[i], "FaderButton", slot), panels, slot, bumpColor);
        } catch (const std::exception&) {
            Warn(panels, "Error on Creating Fader [", slot);
        }
    }
    panels.PanelFader->show();
}

QSize PlaceFaders(TBankWidgets& widgets, const TBankPanels& panels) {
    panels.PanelFader->hide();
    QSize client;
    int n = 1;
    for (int row = 1; row <= GRID_ROWS; ++row) {
        for (int col = 1; col <= GRID_COLUMNS; ++col) {
            try {
                client = PlaceCell(widgets, panels, n, row, col);
            } catch (const std::exception&) {
                Warn(panels, "Error on Resize Fader [", n);
            }
            // A failed cell still moves on, so the cells after it keep their places.
            ++n;
        }
    }
    panels.PanelFader->show();
    return client;
}

void CreatePageButtons(TBankWidgets& widgets, const TBankPanels& panels, TColor color,
                       TBankFactory& factory) {
    QWidget* panel = panels.PanelPage;
    for (int page = 1; page <= PAGE_COUNT; ++page) {
        try {
            TPageButton& b = Existing(factory.NewPageButton(panel, page), "PageButton", page);
            widgets.PageButtons[static_cast<std::size_t>(CheckPage(page - 1) + 1)] = &b;
            b.setParent(panel);
            b.SetPage(page);
            b.SetFont(DeskFont(panels));
            b.setObjectName(QStringLiteral("PageButton%1").arg(page));
            b.setVisible(true);
            b.SetButtonType(ToxButtonType::oxbToggle);
            b.Background().SetDitherDown(false);
            b.SetColor(color);
            b.SetStyle(ToxBtnStyle::bsInset);
            b.SetGroupAllowNoSel(false);
            b.SetGroup(1);
            const int width = panel->width() / PAGE_COUNT;
            b.setGeometry((page - 1) * width, PAGE_BUTTON_TOP, width,
                          panel->height() - 2 * PAGE_BUTTON_TOP);
            b.SetTextX(0);
            b.SetTextY(0);
            b.SetMultiLine(true);
            const int first = (page - 1) * FADERS_PER_PAGE + 1;
            b.Lines().Add(QStringLiteral("%1 - %2").arg(first).arg(page * FADERS_PER_PAGE));
            b.SetValue(page == 1);
        } catch (const std::exception&) {
            Warn(panels, "Error on Creating PageButton [", page);
        }
    }
}
