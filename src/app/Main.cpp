#include "app/Main.h"

#include <QCloseEvent>
#include <QDir>
#include <QFileInfo>
#include <QFrame>
#include <QGuiApplication>
#include <QMenu>
#include <QMenuBar>
#include <QPointer>
#include <QScreen>
#include <QVBoxLayout>

#include "app/MenuItem.h"
#include "bank/BankBuilder.h"
#include "bank/BankCommands.h"
#include "bank/BankInteractions.h"
#include "bank/BankWidgets.h"
#include "base/Colors.h"
#include "base/CommonDialogs.h"
#include "base/Guarded.h"
#include "base/MessageBox.h"
#include "base/WindowLayer.h"
#include "dialogs/About.h"
#include "dialogs/UnitReadme.h"
#include "dialogs/UnitSetFaderCaption.h"
#include "hostlink/DmxFrame.h"
#include "hostlink/KeyFilter.h"
#include "layoutfile/LayoutFile.h"
#include "persist/oxPerst.h"

TMainForm* MainForm = nullptr;

namespace {

constexpr int kPageRowHeight = 41;

QFrame* CreatePanel(const char* name, QWidget* parent) {
    auto* panel = new QFrame(parent);
    panel->setObjectName(QLatin1String(name));
    panel->setFrameShape(QFrame::NoFrame);
    panel->setAutoFillBackground(true);
    return panel;
}

} // namespace

TMainForm::TMainForm(std::unique_ptr<hostlink::Endpoint> endpoint, QWidget* parent)
    : QMainWindow(parent, Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                              Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint |
                              Qt::WindowStaysOnTopHint),
      endpoint_(std::move(endpoint)) {
    setObjectName(QStringLiteral("MainForm"));
    QFont font(QStringLiteral("MS Sans Serif"));
    font.setPixelSize(11);
    setFont(font);
    CreateComponents();
    FormCreate();
}

TMainForm::~TMainForm() {
    // The filter reaches into this window; it goes before the window does.
    if (keyFilter_ != nullptr) QCoreApplication::instance()->removeEventFilter(keyFilter_);
    if (MainForm == this) MainForm = nullptr;
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

    CreateMenus();
    CreatePopupMenu();
    ConnectBankCommands();
    CreatePersist();
}

template <typename F>
void TMainForm::Guarded(F&& handler) {
    RunGuarded(this, std::forward<F>(handler));
}

void TMainForm::ConnectBankCommands() {
    const auto on = [this](QAction* item, void (TMainForm::*handler)()) {
        connect(item, &QAction::triggered, this, [this, handler] { (this->*handler)(); });
    };
    on(M_ReleaseAllToggledBumpButtons, &TMainForm::M_ReleaseAllToggledBumpButtonsClick);
    on(M_AllFaderTo_0, &TMainForm::M_AllFaderTo_0Click);
    on(M_AllFaderTo_50, &TMainForm::M_AllFaderTo_50Click);
    on(M_AllFaderTo_100, &TMainForm::M_AllFaderTo_100Click);
    on(M_FadersOfCurrentPageAt_0, &TMainForm::M_FadersOfCurrentPageAt_0Click);
    on(M_FadersOfCurrentPageAt_50, &TMainForm::M_FadersOfCurrentPageAt_50Click);
    on(M_FadersOfCurrentPageAt_100, &TMainForm::M_FadersOfCurrentPageAt_100Click);
    on(M_Displayvalueasdigit, &TMainForm::M_DisplayvalueasdigitClick);
    on(M_ButtonAsToggle, &TMainForm::M_ButtonAsToggleClick);
    on(M_GradientLook, &TMainForm::M_GradientLookClick);
    on(M_SetCaption, &TMainForm::M_SetCaptionClick);
    on(M_ClearCaption, &TMainForm::M_ClearCaptionClick);
    on(M_SetFaderColor, &TMainForm::M_SetFaderColorClick);
    for (QAction* a : PopupMenu1->actions()) {
        auto* item = qobject_cast<TMenuItem*>(a);
        if (item == nullptr || !item->objectName().startsWith(QLatin1Char('N')) ||
            item->isSeparator())
            continue;
        connect(item, &QAction::triggered, this, [this, item] { N1001Click(item); });
    }
}

