#pragma once
// Every modal message box of the program goes through here, so that tests can
// answer it without a person.

#include <functional>
#include <optional>

#include <QMessageBox>
#include <QString>

class QWidget;

enum class TMsgDlgType { mtWarning, mtError, mtInformation, mtConfirmation };

// Shows a modal box with the given buttons and returns the button chosen.
QMessageBox::StandardButton ShowMessageBox(QWidget* parent, const QString& text, TMsgDlgType type,
                                           QMessageBox::StandardButtons buttons);

// Test seams. A queued answer is taken by the next box instead of showing it;
// the observer sees the text and type of every box, shown or answered.
void QueueMessageBoxAnswer(QMessageBox::StandardButton answer);
void ClearMessageBoxAnswers();
// With this on, a box or file/colour dialog that finds no queued answer
// aborts the program instead of waiting for a person: tests cannot hang.
void RequireQueuedAnswers(bool on);
bool QueuedAnswersRequired();
using MessageBoxObserver = std::function<void(const QString& text, TMsgDlgType type)>;
void SetMessageBoxObserver(MessageBoxObserver observer);
