#pragma once
// The file commands of the main window: New, Open, Save and Save As, with
// the layout read and write they run and the messages they show.

#include <functional>

#include <QString>

#include "model/DeskModel.h"

class QWidget;
class TFileDialog;

class TLayoutCommands {
public:
    // Everything the commands work on belongs to the window and outlives them.
    struct TParts {
        TDeskModel* Model = nullptr;
        QWidget* Window = nullptr; // takes the caption and owns the message boxes
        TFileDialog* OpenDialog = nullptr;
        TFileDialog* SaveDialog = nullptr;
        QString BaseCaption;           // the window's caption without a file name
        std::function<TFocus()> Focus; // the bank control holding the focus
    };
    explicit TLayoutCommands(TParts parts);

    // The layout's file; empty for a new one.
    const QString& FileName() const { return fileName_; }
    void SetFileName(const QString& name) { fileName_ = name; }
    // The file name a New or Open that was undone had replaced, with the
    // window's caption and the name reopened at the next start.
    void TakeBackFileName(const QString& name);

    void New();
    void Open();
    // The layout named from outside the desk (its command line), read into
    // `table` with the checks and messages of Open; false, with FileName
    // unchanged, when it could not be read.
    bool OpenAtStart(const QString& path, TChannelTable& table);
    // Writes to FileName when it names a file, else runs SaveAs.
    void Save();
    void SaveAs();

    // The model's table to FileName, and FileName into a table; a failure is
    // shown in a box. Read is false, and the table untouched, when the file
    // could not be read.
    void Write();
    bool Read(TChannelTable& table);

private:
    // `path` into `table` as the layout's file; FileName unchanged on failure.
    bool ReadFrom(const QString& path, TChannelTable& table);

    TDeskModel& model_;
    TParts parts_;
    QString fileName_;
};