void TMainForm::CreatePersist() {
    oxPersist1 = new ToxPersist(this);
    oxPersist1->setObjectName(QStringLiteral("oxPersist1"));
    oxPersist1->BeginReadDescription();
    oxPersist1->SetFileName(QStringLiteral("Config.dat"));
    oxPersist1->SetRegistryKey(QStringLiteral("Software\\"));
    oxPersist1->SetStorageType(ToxPersist::oxpFile);
    oxPersist1->SetOptions({});
    oxPersist1->SetFileStorageDirectory(ToxPersist::oxpApplication);
    oxPersist1->SetEnabled(true);
    oxPersist1->SetSeqID(14);
    oxPersist1->SetItems({
        QStringLiteral("(TForm);Top;1;(TForm)_Top;;1;0;0;;"),
        QStringLiteral("(TForm);Left;1;(TForm)_Left;;1;0;0;;"),
        QStringLiteral("M_Displayvalueasdigit;Checked;3;M_Displayvalueasdigit_Checked;;1;0;0;;"),
        QStringLiteral("M_ButtonAsToggle;Checked;3;M_ButtonAsToggle_Checked;;1;0;0;;"),
        QStringLiteral(
            "M_PassKeypressesToHalvex;Checked;3;M_PassKeypressesToHalvex_Checked;;1;0;0;;"),
        QStringLiteral(
            "M_MemoriseFaderStatusOnExit;Checked;3;M_MemoriseFaderStatusOnExit_Checked;;1;0;0;;"),
        QStringLiteral("M_StayOnTop;Checked;3;M_StayOnTop_Checked;;1;0;0;;"),
        QStringLiteral("ColorDialog1;CustomColors;101;ColorDialog1_CustomColors;;1;0;0;;"),
        QStringLiteral("M_GradientLook;Checked;3;M_GradientLook_Checked;;1;0;0;;"),
        QStringLiteral("SaveDialog1;FileName;10;SaveDialog1_FileName;;1;0;0;;"),
        QStringLiteral("OpenDialog1;FileName;10;OpenDialog1_FileName;;1;0;0;;"),
    });
    oxPersist1->AfterLoad = [this](QObject*) { oxPersist1AfterLoad(); };
    oxPersist1->EndReadDescription();
}

TMenuItem* TMainForm::AddItem(QMenu* menu, const char* name, const QString& caption, int tag) {
    auto* item = new TMenuItem(QLatin1String(name), caption, this, tag);
    menu->addAction(item);
    return item;
}

