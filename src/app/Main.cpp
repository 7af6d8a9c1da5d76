#include "app/Main.h"

#include <QCloseEvent>
#include <QDir>
#include <QFileInfo>
#include <QFrame>
#include <QGuiApplication>
#include <QMenu>
#include <QMenuBar>
#include <QScreen>
#include <QVBoxLayout>

#include "app/MenuItem.h"
#include "hostlink/DmxFrame.h"
#include "hostlink/KeyFilter.h"
#include "layoutfile/LayoutFile.h"
#include "persist/oxPerst.h"
#include "widgets/Colors.h"
#include "widgets/CommonDialogs.h"
#include "widgets/MessageBox.h"
#include "widgets/WindowLayer.h"

TMainForm* MainForm = nullptr;

namespace {

// The bank's client area: 16 fader columns and 2 rows under the page row.
constexpr int kClientWidth = 1008;
constexpr int kClientHeight = 561;
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
    CreatePersist();
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

    connect(M_New, &QAction::triggered, this, [this] { M_NewClick(); });
    connect(M_Open, &QAction::triggered, this, [this] { M_OpenClick(); });
    connect(M_Save, &QAction::triggered, this, [this] { M_SaveClick(); });
    connect(M_SaveAs, &QAction::triggered, this, [this] { M_SaveAsClick(); });
    connect(M_Exit, &QAction::triggered, this, [this] { M_ExitClick(); });
    connect(M_PassKeypressesToHalvex, &QAction::triggered, this,
            [this] { M_PassKeypressesToHalvexClick(); });
    connect(M_StayOnTop, &QAction::triggered, this,
            [this] { SetWindowTopmost(this, M_StayOnTop->isChecked()); });
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
    QString error;
    if (!oxPersist1->Save(&error))
        ShowMessageBox(this, error, TMsgDlgType::mtError, QMessageBox::Ok);
    return true;
}

void TMainForm::oxPersist1AfterLoad() {
    SetWindowTopmost(this, M_StayOnTop->isChecked());
    state_.Ready = true;
}

void TMainForm::M_ExitClick() {
    close();
}

void TMainForm::M_PassKeypressesToHalvexClick() {
    // The faders' own keyboard handling is switched by the bank.
    SetFadersKeyboard(!M_PassKeypressesToHalvex->isChecked());
}

void TMainForm::WriteLayoutFile() {
    const QString error = ::WriteLayoutFile(state_.LayoutFileName, state_.Table);
    if (!error.isEmpty())
        ShowMessageBox(this, error + QLatin1String(CANNOT_SAVE_FILE), TMsgDlgType::mtError,
                       QMessageBox::Ok);
}

void TMainForm::ReadLayoutFile() {
    QString error;
    switch (::ReadLayoutFile(state_.LayoutFileName, state_.Table, error)) {
    case TLayoutReadResult::Read:
        setWindowTitle(LayoutCaption(QLatin1String(MAIN_CAPTION), state_.LayoutFileName));
        break;
    case TLayoutReadResult::Failed:
        ShowMessageBox(this, error + QLatin1String(CANNOT_OPEN_FILE), TMsgDlgType::mtWarning,
                       QMessageBox::Ok);
        break;
    case TLayoutReadResult::Missing:
        break;
    }
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
    hostlink::TransmitDmxFrame(*endpoint_, state_.Table, state_.DmxBuffer);
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

// --- Seams for the parts built later --------------------------------------

void TMainForm::InstallKeyFilter() {
    auto* filter = new hostlink::TKeyFilter(
        *endpoint_, [this] { return M_PassKeypressesToHalvex->isChecked() && state_.ForwardKeys; },
        this);
    QCoreApplication::instance()->installEventFilter(filter);
    keyFilter_ = filter;
}

void TMainForm::CreateFader() {}

void TMainForm::ResizeFader() {
    centralWidget()->setFixedSize(kClientWidth, kClientHeight);
    setFixedSize(kClientWidth, kClientHeight + menuBar()->sizeHint().height());
}

void TMainForm::CreatePageButtons() {}

void TMainForm::InitialiseSlots() {}

void TMainForm::SetFadersKeyboard(bool /*enabled*/) {}

void TMainForm::RefreshFaders() {
    SendDmxFrame();
}

void TMainForm::UpdatePageColors() {}
