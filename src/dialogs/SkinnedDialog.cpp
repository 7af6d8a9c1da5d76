#include "dialogs/SkinnedDialog.h"

#include <QCloseEvent>
#include <QScreen>
#include <QVBoxLayout>

#include "widgets/Colors.h"

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

void TSkinnedDialog::SkinCaption(const QString& caption, TColor activeGradient) {
    oxForm1->SetCaption(caption);
    oxForm1->SetActiveGradient(activeGradient);
    oxForm1->SetInactiveGradient(clNavy);
    oxForm1->SetActiveTextColor(clWhite);
    oxForm1->SetInactiveTextColor(clSilver);
    oxForm1->SetOptions(oxfActiveGradient | oxfInactiveGradient | oxfShowInTaskbar);
}

void TSkinnedDialog::FormClose() {
    setAttribute(Qt::WA_DeleteOnClose);
}

void TSkinnedDialog::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (placed_) return;
    placed_ = true;
    if (const QScreen* s = screen()) move(s->geometry().center() - rect().center());
}

void TSkinnedDialog::closeEvent(QCloseEvent* event) {
    FormClose();
    QDialog::closeEvent(event);
}
