#pragma once
// The colour dialog and the two file dialogs as components: their settings
// are properties that the preference store can reach by name, and Execute
// shows them modally. Tests answer them through the seams below.

#include <functional>
#include <optional>

#include <QObject>
#include <QStringList>

#include "base/Colors.h"

class QWidget;

class TFileDialog : public QObject {
    Q_OBJECT
    Q_PROPERTY(QString FileName READ FileName WRITE SetFileName)
    Q_PROPERTY(QString InitialDir READ InitialDir WRITE SetInitialDir)
    Q_PROPERTY(QString Filter READ Filter WRITE SetFilter)
    Q_PROPERTY(QString DefaultExt READ DefaultExt WRITE SetDefaultExt)
public:
    enum class Kind { Open, Save };
    TFileDialog(Kind kind, QObject* owner);

    QString FileName() const { return fileName_; }
    void SetFileName(const QString& v) { fileName_ = v; }
    QString InitialDir() const { return initialDir_; }
    void SetInitialDir(const QString& v) { initialDir_ = v; }
    QString Filter() const { return filter_; }
    void SetFilter(const QString& v) { filter_ = v; }
    QString DefaultExt() const { return defaultExt_; }
    void SetDefaultExt(const QString& v) { defaultExt_ = v; }

    // Shows the dialog; true when the user confirmed a file, now in FileName.
    bool Execute(QWidget* parent);

    // Test seam: the next Execute of any file dialog returns this answer
    // (an empty optional = the user cancelled) without showing anything.
    static void QueueAnswer(std::optional<QString> fileName);
    static void ClearAnswers();

private:
    Kind kind_;
    QString fileName_;
    QString initialDir_;
    QString filter_;
    QString defaultExt_;
};

class TColorDialog : public QObject {
    Q_OBJECT
    Q_PROPERTY(QStringList CustomColors READ CustomColors WRITE SetCustomColors)
public:
    explicit TColorDialog(QObject* owner);

    TColor Color() const { return color_; }
    void SetColor(TColor c) { color_ = c; }
    // Lines "ColorA=RRGGBB" … "ColorP=…" as the dialog keeps them.
    QStringList CustomColors() const { return customColors_; }
    void SetCustomColors(const QStringList& v) { customColors_ = v; }

    bool Execute(QWidget* parent);

    // Test seam: the next Execute returns this colour (empty = cancelled).
    static void QueueAnswer(std::optional<TColor> color);
    static void ClearAnswers();

private:
    TColor color_ = clBlack;
    QStringList customColors_;
};
