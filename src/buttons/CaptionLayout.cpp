#include "buttons/CaptionLayout.h"

#include <QFontMetrics>
#include <QPaintDevice>

QStringList SplitCaptionLines(const QString& caption) {
    const QString text = caption.left(kCaptionLinesLimit);
    if (text.isEmpty()) return {};
    return text.split(QLatin1String(kCaptionLineSeparator));
}

QString JoinCaptionLines(const QStringList& lines) {
    return lines.join(QLatin1String(kCaptionLineSeparator));
}

QString CaptionWithBreaks(const QString& caption) {
    QString out = caption;
    out.replace(QLatin1String(kCaptionLineSeparator), QStringLiteral("\n"));
    return out;
}

int TCaptionStrings::Count() const {
    return static_cast<int>(Lines().size());
}

QString TCaptionStrings::operator[](int i) const {
    const QStringList lines = Lines();
    if (i < 0 || i >= lines.size()) return {};
    return lines[i];
}

void TCaptionStrings::Add(const QString& line) {
    QStringList lines = Lines();
    lines.append(line);
    SetLines(lines);
}

int CaptionFormat(const ToxCaptionLayoutInput& in, QRect& t) {
    if (in.TextAngle != 0) return Qt::TextShowMnemonic | Qt::AlignLeft | Qt::AlignTop;
    if (!in.MultiLine)
        return Qt::TextSingleLine | Qt::TextShowMnemonic | Qt::AlignHCenter | Qt::AlignTop;
    int align = Qt::AlignHCenter;
    if (in.TextX > 0) {
        align = Qt::AlignLeft;
        t.setRight(t.right() - in.TextX);
    } else if (in.TextX < 0) {
        align = Qt::AlignRight;
        t.setRight(t.right() + in.TextX);
    } else {
        t.setRight(t.right() - 2);
    }
    return Qt::TextWordWrap | Qt::TextShowMnemonic | Qt::AlignTop | align;
}

namespace {

int Place(int offset, int clientSize, int size) {
    if (offset == 0) return (clientSize - size) / 2;
    if (offset < 0) return offset + clientSize - size;
    return offset;
}

} // namespace

QRect LayoutCaption(const ToxCaptionLayoutInput& in, const QString& caption,
                    const TMeasureCaption& measure) {
    if (caption.isEmpty()) return {};
    QRect t = in.Client;
    if (in.Font3D != ToxFontStyle::fsShadow) {
        if (in.Pressed)
            t.translate(2, 2);
        else if (in.Value)
            t.translate(1, 1);
    }
    const int flags = CaptionFormat(in, t);
    const QString text = in.MultiLine ? CaptionWithBreaks(caption) : caption;
    const QRect measured = measure(t, flags, text);
    const int w = measured.width() + 4, h = measured.height() + 2;
    QRect r(t.left(), t.top(), w, h);
    r.translate(Place(in.TextX, in.Client.width(), w), Place(in.TextY, in.Client.height(), h));
    return r;
}

QRect TCaptionMeasures::BoundingRect(const QFont& font, const QPaintDevice& device, const QRect& r,
                                     int flags, const QString& text) {
    Key key{font, device.logicalDpiX(), device.logicalDpiY(), r, flags, text};
    if (const auto it = known_.constFind(key); it != known_.constEnd()) return *it;
    if (known_.size() >= kLimit) known_.clear();
    const QRect measured = QFontMetrics(font, &device).boundingRect(r, flags, text);
    known_.insert(std::move(key), measured);
    return measured;
}
