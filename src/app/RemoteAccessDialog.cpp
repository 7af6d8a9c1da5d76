#include "app/RemoteAccessDialog.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "remote/RemoteServer.h"

TRemoteAccessDialog::TRemoteAccessDialog(remote::TRemoteServer& server, QWidget* parent)
    : QDialog(parent), server_(server) {
    setObjectName(QStringLiteral("RemoteAccessDialog"));
    setWindowTitle(QStringLiteral("Remote Access"));
    auto* layout = new QVBoxLayout(this);
    auto* form = new QFormLayout;
    OnBox = new QCheckBox(QStringLiteral("&Serve the desk to phones and tablets"), this);
    OnBox->setChecked(server_.Running());
    AddressEdit = new QLineEdit(this);
    AddressEdit->setPlaceholderText(QStringLiteral("[ADDRESS:]PORT"));
    if (server_.Running()) {
        const auto& a = server_.Listening();
        AddressEdit->setText(a.Address + QLatin1Char(':') + QString::number(a.Port));
    } else {
        AddressEdit->setText(QStringLiteral("127.0.0.1:8080"));
    }
    auto* apply = new QPushButton(QStringLiteral("&Apply"), this);
    StateLabel = new QLabel(this);
    StateLabel->setWordWrap(true);
    StateLabel->setTextInteractionFlags(Qt::TextSelectableByMouse);
    CodeLabel = new QLabel(this);
    CodeLabel->setObjectName(QStringLiteral("RemoteCode"));
    QFont big = CodeLabel->font();
    big.setPixelSize(24);
    big.setBold(true);
    CodeLabel->setFont(big);
    form->addRow(OnBox);
    form->addRow(QStringLiteral("A&ddress:"), AddressEdit);
    form->addRow(QString(), apply);
    form->addRow(StateLabel);
    form->addRow(QStringLiteral("Pairing code:"), CodeLabel);
    layout->addLayout(form);
    auto* listLabel = new QLabel(QStringLiteral("&Paired devices:"), this);
    layout->addWidget(listLabel);
    DeviceList = new QTreeWidget(this);
    listLabel->setBuddy(DeviceList);
    DeviceList->setRootIsDecorated(false);
    DeviceList->setHeaderLabels(
        {QStringLiteral("Device"), QStringLiteral("Paired"), QStringLiteral("Id")});
    DeviceList->header()->setStretchLastSection(false);
    DeviceList->header()->setSectionResizeMode(0, QHeaderView::Stretch);
    layout->addWidget(DeviceList);
    RevokeButton = new QPushButton(QStringLiteral("&Revoke"), this);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    buttons->addButton(RevokeButton, QDialogButtonBox::ActionRole);
    layout->addWidget(buttons);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(apply, &QPushButton::clicked, this, &TRemoteAccessDialog::Apply);
    connect(RevokeButton, &QPushButton::clicked, this, &TRemoteAccessDialog::RevokeSelected);
    connect(DeviceList, &QTreeWidget::currentItemChanged, this,
            [this] { RevokeButton->setEnabled(DeviceList->currentItem() != nullptr); });
    connect(&server_, &remote::TRemoteServer::devicesChanged, this,
            &TRemoteAccessDialog::ShowDevices);
    connect(&server_, &remote::TRemoteServer::codeChanged, this, &TRemoteAccessDialog::ShowState);
    connect(&server_, &remote::TRemoteServer::listeningChanged, this,
            &TRemoteAccessDialog::ShowState);
    ShowState();
    ShowDevices();
    resize(440, 380);
}

void TRemoteAccessDialog::Apply() {
    if (!OnBox->isChecked()) {
        server_.Stop();
        ShowState();
        return;
    }
    remote::TListenAddress address;
    if (const QString wrong = remote::ParseListenAddress(AddressEdit->text().trimmed(), address);
        !wrong.isEmpty()) {
        StateLabel->setText(QStringLiteral("Not started: ") + wrong + QLatin1Char('.'));
        return;
    }
    if (const QString failed = server_.Start(address); !failed.isEmpty()) {
        StateLabel->setText(failed);
        return;
    }
    ShowState();
}

void TRemoteAccessDialog::ShowState() {
    if (!server_.Running()) {
        StateLabel->setText(QStringLiteral("Off: the desk listens on no network port."));
        CodeLabel->setText(QStringLiteral("–"));
        return;
    }
    const auto& a = server_.Listening();
    const QString host = a.Address.contains(QLatin1Char(':'))
                             ? QLatin1Char('[') + a.Address + QLatin1Char(']')
                             : a.Address;
    StateLabel->setText(QStringLiteral("On: open http://%1:%2/ on the phone or tablet.%3")
                            .arg(host)
                            .arg(a.Port)
                            .arg(server_.NeedsPairing()
                                     ? QStringLiteral(" A device from another machine pairs once "
                                                      "with the code below.")
                                     : QStringLiteral(" Only this machine can reach it.")));
    CodeLabel->setText(server_.NeedsPairing() ? server_.Pairing().Code() : QStringLiteral("–"));
}

void TRemoteAccessDialog::ShowDevices() {
    DeviceList->clear();
    for (const remote::TPairedDevice& d : server_.Pairing().Devices()) {
        auto* item = new QTreeWidgetItem(
            DeviceList,
            {d.Name.isEmpty() ? QStringLiteral("(unnamed)") : d.Name, d.PairedAt, d.Id});
        item->setData(0, Qt::UserRole, d.Id);
    }
    RevokeButton->setEnabled(DeviceList->currentItem() != nullptr);
}

void TRemoteAccessDialog::RevokeSelected() {
    // Ids first: each revocation redraws the list.
    QStringList ids;
    for (const QTreeWidgetItem* item : DeviceList->selectedItems())
        ids << item->data(0, Qt::UserRole).toString();
    // The row the keyboard stands on, when none is selected.
    if (ids.isEmpty() && DeviceList->currentItem() != nullptr)
        ids << DeviceList->currentItem()->data(0, Qt::UserRole).toString();
    for (const QString& id : ids)
        server_.Revoke(id);
}
