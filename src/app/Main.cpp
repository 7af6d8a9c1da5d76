#include "app/Main.h"

#include <stdexcept>

#include <QCoreApplication>
#include <QFrame>
#include <QMenu>
#include <QMenuBar>
#include <QVBoxLayout>

#include "app/MenuItem.h"
#include "bank/BankBuilder.h"
#include "bank/BankInteractions.h"
#include "bank/BankWidgets.h"
#include "base/CommonDialogs.h"
#include "base/MessageBox.h"
#include "base/WindowFocus.h"
#include "base/WindowLayer.h"
#include "dialogs/UnitSetFaderCaption.h"
#include "hostlink/DmxFrame.h"
#include "app/LayoutCommands.h"
#include "output/OutputSet.h"

namespace {

constexpr int kPageRowHeight = 41;

QFrame* CreatePanel(const char* name, QWidget* parent) {
    auto* panel = new QFrame(parent);
    panel->setObjectName(QLatin1String(name));
    panel->setFrameShape(QFrame::NoFrame);
    panel->setAutoFillBackground(true);
    return panel;
}

// The handlers' checked cast: a sender of another kind raises.
template <typename T>
T& SenderAs(QObject* sender, const char* what) {
    auto* widget = dynamic_cast<T*>(sender);
    if (widget == nullptr) throw std::invalid_argument(what);
    return *widget;
}

} // namespace

TMainForm::TMainForm(std::unique_ptr<hostlink::Endpoint> endpoint, QWidget* parent)
    : QMainWindow(parent, Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                              Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint |
                              Qt::WindowStaysOnTopHint),
      endpoint_(std::move(endpoint)), outputs_(std::make_unique<TOutputSet>()) {
    setObjectName(QStringLiteral("MainForm"));
    QFont font(QStringLiteral("MS Sans Serif"));
    font.setPixelSize(11);
    setFont(font);
    CreateComponents();
    FormCreate();
}

TMainForm::~TMainForm() {
    endpoint_->SetStatusListener(nullptr);
    // Stream termination and the threads' end, before anything else goes.
    outputs_->StopAll();
    // The filter reaches into this window; it goes before the window does.
    if (keyFilter_ != nullptr) QCoreApplication::instance()->removeEventFilter(keyFilter_);
}

void TMainForm::CreateComponents() {
    auto* client = new QWidget(this);
    auto* layout = new QVBoxLayout(client);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    PanelPage = CreatePanel("PanelPage", client);
    PanelPage->setFixedHeight(kPageRowHeight);
    PanelFader = CreatePanel("PanelFader", client);
    QFont panelFont(QStringLiteral("Arial"));
    panelFont.setPixelSize(11);
    PanelFader->setFont(panelFont);
    layout->addWidget(PanelPage);
    layout->addWidget(PanelFader, 1);
    setCentralWidget(client);

    ColorDialog1 = new TColorDialog(this);
    ColorDialog1->setObjectName(QStringLiteral("ColorDialog1"));
    OpenDialog1 = new TFileDialog(TFileDialog::Kind::Open, this);
    OpenDialog1->setObjectName(QStringLiteral("OpenDialog1"));
    SaveDialog1 = new TFileDialog(TFileDialog::Kind::Save, this);
    SaveDialog1->setObjectName(QStringLiteral("SaveDialog1"));
    for (TFileDialog* d : {OpenDialog1, SaveDialog1}) {
        d->SetFilter(QLatin1String(LAYOUT_FILTER));
        d->SetDefaultExt(QLatin1String(LAYOUT_EXTENSION));
    }

    layoutCommands_ = std::make_unique<TLayoutCommands>(TLayoutCommands::TParts{
        &state_, this, OpenDialog1, SaveDialog1, QLatin1String(MAIN_CAPTION), sendThenRecolour_});

    CreateMenus();
    CreateLinkIndicator();
    CreatePopupMenu();
    ConnectMenuCommands();
    CreatePersist();
}

void TMainForm::SendDmxFrame() {
    if (outputSettings_.hostLink)
        hostlink::TransmitDmxFrame(*endpoint_, state_.Table.Level, state_.DmxBuffer);
    // A copy into each output's mailbox; the sending happens on their threads.
    outputs_->Post(TLevelSpan(state_.Table.Level));
    UpdatePageColors(state_);
}

namespace {

// The bank's widgets are owned by the window's panels and freed with them.
TBankFactory& BankFactory() {
    static TBankFactory factory;
    return factory;
}

} // namespace

TBankHandlers TMainForm::NewBankHandlers() {
    TBankHandlers handlers;
    handlers.FaderValueChange = [this](QObject* s) { SkVSlider1ValueChange(s); };
    handlers.FaderEnter = [this](QObject* s) { SkVSlider1Enter(s); };
    handlers.FaderMouseDown = [this](QObject* s, TMouseButton, TShiftState, int, int) {
        SkVSlider1MouseDown(s);
    };
    handlers.BumpChange = [this](QObject* s) { FaderButtonTempChange(s); };
    handlers.BumpMouseDown = [this](QObject* s, TMouseButton, TShiftState, int, int) {
        FaderButtonTempMouseDown(s);
    };
    handlers.BumpMouseUp = [this](QObject* s, TMouseButton, TShiftState, int, int) {
        FaderButtonTempMouseUp(s);
    };
    handlers.PageClick = [this](QObject* s) { PageButtonTempClick(s); };
    return handlers;
}

