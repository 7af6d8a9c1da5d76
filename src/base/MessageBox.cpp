#include "base/MessageBox.h"

#include "base/AnswerQueue.h"

#include <QApplication>

namespace {

TAnswerQueue<QMessageBox::StandardButton>& Answers() {
    static TAnswerQueue<QMessageBox::StandardButton> answers;
    return answers;
}

bool g_requireQueuedAnswers = false;

MessageBoxObserver& Observer() {
    static MessageBoxObserver observer;
    return observer;
}

QMessageBox::Icon IconOf(TMsgDlgType type) {
    switch (type) {
    case TMsgDlgType::mtWarning:
        return QMessageBox::Warning;
    case TMsgDlgType::mtError:
        return QMessageBox::Critical;
    case TMsgDlgType::mtInformation:
        return QMessageBox::Information;
    case TMsgDlgType::mtConfirmation:
        return QMessageBox::Question;
    }
    return QMessageBox::NoIcon;
}

QString TitleOf(TMsgDlgType type) {
    switch (type) {
    case TMsgDlgType::mtWarning:
        return QStringLiteral("Warning");
    case TMsgDlgType::mtError:
        return QStringLiteral("Error");
    case TMsgDlgType::mtInformation:
        return QStringLiteral("Information");
    case TMsgDlgType::mtConfirmation:
        return QStringLiteral("Confirm");
    }
    return {};
}

} // namespace

QMessageBox::StandardButton ShowMessageBox(QWidget* parent, const QString& text, TMsgDlgType type,
                                           QMessageBox::StandardButtons buttons) {
    if (Observer()) Observer()(text, type);
    if (const auto answer = Answers().Take()) return *answer;
    if (g_requireQueuedAnswers) qFatal("unanswered message box: %s", qPrintable(text));
    QMessageBox box(IconOf(type), TitleOf(type), text, buttons, parent);
    box.setObjectName(QStringLiteral("MessageBox"));
    return static_cast<QMessageBox::StandardButton>(box.exec());
}

void QueueMessageBoxAnswer(QMessageBox::StandardButton answer) {
    Answers().Push(answer);
}
void ClearMessageBoxAnswers() {
    Answers().Clear();
}
void RequireQueuedAnswers(bool on) {
    g_requireQueuedAnswers = on;
}
bool QueuedAnswersRequired() {
    return g_requireQueuedAnswers;
}
void SetMessageBoxObserver(MessageBoxObserver observer) {
    Observer() = std::move(observer);
}
