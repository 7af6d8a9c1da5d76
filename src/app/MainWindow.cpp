#include "app/MainWindow.h"

#include <cmath>
#include <stdexcept>

#include <QCoreApplication>
#include <QFrame>
#include <QMenu>
#include <QMenuBar>
#include <QVBoxLayout>

#include "app/FrameSender.h"
#include "app/LayoutCommands.h"
#include "app/MenuItem.h"
#include "bank/BankView.h"
#include "base/CommonDialogs.h"
#include "base/MessageBox.h"
#include "base/WindowLayer.h"
#include "dialogs/FaderCaptionDialog.h"
#include "output/OutputSet.h"
#include "safety/FadePlayer.h"
#include "safety/SnapshotStore.h"
#include "safety/UndoHistory.h"
#include "surfaceio/MidiSurface.h"
#include "surfaceio/OscSurface.h"

namespace {

constexpr int kPageRowHeight = 41;

QFrame* CreatePanel(const char* name, QWidget* parent) {
    auto* panel = new QFrame(parent);
    panel->setObjectName(QLatin1String(name));
    panel->setFrameShape(QFrame::NoFrame);
    panel->setAutoFillBackground(true);
    return panel;
}

// The bank's widgets are owned by the window's panels and freed with them.
TBankFactory& BankFactory() {
    static TBankFactory factory;
    return factory;
}

} // namespace

TMainWindow::TMainWindow(std::unique_ptr<hostlink::Endpoint> endpoint, QWidget* parent)
    : QMainWindow(parent, Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                              Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint |
                              Qt::WindowStaysOnTopHint),
      endpoint_(std::move(endpoint)), outputs_(std::make_unique<TOutputSet>()) {
    setObjectName(QStringLiteral("MainForm"));
    QFont font(QStringLiteral("MS Sans Serif"));
    font.setPixelSize(11);
    setFont(font);
    // The model's followers, wired once: the levels leave the desk before
    // the bank on screen redraws.
    model_ = new TDeskModel(this);
    frameSender_ = new TFrameSender(*model_, *endpoint_, *outputs_, this);
    connect(model_, &TDeskModel::changed, frameSender_, &TFrameSender::Follow);
    bank_ = new TBankView(*model_, this);
    // Then the safety nets, which only watch.
    fadePlayer_ = new TFadePlayer(*model_, this);
    history_ = new TUndoHistory(*model_, this);
    snapshots_ = std::make_unique<TSnapshotStore>();
    CreateComponents();
    // Pages on phones and tablets follow after the desk's own.
    CreateRemote();
    SetUp();
}

TMainWindow::~TMainWindow() {
    endpoint_->SetStatusListener(nullptr);
    // The surfaces' threads end while the model they reach is still here.
    delete midiSurface_;
    delete oscSurface_;
    // Stream termination and the threads' end, before anything else goes.
    outputs_->StopAll();
    // The filter reaches into this window; it goes before the window does.
    if (keyFilter_ != nullptr) QCoreApplication::instance()->removeEventFilter(keyFilter_);
}

void TMainWindow::CreateComponents() {
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

    ColorDialog = new TColorDialog(this);
    ColorDialog->setObjectName(QStringLiteral("ColorDialog1"));
    OpenDialog = new TFileDialog(TFileDialog::Kind::Open, this);
    OpenDialog->setObjectName(QStringLiteral("OpenDialog1"));
    SaveDialog = new TFileDialog(TFileDialog::Kind::Save, this);
    SaveDialog->setObjectName(QStringLiteral("SaveDialog1"));
    for (TFileDialog* d : {OpenDialog, SaveDialog}) {
        d->SetFilter(QLatin1String(LAYOUT_FILTER));
        d->SetDefaultExt(QLatin1String(LAYOUT_EXTENSION));
    }

    layoutCommands_ = std::make_unique<TLayoutCommands>(
        TLayoutCommands::TParts{model_, this, OpenDialog, SaveDialog, QLatin1String(MAIN_CAPTION),
                                [this] { return bank_->Focus(); }});

    CreateMenus();
    CreateLinkIndicator();
    CreatePopupMenu();
    ConnectMenuCommands();
    CreateSafety();
    CreatePersist();
}

void TMainWindow::BuildBank() {
    bank_->BuildFaders(BankPanels(), GradientItem->isChecked(), BankFactory());
    FitWindowToBank();
    bank_->BuildPageButtons(BankPanels(), BankFactory());
}

TBankPanels TMainWindow::BankPanels() {
    return {PanelFader, PanelPage, FaderMenu, this};
}

void TMainWindow::FitWindowToBank() {
    const QSize client = bank_->PlaceFaders(BankPanels());
    if (client.isEmpty()) return;
    centralWidget()->setFixedSize(client);
    setFixedSize(client.width(), client.height() + menuBar()->sizeHint().height());
    // The page row takes its width now: the page buttons are sized from it.
    centralWidget()->layout()->activate();
}

void TMainWindow::ApplyPreset(int level) {
    AsStep(QStringLiteral("Preset %1%").arg(std::lround(level * 100 / 255.0)),
           [&] { model_->ApplyPreset(level, bank_->Focus()); });
}

void TMainWindow::ChooseFaderColor() {
    AsStep(QStringLiteral("Set Fader Color"), [&] {
        // Checked before the dialog, so a bad slot asks nothing.
        const int channel = model_->CurrentChannel();
        // A cancelled choice shows the stored colour again.
        const TColor color = ColorDialog->Execute(this) ? ColorDialog->Color()
                                                        : model_->Table().FaderColorOf(channel);
        model_->SetFaderColor(channel, color);
    });
}

void TMainWindow::ClearFaderNames() {
    AsStep(QStringLiteral("Clear Caption"), [&] { model_->ClearNames(model_->CurrentChannel()); });
}

void TMainWindow::EditFaderNames() {
    SetWindowTopmost(this, false);
    auto* dialog = new TFaderCaptionDialog(*model_, this);
    // One dialog session is one step, however many faders it named.
    const TStepScope step(*model_, QStringLiteral("Set Caption"));
    try {
        model_->SetForwardKeys(false);
        struct Restore {
            TFaderCaptionDialog* dialog;
            TDeskModel& model;
            ~Restore() {
                delete dialog;
                model.SetForwardKeys(true);
            }
        } restore{dialog, *model_};
        dialog->Execute();
    } catch (const std::exception& e) {
        ShowMessageBox(this,
                       QStringLiteral("Error on Editing Fader Caption ") +
                           QString::fromLocal8Bit(e.what()),
                       TMsgDlgType::mtError, QMessageBox::Ok);
    }
    ApplyZOrder();
}