void TMainForm::BuildBank() {
    bankHandlers_ = NewBankHandlers();
    CreateFader(state_, BankPanels(), M_GradientLook->isChecked(), bankHandlers_, BankFactory());
    FitWindowToBank();
    CreatePageButtons(state_, BankPanels(), bankHandlers_, BankFactory());
}

TBankPanels TMainForm::BankPanels() {
    return {PanelFader, PanelPage, PopupMenu1, this};
}

void TMainForm::FitWindowToBank() {
    const QSize client = ResizeFader(state_, BankPanels());
    if (client.isEmpty()) return;
    centralWidget()->setFixedSize(client);
    setFixedSize(client.width(), client.height() + menuBar()->sizeHint().height());
    // The page row takes its width now: the page buttons are sized from it.
    centralWidget()->layout()->activate();
}

void TMainForm::SkVSlider1ValueChange(QObject* Sender) {
    Guarded([&] {
        if (!state_.Ready) return;
        const TFaders& fader = SenderAs<TFaders>(Sender, "Unexpected sender");
        FaderValueChange(state_, sendThenRecolour_, fader.Tag(), fader.Digit(),
                         HoldsWindowFocus(fader));
    });
}

void TMainForm::SkVSlider1Enter(QObject* Sender) {
    Guarded([&] { FaderEnter(state_, SenderAs<TFaders>(Sender, "Unexpected sender").Tag()); });
}

void TMainForm::SkVSlider1MouseDown(QObject* Sender) {
    Guarded([&] { FaderPress(state_, SenderAs<TFaders>(Sender, "Unexpected sender").Tag()); });
}

void TMainForm::FaderButtonTempMouseDown(QObject* Sender) {
    Guarded([&] {
        const bool toggle = M_ButtonAsToggle->isChecked();
        if (!state_.Ready || toggle) return;
        const int channel = SenderAs<TFaderButtons>(Sender, "Unexpected sender").Tag();
        BumpMouseDown(state_, sendThenRecolour_, channel, toggle);
    });
}

void TMainForm::FaderButtonTempMouseUp(QObject* Sender) {
    Guarded([&] {
        const bool toggle = M_ButtonAsToggle->isChecked();
        if (!state_.Ready || toggle) return;
        const int channel = SenderAs<TFaderButtons>(Sender, "Unexpected sender").Tag();
        BumpMouseUp(state_, sendThenRecolour_, channel, toggle);
    });
}

void TMainForm::FaderButtonTempChange(QObject* Sender) {
    Guarded([&] {
        if (!state_.Ready) return;
        const auto& bump = SenderAs<TFaderButtons>(Sender, "Unexpected sender");
        BumpChange(state_, sendThenRecolour_, bump.Tag(), bump.Value(), HoldsWindowFocus(bump));
    });
}

void TMainForm::PageButtonTempClick(QObject* Sender) {
    Guarded([&] {
        const int page = SenderAs<TPageButtons>(Sender, "The sender is not a page button").Tag();
        // The focus leaves the bank whether or not the page may change.
        PanelPage->setFocus(Qt::OtherFocusReason);
        PageButtonClick(state_, sendThenRecolour_, page);
    });
}

void TMainForm::N1001Click(QObject* Sender) {
    Guarded([&] {
        auto* item = qobject_cast<TMenuItem*>(Sender);
        if (item == nullptr) throw std::invalid_argument("The sender is not a preset");
        ApplyPreset(state_, item->Tag());
    });
}

void TMainForm::M_SetFaderColorClick() {
    Guarded([&] {
        // Checked before the dialog, so a bad slot asks nothing.
        const int channel = CurrentChannel(state_);
        if (ColorDialog1->Execute(this)) state_.Table.FaderColorOf(channel) = ColorDialog1->Color();
        ShowFaderColor(state_);
    });
}

void TMainForm::M_ClearCaptionClick() {
    Guarded([&] { ClearCaption(state_); });
}

void TMainForm::M_SetCaptionClick() {
    SetWindowTopmost(this, false);
    auto* dialog = new TFormSetFaderCaption(state_, this);
    try {
        state_.ForwardKeys = false;
        struct Restore {
            TFormSetFaderCaption* dialog;
            TDeskState& state;
            ~Restore() {
                delete dialog;
                state.ForwardKeys = true;
            }
        } restore{dialog, state_};
        dialog->Execute();
    } catch (const std::exception& e) {
        ShowMessageBox(this,
                       QStringLiteral("Error on Editing Fader Caption ") +
                           QString::fromLocal8Bit(e.what()),
                       TMsgDlgType::mtError, QMessageBox::Ok);
    }
    ApplyZOrder();
}
