#include "dialogs/FaderCaptionDialog.h"

#include <stdexcept>

#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>

#include "base/Guarded.h"
#include "base/MessageBox.h"
#include "buttons/Buttons.h"
#include "dialogs/CaptionPictures.h"
#include "model/Captions.h"
#include "model/DeskModel.h"

namespace {

constexpr int kClientWidth = 162;
// The channel's line under the buttons: the title alone is cut short by a
// window manager's buttons on a dialog this narrow.
constexpr int kChannelTop = 96;
constexpr int kChannelHeight = 15;
constexpr int kClientHeight = kChannelTop + kChannelHeight + 3;
constexpr int kEditLeft = 58;
constexpr int kEditWidth = 87;
constexpr int kEditHeight = 21;
constexpr int kButtonTop = 60;
constexpr int kButtonWidth = 30;
constexpr int kButtonHeight = 33;
constexpr std::uint16_t kRepeatDelay = 80;

} // namespace

TFaderCaptionDialog::TFaderCaptionDialog(TDeskModel& model, QWidget* parent)
    // Only the buttons named here: no minimise or maximise for a fixed dialog.
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint |
                          Qt::MSWindowsFixedSizeDialogHint),
      model_(model) {
    setObjectName(QStringLiteral("FormSetFaderCaption"));
    // 8 pt at 96 dpi; where the face is missing, a narrow sans keeps the
    // labels inside the 49 pixels before the edits.
    QFont font;
    font.setFamilies({QStringLiteral("MS Sans Serif"), QStringLiteral("Arial"),
                      QStringLiteral("Liberation Sans")});
    font.setPixelSize(11);
    setFont(font);
    setAutoFillBackground(true);
    setFixedSize(kClientWidth, kClientHeight);
    CreateControls();
}

void TFaderCaptionDialog::CreateControls() {
    Label1 = new QLabel(QStringLiteral("Caption 1:"), this);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->move(9, 12);
    Label2 = new QLabel(QStringLiteral("Caption 2:"), this);
    Label2->setObjectName(QStringLiteral("Label2"));
    Label2->move(9, 36);
    for (QLabel* label : {Label1, Label2})
        label->adjustSize();
    LabelChannel = new QLabel(this);
    LabelChannel->setObjectName(QStringLiteral("LabelChannel"));
    LabelChannel->setAlignment(Qt::AlignCenter);
    LabelChannel->setGeometry(0, kChannelTop, kClientWidth, kChannelHeight);
    EditCaption1 = new QLineEdit(this);
    EditCaption1->setObjectName(QStringLiteral("EditCaption1"));
    EditCaption1->setGeometry(kEditLeft, 8, kEditWidth, kEditHeight);
    EditCaption2 = new QLineEdit(this);
    EditCaption2->setObjectName(QStringLiteral("EditCaption2"));
    EditCaption2->setGeometry(kEditLeft, 32, kEditWidth, kEditHeight);
    for (QLineEdit* edit : {EditCaption1, EditCaption2}) {
        edit->setMaxLength(CAPTION_CAPACITY);
        edit->installEventFilter(this);
    }
    setTabOrder(EditCaption1, EditCaption2);

    ButtonBack = CreateButton("ButtonBack", 8, static_cast<int>(TCaptionPicture::Back));
    ButtonNext = CreateButton("ButtonNext", 40, static_cast<int>(TCaptionPicture::Next));
    ButtonCancel = CreateButton("ButtonCancel", 80, static_cast<int>(TCaptionPicture::Cancel));
    ButtonOK = CreateButton("ButtonOK", 120, static_cast<int>(TCaptionPicture::OK));
    for (ToxGraphicButton* b : {ButtonBack, ButtonNext}) {
        b->SetButtonType(ToxButtonType::oxbRepeat);
        b->SetDelay(kRepeatDelay);
    }
    connect(ButtonBack, &ToxGraphicButton::mousePressed, this, [this] { StoreAndStepBack(); });
    connect(ButtonBack, &ToxGraphicButton::clicked, this, [this] { StoreAndStepBack(); });
    connect(ButtonNext, &ToxGraphicButton::mousePressed, this, [this] { StoreAndStepNext(); });
    connect(ButtonNext, &ToxGraphicButton::clicked, this, [this] { StoreAndStepNext(); });
    connect(ButtonCancel, &ToxGraphicButton::clicked, this, [this] { Cancel(); });
    connect(ButtonOK, &ToxGraphicButton::clicked, this, [this] { StoreAndClose(); });
}