void TMainForm::CreateMenus() {
    oxMenu1 = menuBar();
    oxMenu1->setObjectName(QStringLiteral("oxMenu1"));
    oxMenu1->setNativeMenuBar(false);

    File1 = oxMenu1->addMenu(QStringLiteral("&File"));
    File1->setObjectName(QStringLiteral("File1"));
    M_New = AddItem(File1, "M_New", QStringLiteral("&New"));
    M_Open = AddItem(File1, "M_Open", QStringLiteral("&Open"));
    M_Save = AddItem(File1, "M_Save", QStringLiteral("&Save"));
    M_SaveAs = AddItem(File1, "M_SaveAs", QStringLiteral("Save &As"));
    File1->addSeparator()->setObjectName(QStringLiteral("N3"));
    M_Exit = AddItem(File1, "M_Exit", QStringLiteral("E&xit"));

    Action1 = oxMenu1->addMenu(QStringLiteral("&Action"));
    Action1->setObjectName(QStringLiteral("Action1"));
    M_ReleaseAllToggledBumpButtons = AddItem(Action1, "M_ReleaseAllToggledBumpButtons",
                                             QStringLiteral("Release All Toggled Bump Buttons"));
    Action1->addSeparator()->setObjectName(QStringLiteral("N2"));
    M_AllFaderTo_0 = AddItem(Action1, "M_AllFaderTo_0", QStringLiteral("All Faders To 0%"));
    M_AllFaderTo_50 = AddItem(Action1, "M_AllFaderTo_50", QStringLiteral("All Faders To 50%"));
    M_AllFaderTo_100 = AddItem(Action1, "M_AllFaderTo_100", QStringLiteral("All Faders To 100%"));
    Action1->addSeparator()->setObjectName(QStringLiteral("N1"));
    M_FadersOfCurrentPageAt_0 = AddItem(Action1, "M_FadersOfCurrentPageAt_0",
                                        QStringLiteral("Faders Of Current Page At 0%"));
    M_FadersOfCurrentPageAt_50 = AddItem(Action1, "M_FadersOfCurrentPageAt_50",
                                         QStringLiteral("Faders Of Current Page At 50%"));
    M_FadersOfCurrentPageAt_100 = AddItem(Action1, "M_FadersOfCurrentPageAt_100",
                                          QStringLiteral("Faders Of Current Page At 100%"));

    M_Preferences = oxMenu1->addMenu(QStringLiteral("&Preferences"));
    M_Preferences->setObjectName(QStringLiteral("M_Preferences"));
    M_Displayvalueasdigit =
        AddItem(M_Preferences, "M_Displayvalueasdigit", QStringLiteral("&Display Value As Digit"));
    M_ButtonAsToggle =
        AddItem(M_Preferences, "M_ButtonAsToggle", QStringLiteral("Bump Button As &Toggle"));
    M_PassKeypressesToHalvex = AddItem(M_Preferences, "M_PassKeypressesToHalvex",
                                       QStringLiteral("&Pass Keypresses To Halvex"));
    M_StayOnTop = AddItem(M_Preferences, "M_StayOnTop", QStringLiteral("&Stay On Top"));
    M_MemoriseFaderStatusOnExit = AddItem(M_Preferences, "M_MemoriseFaderStatusOnExit",
                                          QStringLiteral("&Memorise Fader Status On Exit"));
    M_GradientLook = AddItem(M_Preferences, "M_GradientLook", QStringLiteral("&Gradient Look"));
    // Independent check marks that flip themselves before their command runs.
    for (TMenuItem* item : {M_Displayvalueasdigit, M_ButtonAsToggle, M_PassKeypressesToHalvex,
                            M_StayOnTop, M_MemoriseFaderStatusOnExit, M_GradientLook}) {
        item->setCheckable(true);
        item->setChecked(false);
    }

    M_Help = oxMenu1->addMenu(QStringLiteral("&Help"));
    M_Help->setObjectName(QStringLiteral("M_Help"));
    M_Readme = AddItem(M_Help, "M_Readme", QStringLiteral("Readme"));
    M_About = AddItem(M_Help, "M_About", QStringLiteral("About"));
    connect(M_Readme, &QAction::triggered, this, [this] { M_ReadmeClick(); });
    connect(M_About, &QAction::triggered, this, [this] { M_AboutClick(); });

    connect(M_New, &QAction::triggered, this, [this] { M_NewClick(); });
    connect(M_Open, &QAction::triggered, this, [this] { M_OpenClick(); });
    connect(M_Save, &QAction::triggered, this, [this] { M_SaveClick(); });
    connect(M_SaveAs, &QAction::triggered, this, [this] { M_SaveAsClick(); });
    connect(M_Exit, &QAction::triggered, this, [this] { M_ExitClick(); });
    connect(M_PassKeypressesToHalvex, &QAction::triggered, this,
            [this] { M_PassKeypressesToHalvexClick(); });
    connect(M_StayOnTop, &QAction::triggered, this, [this] { M_StayOnTopClick(); });
}

void TMainForm::CreatePopupMenu() {
    PopupMenu1 = new QMenu(this);
    PopupMenu1->setObjectName(QStringLiteral("PopupMenu1"));
    M_SetCaption = AddItem(PopupMenu1, "M_SetCaption", QStringLiteral("Set Caption"));
    M_ClearCaption = AddItem(PopupMenu1, "M_ClearCaption", QStringLiteral("Clear Caption"));
    PopupMenu1->addSeparator()->setObjectName(QStringLiteral("N4"));
    struct Preset {
        const char* name;
        const char* caption;
        int level;
    };
    static constexpr Preset kPresets[] = {
        {"N1001", "100%  or 255", 255}, {"N901", "90% or 230", 230}, {"N801", "80% or 204", 204},
        {"N701", "70% or 178", 178},    {"N601", "60% or 153", 153}, {"N501", "50% or 128", 128},
        {"N401", "40% or 102", 102},    {"N301", "30% or 76", 76},   {"N201", "20% or 51", 51},
        {"N101", "10% or 26", 26},      {"N01", "0% or 0", 0},
    };
    for (const Preset& p : kPresets)
        AddItem(PopupMenu1, p.name, QString::fromLatin1(p.caption), p.level);
    PopupMenu1->addSeparator()->setObjectName(QStringLiteral("N5"));
    M_SetFaderColor = AddItem(PopupMenu1, "M_SetFaderColor", QStringLiteral("Set Fader Color"));
}

