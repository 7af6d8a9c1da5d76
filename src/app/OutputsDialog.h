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
    const TOutputSettings& Settings() const { return m_settings; }

    void accept() override;

private:
    QLineEdit* AddField(const char* name, const QString& text, int width);

    TOutputSettings m_settings;
    QCheckBox* m_hostLink = nullptr;
    QCheckBox* m_sacnOn = nullptr;
    QLineEdit* m_sacnUniverse = nullptr;
    QLineEdit* m_sacnAddress = nullptr;
    QLineEdit* m_sacnPriority = nullptr;
    QLineEdit* m_sacnName = nullptr;
    QCheckBox* m_artOn = nullptr;
    QLineEdit* m_artNet = nullptr;
    QLineEdit* m_artSubNet = nullptr;
    QLineEdit* m_artUniverse = nullptr;
    QLineEdit* m_artAddress = nullptr;
    QCheckBox* m_olaOn = nullptr;
    QLineEdit* m_olaUniverse = nullptr;
    QLineEdit* m_olaPort = nullptr;
};