ToxGraphicButton* TFaderCaptionDialog::CreateButton(const char* name, int left, int picture) {
    auto* b = new ToxGraphicButton(this);
    b->setObjectName(QLatin1String(name));
    b->setGeometry(left, kButtonTop, kButtonWidth, kButtonHeight);
    b->SetButtonType(ToxButtonType::oxbCommand);
    b->SetStyle(ToxBtnStyle::bsWinXP);
    b->Background().SetStyle(ToxBackgroundStyle::oxbPictureClip);
    b->Background().SetColor(clBtnFace);
    const auto kind = static_cast<TCaptionPicture>(picture);
    b->SetPictureUp(CaptionPicture(kind, false));
    b->SetPictureDown(CaptionPicture(kind, true));
    return b;
}

template <typename F>
void TFaderCaptionDialog::Guarded(F&& handler) {
    RunGuarded(this, std::forward<F>(handler));
}

void TFaderCaptionDialog::LoadChannel() {
    const int channel = model_.CurrentChannel();
    EditCaption1->setText(CaptionText(model_.Table().Name1Of(channel)));
    EditCaption2->setText(CaptionText(model_.Table().Name2Of(channel)));
    setWindowTitle(QLatin1String(FADER_CAPTION_TITLE) + QString::number(channel));
    LabelChannel->setText(QLatin1String(CHANNEL_LINE) + QString::number(channel));
    FocusFirstEdit();
}

void TFaderCaptionDialog::FocusFirstEdit() {
    EditCaption1->setFocus(Qt::OtherFocusReason);
    EditCaption1->selectAll();
}

void TFaderCaptionDialog::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    // A hidden window takes no focus: the first edit gets it once shown.
    FocusFirstEdit();
}

void TFaderCaptionDialog::Prepare() {
    LoadChannel();
}

int TFaderCaptionDialog::Execute() {
    Prepare();
    return exec();
}

void TFaderCaptionDialog::Store() {
    model_.SetNames(model_.CurrentChannel(), EditCaption1->text(), EditCaption2->text());
}

void TFaderCaptionDialog::Step(int slot) {
    model_.SelectFader(slot);
    LoadChannel();
}

void TFaderCaptionDialog::StoreAndClose() {
    Guarded([this] {
        Store();
        accept();
    });
}

void TFaderCaptionDialog::Cancel() {
    reject();
}

void TFaderCaptionDialog::StoreAndStepNext() {
    Guarded([this] {
        Store();
        Step(NextFaderSlot(model_.CurrentFader()));
    });
}

void TFaderCaptionDialog::StoreAndStepBack() {
    Guarded([this] {
        Store();
        Step(PreviousFaderSlot(model_.CurrentFader()));
    });
}

bool TFaderCaptionDialog::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress && (watched == EditCaption1 || watched == EditCaption2)) {
        // The key is not consumed: the edit sees it as well.
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Down) StoreAndStepNext();
        if (key == Qt::Key_Up) StoreAndStepBack();
    }
    return QDialog::eventFilter(watched, event);
}

void TFaderCaptionDialog::keyPressEvent(QKeyEvent* event) {
    // No default and no cancel button: Enter and Escape do nothing here.
    switch (event->key()) {
    case Qt::Key_Escape:
    case Qt::Key_Return:
    case Qt::Key_Enter:
        event->accept();
        return;
    default:
        QDialog::keyPressEvent(event);
    }
}