int TMainForm::Top() const {
    return pos().y();
}
void TMainForm::SetTop(int top) {
    move(pos().x(), top);
}
int TMainForm::Left() const {
    return pos().x();
}
void TMainForm::SetLeft(int left) {
    move(left, pos().y());
}

void TMainForm::FormCreate() {
    setWindowTitle(QLatin1String(MAIN_CAPTION));
    ClearChannels(state_.Table);
    state_.Ready = false;
    oxPersist1->PostLoad();
    state_.ColorOff = clGray;
    state_.ColorOn = clSilver;
    state_.ColorOffLive = 0x0080FF;
    state_.ColorOnLive = clYellow;
    InstallKeyFilter();
    state_.GridRows = 2;
    state_.GridColumns = 16;
    CreateFader();
    ResizeFader();
    CreatePageButtons();
    state_.CurrentPage = 0;
    InitialiseSlots();
    state_.ForwardKeys = true;
}

void TMainForm::FormShow() {
    RefreshFaders();
    SendDmxFrame();
}

bool TMainForm::FormClose() {
    const auto answer = ShowMessageBox(this, QLatin1String(CLOSE_QUESTION), TMsgDlgType::mtWarning,
                                       QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
    if (answer == QMessageBox::Cancel || answer == QMessageBox::NoButton) return false;
    if (answer == QMessageBox::Yes) M_SaveClick();
    if (const TFileResult<> saved = oxPersist1->Save(); !saved)
        ShowMessageBox(this, saved.Error().Message(), TMsgDlgType::mtError, QMessageBox::Ok);
    return true;
}

void TMainForm::oxPersist1AfterLoad() {
    state_.LayoutFileName = OpenDialog1->FileName();
    ReadLayoutFile();
    ApplyDisplayMode(state_, M_Displayvalueasdigit->isChecked());
    ApplyBumpType(state_, M_ButtonAsToggle->isChecked());
    SetFadersKeyboard(!M_PassKeypressesToHalvex->isChecked());
    ApplyGradientLook(state_, M_GradientLook->isChecked());
    ApplyZOrder();
    if (!M_MemoriseFaderStatusOnExit->isChecked()) ClearLevelsAndBumps(state_.Table);
    RefreshFaders();
    UpdatePageColors();
    state_.Ready = true;
}

void TMainForm::ApplyZOrder() {
    SetWindowTopmost(this, M_StayOnTop->isChecked());
}

void TMainForm::M_ExitClick() {
    close();
}

namespace {

// Shows a help window modally and frees it, also when showing fails.
template <class TForm>
void ShowHelpWindow(QWidget* owner) {
    QPointer<TForm> form = new TForm(owner);
    try {
        form->exec();
    } catch (...) {
        delete form;
        throw;
    }
    delete form; // null when it has freed itself
}

} // namespace

void TMainForm::M_ReadmeClick() {
    state_.ForwardKeys = false;
    SetWindowTopmost(this, false);
    QString failure;
    try {
        ShowHelpWindow<TFormReadme>(this);
    } catch (const std::exception& e) {
        failure = QString::fromLocal8Bit(e.what());
    }
    // Put back whatever happened, so that a failed window cannot leave the
    // desk out of its layer or deaf to the host's shortcuts.
    ApplyZOrder();
    state_.ForwardKeys = true;
    if (!failure.isEmpty()) ShowMessageBox(this, failure, TMsgDlgType::mtError, QMessageBox::Ok);
}

void TMainForm::M_AboutClick() {
    try {
        ShowHelpWindow<TFormAbout>(this);
    } catch (const std::exception& e) {
        ShowMessageBox(this, QString::fromLocal8Bit(e.what()), TMsgDlgType::mtError,
                       QMessageBox::Ok);
    }
}

void TMainForm::M_PassKeypressesToHalvexClick() {
    // The faders' own keyboard handling is switched by the bank.
    SetFadersKeyboard(!M_PassKeypressesToHalvex->isChecked());
}

void TMainForm::WriteLayoutFile() {
    const TFileResult<> written = ::WriteLayoutFile(state_.LayoutFileName, state_.Table);
    if (!written)
        ShowMessageBox(this, written.Error().Message() + QLatin1String(CANNOT_SAVE_FILE),
                       TMsgDlgType::mtError, QMessageBox::Ok);
}

void TMainForm::ReadLayoutFile() {
    const TFileResult<TLayoutRead> read = ::ReadLayoutFile(state_.LayoutFileName, state_.Table);
    if (!read)
        ShowMessageBox(this, read.Error().Message() + QLatin1String(CANNOT_OPEN_FILE),
                       TMsgDlgType::mtWarning, QMessageBox::Ok);
    else if (read.Value() == TLayoutRead::Read)
        setWindowTitle(LayoutCaption(QLatin1String(MAIN_CAPTION), state_.LayoutFileName));
}

void TMainForm::M_NewClick() {
    state_.Ready = false;
    state_.LayoutFileName.clear();
    setWindowTitle(QLatin1String(MAIN_CAPTION) + QLatin1Char(' '));
    ClearChannels(state_.Table);
    RefreshFaders();
    UpdatePageColors();
    state_.Ready = true;
    SendDmxFrame();
}

void TMainForm::M_OpenClick() {
    OpenDialog1->SetInitialDir(QDir::currentPath());
    if (!OpenDialog1->Execute(this)) return;
    state_.Ready = false;
    state_.LayoutFileName = OpenDialog1->FileName();
    ReadLayoutFile();
    RefreshFaders();
    UpdatePageColors();
    SendDmxFrame();
    state_.Ready = true;
}

void TMainForm::M_SaveClick() {
    if (!state_.LayoutFileName.isEmpty() && QFileInfo(state_.LayoutFileName).isFile()) {
        WriteLayoutFile();
        return;
    }
    M_SaveAsClick();
}

void TMainForm::M_SaveAsClick() {
    SaveDialog1->SetInitialDir(OpenDialog1->InitialDir());
    if (!SaveDialog1->Execute(this)) return;
    state_.LayoutFileName = SaveDialog1->FileName();
    OpenDialog1->SetFileName(state_.LayoutFileName);
    WriteLayoutFile();
    setWindowTitle(LayoutCaption(QLatin1String(MAIN_CAPTION), state_.LayoutFileName));
}

void TMainForm::SendDmxFrame() {
    hostlink::TransmitDmxFrame(*endpoint_, state_.Table.Level, state_.DmxBuffer);
    UpdatePageColors();
}

void TMainForm::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    if (shown_ || event->spontaneous()) return;
    shown_ = true;
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        const QRect area = screen->availableGeometry();
        move(area.center() - QPoint(frameGeometry().width() / 2, frameGeometry().height() / 2));
    }
    FormShow();
}

