#include "base/CommonDialogs.h"

#include "base/AnswerQueue.h"
#include "base/MessageBox.h"

#include <QColorDialog>
#include <QFileDialog>
#include <QSettings>
#include <QStandardPaths>

namespace {

// A queued answer is a value, or nothing for a cancel.
TAnswerQueue<std::optional<QString>>& FileAnswers() {
    static TAnswerQueue<std::optional<QString>> answers;
    return answers;
}

TAnswerQueue<std::optional<TColor>>& ColorAnswers() {
    static TAnswerQueue<std::optional<TColor>> answers;
    return answers;
}

// What Execute returns for a queued answer, whose value goes to `value`;
// nothing when no answer is queued and the dialog is to be shown.
template <typename T>
std::optional<bool> TakeQueuedAnswer(TAnswerQueue<std::optional<T>>& answers, T& value) {
    const std::optional<std::optional<T>> answer = answers.Take();
    if (!answer) return std::nullopt;
    if (!*answer) return false;
    value = **answer;
    return true;
}

// "Vantrelle File|*.HXI" → "Vantrelle File (*.HXI)"; pairs separated by '|'.
QString QtFilterOf(const QString& filter) {
    const QStringList parts = filter.split(QLatin1Char('|'));
    QStringList filters;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2)
        filters << parts[i] + QStringLiteral(" (") + QString(parts[i + 1]).replace(';', ' ') + ')';
    return filters.join(QStringLiteral(";;"));
}

constexpr int kCustomColorCount = 16;
constexpr TColor kMissingCustomColor = clWhite;

// Qt's colour dialog reads its custom colours from the per-user settings of
// every Qt program at first use and writes them back when a dialog closes.
// While one of these exists, the per-user settings live in a place where no
// file can be (a path below a device), so nothing is read or written there.
class QtUserSettingsWithheld {
public:
    QtUserSettingsWithheld() { Redirect(QStringLiteral("/dev/null")); }
    ~QtUserSettingsWithheld() {
        Redirect(QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation));
    }
    QtUserSettingsWithheld(const QtUserSettingsWithheld&) = delete;
    QtUserSettingsWithheld& operator=(const QtUserSettingsWithheld&) = delete;

private:
    static void Redirect(const QString& path) {
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, path);
        QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, path);
    }
};

// The stored slot i of lines "ColorA=BBGGRR" … "ColorP=…", or white.
TColor StoredCustomColor(const QStringList& lines, int i) {
    const QString key = QStringLiteral("Color%1=").arg(QChar('A' + i));
    TColor color = kMissingCustomColor;
    for (const QString& line : lines) {
        if (!line.startsWith(key, Qt::CaseInsensitive)) continue;
        bool ok = false;
        const uint value = line.mid(key.size()).toUInt(&ok, 16);
        if (ok && value <= 0xFFFFFFu) color = static_cast<TColor>(value);
    }
    return color;
}

} // namespace

TFileDialog::TFileDialog(Kind kind, QObject* owner) : QObject(owner), kind_(kind) {}

void TFileDialog::QueueAnswer(std::optional<QString> fileName) {
    FileAnswers().Push(std::move(fileName));
}
void TFileDialog::ClearAnswers() {
    FileAnswers().Clear();
}

bool TFileDialog::Execute(QWidget* parent) {
    if (const std::optional<bool> queued = TakeQueuedAnswer(FileAnswers(), fileName_))
        return *queued;
    if (QueuedAnswersRequired()) qFatal("unanswered file dialog");
    QFileDialog dialog(parent);
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setOption(QFileDialog::ReadOnly, false);
    dialog.setAcceptMode(kind_ == Kind::Open ? QFileDialog::AcceptOpen : QFileDialog::AcceptSave);
    dialog.setFileMode(kind_ == Kind::Open ? QFileDialog::ExistingFile : QFileDialog::AnyFile);
    dialog.setNameFilter(QtFilterOf(filter_));
    dialog.setDefaultSuffix(defaultExt_);
    if (!initialDir_.isEmpty()) dialog.setDirectory(initialDir_);
    if (!fileName_.isEmpty()) dialog.selectFile(fileName_);
    dialog.setSizeGripEnabled(true);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return false;
    fileName_ = dialog.selectedFiles().constFirst();
    return true;
}

TColorDialog::TColorDialog(QObject* owner) : QObject(owner) {}

void TColorDialog::QueueAnswer(std::optional<TColor> color) {
    ColorAnswers().Push(color);
}
void TColorDialog::ClearAnswers() {
    ColorAnswers().Clear();
}

bool TColorDialog::Execute(QWidget* parent) {
    if (const std::optional<bool> queued = TakeQueuedAnswer(ColorAnswers(), color_)) return *queued;
    if (QueuedAnswersRequired()) qFatal("unanswered colour dialog");
    // The dialog shows exactly the stored custom colours, and they go back
    // to the lines "ColorA=BBGGRR" … "ColorP=…".
    const QtUserSettingsWithheld withheld;
    for (int i = 0; i < kCustomColorCount; ++i)
        QColorDialog::setCustomColor(i, ToQColor(StoredCustomColor(customColors_, i)));
    bool accepted = false;
    QColor selected;
    {
        QColorDialog dialog(ToQColor(color_), parent);
        dialog.setOption(QColorDialog::DontUseNativeDialog);
        accepted = dialog.exec() == QDialog::Accepted;
        selected = dialog.selectedColor();
    } // Qt writes its custom colours here, while they are withheld.
    QStringList lines;
    for (int i = 0; i < kCustomColorCount; ++i) {
        const TColor c = FromQColor(QColorDialog::customColor(i));
        const QString hex = QString::number(static_cast<uint>(c), 16).toUpper();
        lines << QStringLiteral("Color%1=%2").arg(QChar('A' + i)).arg(hex.rightJustified(6, '0'));
    }
    customColors_ = lines;
    if (accepted) color_ = FromQColor(selected);
    return accepted;
}
