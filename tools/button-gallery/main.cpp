// vantrelle-button-gallery: the desk's four button configurations in each
// state (up, down, pressed, focused, hot, disabled). With --screenshot FILE
// it saves a picture of itself and quits.
#include "bank/FaderLook.h"
#include <functional>

#include <QApplication>
#include <QCommandLineParser>
#include <QGridLayout>
#include <QLabel>
#include <QMouseEvent>
#include <QTimer>

#include "GalleryPictures.h"
#include "buttons/Buttons.h"

namespace {

enum class State { Up, Down, Pressed, Focused, Hot, Disabled };
constexpr State kStates[] = {State::Up,      State::Down, State::Pressed,
                             State::Focused, State::Hot,  State::Disabled};
constexpr const char* kStateNames[] = {"up", "down", "pressed", "focused", "hot", "disabled"};

constexpr TColor kColorOff = 0x808080;
constexpr TColor kColorOn = 0xC0C0C0;
constexpr TColor kHelpFace = 0x00CCC7AC;

void SetUpBump(ToxButton* b, bool down) {
    b->resize(63, 40);
    ApplyBumpLook(*b, down ? kColorOn : kColorOff);
    if (down) b->SetButtonType(ToxButtonType::oxbToggle);
    b->SetCaption("17");
    b->SetValue(down);
}

void SetUpPage(ToxGraphicButton* b, bool down) {
    b->resize(63, 33);
    b->SetButtonType(ToxButtonType::oxbToggle);
    b->Background().SetDitherDown(false);
    b->SetColor(down ? kColorOn : kColorOff);
    b->SetStyle(ToxBtnStyle::bsInset);
    b->SetGroupAllowNoSel(false);
    b->SetTextX(0);
    b->SetTextY(0);
    b->SetMultiLine(true);
    b->Lines().Add("33 - 64");
    b->SetValue(down);
}

void SetUpCaptionDialogButton(ToxGraphicButton* b) {
    b->resize(30, 33);
    b->SetButtonType(ToxButtonType::oxbRepeat);
    b->SetDelay(80);
    b->SetStyle(ToxBtnStyle::bsWinXP);
    b->Background().SetStyle(ToxBackgroundStyle::oxbPictureClip);
    b->SetColor(clBtnFace);
    b->SetPictureUp(GalleryPicture(GalleryGlyph::Next, 24, qRgb(0, 0, 128)));
    b->SetPictureDown(GalleryPicture(GalleryGlyph::Next, 24, qRgb(0, 96, 255)));
}

void SetUpHelpButton(ToxButton* b) {
    b->resize(75, 26);
    b->SetStyle(ToxBtnStyle::bsWin97);
    b->SetColor(kHelpFace);
    b->SetCaption("&Close");
    const QImage door = GalleryPicture(GalleryGlyph::Close, 18, qRgb(0, 0, 0));
    b->SetPictureUp(door);
    b->SetPictureDisabled(GalleryPicture(GalleryGlyph::Close, 18, qRgb(128, 128, 128)));
    b->SetPictureX(5);
    b->SetTextX(-11);
}

void Press(ToxCustomGraphicButton* face) {
    const QPointF at(5, 5);
    QMouseEvent press(QEvent::MouseButtonPress, at, face->mapToGlobal(at), Qt::LeftButton,
                      Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(face, &press);
}

void Hover(ToxCustomGraphicButton* face) {
    const QPointF at(5, 5);
    QEnterEvent enter(at, at, face->mapToGlobal(at));
    QApplication::sendEvent(face, &enter);
}

// One row: a label and a cell per state.
class GalleryRow {
public:
    using Make = std::function<QWidget*(QWidget* parent, State state)>;
    GalleryRow(QGridLayout* grid, int row, const QString& name, Make make)
        : grid_(grid), row_(row), make_(std::move(make)) {
        grid_->addWidget(new QLabel(name), row, 0);
    }
    void Build(QWidget* parent) {
        for (int col = 0; col < 6; ++col) {
            QWidget* cell = make_(parent, kStates[col]);
            grid_->addWidget(cell, row_, col + 1, Qt::AlignCenter);
            cells_[col] = cell;
        }
    }
    QWidget* Cell(State s) const { return cells_[static_cast<int>(s)]; }

private:
    QGridLayout* grid_;
    int row_;
    Make make_;
    QWidget* cells_[6] = {};
};

// The wrapper or face of a cell (a cell may be a panel holding it).
ToxCustomButton* WrapperIn(QWidget* cell) {
    if (auto* wrapper = qobject_cast<ToxCustomButton*>(cell)) return wrapper;
    return cell->findChild<ToxCustomButton*>();
}

ToxCustomGraphicButton* FaceIn(QWidget* cell) {
    if (ToxCustomButton* wrapper = WrapperIn(cell)) return wrapper->Face();
    if (auto* face = qobject_cast<ToxCustomGraphicButton*>(cell)) return face;
    return cell->findChild<ToxCustomGraphicButton*>();
}

QWidget* Fixed(QWidget* w) {
    w->setFixedSize(w->size());
    return w;
}

// Each cell lives on its own panel so that groups stay apart.
template <typename T>
T* OnPanel(QWidget* parent, QWidget** panel) {
    *panel = new QWidget(parent);
    return new T(*panel);
}

QWidget* Panel(QWidget* panel, QWidget* button) {
    panel->setFixedSize(button->size());
    return panel;
}

} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QCommandLineParser parser;
    parser.addHelpOption();
    QCommandLineOption shot("screenshot", "Save a picture of the gallery and quit.", "FILE");
    parser.addOption(shot);
    parser.process(app);

