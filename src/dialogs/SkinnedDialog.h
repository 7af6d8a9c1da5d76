#pragma once
// What the Readme window and the About box share: a fixed-size dialog with a
// skinned caption, a client area of an exact size, centred on the screen when
// first shown, and freed once closed.

#include <QDialog>

#include "skin/SkinnedForm.h"

class ToxButton;

class TSkinnedDialog : public QDialog {
    Q_OBJECT
public:
    TSkinnedDialog(QWidget* parent, const QSize& clientSize, TFormBorderStyle border,
                   TBorderIcons icons);

    // The parent of the dialog's controls, sized as the client area.
    QWidget* Client() const { return client_; }
    // Sizes the whole window, frame and title bar included (their height is
    // the platform's), and the client area to what is left inside.
    void SetOuterSize(const QSize& outer);

    ToxForm* oxForm1 = nullptr;

    // The help windows' caption: gradients from the colour given (active)
    // and navy (inactive), white text turning silver, an own task-bar button.
    void SkinCaption(const QString& caption, TColor activeGradient);

    // A graphic command button of the help windows' look on the client area.
    ToxButton* AddCommandButton(const char* name, const QString& caption, const QRect& geometry);

    // Marks the window for destruction once it has closed.
    virtual void FreeOnClose();

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    QWidget* client_ = nullptr;
    bool placed_ = false;
};
