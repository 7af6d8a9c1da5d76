// The main window's view of the host link: the indicator at the end of the
// menu bar and the one notice of a refused host.

#include <QMenuBar>
#include <QMessageBox>

#include "app/LinkIndicator.h"
#include "app/MainWindow.h"
#include "app/StatusCorner.h"

void TMainWindow::CreateLinkIndicator() {
    LinkIndicator = new TLinkIndicator(MenuBar);
    AddToStatusCorner(LinkIndicator);
    ShowLinkStatus(endpoint_->Status());
    // The endpoint may notice a change on a thread of its own.
    endpoint_->SetStatusListener([this](const hostlink::LinkStatus& status) {
        QMetaObject::invokeMethod(
            this, [this, status] { ShowLinkStatus(status); }, Qt::QueuedConnection);
    });
}

void TMainWindow::AddToStatusCorner(QWidget* status) {
    // The host link's and the outputs' states share the menu bar's right end.
    if (statusCorner_ == nullptr) statusCorner_ = new TStatusCorner(MenuBar);
    statusCorner_->Add(status);
}

void TMainWindow::ShowLinkStatus(const hostlink::LinkStatus& status) {
    LinkIndicator->SetStatus(status);
    if (status.State != hostlink::LinkState::Refused) return;
    // Once per place and reason: a refused host is refused again every frame.
    if (!toldRefusals_.insert({status.Path, status.Reason}).second) return;
    auto* notice = new QMessageBox(
        QMessageBox::Warning, QLatin1String(MAIN_CAPTION),
        QStringLiteral("The host at %1 was refused: %2.\nNothing is sent to it.")
            .arg(QString::fromStdString(status.Path), QString::fromStdString(status.Reason)),
        QMessageBox::Ok, this);
    notice->setObjectName(QStringLiteral("HostRefusedNotice"));
    notice->setModal(false);
    notice->setAttribute(Qt::WA_DeleteOnClose);
    notice->show();
}
