#pragma once
// The Readme window: a fixed-size viewer of "Readme.rtf", read afresh every
// time the window becomes the active window.

#include <functional>

#include <QStringList>

#include "dialogs/SkinnedDialog.h"

class QTextEdit;
class ToxButton;

class TReadmeWindow : public TSkinnedDialog {
    Q_OBJECT
public:
    explicit TReadmeWindow(QWidget* parent = nullptr);
    ~TReadmeWindow() override;

    // Where "Readme.rtf" is looked for; tests point it elsewhere.
    std::function<QStringList()> SearchDirs;

    QTextEdit* RichEdit1 = nullptr;
    ToxButton* BitBtn1 = nullptr;

    // Handlers.
    void FormActivate();
    void CloseWindow();

protected:
    void changeEvent(QEvent* event) override;

private:
    void FocusWindowChanged(QWindow* now);

    // The window that had the focus before this one was one of its own (the
    // error box): coming back from it is no new activation.
    bool returningFromOwnWindow_ = false;
};

// The Readme window created hidden at program start.
extern TReadmeWindow* FormReadme;
