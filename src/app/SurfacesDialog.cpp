#include "app/SurfacesDialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>
#include <algorithm>

#include "base/MessageBox.h"
#include "surfaceio/MidiPort.h"

namespace {

QString FromStd(const std::string& text) {
    return QString::fromStdString(text);
}

QComboBox* PortBox(const char* name, const std::string& text, QWidget* parent) {
    auto* box = new QComboBox(parent);
    box->setObjectName(QLatin1String(name));
    box->setEditable(true); // a part of a name, for a device not plugged in yet
    box->setMinimumWidth(240);
    box->setEditText(FromStd(text));
    return box;
}

} // namespace

TSurfacesDialog::TSurfacesDialog(const TSurfaceSettings& settings, const QStringList& profiles,
                                 QWidget* parent)
    : QDialog(parent), settings_(settings) {
    setObjectName(QStringLiteral("SurfacesDialog"));
    setWindowTitle(QStringLiteral("Control Surfaces"));
    auto* layout = new QVBoxLayout(this);

    auto* midi = new QGroupBox(QStringLiteral("MIDI surface"), this);
    auto* midiForm = new QFormLayout(midi);
    midiOn_ = new QCheckBox(QStringLiteral("&Use a MIDI control surface"), midi);
    midiOn_->setObjectName(QStringLiteral("MidiOn"));
    midiOn_->setChecked(settings.MidiEnabled);
    midiForm->addRow(midiOn_);
    api_ = new QComboBox(midi);
    api_->setObjectName(QStringLiteral("MidiApi"));
    api_->addItem(QStringLiteral("JACK"), QStringLiteral("jack"));
    api_->addItem(QStringLiteral("ALSA sequencer"), QStringLiteral("alsa"));
    api_->setCurrentIndex(settings.MidiApi == TMidiApi::Alsa ? 1 : 0);
    midiForm->addRow(QStringLiteral("&API:"), api_);
    apiState_ = new QLabel(midi);
    apiState_->setObjectName(QStringLiteral("MidiApiState"));
    apiState_->setWordWrap(true);
    midiForm->addRow(QString(), apiState_);
    input_ = PortBox("MidiInput", settings.MidiInput, midi);
    midiForm->addRow(QStringLiteral("&Input port:"), input_);
    output_ = PortBox("MidiOutput", settings.MidiOutput, midi);
    output_->setToolTip(QStringLiteral("Empty: the output port whose name holds the input's"));
    midiForm->addRow(QStringLiteral("&Feedback port:"), output_);
    profile_ = new QComboBox(midi);
    profile_->setObjectName(QStringLiteral("MidiProfile"));
    profile_->addItem(QStringLiteral("Generic (CC 0-31, notes 0-47)"), QString());
    for (const QString& name : profiles)
        if (name != QLatin1String("generic.profile")) profile_->addItem(name, name);
    profile_->setCurrentIndex(std::max(0, profile_->findData(FromStd(settings.Profile))));
    midiForm->addRow(QStringLiteral("P&rofile:"), profile_);
    auto* refresh = new QPushButton(QStringLiteral("R&efresh ports"), midi);
    refresh->setObjectName(QStringLiteral("RefreshPorts"));
    midiForm->addRow(QString(), refresh);
    layout->addWidget(midi);

    auto* osc = new QGroupBox(QStringLiteral("OSC"), this);
    auto* oscForm = new QFormLayout(osc);
    oscOn_ = new QCheckBox(QStringLiteral("&Listen for OSC over UDP"), osc);
    oscOn_->setObjectName(QStringLiteral("OscOn"));
    oscOn_->setChecked(settings.OscEnabled);
    oscForm->addRow(oscOn_);
    oscAddress_ = new QLineEdit(FromStd(settings.OscAddress), osc);
    oscAddress_->setObjectName(QStringLiteral("OscAddress"));
    oscAddress_->setToolTip(QStringLiteral("127.0.0.1 hears this machine only; another address "
                                           "lets other machines move the desk"));
    oscForm->addRow(QStringLiteral("Liste&n on:"), oscAddress_);
    oscPort_ = new QLineEdit(QString::number(settings.OscPort), osc);
    oscPort_->setObjectName(QStringLiteral("OscPort"));
    oscForm->addRow(QStringLiteral("&Port:"), oscPort_);
    oscFeedback_ = new QLineEdit(FromStd(settings.OscFeedback), osc);
    oscFeedback_->setObjectName(QStringLiteral("OscFeedback"));
    oscFeedback_->setPlaceholderText(QStringLiteral("ADDRESS:PORT (optional)"));
    oscForm->addRow(QStringLiteral("Also &send to:"), oscFeedback_);
    layout->addWidget(osc);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    layout->addWidget(buttons);
    connect(buttons, &QDialogButtonBox::accepted, this, &TSurfacesDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &TSurfacesDialog::reject);
    connect(refresh, &QPushButton::clicked, this, &TSurfacesDialog::RefreshPorts);
    connect(api_, &QComboBox::currentIndexChanged, this, &TSurfacesDialog::RefreshPorts);
    RefreshPorts();
}

