// The desk on phones and tablets: the server follows the model after the
// bank, its paired devices' file sits beside "Config.dat", the command
// line's --remote starts it, "Remote Access…" turns it on and off, and the
// pairing code shows at the right of the menu bar.

#include <cstdio>

#include <QFileInfo>
#include <QLabel>
#include <QMenuBar>
#include <QMessageBox>

#include "app/MainWindow.h"
#include "app/MenuItem.h"
#include "app/RemoteAccessDialog.h"
#include "bank/BankView.h"
#include "persist/Persist.h"
#include "remote/RemoteServer.h"

namespace {
constexpr char REMOTE_DEVICES_FILE[] = "RemoteDevices.json";
}

void TMainWindow::CreateRemote() {
    remote_ = new remote::TRemoteServer(*model_, this);
    connect(model_, &TDeskModel::changed, remote_, &remote::TRemoteServer::Follow);
    RemoteLabel = new QLabel(MenuBar);
    RemoteLabel->setObjectName(QStringLiteral("RemoteLabel"));
    RemoteLabel->hide();
    AddToStatusCorner(RemoteLabel);
    connect(remote_, &remote::TRemoteServer::codeChanged, this, [this] { ShowRemoteState(); });
    connect(remote_, &remote::TRemoteServer::listeningChanged, this, [this] { ShowRemoteState(); });
    connect(remote_, &remote::TRemoteServer::failed, this,
            [this](const QString& message) { TellRemoteFailure(message); });
}

QString TMainWindow::RemoteDevicesPath() const {
    return QFileInfo(PreferenceStore->StoreFilePath()).absolutePath() + QLatin1Char('/') +
           QLatin1String(REMOTE_DEVICES_FILE);
}

void TMainWindow::ShowRemoteLook() {
    remote_->SetLook({ShowDigitsItem->isChecked(), bank_->Palette()});
}

void TMainWindow::StartRemote() {
    if (const QString wrong = remote_->UseDevicesFile(RemoteDevicesPath()); !wrong.isEmpty())
        std::fprintf(stderr, "vantrelle: %s\n", wrong.toLocal8Bit().constData());
    ShowRemoteLook();
    if (!remoteAddress_) return;
    if (const QString failed = remote_->Start(*remoteAddress_); !failed.isEmpty()) {
        std::fprintf(stderr, "vantrelle: %s\n", failed.toLocal8Bit().constData());
        TellRemoteFailure(failed);
    }
}

void TMainWindow::ShowRemoteState() {
    if (!remote_->Running()) {
        RemoteLabel->hide();
        return;
    }
    const auto& a = remote_->Listening();
    RemoteLabel->setToolTip(
        QStringLiteral("Remote access on %1 port %2").arg(a.Address).arg(a.Port));
    RemoteLabel->setText(remote_->NeedsPairing()
                             ? QStringLiteral("Remote code %1").arg(remote_->Pairing().Code())
                             : QStringLiteral("Remote on"));
    RemoteLabel->show();
    // Also on the terminal, for a desk run without a screen in reach.
    if (remote_->NeedsPairing() && remote_->Pairing().Code() != toldCode_) {
        toldCode_ = remote_->Pairing().Code();
        std::fprintf(stderr, "vantrelle: remote access pairing code %s\n",
                     toldCode_.toLatin1().constData());
    }
}

void TMainWindow::TellRemoteFailure(const QString& message) {
    auto* notice = new QMessageBox(QMessageBox::Warning, QLatin1String(MAIN_CAPTION), message,
                                   QMessageBox::Ok, this);
    notice->setObjectName(QStringLiteral("RemoteFailureNotice"));
    notice->setModal(false);
    notice->setAttribute(Qt::WA_DeleteOnClose);
    notice->show();
}

void TMainWindow::ChooseRemoteAccess() {
    TRemoteAccessDialog dialog(*remote_, this);
    dialog.exec();
}
