#include "buttons/FacePaint.h"

#include <QFontMetrics>
#include <QPainter>

#include "buttons/Background.h"
#include "buttons/Canvas.h"
#include "buttons/CaptionLayout.h"
#include "buttons/Shade.h"

namespace {

bool HotRepaints(const ToxFaceLook& l) {
    const bool laterStyle = l.Style == ToxBtnStyle::bsWin97 ||
                            l.Style == ToxBtnStyle::bsBorderless ||
                            l.Style == ToxBtnStyle::bsShaped || l.Style == ToxBtnStyle::bsWinXP;
    return laterStyle || l.Grayed || (!l.Pictures.Over.isNull() && !l.Pictures.Up.isNull());
}

bool UsableDisabledPicture(const ToxFaceLook& l) {
    return l.Pictures.Disabled.height() > 1;
}

// A bevel or text colour with relative shades applied to the background.
TColor AgainstBackground(TColor c, const ToxFaceLook& l, const ToxCanvas& cv) {
    if (IsRelativeShade(c)) return ShadeColor(l.ResolvedBackground, RelativeShadeAmount(c));
    return cv.Resolve(c);
}

// The picture shadow in the face colour: the picture moves instead.
bool ShadowIsFace(const ToxFaceLook& l, const ToxCanvas& cv) {
    return cv.Resolve(l.Bevel.ShadowColor) == cv.Resolve(l.Color);
}

int DownShift(const ToxFaceLook& l, int pressed, int latched) {
    if (l.Pressed()) return pressed;
    if (l.Value) return latched;
    return 0;
}

void DrawPictureShadow(ToxCanvas& cv, const ToxFaceLook& l, const QImage& mask, const QRect& p) {
    if (l.Style == ToxBtnStyle::bsShaped) return;
    if (l.Bevel.ShadowColor == clNone || ShadowIsFace(l, cv)) return;
    const int d = l.Style == ToxBtnStyle::bsBorderless ? 2 : (l.Pressed() ? 4 : l.Value ? 3 : 2);
    cv.Silhouette(mask, p.left() + d, p.top() + d, l.Bevel.ShadowColor);
}

void DrawDisabledEmboss(ToxCanvas& cv, const ToxFaceLook& l, const QImage& mask, const QRect& p) {
    const int d = DownShift(l, 2, 1);
    cv.Silhouette(mask, p.left() + 1 + d, p.top() + 1 + d, l.Bevel.Highlight);
    cv.Silhouette(mask, p.left() - 1 + d, p.top() - 1 + d, l.Bevel.Shadow);
    cv.Silhouette(mask, p.left() + d, p.top() + d, l.Color);
}

void DrawPictureWithEffects(ToxCanvas& cv, const ToxFaceLook& l, const QImage& pic,
                            const QImage& mask, QRect p) {
    if (pic.height() < 2) return;
    if (l.Style == ToxBtnStyle::bsBorderless) {
        if (l.Hot) p.translate(-1, -1);
        const int d = DownShift(l, 2, 1);
        p.translate(d, d);
    } else if (l.Style == ToxBtnStyle::bsShaped) {
        if (l.Hot || l.Value || l.Focused) {
            cv.Silhouette(mask, p.left() + 2, p.top() + 2, l.Bevel.DkShadow);
            cv.Silhouette(mask, p.left() - 1, p.top() - 1, l.Bevel.Highlight);
            cv.Silhouette(mask, p.left() + 1, p.top() + 1, l.Bevel.Shadow);
        }
        if (l.Pressed() || l.Value) p.translate(2, 2);
    } else if (ShadowIsFace(l, cv)) {
        const int d = DownShift(l, 2, 1);
        p.translate(d, d);
    }
    const bool grey = l.Grayed && !l.Hot && !l.Focused && !l.Framed();
    QPainter painter(&cv.Image());
    painter.drawImage(p.topLeft(), grey ? GrayedPicture(pic) : pic);
}

// One pass of the caption; a turned caption is drawn about the centre of
// its rectangle.
void DrawText(QPainter& p, const QRect& r, int flags, const QString& text, const QPoint& offset,
              TColor color, int angle) {
    p.setPen(QColor(GetRValue(color), GetGValue(color), GetBValue(color)));
    if (angle == 0) {
        p.drawText(r.translated(offset), flags, text);
        return;
    }
    p.save();
    p.translate(QRectF(r).center() + offset);
    p.rotate(-angle);
    const QRectF box(-r.width() / 2.0, -r.height() / 2.0, r.width(), r.height());
    p.drawText(box, Qt::AlignCenter | Qt::TextShowMnemonic, text);
    p.restore();
}

void DrawCaption(ToxCanvas& cv, const ToxFaceLook& l, const QRect& textRect, int flags) {
    if (textRect.isEmpty()) return;
    QPainter p(&cv.Image());
    p.setFont(l.Font);
    const QString text = CaptionWithBreaks(l.Caption);
    ToxFontStyle effect = l.Font3D;
    TColor color = cv.Resolve(l.FontColor);
    if (!l.Enabled) {
        effect = ToxFontStyle::fsInset;
        color = clGray;
    }
    const TColor hi = AgainstBackground(l.Bevel.Highlight, l, cv);
    const TColor sh = AgainstBackground(l.Bevel.Shadow, l, cv);
    auto draw = [&](int dx, int dy, TColor c) {
        if (c != clNone) DrawText(p, textRect, flags, text, QPoint(dx, dy), c, l.TextAngle);
    };
    switch (effect) {
    case ToxFontStyle::fsNone:
        return;
    case ToxFontStyle::fsNormal:
        break;
    case ToxFontStyle::fsRaised:
        draw(-1, -1, hi);
        break;
    case ToxFontStyle::fsInset:
        draw(1, 1, hi);
        break;
    case ToxFontStyle::fsRidged:
        draw(1, 1, sh);
        draw(-1, -1, hi);
        break;
    case ToxFontStyle::fsGrooved:
        draw(-1, -1, sh);
        draw(1, 1, hi);
        break;
    case ToxFontStyle::fsShadow:
        draw(l.Pressed() ? 4 : 2, l.Pressed() ? 4 : 2, sh);
        break;
    }
    draw(0, 0, color);
}

void DrawFocus(ToxCanvas& cv, const ToxFaceLook& l, const QRect& textRect, const QSize& client) {
    if ((l.FocusStyle & fsText) && l.TextAngle == 0) cv.FocusRect(textRect);
    if ((l.FocusStyle & fsOutline) || ((l.FocusStyle & fsText) && l.TextAngle != 0)) {
        const int inset = FocusOutlineInset(l.Style, l.FocusStyle & fsDefault);
        QRect r = QRect(QPoint(0, 0), client).adjusted(inset, inset, -inset, -inset);
        const bool moves = l.Style == ToxBtnStyle::bsWin31 || l.Style == ToxBtnStyle::bsInset;
        if (moves && l.Pressed()) r.translate(1, 1);
        cv.FocusRect(r);
    }
}

void DrawBorderAndArrow(ToxCanvas& cv, const ToxFaceLook& l, const QRect& face) {
    ToxBorderState s;
    s.Pressed = l.Pressed();
    s.Value = l.Value;
    s.Framed = l.Framed();
    s.Hot = l.Hot;
    s.Enabled = l.Enabled;
    s.Designing = l.Designing;
    s.AutoShade = l.BorderColors == ToxBorderColors::oxbAutoShade;
    QRect r = face;
    if (l.Type != ToxButtonType::oxbCombo) {
        PaintBorder(cv, r, l.Style, s, l.Bevel);
        return;
    }
    QRect main = face.adjusted(0, 0, -kComboArrowWidth, 0);
    QRect arrow(main.left() + main.width(), face.top(), kComboArrowWidth, face.height());
    const QPoint centre = arrow.center();
    QPainter p(&cv.Image());
    const QColor text = ToQColor(clBtnText, cv.Palette());
    p.setPen(text);
    p.setBrush(text);
    const QPoint tri[3] = {centre + QPoint(-3, -1), centre + QPoint(3, -1), centre + QPoint(0, 2)};
    p.drawPolygon(tri, 3);
    p.end();
    PaintBorder(cv, main, l.Style, s, l.Bevel);
    ToxBorderState arrowState = s;
    arrowState.Pressed = l.PressState == ToxPressState::ArrowPressed;
    PaintBorder(cv, arrow, l.Style, arrowState, l.Bevel);
}

void FillMargins(ToxCanvas& cv, const ToxFaceLook& l, const QRect& face, const QSize& client) {
    if (!l.InWrapper || l.Inset.IsZero()) return;
    const TColor c = l.ParentColor;
    cv.FillRect(QRect(0, 0, client.width(), face.top()), c);
    cv.FillRect(QRect(0, face.bottom() + 1, client.width(), client.height()), c);
    cv.FillRect(QRect(0, 0, face.left(), client.height()), c);
    cv.FillRect(QRect(face.right() + 1, 0, client.width(), client.height()), c);
}

} // namespace

