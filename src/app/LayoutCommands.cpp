#include "app/LayoutCommands.h"

#include <memory>

#include <QDir>
#include <QFileInfo>
#include <QWidget>

#include "base/CommonDialogs.h"
#include "base/MessageBox.h"
#include "core/FileResult.h"
#include "layoutfile/LayoutFile.h"

TLayoutCommands::TLayoutCommands(TParts parts) : model_(*parts.Model), parts_(std::move(parts)) {}

void TLayoutCommands::Write() {
    model_.MarkSaved();
    if (const TFileResult<> written = WriteLayoutFile(fileName_, model_.Table()); !written)
        ShowMessageBox(parts_.Window, written.Error().Message() + QLatin1String(CANNOT_SAVE_FILE),
                       TMsgDlgType::mtError, QMessageBox::Ok);
}

bool TLayoutCommands::Read(TChannelTable& table) {
    const TFileResult<TLayoutRead> read = ReadLayoutFile(fileName_, table);
    if (!read) {
        ShowMessageBox(parts_.Window, read.Error().Message() + QLatin1String(CANNOT_OPEN_FILE),
                       TMsgDlgType::mtWarning, QMessageBox::Ok);
        return false;
    }
    if (read.Value() == TLayoutRead::Read)
        parts_.Window->setWindowTitle(LayoutCaption(parts_.BaseCaption, fileName_));
    return true;
}

void TLayoutCommands::New() {
    const TStepScope step(model_, QStringLiteral("New"));
    fileName_.clear();
    parts_.Window->setWindowTitle(parts_.BaseCaption + QLatin1Char(' '));
    model_.NewLayout(parts_.Focus());
}

void TLayoutCommands::Open() {
    parts_.OpenDialog->SetInitialDir(QDir::currentPath());
    const QString previousChoice = parts_.OpenDialog->FileName();
    if (!parts_.OpenDialog->Execute(parts_.Window)) return;
    const TStepScope step(model_, QStringLiteral("Open"));
    // A file that cannot be read changes nothing: the table, the faders, the
    // page buttons and the host's levels stay as they are.
    auto table = std::make_unique<TChannelTable>(model_.Table());
    if (!ReadFrom(parts_.OpenDialog->FileName(), *table)) {
        parts_.OpenDialog->SetFileName(previousChoice);
        return;
    }
    model_.LoadLayout(*table, parts_.Focus());
}

void TLayoutCommands::TakeBackFileName(const QString& name) {
    fileName_ = name;
    parts_.OpenDialog->SetFileName(name);
    parts_.Window->setWindowTitle(name.isEmpty() ? parts_.BaseCaption + QLatin1Char(' ')
                                                 : LayoutCaption(parts_.BaseCaption, name));
}

bool TLayoutCommands::OpenAtStart(const QString& path, TChannelTable& table) {
    const QString file = QFileInfo(path).absoluteFilePath();
    // The Open dialog lets only an existing file through; a name given from
    // outside may name none, which is said as a reader's failure would be.
    if (!QFileInfo::exists(file)) {
        const TFileError missing(file, QStringLiteral("Cannot open file \"%1\"."),
                                 QStringLiteral("No such file or directory"));
        ShowMessageBox(parts_.Window, missing.Message() + QLatin1String(CANNOT_OPEN_FILE),
                       TMsgDlgType::mtWarning, QMessageBox::Ok);
        return false;
    }
    if (!ReadFrom(file, table)) return false;
    // As chosen in the Open dialog: offered there next, reopened at the next start.
    parts_.OpenDialog->SetFileName(file);
    return true;
}

bool TLayoutCommands::ReadFrom(const QString& path, TChannelTable& table) {
    const QString previous = fileName_;
    fileName_ = path;
    if (Read(table)) return true;
    fileName_ = previous;
    return false;
}

void TLayoutCommands::Save() {
    if (!fileName_.isEmpty() && QFileInfo(fileName_).isFile()) {
        Write();
        return;
    }
    SaveAs();
}

void TLayoutCommands::SaveAs() {
    parts_.SaveDialog->SetInitialDir(parts_.OpenDialog->InitialDir());
    if (!parts_.SaveDialog->Execute(parts_.Window)) return;
    fileName_ = parts_.SaveDialog->FileName();
    parts_.OpenDialog->SetFileName(fileName_);
    Write();
    parts_.Window->setWindowTitle(LayoutCaption(parts_.BaseCaption, fileName_));
}
