#include "app/OutputsDialog.h"

#include "base/MessageBox.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QLineEdit>
#include <QVBoxLayout>

namespace {

// A whole decimal number or a message naming the field.
bool ReadInt(const QLineEdit* edit, const QString& label, int& value, QString& error) {
    bool ok = false;
    const int v = edit->text().trimmed().toInt(&ok, 10);
    if (!ok) {
        error = QStringLiteral("%1 must be a whole number.").arg(label);
        return false;
    }
    value = v;
    return true;
}

QGroupBox* Group(const QString& title, QFormLayout*& form) {
    auto* box = new QGroupBox(title);
    form = new QFormLayout(box);
    return box;
}

} // namespace

TOutputsDialog::TOutputsDialog(const TOutputSettings& settings, QWidget* parent)
    : QDialog(parent), m_settings(settings) {
    setWindowTitle(QStringLiteral("DMX Outputs"));
    setObjectName(QStringLiteral("OutputsDialog"));
    auto* layout = new QVBoxLayout(this);

    m_hostLink = new QCheckBox(QStringLiteral("Host program"));
    m_hostLink->setObjectName(QStringLiteral("hostLinkOn"));
    m_hostLink->setChecked(settings.hostLink);
    layout->addWidget(m_hostLink);

    QFormLayout* form = nullptr;
    layout->addWidget(Group(QStringLiteral("sACN (E1.31)"), form));
    m_sacnOn = new QCheckBox(QStringLiteral("On"));
    m_sacnOn->setObjectName(QStringLiteral("sacnOn"));
    m_sacnOn->setChecked(settings.sacn.enabled);
    form->addRow(m_sacnOn);
    m_sacnUniverse = AddField("sacnUniverse", QString::number(settings.sacn.universe), 80);
    form->addRow(QStringLiteral("Universe (1-63999):"), m_sacnUniverse);
    m_sacnAddress = AddField("sacnAddress", QString::fromStdString(settings.sacn.address), 160);
    m_sacnAddress->setPlaceholderText(QStringLiteral("multicast group"));
    form->addRow(QStringLiteral("Destination:"), m_sacnAddress);
    m_sacnPriority = AddField("sacnPriority", QString::number(settings.sacn.priority), 80);
    form->addRow(QStringLiteral("Priority (0-200):"), m_sacnPriority);
    m_sacnName = AddField("sacnName", QString::fromStdString(settings.sacn.sourceName), 160);
    form->addRow(QStringLiteral("Source name:"), m_sacnName);

    layout->addWidget(Group(QStringLiteral("Art-Net"), form));
    m_artOn = new QCheckBox(QStringLiteral("On"));
    m_artOn->setObjectName(QStringLiteral("artnetOn"));
    m_artOn->setChecked(settings.artnet.enabled);
    form->addRow(m_artOn);
    m_artNet = AddField("artnetNet", QString::number(settings.artnet.net), 80);
    form->addRow(QStringLiteral("Net (0-127):"), m_artNet);
    m_artSubNet = AddField("artnetSubNet", QString::number(settings.artnet.subNet), 80);
    form->addRow(QStringLiteral("Sub-net (0-15):"), m_artSubNet);
    m_artUniverse = AddField("artnetUniverse", QString::number(settings.artnet.universe), 80);
    form->addRow(QStringLiteral("Universe (0-15):"), m_artUniverse);
    m_artAddress = AddField("artnetAddress", QString::fromStdString(settings.artnet.address), 160);
    form->addRow(QStringLiteral("Destination:"), m_artAddress);

    layout->addWidget(Group(QStringLiteral("OLA"), form));
    m_olaOn = new QCheckBox(QStringLiteral("On"));
    m_olaOn->setObjectName(QStringLiteral("olaOn"));
    m_olaOn->setChecked(settings.ola.enabled);
    form->addRow(m_olaOn);
    m_olaUniverse = AddField("olaUniverse", QString::number(settings.ola.universe), 80);
    form->addRow(QStringLiteral("olad universe:"), m_olaUniverse);
    m_olaPort = AddField("olaPort", QString::number(settings.ola.port), 80);
    form->addRow(QStringLiteral("olad port on this machine:"), m_olaPort);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    connect(buttons, &QDialogButtonBox::accepted, this, &TOutputsDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &TOutputsDialog::reject);
    layout->addWidget(buttons);
}

QLineEdit* TOutputsDialog::AddField(const char* name, const QString& text, int width) {
    auto* edit = new QLineEdit(text);
    edit->setObjectName(QLatin1String(name));
    edit->setMinimumWidth(width);
    return edit;
}

QString TOutputsDialog::Read(TOutputSettings& settings) const {
    TOutputSettings next = m_settings;
    QString error;
    next.hostLink = m_hostLink->isChecked();
    next.sacn.enabled = m_sacnOn->isChecked();
    next.artnet.enabled = m_artOn->isChecked();
    next.ola.enabled = m_olaOn->isChecked();
    next.sacn.address = m_sacnAddress->text().trimmed().toStdString();
    next.sacn.sourceName = m_sacnName->text().toStdString();
    next.artnet.address = m_artAddress->text().trimmed().toStdString();
    if (!ReadInt(m_sacnUniverse, QStringLiteral("The sACN universe"), next.sacn.universe, error) ||
        !ReadInt(m_sacnPriority, QStringLiteral("The sACN priority"), next.sacn.priority, error) ||
        !ReadInt(m_artNet, QStringLiteral("The Art-Net net"), next.artnet.net, error) ||
        !ReadInt(m_artSubNet, QStringLiteral("The Art-Net sub-net"), next.artnet.subNet, error) ||
        !ReadInt(m_artUniverse, QStringLiteral("The Art-Net universe"), next.artnet.universe,
                 error) ||
        !ReadInt(m_olaUniverse, QStringLiteral("The OLA universe"), next.ola.universe, error) ||
        !ReadInt(m_olaPort, QStringLiteral("The olad port"), next.ola.port, error))
        return error;
    // Even an output that is off must hold settings that would work when turned on.
    const std::string problem = ValidateSettings(next);
    if (!problem.empty()) return QString::fromStdString(problem);
    settings = next;
    return {};
}

void TOutputsDialog::accept() {
    TOutputSettings next;
    const QString error = Read(next);
    if (!error.isEmpty()) {
        ShowMessageBox(this, error, TMsgDlgType::mtError, QMessageBox::Ok);
        return;
    }
    m_settings = next;
    QDialog::accept();
}