int AppearanceSlot(const ToxFaceLook& l) {
    if (!l.Enabled) return 5;
    if (l.PressState == ToxPressState::Pressed) return 2;
    if (l.PressState == ToxPressState::ArrowPressed) return 6;
    if (l.Focused) return 4;
    if (l.IsDefault && (l.FocusStyle & fsDefault)) return 3;
    if (l.Hot && HotRepaints(l)) return 1;
    return 0;
}

QImage ChoosePicture(const ToxFaceLook& l) {
    const ToxFacePictures& p = l.Pictures;
    QImage pic;
    if ((l.Pressed() || l.Value) && p.Down.height() > 1)
        pic = p.Down;
    else if ((l.Hot || l.Focused) && !p.Over.isNull())
        pic = p.Over;
    else if (!p.Up.isNull())
        pic = p.Up;
    else
        pic = p.Over;
    if (!l.Enabled && UsableDisabledPicture(l)) pic = p.Disabled;
    return pic;
}

QRect PlacePicture(const QSize& client, const QSize& picture, int pictureX, int pictureY) {
    auto place = [](int offset, int clientSize, int size) {
        if (offset > 0) return offset;
        if (offset == 0) return (clientSize - size) / 2;
        return offset + clientSize - size;
    };
    return QRect(place(pictureX, client.width(), picture.width()),
                 place(pictureY, client.height(), picture.height()), picture.width(),
                 picture.height());
}