void TMainForm::closeEvent(QCloseEvent* event) {
    if (FormClose())
        event->accept();
    else
        event->ignore();
}

// --- Start-up steps: the key filter and the bank ---------------------------

void TMainForm::InstallKeyFilter() {
    auto* filter = new hostlink::TKeyFilter(
        *endpoint_, [this] { return M_PassKeypressesToHalvex->isChecked() && state_.ForwardKeys; },
        this);
    QCoreApplication::instance()->installEventFilter(filter);
    keyFilter_ = filter;
}

namespace {

// The bank's widgets are owned by the window's panels and freed with them.
TBankFactory& BankFactory() {
    static TBankFactory factory;
    return factory;
}

} // namespace

void TMainForm::CreateFader() {
    TBankHandlers handlers;
    handlers.FaderValueChange = [this](QObject* s) { SkVSlider1ValueChange(s); };
    handlers.FaderEnter = [this](QObject* s) { SkVSlider1Enter(s); };
    handlers.BumpChange = [this](QObject* s) { FaderButtonTempChange(s); };
    handlers.BumpMouseDown = [this](QObject* s, TMouseButton, TShiftState, int, int) {
        FaderButtonTempMouseDown(s);
    };
    handlers.BumpMouseUp = [this](QObject* s, TMouseButton, TShiftState, int, int) {
        FaderButtonTempMouseUp(s);
    };
    handlers.PageClick = [this](QObject* s) { PageButtonTempClick(s); };
    bankHandlers_ = handlers;
    ::CreateFader(state_, BankPanels(), M_GradientLook->isChecked(), handlers, BankFactory());
}