    QWidget window;
    window.setWindowTitle("Vantrelle buttons");
    auto* grid = new QGridLayout(&window);
    for (int col = 0; col < 6; ++col)
        grid->addWidget(new QLabel(kStateNames[col]), 0, col + 1, Qt::AlignCenter);

    GalleryRow bump(grid, 1, "bump", [](QWidget* parent, State s) {
        QWidget* panel = nullptr;
        auto* b = OnPanel<ToxButton>(parent, &panel);
        SetUpBump(b, s == State::Down);
        return Panel(panel, b);
    });
    GalleryRow page(grid, 2, "page", [](QWidget* parent, State s) {
        QWidget* panel = nullptr;
        auto* b = OnPanel<ToxGraphicButton>(parent, &panel);
        SetUpPage(b, s == State::Down);
        b->SetGroup(1);
        return Panel(panel, b);
    });
    GalleryRow dialog(grid, 3, "caption dialog", [](QWidget* parent, State) {
        auto* b = new ToxGraphicButton(parent);
        SetUpCaptionDialogButton(b);
        return Fixed(b);
    });
    GalleryRow help(grid, 4, "help window", [](QWidget* parent, State) {
        auto* b = new ToxButton(parent);
        SetUpHelpButton(b);
        return Fixed(b);
    });
    GalleryRow* rows[] = {&bump, &page, &dialog, &help};
    for (GalleryRow* row : rows)
        row->Build(&window);
    window.show();
    window.activateWindow();

    // Put each column into its state once the window is up.
    for (GalleryRow* row : rows) {
        row->Cell(State::Disabled)->setEnabled(false);
        Press(FaceIn(row->Cell(State::Pressed)));
        Hover(FaceIn(row->Cell(State::Hot)));
    }
    // Faces never take the focus: only the wrappers show that column. One
    // wrapper holds the real focus; the other shows the flags a wrapper
    // gives its face while it has the focus.
    auto* focusTarget = WrapperIn(help.Cell(State::Focused));
    focusTarget->setFocus();
    FaceIn(bump.Cell(State::Focused))->SetFocused(true);
    FaceIn(bump.Cell(State::Focused))->SetDefault(true);
    for (GalleryRow* row : {&page, &dialog})
        row->Cell(State::Focused)->setToolTip("never focused");

    if (parser.isSet(shot)) {
        // Save once the window is active (the focus shows), or after 2 s.
        const QString file = parser.value(shot);
        auto* poll = new QTimer(&window);
        int waited = 0;
        QObject::connect(poll, &QTimer::timeout, &window, [&window, file, &waited, focusTarget] {
            if (QApplication::focusWidget() != focusTarget && ++waited < 40) return;
            const bool saved = window.grab().save(file, "PNG");
            QApplication::exit(saved ? 0 : 1);
        });
        poll->start(50);
    }
    return app.exec();
}
