#include "dialogs/AboutBox.h"

#include <QLabel>
#include <QPainter>

#include "buttons/Buttons.h"
#include "dialogs/Artwork.h"
#include "dialogs/DecorativeLabels.h"
#include "skin/Bevel.h"

namespace {

constexpr QSize kClientSize(322, 225);
constexpr QRect kPanelRect(8, 8, 313, 185);
constexpr QRect kIconRect(8, 8, 113, 97);
constexpr QRect kOkButtonRect(119, 196, 75, 25);
constexpr QRect kThanksRect(136, 64, 172, 41);
constexpr int kCommentsWidth = 297;

const char kThanks[] = "Thanks to the crews who tried every fader before the first show.";
const char kNotice[] = "Copyright \u00a9 1999-2002 the Vantrelle desk team";
const char kAuthor[] = "Written by the Vantrelle desk team";

} // namespace

void TBevelPanel::paintEvent(QPaintEvent*) {
    QPainter p(this);
    DrawBevelEdge(p, rect(), clBtnShadow, clBtnHighlight);                        // lowered outer
    DrawBevelEdge(p, rect().adjusted(1, 1, -1, -1), clBtnHighlight, clBtnShadow); // raised inner
}

TPictureView::TPictureView(const QImage& picture, QWidget* parent)
    : QWidget(parent), picture_(picture) {}

void TPictureView::paintEvent(QPaintEvent*) {
    if (picture_.isNull()) return;
    QPainter p(this);
    p.setRenderHint(QPainter::SmoothPixmapTransform);
    QSize fitted = picture_.size().scaled(size(), Qt::KeepAspectRatio);
    const QRect target(QPoint((width() - fitted.width()) / 2, (height() - fitted.height()) / 2),
                       fitted);
    p.drawImage(target, picture_);
}

TAboutBox::TAboutBox(QWidget* parent)
    : TSkinnedDialog(parent, kClientSize, TFormBorderStyle::bsDialog,
                     biSystemMenu | biMinimize | biMaximize) {
    setObjectName(QStringLiteral("AboutBox"));
    QFont font(QStringLiteral("MS Sans Serif"));
    font.setPixelSize(11);
    setFont(font);

    SkinCaption(QLatin1String(ABOUT_CAPTION), clBlue);

    Panel1 = new TBevelPanel(Client());
    Panel1->setObjectName(QStringLiteral("Panel1"));
    Panel1->setGeometry(kPanelRect);

    ProgramIcon = new TPictureView(DeskArtwork(), Panel1);
    ProgramIcon->setObjectName(QStringLiteral("ProgramIcon"));
    ProgramIcon->setGeometry(kIconRect);

    ProductName = new ToxLabel(QLatin1String(PRODUCT_NAME), Panel1);
    ProductName->setObjectName(QStringLiteral("ProductName"));
    QFont bold = font;
    bold.setBold(true);
    ProductName->setFont(bold);
    ProductName->SetFont3D(ox3Raised);
    ProductName->move(135, 9);
    ProductName->adjustSize();

    Version = AddLabel("Version", QLatin1String(VERSION_TEXT), {135, 26});
    Label2 = AddLabel("Label2", QLatin1String(RELEASE_TEXT), {135, 41});
    Label1 = AddLabel("Label1", QString::fromUtf8(kThanks), kThanksRect.topLeft());
    Label1->setWordWrap(true);
    Label1->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    Label1->setGeometry(kThanksRect);
    Notice = AddLabel("Notice", QString::fromUtf8(kNotice), {8, 119});
    Comments = AddLabel("Comments", QString::fromUtf8(kAuthor), {8, 141});
    Comments->setWordWrap(true);
    Comments->setFixedWidth(kCommentsWidth);
    Comments->adjustSize();

    WebLink = new ToxLinkLabel(QLatin1String(WEB_ADDRESS), TLinkKind::Web, Panel1);
    WebLink->setObjectName(QStringLiteral("WebLink"));
    WebLink->move(144, 161);
    WebLink->adjustSize();
    MailLink = new ToxLinkLabel(QLatin1String(MAIL_ADDRESS), TLinkKind::Mail, Panel1);
    MailLink->setObjectName(QStringLiteral("MailLink"));
    MailLink->move(8, 161);
    MailLink->adjustSize();

    OKButton = AddCommandButton("OKButton", QStringLiteral("OK"), kOkButtonRect);
    connect(OKButton, &ToxButton::clicked, this, [this] { CloseBox(); });
}

QLabel* TAboutBox::AddLabel(const char* name, const QString& text, QPoint at) {
    auto* label = new QLabel(text, Panel1);
    label->setObjectName(QLatin1String(name));
    label->setTextFormat(Qt::PlainText);
    label->move(at);
    label->adjustSize();
    return label;
}

void TAboutBox::CloseBox() {
    close();
}

void TAboutBox::showEvent(QShowEvent* event) {
    TSkinnedDialog::showEvent(event);
    Prepare();
}
