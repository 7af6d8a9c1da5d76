#pragma once
// Renders a skinned caption off-screen: gradient or plain background, the
// window's icon and the caption text with its effect.

#include <QFont>
#include <QIcon>
#include <QImage>
#include <QString>

#include "base/Colors.h"
#include "skin/TextEffect.h"

struct TCaptionLook {
    QSize size;
    // Background: a 128-step gradient from start to end, or a plain fill in end.
    bool gradient = true;
    TColor backgroundStart = clBlack;
    TColor backgroundEnd = clBlack;
    QIcon icon; // null: no icon, the text starts near the left edge
    QSize iconSize;
    QFont font;
    QString caption;
    int italicWords = 0;
    T3DEffect textEffect = ox3Normal;
    TTextColors textColors;
    Qt::Alignment alignment = Qt::AlignLeft;
};

struct TCaptionRender {
    QImage image;
    QString shownText;
    bool shortened = false;
    int textX = 0;
    int textY = 0;
};

// Room left of and right of the text, and the gap after the icon.
inline constexpr int CAPTION_TEXT_MARGIN = 2;
inline constexpr int CAPTION_ICON_GAP = 4;

TCaptionRender RenderCaption(const TCaptionLook& look);
