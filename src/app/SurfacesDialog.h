#pragma once
// Preferences > "Control Surfaces…": the MIDI surface (API, ports, profile)
// and OSC (address, port, feedback address). The port lists are read when
// the dialog opens and on "Refresh"; an API that cannot be reached is named
// in words. Bad input is named in a message and nothing is applied until
// every field is right.

#include <QDialog>
#include <QStringList>

#include "surfaces/SurfaceSettings.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;

class TSurfacesDialog : public QDialog {
    Q_OBJECT
public:
    TSurfacesDialog(const TSurfaceSettings& settings, const QStringList& profiles,
                    QWidget* parent = nullptr);

    // The settings as the form holds them, or the first problem for the user.
    QString Read(TSurfaceSettings& settings) const;
    const TSurfaceSettings& Settings() const { return settings_; }
    void accept() override;
    // Reads the ports the chosen API offers now.
    void RefreshPorts();

private:
    TSurfaceSettings settings_;
    QCheckBox* midiOn_ = nullptr;
    QComboBox* api_ = nullptr;
    QComboBox* input_ = nullptr;
    QComboBox* output_ = nullptr;
    QComboBox* profile_ = nullptr;
    QLabel* apiState_ = nullptr;
    QCheckBox* oscOn_ = nullptr;
    QLineEdit* oscAddress_ = nullptr;
    QLineEdit* oscPort_ = nullptr;
    QLineEdit* oscFeedback_ = nullptr;
};
