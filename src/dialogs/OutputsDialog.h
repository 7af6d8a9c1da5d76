#pragma once
// Preferences > "DMX Outputs…": each output's switch and settings. Bad input
// is named in a message and nothing is applied until every field is right.

#include "output/OutputSettings.h"

#include <QDialog>

class QCheckBox;
class QLineEdit;

class TOutputsDialog : public QDialog {
    Q_OBJECT
public:
    explicit TOutputsDialog(const TOutputSettings& settings, QWidget* parent = nullptr);

    // The settings as the form holds them, or the first problem for the user.
    QString Read(TOutputSettings& settings) const;
    // What OK accepted; the starting settings before that.
    const TOutputSettings& Settings() const { return settings_; }

    void accept() override;

private:
    QLineEdit* AddField(const char* name, const QString& text, int width);

    TOutputSettings settings_;
    QCheckBox* hostLink_ = nullptr;
    QCheckBox* sacnOn_ = nullptr;
    QLineEdit* sacnUniverse_ = nullptr;
    QLineEdit* sacnAddress_ = nullptr;
    QLineEdit* sacnPriority_ = nullptr;
    QLineEdit* sacnName_ = nullptr;
    QCheckBox* artOn_ = nullptr;
    QLineEdit* artNet_ = nullptr;
    QLineEdit* artSubNet_ = nullptr;
    QLineEdit* artUniverse_ = nullptr;
    QLineEdit* artAddress_ = nullptr;
    QCheckBox* olaOn_ = nullptr;
    QLineEdit* olaUniverse_ = nullptr;
    QLineEdit* olaPort_ = nullptr;
};