TBankPanels TMainForm::BankPanels() {
    return {PanelFader, PanelPage, PopupMenu1, this};
}

void TMainForm::ResizeFader() {
    const QSize client = ::ResizeFader(state_, BankPanels());
    if (client.isEmpty()) return;
    centralWidget()->setFixedSize(client);
    setFixedSize(client.width(), client.height() + menuBar()->sizeHint().height());
    // The page row takes its width now: the page buttons are sized from it.
    centralWidget()->layout()->activate();
}

void TMainForm::CreatePageButtons() {
    ::CreatePageButtons(state_, BankPanels(), bankHandlers_, BankFactory());
}

void TMainForm::InitialiseSlots() {
    ::InitialiseSlots(state_, !M_PassKeypressesToHalvex->isChecked());
}

void TMainForm::SetFadersKeyboard(bool enabled) {
    ::SetFadersKeyboard(state_, enabled);
}

void TMainForm::RefreshFaders() {
    ::RefreshFaders(state_, sendFrame_);
}

void TMainForm::UpdatePageColors() {
    ::UpdatePageColors(state_);
}

// --- The bank's handlers ---------------------------------------------------

void TMainForm::SkVSlider1ValueChange(QObject* Sender) {
    Guarded([&] { FaderValueChange(state_, sendFrame_, Sender); });
}

void TMainForm::SkVSlider1Enter(QObject* Sender) {
    Guarded([&] { FaderEnter(state_, Sender); });
}

void TMainForm::FaderButtonTempMouseDown(QObject* Sender) {
    Guarded([&] { BumpMouseDown(state_, sendFrame_, Sender, M_ButtonAsToggle->isChecked()); });
}

void TMainForm::FaderButtonTempMouseUp(QObject* Sender) {
    Guarded([&] { BumpMouseUp(state_, sendFrame_, Sender, M_ButtonAsToggle->isChecked()); });
}

void TMainForm::FaderButtonTempChange(QObject* Sender) {
    Guarded([&] { BumpChange(state_, sendFrame_, Sender); });
}

void TMainForm::PageButtonTempClick(QObject* Sender) {
    Guarded([&] { PageButtonClick(state_, sendFrame_, Sender, PanelPage); });
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

// --- Preferences and action commands ---------------------------------------

void TMainForm::M_DisplayvalueasdigitClick() {
    ApplyDisplayMode(state_, M_Displayvalueasdigit->isChecked());
}

void TMainForm::M_ButtonAsToggleClick() {
    ApplyBumpType(state_, M_ButtonAsToggle->isChecked());
}

void TMainForm::M_StayOnTopClick() {
    ApplyZOrder();
}

void TMainForm::M_GradientLookClick() {
    ApplyGradientLook(state_, M_GradientLook->isChecked());
}

void TMainForm::M_AllFaderTo_0Click() {
    Guarded([&] { AllFadersTo(state_, sendFrame_, 0); });
}

void TMainForm::M_AllFaderTo_50Click() {
    Guarded([&] { AllFadersTo(state_, sendFrame_, 128); });
}

void TMainForm::M_AllFaderTo_100Click() {
    Guarded([&] { AllFadersTo(state_, sendFrame_, 255); });
}

void TMainForm::M_FadersOfCurrentPageAt_0Click() {
    Guarded([&] { PageFadersTo(state_, sendFrame_, 0); });
}

void TMainForm::M_FadersOfCurrentPageAt_50Click() {
    Guarded([&] { PageFadersTo(state_, sendFrame_, 128); });
}

void TMainForm::M_FadersOfCurrentPageAt_100Click() {
    Guarded([&] { PageFadersTo(state_, sendFrame_, 255); });
}

void TMainForm::M_ReleaseAllToggledBumpButtonsClick() {
    Guarded([&] { ReleaseAllToggledBumps(state_, sendFrame_); });
}
