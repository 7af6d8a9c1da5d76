#include "dialogs/ReadmeWindow.h"

#include <QEvent>
#include <QGuiApplication>
#include <QTextEdit>
#include <QWindow>

#include "base/MessageBox.h"
#include "buttons/Buttons.h"
#include "dialogs/Artwork.h"
#include "dialogs/ReadmeFile.h"

TReadmeWindow* FormReadme = nullptr;

namespace {

// The whole window; the client area is what the title bar and frame leave.
constexpr QSize kWindowSize(640, 480);
constexpr QSize kCloseButtonSize(75, 26);
constexpr int kCloseButtonLeft = 276;
// Below the button, and between it and the text.
constexpr int kButtonMargin = 4;
constexpr int kButtonGap = 6;
constexpr TColor kViewColor = clYellow;
constexpr TColor kActiveGradient = 0x00FF4A4A;

} // namespace

TReadmeWindow::TReadmeWindow(QWidget* parent)
    : TSkinnedDialog(parent, kWindowSize, TFormBorderStyle::bsSingle, biSystemMenu),
      SearchDirs(ReadmeSearchDirs) {
    SetOuterSize(kWindowSize);
    const QSize client = Client()->size();
    const int buttonTop = client.height() - kButtonMargin - kCloseButtonSize.height();
    setObjectName(QStringLiteral("FormReadme"));
    QFont font(QStringLiteral("Arial"));
    font.setPixelSize(11);
    setFont(font);

    SkinCaption(QStringLiteral("Readme"), kActiveGradient);

    RichEdit1 = new QTextEdit(Client());
    RichEdit1->setObjectName(QStringLiteral("RichEdit1"));
    RichEdit1->setGeometry(0, 0, client.width(), buttonTop - kButtonGap);
    RichEdit1->setFrameShape(QFrame::NoFrame);
    RichEdit1->setContentsMargins(1, 1, 1, 1); // border width 1
    RichEdit1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    RichEdit1->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    RichEdit1->setReadOnly(false); // the reader may type; nothing is saved
    QPalette view = RichEdit1->palette();
    view.setColor(QPalette::Base, ToQColor(kViewColor));
    view.setColor(QPalette::Window, ToQColor(kViewColor));
    RichEdit1->setPalette(view);
    RichEdit1->setAutoFillBackground(true);

    BitBtn1 = AddCommandButton("BitBtn1", QStringLiteral("&Close"),
                               QRect(QPoint(kCloseButtonLeft, buttonTop), kCloseButtonSize));
    BitBtn1->SetPictureUp(CloseGlyph());
    BitBtn1->SetPictureDisabled(CloseGlyph().convertToFormat(QImage::Format_Grayscale8));
    BitBtn1->SetPictureX(5);
    BitBtn1->SetTextX(-11);
    connect(BitBtn1, &ToxButton::clicked, this, [this] { CloseWindow(); });

    connect(qGuiApp, &QGuiApplication::focusWindowChanged, this,
            &TReadmeWindow::FocusWindowChanged);
}

TReadmeWindow::~TReadmeWindow() {
    if (FormReadme == this) FormReadme = nullptr;
}

void TReadmeWindow::FormActivate() {
    const QString path = FindFileIn(SearchDirs ? SearchDirs() : ReadmeSearchDirs(),
                                    QString::fromLatin1(README_FILE_NAME));
    const TFileResult<> loaded = LoadDocumentFile(path, *RichEdit1->document());
    if (!loaded)
        ShowMessageBox(this, loaded.Error().Message(), TMsgDlgType::mtError, QMessageBox::Ok);
}

void TReadmeWindow::CloseWindow() {
    close();
}

void TReadmeWindow::FocusWindowChanged(QWindow* now) {
    QWindow* self = windowHandle();
    if (now == nullptr || self == nullptr || now == self) {
        if (now == nullptr) returningFromOwnWindow_ = false; // another application
        return;
    }
    returningFromOwnWindow_ = now->transientParent() == self;
}

void TReadmeWindow::changeEvent(QEvent* event) {
    TSkinnedDialog::changeEvent(event);
    if (event->type() != QEvent::ActivationChange || !isActiveWindow()) return;
    if (returningFromOwnWindow_) {
        returningFromOwnWindow_ = false;
        return;
    }
    FormActivate();
}