void TSurfacesDialog::RefreshPorts() {
    const TMidiApi api =
        api_->currentData().toString() == QLatin1String("alsa") ? TMidiApi::Alsa : TMidiApi::Jack;
    std::string error;
    const auto inputs = TMidiPort::PortNames(api, true, &error);
    const auto outputs =
        error.empty() ? TMidiPort::PortNames(api, false, &error) : std::vector<std::string>{};
    apiState_->setText(error.empty() ? QStringLiteral("Input ports: %1, output ports: %2")
                                           .arg(inputs.size())
                                           .arg(outputs.size())
                                     : FromStd(error));
    for (auto [box, names] : {std::pair{input_, &inputs}, std::pair{output_, &outputs}}) {
        const QString kept = box->currentText();
        box->clear();
        for (const auto& name : *names)
            box->addItem(FromStd(name));
        box->setEditText(kept);
    }
}

QString TSurfacesDialog::Read(TSurfaceSettings& settings) const {
    TSurfaceSettings next = settings_;
    next.MidiEnabled = midiOn_->isChecked();
    next.MidiApi =
        api_->currentData().toString() == QLatin1String("alsa") ? TMidiApi::Alsa : TMidiApi::Jack;
    next.MidiInput = input_->currentText().trimmed().toStdString();
    next.MidiOutput = output_->currentText().trimmed().toStdString();
    next.Profile = profile_->currentData().toString().toStdString();
    if (next.MidiEnabled && next.MidiInput.empty())
        return QStringLiteral("Name the MIDI input port (a part of its name is enough).");
    next.OscEnabled = oscOn_->isChecked();
    std::string address;
    int port = 0;
    const QString hostPort =
        oscAddress_->text().trimmed() + QLatin1Char(':') + oscPort_->text().trimmed();
    if (!ParseHostPort(hostPort.toStdString(), address, port))
        return QStringLiteral("OSC needs an IPv4 address to listen on and a port from 1 to 65535.");
    next.OscAddress = address;
    next.OscPort = port;
    next.OscFeedback = oscFeedback_->text().trimmed().toStdString();
    if (!next.OscFeedback.empty() && !ParseHostPort(next.OscFeedback, address, port))
        return QStringLiteral("The OSC feedback address must be ADDRESS:PORT, e.g. "
                              "127.0.0.1:9001.");
    // The file holds one line a key: a name with a line break would break it.
    for (const std::string* text : {&next.MidiInput, &next.MidiOutput})
        if (text->find_first_of("\r\n") != std::string::npos || text->size() > 200)
            return QStringLiteral("A MIDI port name must be one line of at most 200 characters.");
    settings = next;
    return {};
}

void TSurfacesDialog::accept() {
    TSurfaceSettings next;
    if (const QString problem = Read(next); !problem.isEmpty()) {
        ShowMessageBox(this, problem, TMsgDlgType::mtError, QMessageBox::Ok);
        return;
    }
    settings_ = next;
    QDialog::accept();
}