ToxPaintResult PaintFace(QImage& image, const ToxFaceLook& l) {
    ToxPaintResult result;
    ToxCanvas cv(image, l.Palette);
    const QSize client = image.size();
    const QImage picture = ChoosePicture(l);
    const QImage mask = PictureMask(picture);
    if (!picture.isNull())
        result.PictureRect = PlacePicture(client, picture.size(), l.PictureX, l.PictureY);
    const bool clear = l.Background && l.Background->Style() == ToxBackgroundStyle::oxbClear;
    if (!clear) cv.FillRect(image.rect(), l.Color);
    const QRect face(
        QPoint(l.Inset.Left, l.Inset.Top),
        QPoint(client.width() - l.Inset.Right - 1, client.height() - l.Inset.Bottom - 1));
    if (l.Background) {
        PaintBackground(cv, face, *l.Background, l.ResolvedBackground);
        if (l.Background->DitherDown() && l.Value && !l.Hot && l.Dither)
            PaintDither(cv, face, *l.Dither);
    }
    const bool effects = !(l.Options & oxbNoPicEffects);
    if (effects && !picture.isNull()) {
        if (l.Enabled && !(l.Grayed && !l.Hot))
            DrawPictureShadow(cv, l, mask, result.PictureRect);
        else if (!l.Enabled && !UsableDisabledPicture(l))
            DrawDisabledEmboss(cv, l, mask, result.PictureRect);
        else if (!l.Enabled)
            DrawPictureWithEffects(cv, l, picture, mask, result.PictureRect);
    }
    ToxFaceLook textLook = l;
    if (l.FocusStyle & fsBoldFont) textLook.Font.setBold(l.Focused || l.IsDefault);
    ToxCaptionLayoutInput in{QRect(QPoint(0, 0), client),
                             l.Pressed(),
                             l.Value,
                             l.MultiLine,
                             l.Font3D,
                             l.TextAngle,
                             l.TextX,
                             l.TextY};
    QRect t = in.Client;
    const int flags = CaptionFormat(in, t);
    static TCaptionMeasures measures; // painting happens on the GUI thread only
    result.TextRect = LayoutCaption(in, l.Caption, [&](const QRect& r, int f, const QString& s) {
        return measures.BoundingRect(textLook.Font, image, r, f, s);
    });
    if (l.Focused) DrawFocus(cv, l, result.TextRect, client);
    DrawCaption(cv, textLook, result.TextRect, flags);
    DrawBorderAndArrow(cv, l, face);
    FillMargins(cv, l, face, client);
    if (!picture.isNull()) {
        if (!effects) {
            if (picture.height() >= 2) QPainter(&image).drawImage(result.PictureRect, picture);
        } else if (l.Enabled) {
            DrawPictureWithEffects(cv, l, picture, mask, result.PictureRect);
        }
    }
    return result;
}
