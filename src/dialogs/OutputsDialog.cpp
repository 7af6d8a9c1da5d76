#include "dialogs/OutputsDialog.h"

#include "base/MessageBox.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QLineEdit>
#include <QVBoxLayout>

namespace {

// A whole decimal number or a message naming the field. One too large
// still reads, so that the field's range check names the range.
bool ReadInt(const QLineEdit* edit, const QString& label, int& value, QString& error) {
    if (!ParseWholeNumber(edit->text().trimmed().toStdString(), value)) {
        error = QStringLiteral("%1 must be a whole number.").arg(label);
        return false;
    }
    return true;
}

QGroupBox* Group(const QString& title, QFormLayout*& form) {
    auto* box = new QGroupBox(title);
    form = new QFormLayout(box);
    return box;
}

} // namespace

TOutputsDialog::TOutputsDialog(const TOutputSettings& settings, QWidget* parent)
    : QDialog(parent), settings_(settings) {
    setWindowTitle(QStringLiteral("DMX Outputs"));
    setObjectName(QStringLiteral("OutputsDialog"));
    auto* layout = new QVBoxLayout(this);

    hostLink_ = new QCheckBox(QStringLiteral("Host program"));
    hostLink_->setObjectName(QStringLiteral("hostLinkOn"));
    hostLink_->setChecked(settings.hostLink);
    layout->addWidget(hostLink_);

    QFormLayout* form = nullptr;
    layout->addWidget(Group(QStringLiteral("sACN (E1.31)"), form));
    sacnOn_ = new QCheckBox(QStringLiteral("On"));
    sacnOn_->setObjectName(QStringLiteral("sacnOn"));
    sacnOn_->setChecked(settings.sacn.enabled);
    form->addRow(sacnOn_);
    sacnUniverse_ = AddField("sacnUniverse", QString::number(settings.sacn.universe), 80);
    form->addRow(QStringLiteral("Universe (1-63999):"), sacnUniverse_);
    sacnAddress_ = AddField("sacnAddress", QString::fromStdString(settings.sacn.address), 160);
    sacnAddress_->setPlaceholderText(QStringLiteral("multicast group"));
    form->addRow(QStringLiteral("Destination:"), sacnAddress_);
    sacnPriority_ = AddField("sacnPriority", QString::number(settings.sacn.priority), 80);
    form->addRow(QStringLiteral("Priority (0-200):"), sacnPriority_);
    sacnName_ = AddField("sacnName", QString::fromStdString(settings.sacn.sourceName), 160);
    form->addRow(QStringLiteral("Source name:"), sacnName_);

    layout->addWidget(Group(QStringLiteral("Art-Net"), form));
    artOn_ = new QCheckBox(QStringLiteral("On"));
    artOn_->setObjectName(QStringLiteral("artnetOn"));
    artOn_->setChecked(settings.artnet.enabled);
    form->addRow(artOn_);
    artNet_ = AddField("artnetNet", QString::number(settings.artnet.net), 80);
    form->addRow(QStringLiteral("Net (0-127):"), artNet_);
    artSubNet_ = AddField("artnetSubNet", QString::number(settings.artnet.subNet), 80);
    form->addRow(QStringLiteral("Sub-net (0-15):"), artSubNet_);
    artUniverse_ = AddField("artnetUniverse", QString::number(settings.artnet.universe), 80);
    form->addRow(QStringLiteral("Universe (0-15):"), artUniverse_);
    artAddress_ = AddField("artnetAddress", QString::fromStdString(settings.artnet.address), 160);
    form->addRow(QStringLiteral("Destination:"), artAddress_);

    layout->addWidget(Group(QStringLiteral("OLA"), form));
    olaOn_ = new QCheckBox(QStringLiteral("On"));
    olaOn_->setObjectName(QStringLiteral("olaOn"));
    olaOn_->setChecked(settings.ola.enabled);
    form->addRow(olaOn_);
    olaUniverse_ = AddField("olaUniverse", QString::number(settings.ola.universe), 80);
    form->addRow(QStringLiteral("olad universe:"), olaUniverse_);
    olaPort_ = AddField("olaPort", QString::number(settings.ola.port), 80);
    form->addRow(QStringLiteral("olad port on this machine:"), olaPort_);

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
    TOutputSettings next = settings_;
    QString error;
    next.hostLink = hostLink_->isChecked();
    next.sacn.enabled = sacnOn_->isChecked();
    next.artnet.enabled = artOn_->isChecked();
    next.ola.enabled = olaOn_->isChecked();
    next.sacn.address = sacnAddress_->text().trimmed().toStdString();
    next.sacn.sourceName = sacnName_->text().toStdString();
    next.artnet.address = artAddress_->text().trimmed().toStdString();
    if (!ReadInt(sacnUniverse_, QStringLiteral("The sACN universe"), next.sacn.universe, error) ||
        !ReadInt(sacnPriority_, QStringLiteral("The sACN priority"), next.sacn.priority, error) ||
        !ReadInt(artNet_, QStringLiteral("The Art-Net net"), next.artnet.net, error) ||
        !ReadInt(artSubNet_, QStringLiteral("The Art-Net sub-net"), next.artnet.subNet, error) ||
        !ReadInt(artUniverse_, QStringLiteral("The Art-Net universe"), next.artnet.universe,
                 error) ||
        !ReadInt(olaUniverse_, QStringLiteral("The OLA universe"), next.ola.universe, error) ||
        !ReadInt(olaPort_, QStringLiteral("The olad port"), next.ola.port, error))
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
    settings_ = next;
    QDialog::accept();
}
