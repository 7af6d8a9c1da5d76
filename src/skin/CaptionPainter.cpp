#include "skin/CaptionPainter.h"

#include <QFontMetrics>
#include <QPainter>

#include "skin/CaptionMath.h"

namespace {

void PaintBackground(QPainter& p, const TCaptionLook& look) {
    const int w = look.size.width();
    const int h = look.size.height();
    if (!look.gradient) {
        p.fillRect(0, 0, w, h, ToQColor(look.backgroundEnd));
        return;
    }
    const auto steps = CaptionGradientSteps(look.backgroundStart, look.backgroundEnd);
    for (int i = 0; i < CAPTION_GRADIENT_STEPS; ++i) {
        const TGradientBand band = CaptionGradientBand(i, w);
        p.fillRect(band.x, 0, band.width, h, ToQColor(steps[static_cast<std::size_t>(i)]));
    }
}

// Measures and draws a caption whose leading words may be italic.
class TCaptionText {
public:
    TCaptionText(const QFont& font, int italicWords)
        : upright_(font), italic_(font), words_(italicWords) {
        italic_.setItalic(true);
    }
    int Width(const QString& text) const {
        const TCaptionWords parts = SplitItalicWords(text, words_);
        return QFontMetrics(italic_).horizontalAdvance(parts.italic) +
               QFontMetrics(upright_).horizontalAdvance(parts.upright);
    }
    void Draw(QPainter& p, QPoint topLeft, const QColor& color, const QString& text) const {
        const TCaptionWords parts = SplitItalicWords(text, words_);
        p.setPen(color);
        int x = topLeft.x();
        if (!parts.italic.isEmpty()) {
            p.setFont(italic_);
            p.drawText(x, topLeft.y() + QFontMetrics(italic_).ascent(), parts.italic);
            x += QFontMetrics(italic_).horizontalAdvance(parts.italic);
        }
        p.setFont(upright_);
        p.drawText(x, topLeft.y() + QFontMetrics(upright_).ascent(), parts.upright);
    }

private:
    QFont upright_;
    QFont italic_;
    int words_;
};

} // namespace

TCaptionRender RenderCaption(const TCaptionLook& look) {
    TCaptionRender out;
    if (look.size.isEmpty()) return out;
    out.image = QImage(look.size, QImage::Format_RGB32);
    QPainter p(&out.image);
    PaintBackground(p, look);

    int left = CAPTION_TEXT_MARGIN;
    if (!look.icon.isNull()) {
        const QRect iconRect(QPoint(1, 1), look.iconSize);
        look.icon.paint(&p, iconRect);
        left = iconRect.right() + 1 + CAPTION_ICON_GAP;
    }

    const TCaptionText text(look.font, look.italicWords);
    const int room = look.size.width() - left - CAPTION_TEXT_MARGIN;
    const TCaptionFit fit = FitCaption(look.caption, std::max(room, 0),
                                       [&](const QString& s) { return text.Width(s); });
    out.shownText = fit.text;
    out.shortened = fit.shortened;
    out.textX = left;
    if (!fit.shortened) {
        const int spare = room - text.Width(fit.text);
        if (look.alignment & Qt::AlignHCenter)
            out.textX += spare / 2;
        else if (look.alignment & Qt::AlignRight)
            out.textX += spare;
    }
    // The height a line of "y" takes in the caption font.
    const int textHeight = QFontMetrics(look.font).height();
    out.textY = static_cast<int>(RoundHalfEvenDiv(look.size.height() - textHeight, 2));
    Draw3DText(p, look.textEffect, QPoint(out.textX, out.textY), look.textColors,
               [&](QPainter& painter, QPoint at, const QColor& color) {
                   text.Draw(painter, at, color, fit.text);
               });
    return out;
}
