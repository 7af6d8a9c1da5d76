#pragma once
// The About box: the program's name, version and release date, a picture,
// a few lines about its making and two links.

#include <QFrame>

#include "core/Version.h"
#include "dialogs/SkinnedDialog.h"

class QLabel;
class ToxButton;
class ToxLabel;
class ToxLinkLabel;

// A panel with a lowered outer and a raised inner bevel, one pixel each.
class TBevelPanel : public QFrame {
    Q_OBJECT
public:
    using QFrame::QFrame;

protected:
    void paintEvent(QPaintEvent* event) override;
};

// A picture scaled to fit its box with its proportions kept.
class TPictureView : public QWidget {
    Q_OBJECT
public:
    TPictureView(const QImage& picture, QWidget* parent);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QImage picture_;
};

inline constexpr char ABOUT_CAPTION[] = "About Vantrelle";
inline constexpr char PRODUCT_NAME[] = "Vantrelle";
inline constexpr auto& VERSION_TEXT = core::JoinedText<"Version: ", VANTRELLE_VERSION>;
inline constexpr char RELEASE_TEXT[] = "Release date: April 1 2002";
inline constexpr char WEB_ADDRESS[] = "www.vantrelle.test";
inline constexpr char MAIL_ADDRESS[] = "desk@vantrelle.test";

class TAboutBox : public TSkinnedDialog {
    Q_OBJECT
public:
    explicit TAboutBox(QWidget* parent = nullptr);

    TBevelPanel* Panel1 = nullptr;
    TPictureView* ProgramIcon = nullptr;
    ToxLabel* ProductName = nullptr;
    QLabel* Version = nullptr;
    QLabel* Label2 = nullptr;
    QLabel* Label1 = nullptr;
    QLabel* Notice = nullptr;
    QLabel* Comments = nullptr;
    ToxLinkLabel* WebLink = nullptr;
    ToxLinkLabel* MailLink = nullptr;
    ToxButton* OKButton = nullptr;

    // Handlers.
    void CloseBox();
    void Prepare() {}

protected:
    void showEvent(QShowEvent* event) override;

private:
    QLabel* AddLabel(const char* name, const QString& text, QPoint at);
};
