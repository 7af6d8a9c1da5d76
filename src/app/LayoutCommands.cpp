#include "app/LayoutCommands.h"

#include <QDir>
#include <QFileInfo>
#include <QWidget>

#include "base/CommonDialogs.h"
#include "base/MessageBox.h"
#include "layoutfile/LayoutFile.h"

TLayoutCommands::TLayoutCommands(TParts parts) : state_(*parts.State), parts_(std::move(parts)) {}

void TLayoutCommands::Write() {
    if (const TFileResult<> written = WriteLayoutFile(state_.LayoutFileName, state_.Table);
        !written)
        ShowMessageBox(parts_.Window, written.Error().Message() + QLatin1String(CANNOT_SAVE_FILE),
                       TMsgDlgType::mtError, QMessageBox::Ok);
}

bool TLayoutCommands::Read() {
    const TFileResult<TLayoutRead> read = ReadLayoutFile(state_.LayoutFileName, state_.Table);
    if (!read) {
        ShowMessageBox(parts_.Window, read.Error().Message() + QLatin1String(CANNOT_OPEN_FILE),
                       TMsgDlgType::mtWarning, QMessageBox::Ok);
        return false;
    }
    if (read.Value() == TLayoutRead::Read)
        parts_.Window->setWindowTitle(LayoutCaption(parts_.BaseCaption, state_.LayoutFileName));
    return true;
}

void TLayoutCommands::New() {
    state_.Ready = false;
    state_.LayoutFileName.clear();
    parts_.Window->setWindowTitle(parts_.BaseCaption + QLatin1Char(' '));
    ClearChannels(state_.Table);
    RefreshFaders(state_, parts_.SendThenRecolour);
    UpdatePageColors(state_);
    state_.Ready = true;
    parts_.SendThenRecolour();
}

void TLayoutCommands::Open() {
    parts_.OpenDialog->SetInitialDir(QDir::currentPath());
    const QString previousChoice = parts_.OpenDialog->FileName();
    if (!parts_.OpenDialog->Execute(parts_.Window)) return;
    // A file that cannot be read changes nothing: the table, the faders, the
    // page buttons and the host's levels stay as they are.
    const QString previous = state_.LayoutFileName;
    state_.LayoutFileName = parts_.OpenDialog->FileName();
    state_.Ready = false;
    if (!Read()) {
        state_.LayoutFileName = previous;
        parts_.OpenDialog->SetFileName(previousChoice);
        state_.Ready = true;
        return;
    }
    RefreshFaders(state_, parts_.SendThenRecolour);
    UpdatePageColors(state_);
    parts_.SendThenRecolour();
    state_.Ready = true;
}

void TLayoutCommands::Save() {
    if (!state_.LayoutFileName.isEmpty() && QFileInfo(state_.LayoutFileName).isFile()) {
        Write();
        return;
    }
    SaveAs();
}

void TLayoutCommands::SaveAs() {
    parts_.SaveDialog->SetInitialDir(parts_.OpenDialog->InitialDir());
    if (!parts_.SaveDialog->Execute(parts_.Window)) return;
    state_.LayoutFileName = parts_.SaveDialog->FileName();
    parts_.OpenDialog->SetFileName(state_.LayoutFileName);
    Write();
    parts_.Window->setWindowTitle(LayoutCaption(parts_.BaseCaption, state_.LayoutFileName));
}
