#pragma once
// The file commands of the main window: New, Open, Save and Save As, with
// the layout read and write they run and the messages they show.

#include <QString>

#include "bank/BankRefresh.h"

class QWidget;
class TFileDialog;

class TLayoutCommands {
public:
    // Everything the commands work on belongs to the window and outlives them.
    struct TParts {
        TDeskState* State = nullptr;
        QWidget* Window = nullptr; // takes the caption and owns the message boxes
        TFileDialog* OpenDialog = nullptr;
        TFileDialog* SaveDialog = nullptr;
        QString BaseCaption; // the window's caption without a file name
        TSendThenRecolour SendThenRecolour;
    };
    explicit TLayoutCommands(TParts parts);

    void New();
    void Open();
    // Writes to LayoutFileName when it names a file, else runs SaveAs.
    void Save();
    void SaveAs();

    // The table to and from LayoutFileName; a failure is shown in a box.
    // Read is false, and the table untouched, when the file could not be read.
    void Write();
    bool Read();

private:
    TDeskState& state_;
    TParts parts_;
};
