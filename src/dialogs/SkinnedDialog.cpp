#include "dialogs/SkinnedDialog.h"

#include <QCloseEvent>
#include <QScreen>
#include <QVBoxLayout>

#include "base/Colors.h"
#include "buttons/Buttons.h"

namespace {

constexpr TColor kHelpButtonColor = 0x00CCC7AC;

} // namespace

TSkinnedDialog::TSkinnedDialog(QWidget* parent, const QSize& clientSize, TFormBorderStyle border,
                               TBorderIcons icons)
    : QDialog(parent) {
    oxForm1 = new ToxForm(this);
    oxForm1->SetBorderStyle(border);
    oxForm1->SetBorderIcons(icons);

    QPalette pal = palette();
    pal.setColor(QPalette::Window, ToQColor(clBtnFace));
    setPalette(pal);
    setAutoFillBackground(true);

    client_ = new QWidget(this);
    client_->setObjectName(QStringLiteral("Client"));
    client_->setFixedSize(clientSize);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(client_);
    // The skin's frame and title bar lie around the client area.
    setFixedSize(oxForm1->OuterSizeFor(clientSize));
}

void TSkinnedDialog::SetOuterSize(const QSize& outer) {
    client_->setFixedSize(outer.shrunkBy(oxForm1->ChromeMargins()));
    setFixedSize(outer);
}

void TSkinnedDialog::SkinCaption(const QString& caption, TColor activeGradient) {
    oxForm1->SetCaption(caption);
    oxForm1->SetActiveGradient(activeGradient);
    oxForm1->SetInactiveGradient(clNavy);
    oxForm1->SetActiveTextColor(clWhite);
    oxForm1->SetInactiveTextColor(clSilver);
    oxForm1->SetOptions(oxfActiveGradient | oxfInactiveGradient | oxfShowInTaskbar);
}

ToxButton* TSkinnedDialog::AddCommandButton(const char* name, const QString& caption,
                                            const QRect& geometry) {
    auto* button = new ToxButton(client_);
    button->setObjectName(QLatin1String(name));
    button->setGeometry(geometry);
    button->SetButtonType(ToxButtonType::oxbCommand);
    button->SetCaption(caption);
    button->SetStyle(ToxBtnStyle::bsWin97);
    button->Background().SetStyle(ToxBackgroundStyle::oxbSolid);
    button->Background().SetColor(kHelpButtonColor);
    return button;
}

void TSkinnedDialog::FreeOnClose() {
    setAttribute(Qt::WA_DeleteOnClose);
}

void TSkinnedDialog::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (placed_) return;
    placed_ = true;
    if (const QScreen* s = screen()) move(s->geometry().center() - rect().center());
}

void TSkinnedDialog::closeEvent(QCloseEvent* event) {
    FreeOnClose();
    QDialog::closeEvent(event);
}
