#pragma once
// "Remote Access…": turns the server for phones and tablets on or off, says
// where it listens, shows the pairing code and lists the paired devices,
// each of which can be revoked. Changes take effect at once.

#include <QDialog>

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTreeWidget;

namespace remote {
class TRemoteServer;
}

class TRemoteAccessDialog : public QDialog {
    Q_OBJECT
public:
    TRemoteAccessDialog(remote::TRemoteServer& server, QWidget* parent = nullptr);

    QCheckBox* OnBox = nullptr;
    QLineEdit* AddressEdit = nullptr;
    QLabel* StateLabel = nullptr;
    QLabel* CodeLabel = nullptr;
    QTreeWidget* DeviceList = nullptr;
    QPushButton* RevokeButton = nullptr;

    // Starts or stops the server as the box and the address say.
    void Apply();
    void RevokeSelected();

private:
    void ShowState();
    void ShowDevices();

    remote::TRemoteServer& server_;
};
