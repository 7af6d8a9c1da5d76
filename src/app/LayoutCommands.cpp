#include "app/LayoutCommands.h"

#include <memory>

#include <QDir>
#include <QFileInfo>
#include <QWidget>

#include "base/CommonDialogs.h"
#include "base/MessageBox.h"
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
    const QString previous = fileName_;
    fileName_ = parts_.OpenDialog->FileName();
    auto table = std::make_unique<TChannelTable>(model_.Table());
    if (!Read(*table)) {
        fileName_ = previous;
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
