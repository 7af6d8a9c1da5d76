#include "bank/BankBuilder.h"

#include <stdexcept>

#include <QFont>

#include "bank/BankWidgets.h"
#include "bank/FaderLook.h"
#include "base/MessageBox.h"
#include "model/Captions.h"

TFaders* TBankFactory::NewFader(QWidget* owner, int) {
    return new TFaders(owner);
}
TFaderButtons* TBankFactory::NewFaderButton(QWidget* owner, int) {
    return new TFaderButtons(owner);
}
TPageButtons* TBankFactory::NewPageButton(QWidget* owner, int) {
    return new TPageButtons(owner);
}

namespace {

void Warn(const TBankPanels& panels, const char* phrase, int i) {
    ShowMessageBox(panels.MessageParent,
                   QLatin1String(phrase) + QString::number(i) + QLatin1Char(']'),
                   TMsgDlgType::mtWarning, QMessageBox::Ok);
}

// Connects a signal to one of the window's handlers, handing it the widget.
template <typename Widget, typename Signal>
void Attach(Widget& w, Signal signal, const TBankNotify& handler) {
    if (handler) QObject::connect(&w, signal, &w, [&w, handler] { handler(&w); });
}

template <typename Widget, typename Signal>
void AttachMouse(Widget& w, Signal signal, const TBankMouse& handler) {
    if (!handler) return;
    QObject::connect(&w, signal, &w,
                     [&w, handler](TMouseButton button, TShiftState shift, int x, int y) {
                         handler(&w, button, shift, x, y);
                     });
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

void ConfigureFader(TFaders& f, TDeskState& state, const TBankPanels& panels, int i, bool gradient,
                    const TBankHandlers& handlers) {
    f.setParent(panels.PanelFader);
    f.setObjectName(QStringLiteral("Fader%1").arg(i));
    f.SetTag(i);
    ApplyFaderSettings(f, gradient);
    const int channel = CheckChannel(f.Tag() - state.CurrentPage * FADERS_PER_PAGE);
    f.SignalSettings()->SetName1(CaptionText(state.Table.Name1Of(channel)));
    f.SignalSettings()->SetName2(CaptionText(state.Table.Name2Of(channel)));
    f.SetTabStop(false);
    f.SetPopupMenu(panels.Popup);
    Attach(f, &TFaders::digitChanged, handlers.FaderValueChange);
    Attach(f, &TFaders::focusEntered, handlers.FaderEnter);
    AttachMouse(f, &TFaders::mousePressed, handlers.FaderMouseDown);
}

void ConfigureBump(TFaderButtons& b, const TDeskState& state, const TBankPanels& panels, int i,
                   const TBankHandlers& handlers) {
    b.setParent(panels.PanelFader);
    b.SetTag(i);
    b.setObjectName(QStringLiteral("FaderButton%1").arg(i));
    b.SetFont(DeskFont(panels)); // made bold and larger by the look
    ApplyBumpLook(b, state.ColorOff);
    Attach(b, &TFaderButtons::valueChanged, handlers.BumpChange);
    AttachMouse(b, &TFaderButtons::mousePressed, handlers.BumpMouseDown);
    AttachMouse(b, &TFaderButtons::mouseReleased, handlers.BumpMouseUp);
}

// Returns the client size the window takes after this cell.
QSize PlaceCell(TDeskState& state, const TBankPanels& panels, int n, int row, int col) {
    TFaders& f = Existing(state.FaderAt(n), "Fader", n);
    f.resize(FADER_WIDTH, FADER_HEIGHT);
    f.move((col - 1) * f.width(), (row - 1) * f.height() + (row == 1 ? 0 : LOWER_ROW_SHIFT));
    TFaderButtons& b = Existing(state.FaderButtonAt(n), "FaderButton", n);
    b.resize(FADER_WIDTH, BUMP_HEIGHT);
    b.move(b.width() * (col - 1),
           f.height() * (row - 1) + (row == 1 ? UPPER_BUMP_TOP : LOWER_BUMP_TOP));
    const int outerWidth = b.width() * col + FRAME_WIDTH;
    return {outerWidth - FRAME_WIDTH,
            (b.height() + f.height()) * row + panels.PanelPage->height() + BOTTOM_SPACE};
}

} // namespace

void CreateFader(TDeskState& state, const TBankPanels& panels, bool gradient,
                 const TBankHandlers& handlers, TBankFactory& factory) {
    panels.PanelFader->hide();
    for (int i = 1; i <= FADERS_PER_PAGE; ++i) {
        try {
            TFaders* fader = factory.NewFader(panels.PanelFader, i);
            state.Faders[static_cast<std::size_t>(CheckSlot(i))] = fader;
            TFaderButtons* button = factory.NewFaderButton(panels.PanelFader, i);
            state.FaderButtons[static_cast<std::size_t>(i)] = button;
            ConfigureFader(Existing(fader, "Fader", i), state, panels, i, gradient, handlers);
            ConfigureBump(Existing(button, "FaderButton", i), state, panels, i, handlers);
        } catch (const std::exception&) {
            Warn(panels, "Error on Creating Fader [", i);
        }
    }
    panels.PanelFader->show();
}

QSize ResizeFader(TDeskState& state, const TBankPanels& panels) {
    panels.PanelFader->hide();
    QSize client;
    int n = 1;
    for (int row = 1; row <= state.GridRows; ++row) {
        for (int col = 1; col <= state.GridColumns; ++col) {
            try {
                client = PlaceCell(state, panels, n, row, col);
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

void CreatePageButtons(TDeskState& state, const TBankPanels& panels, const TBankHandlers& handlers,
                       TBankFactory& factory) {
    QWidget* panel = panels.PanelPage;
    for (int i = 1; i <= PAGE_COUNT; ++i) {
        try {
            TPageButtons& b = Existing(factory.NewPageButton(panel, i), "PageButton", i);
            state.PageButtons[static_cast<std::size_t>(CheckPage(i - 1) + 1)] = &b;
            b.setParent(panel);
            b.SetFont(DeskFont(panels));
            b.SetTag(i);
            b.setObjectName(QStringLiteral("PageButton%1").arg(i));
            b.setVisible(true);
            b.SetButtonType(ToxButtonType::oxbToggle);
            b.Background().SetDitherDown(false);
            b.SetColor(state.ColorOff);
            b.SetStyle(ToxBtnStyle::bsInset);
            b.SetGroupAllowNoSel(false);
            b.SetGroup(1);
            const int width = panel->width() / PAGE_COUNT;
            b.setGeometry((i - 1) * width, PAGE_BUTTON_TOP, width,
                          panel->height() - 2 * PAGE_BUTTON_TOP);
            b.SetTextX(0);
            b.SetTextY(0);
            b.SetMultiLine(true);
            const int first = (i - 1) * FADERS_PER_PAGE + 1;
            b.Lines().Add(QStringLiteral("%1 - %2").arg(first).arg(i * FADERS_PER_PAGE));
            b.SetValue(i == 1);
            Attach(b, &TPageButtons::clicked, handlers.PageClick);
        } catch (const std::exception&) {
            Warn(panels, "Error on Creating PageButton [", i);
        }
    }
}

void InitialiseSlots(TDeskState& state, bool enableKeyboard) {
    for (int slot = 1; slot <= FADERS_PER_PAGE; ++slot) {
        const int channel = state.ChannelOf(slot);
        if (TFaders* f = state.FaderAt(slot)) {
            f->SetTag(channel);
            f->Refresh();
            f->SetEnableKeyboard(enableKeyboard);
        }
        if (TFaderButtons* b = state.FaderButtonAt(slot)) {
            b->SetTag(channel);
            b->SetCaption(QString::number(channel));
        }
    }
}
