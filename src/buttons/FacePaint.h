#pragma once
// Drawing one appearance of a button face into an off-screen bitmap, from a
// snapshot of everything the drawing reads.

#include <QFont>
#include <QImage>
#include <QPalette>
#include <QRect>
#include <QString>

#include "base/Colors.h"
#include "buttons/Border.h"
#include "buttons/ButtonTypes.h"

class ToxBackground;

struct ToxFacePictures {
    QImage Up, Down, Over, Disabled; // transparent colour already cut out
};

struct ToxFaceLook {
    ToxBtnStyle Style = ToxBtnStyle::bsWin95; // effective style, never bsAuto
    ToxButtonType Type = ToxButtonType::oxbCommand;
    ToxPressState PressState = ToxPressState::Up;
    bool Enabled = true;
    bool Value = false;
    bool Hot = false;
    bool Focused = false;
    bool IsDefault = false;
    bool Grayed = false;
    bool Designing = false;
    bool InWrapper = false;

    TColor Color = clBtnFace;             // face colour
    TColor ResolvedBackground = 0xC0C0C0; // plain colour the background fills with
    TColor ParentColor = 0xC0C0C0;        // plain colour of the container
    ToxBackground* Background = nullptr;
    const QImage* Dither = nullptr;
    ToxBorderInset Inset;
    ToxBorderColors BorderColors = ToxBorderColors::oxbWinColor;
    ToxBevelColors Bevel;

    QString Caption;
    bool MultiLine = false;
    ToxFontStyle Font3D = ToxFontStyle::fsNormal;
    int TextAngle = 0;
    int TextX = -5;
    int TextY = -5;
    QFont Font;
    TColor FontColor = clBtnText;

    ToxFacePictures Pictures;
    int PictureX = 1;
    int PictureY = 1;
    ToxButtonOptions Options = oxbCacheImages;
    ToxFocusStyle FocusStyle = 0;
    QPalette Palette;

    bool Pressed() const { return PressState == ToxPressState::Pressed; }
    bool Framed() const { return (Focused || IsDefault) && (FocusStyle & fsDefault); }
};

struct ToxPaintResult {
    QRect TextRect;
    QRect PictureRect;
};

// Which of the seven appearances the look shows.
int AppearanceSlot(const ToxFaceLook& look);

// The picture the look shows (null when none).
QImage ChoosePicture(const ToxFaceLook& look);
// Where a picture of the given size sits in a client of the given size.
QRect PlacePicture(const QSize& client, const QSize& picture, int pictureX, int pictureY);

// Draws the whole appearance onto image (already sized to the face).
ToxPaintResult PaintFace(QImage& image, const ToxFaceLook& look);
