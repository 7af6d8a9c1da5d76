#include "slider/ScaleDraw.h"

#include <array>
#include <utility>

#include <QFontMetrics>
#include <QHash>
#include <QImage>
#include <QPainter>
#include <QPolygon>

#include "slider/ColorMath.h"
#include "slider/ValueFormat.h"

void FillRectColor(QPainter& p, const TSkRect& r, TColor color) {
    const QColor c = ToQColor(color);
    if (!c.isValid() || r.IsEmpty()) return;
    p.fillRect(r.ToQRect(), c);
}

void FrameRectColor(QPainter& p, const TSkRect& r, TColor color) {
    if (r.IsEmpty()) return;
    FillRectColor(p, {r.Left, r.Top, r.Right, r.Top + 1}, color);
    FillRectColor(p, {r.Left, r.Bottom - 1, r.Right, r.Bottom}, color);
    FillRectColor(p, {r.Left, r.Top, r.Left + 1, r.Bottom}, color);
    FillRectColor(p, {r.Right - 1, r.Top, r.Right, r.Bottom}, color);
}

void Frame3D(QPainter& p, TSkRect& r, TColor topLeft, TColor bottomRight) {
    if (!r.IsEmpty()) {
        FillRectColor(p, {r.Left, r.Top, r.Right - 1, r.Top + 1}, topLeft);
        FillRectColor(p, {r.Left, r.Top, r.Left + 1, r.Bottom - 1}, topLeft);
        FillRectColor(p, {r.Right - 1, r.Top, r.Right, r.Bottom}, bottomRight);
        FillRectColor(p, {r.Left, r.Bottom - 1, r.Right, r.Bottom}, bottomRight);
    }
    r.Inflate(-1);
}

namespace {

void FillShapes(QPainter& g, const std::vector<TGradientShape>& shapes, bool ellipses) {
    for (const TGradientShape& s : shapes) {
        const QColor c = ToQColor(s.Color);
        if (ellipses) {
            g.setPen(c);
            g.setBrush(c);
            g.drawEllipse(
                QRect(s.Bounds.Left, s.Bounds.Top, s.Bounds.Width() - 1, s.Bounds.Height() - 1));
        } else {
            g.fillRect(s.Bounds.ToQRect(), c);
        }
    }
}

// Colour of step h of k from `from` (h = 0) to `to` (h = k).
QColor StepColor(TColor from, TColor to, int h, int k) {
    return ToQColor(BlendColor(from, to, k, h));
}

// The styles this desk never shows: nested shapes, outer ones first.
void FillOtherGradient(QPainter& g, int w, int h, TColor a, TColor b, TGradientStyle style) {
    const int k = GradientSteps(a, b);
    g.fillRect(0, 0, w, h, ToQColor(b));
    for (int s = k; s >= 1; --s) {
        const QColor c = StepColor(a, b, s, k);
        g.setPen(c);
        g.setBrush(c);
        const double f = static_cast<double>(s) / k;
        switch (style) {
        case gsHorizontal2:   // from at the top and bottom, to in the middle
        case gsHorizontal3: { // from in the middle
            const bool mid = style == gsHorizontal3;
            const int half = RoundEven(f * h / 2);
            if (mid)
                g.fillRect(0, h / 2 - half, w, 2 * half, c);
            else
                g.fillRect(0, 0, w, h / 2 - RoundEven((1 - f) * h / 2), c),
                    g.fillRect(0, h / 2 + RoundEven((1 - f) * h / 2), w, h, c);
            break;
        }
        case gsVertical1:
            g.fillRect(0, 0, RoundEven((1 - f) * w) + 1, h, c);
            break;
        case gsVertical2:
        case gsVertical3: {
            const int half = RoundEven(f * w / 2);
            if (style == gsVertical3)
                g.fillRect(w / 2 - half, 0, 2 * half, h, c);
            else
                g.fillRect(0, 0, w / 2 - RoundEven((1 - f) * w / 2), h, c),
                    g.fillRect(w / 2 + RoundEven((1 - f) * w / 2), 0, w, h, c);
            break;
        }
        case gsElliptic2: // off-centre, towards the top left
            g.drawEllipse(QPointF(w / 3.0, h / 3.0), f * w, f * h);
            break;
        case gsElliptic3: // enlarged to cover the corners
            g.drawEllipse(QPointF(w / 2.0, h / 2.0), f * w * 0.71, f * h * 0.71);
            break;
        case gsRectangle:
            g.fillRect(QRectF(w / 2.0 * (1 - f), h / 2.0 * (1 - f), w * f, h * f), c);
            break;
        case gsDiamond1:
        case gsDiamond2: {
            const double e = style == gsDiamond2 ? 1.0 : 0.5;
            const double rx = f * w * e, ry = f * h * e;
            QPolygonF poly;
            poly << QPointF(w / 2.0, h / 2.0 - ry) << QPointF(w / 2.0 + rx, h / 2.0)
                 << QPointF(w / 2.0, h / 2.0 + ry) << QPointF(w / 2.0 - rx, h / 2.0);
            g.drawPolygon(poly);
            break;
        }
        case gsTopLeft:
            g.fillRect(QRectF(0, 0, w * f, h * f), c);
            break;
        case gsTopRight:
            g.fillRect(QRectF(w * (1 - f), 0, w * f, h * f), c);
            break;
        default:
            break;
        }
    }
}

} // namespace

namespace {

QImage PaintGradient(int w, int h, TColor a, TColor b, TGradientStyle style) {
    QImage picture(w, h, QImage::Format_RGB32);
    QPainter g(&picture);
    switch (style) {
    case gsElliptic1:
        picture.fill(ToQColor(b));
        FillShapes(g, EllipticShapes(w, h, a, b), true);
        break;
    case gsHorizontal1:
        FillShapes(g, HorizontalBands(w, h, a, b), false);
        break;
    default:
        FillOtherGradient(g, w, h, a, b, style);
        break;
    }
    return picture;
}

// The last gradient pictures, keyed on everything that shapes them (with the
// colours resolved, so a new palette makes new keys): a bank of faders
// shares one face. Used from the user-interface thread only.
struct GradientKey {
    int w = 0, h = 0;
    TColor a = 0, b = 0;
    TGradientStyle style = gsHorizontal1;
    bool operator==(const GradientKey&) const = default;
};

const QImage& CachedGradient(const GradientKey& key) {
    struct Entry {
        GradientKey key;
        QImage picture;
    };
    static std::array<Entry, 8> cache;
    static std::size_t next = 0;
    for (const Entry& e : cache)
        if (!e.picture.isNull() && e.key == key) return e.picture;
    Entry& e = cache[next];
    next = (next + 1) % cache.size();
    e.key = key;
    e.picture = PaintGradient(key.w, key.h, key.a, key.b, key.style);
    return e.picture;
}

} // namespace

void FillGradient(QPainter& p, const TSkRect& r, TColor from, TColor to, TGradientStyle style) {
    if (r.IsEmpty()) return;
    const TColor a = ColorToRGB(from), b = ColorToRGB(to);
    if (a == b) {
        FillRectColor(p, r, from);
        return;
    }
    p.drawImage(QPoint(r.Left, r.Top), CachedGradient({r.Width(), r.Height(), a, b, style}));
}

TSkRect KnobRect(int cx, int cy, int size) {
    const int a = size / 2;
    const int b = RoundEven(0.2 * size);
    return {cx - a, cy - b, cx + a + 1, cy + b + 1};
}

void DrawKnob(QPainter& p, int cx, int cy, int size, TColor color) {
    TSkRect r = KnobRect(cx, cy, size);
    FillRectColor(p, r, clBtnFace);
    const TColor outline = color == clBtnShadow ? clBtnShadow : clBlack;
    Frame3D(p, r, clBtnShadow, outline);
    Frame3D(p, r, clBtnHighlight, clBtnShadow);
    r.Inflate(-(size / 25));
    FillRectColor(p, r, color);
    FrameRectColor(p, r, outline);
}

// Alignment: 0..2 top edge at y, 3..5 centred on y, 6..8 bottom edge at y;
// within each, left edge at x, centred on x, right edge at x.
namespace {

// Measures on the GUI thread only; a font or text never seen again is
// forgotten with the rest when the table grows large.
struct TMeasures {
    QHash<std::pair<QFont, QString>, int> Advances;
    QHash<QFont, int> Heights;
};

TMeasures& Measures() {
    static TMeasures measures;
    if (measures.Advances.size() > 4096) measures.Advances.clear();
    if (measures.Heights.size() > 256) measures.Heights.clear();
    return measures;
}

} // namespace

int TextAdvance(const QFont& font, const QString& text, bool kept) {
    if (!kept) return QFontMetrics(font).horizontalAdvance(text);
    auto& advances = Measures().Advances;
    std::pair<QFont, QString> key(font, text);
    if (const auto it = advances.constFind(key); it != advances.cend()) return *it;
    const int advance = QFontMetrics(font).horizontalAdvance(text);
    advances.insert(std::move(key), advance);
    return advance;
}

int TextHeight(const QFont& font, bool kept) {
    if (!kept) return QFontMetrics(font).height();
    auto& heights = Measures().Heights;
    if (const auto it = heights.constFind(font); it != heights.cend()) return *it;
    const int height = QFontMetrics(font).height();
    heights.insert(font, height);
    return height;
}

void AlignedTextOut(QPainter& p, int x, int y, int alignment, const QString& text) {
    if (text.isEmpty()) return;
    const QFontMetrics fm(p.font());
    const int col = alignment % 3, row = alignment / 3;
    const int w = col == 0 ? 0 : fm.horizontalAdvance(text), h = fm.height();
    const int left = x - (col == 1 ? w / 2 : col == 2 ? w : 0);
    const int top = y - (row == 1 ? h / 2 : row == 2 ? h : 0);
    p.drawText(QPoint(left, top + fm.ascent()), text);
}

void DrawBevelFrame(const TSkSBevel& bevel, QPainter& p, TSkRect& r) {
    FillRectColor(p, r, bevel.Color());
    const int n = bevel.Width();
    for (int i = 1; i <= n; ++i) {
        if (bevel.Style() == bsRaised)
            Frame3D(p, r, BlendColor(bevel.ColorHighLightFrom(), bevel.ColorHighLightTo(), n, i),
                    BlendColor(bevel.ColorShadowFrom(), bevel.ColorShadowTo(), n, i));
        else
            Frame3D(p, r, BlendColor(bevel.ColorShadowTo(), bevel.ColorShadowFrom(), n, i),
                    BlendColor(bevel.ColorHighLightTo(), bevel.ColorHighLightFrom(), n, i));
    }
}

namespace {

bool HasOuterLine(TBevelLine l) {
    return l == blOuter || l == blBoth;
}
bool HasInnerLine(TBevelLine l) {
    return l == blInner || l == blBoth;
}

void ApplySpacingAndOffset(const TSkSBevel& bevel, TSkRect& q) {
    q.Inflate(-bevel.Spacing());
    q.Left += bevel.Offset()->Left();
    q.Top += bevel.Offset()->Top();
    q.Right -= bevel.Offset()->Right();
    q.Bottom -= bevel.Offset()->Bottom();
}

} // namespace

TSkRect BevelContentRect(const TSkSBevel& bevel, const TSkRect& r) {
    TSkRect q = r.Inflated(-bevel.Width());
    if (HasOuterLine(bevel.BevelLine())) q.Inflate(-1);
    if (HasInnerLine(bevel.BevelLine())) q.Inflate(-1);
    ApplySpacingAndOffset(bevel, q);
    return q;
}

void DrawBevel(const TSkSBevel& bevel, QPainter& p, TSkRect& q) {
    const TSkRect outer = q;
    FillRectColor(p, q, bevel.Color());
    const TSkRect surface = q.Inflated(-(bevel.BorderWidth() - bevel.Spacing()));
    if (HasOuterLine(bevel.BevelLine())) q.Inflate(-1);
    DrawBevelFrame(bevel, p, q);
    const TSkGradSettings& grad = *bevel.SurfaceGrad();
    if (grad.Visible()) FillGradient(p, surface, grad.ColorFrom(), grad.ColorTo(), grad.Style());
    if (HasInnerLine(bevel.BevelLine())) {
        FrameRectColor(p, q, bevel.PenColor());
        q.Inflate(-1);
    }
    if (HasOuterLine(bevel.BevelLine())) FrameRectColor(p, outer, bevel.PenColor());
    ApplySpacingAndOffset(bevel, q);
}

TScaleMetrics ScaleMetricsFor(int labelHeight, int labelWidth, int steps, bool vertical) {
    TScaleMetrics m{};
    m.LineWidth = RoundEven(labelHeight / 14.0);
    m.LongTick = RoundEven(labelHeight / 1.4);
    m.ShortTick = m.LineWidth == 1 ? m.LongTick / 2 : RoundEven(m.LongTick / 1.4);
    if (vertical) {
        m.LabelGap = labelHeight / 3;
        m.ScaleWidth = labelWidth + m.LongTick + m.LabelGap;
        m.ScaleLength = RoundEven(labelHeight * steps * 1.4);
    } else {
        m.LabelGap = labelHeight / 5;
        m.ScaleWidth = RoundEven(labelWidth * steps * 1.4);
        m.ScaleLength = labelHeight / 2 + m.LongTick + m.LabelGap;
    }
    return m;
}

QString ScaleLabels(const TScaleSettings& scale, double valueFrom, double valueTo, bool vertical) {
    QString labels;
    const int n = scale.Steps();
    for (int i = 0; i <= n; ++i) {
        const int k = vertical ? n - i : i;
        const double v = valueFrom + k * (valueTo - valueFrom) / n;
        labels += FormatFloat(scale.ValueFormat(), v) + u';';
    }
    return labels;
}

namespace {

void MeasureScale(TScaleSettings& scale, double valueFrom, double valueTo, bool vertical,
                  bool kept) {
    scale.Labels = ScaleLabels(scale, valueFrom, valueTo, vertical);
    const QFont& font = scale.Font()->ToQFont();
    scale.LabelHeight = TextHeight(font, kept);
    scale.LabelWidth = 0;
    for (const QString& label : scale.Labels.split(u';', Qt::SkipEmptyParts))
        scale.LabelWidth = std::max(scale.LabelWidth, TextAdvance(font, label, kept));
    const TScaleMetrics m =
        ScaleMetricsFor(scale.LabelHeight, scale.LabelWidth, scale.Steps(), vertical);
    scale.LineWidth = m.LineWidth;
    scale.LongTick = m.LongTick;
    scale.ShortTick = m.ShortTick;
    scale.LabelGap = m.LabelGap;
    scale.ScaleWidth = m.ScaleWidth;
    scale.ScaleLength = m.ScaleLength;
}

// Takes the next label off the front of the list.
QString NextLabel(QString& labels) {
    const int i = static_cast<int>(labels.indexOf(u';'));
    QString label = i < 0 ? labels : labels.left(i);
    labels = i < 0 ? QString() : labels.mid(i + 1);
    return label;
}

// A tick from x along the row, `dir` -1 to the left, +1 to the right.
void Tick(QPainter& p, int x, int y, int length, int dir, int width, TColor color) {
    const int top = y - width / 2;
    if (dir < 0)
        FillRectColor(p, {x - length + 1, top, x + 1, top + width}, color);
    else
        FillRectColor(p, {x, top, x + length, top + width}, color);
}

} // namespace

void MeasureScaleVertical(TScaleSettings& scale, double valueFrom, double valueTo,
                          bool keptMeasures) {
    MeasureScale(scale, valueFrom, valueTo, true, keptMeasures);
}

void MeasureScaleHorizontal(TScaleSettings& scale, double valueFrom, double valueTo,
                            bool keptMeasures) {
    MeasureScale(scale, valueFrom, valueTo, false, keptMeasures);
}

TScaleTicks ScaleTickRows(int top, int bottom, int steps, int subSteps) {
    TScaleTicks t;
    if (steps < 1 || subSteps < 1) return t;
    const double e = static_cast<double>(bottom - top) / (steps * subSteps);
    const double pitch = subSteps * e;
    for (int g = 0; g <= steps; ++g)
        t.Major.push_back(RoundEven(top + g * pitch));
    for (int g = 0; g < steps; ++g)
        for (int s = 0; s < subSteps; ++s)
            t.Minor.push_back(RoundEven(top + g * pitch + s * e));
    return t;
}

void DrawScale(TScaleSettings& scale, QPainter& p, const TSkRect& r) {
    const bool left = scale.PosLeftTop();
    const int x = left ? r.Right : r.Left;
    const int dir = left ? -1 : 1;
    const int n = scale.Steps();
    const TScaleTicks ticks = ScaleTickRows(r.Top, r.Bottom, n, scale.SubSteps());
    if (ticks.Major.empty()) return;
    p.setFont(scale.Font()->ToQFont());
    p.setPen(ToQColor(scale.Font()->Color()));
    if (scale.DrawLine()) {
        const int w = scale.LineWidth;
        FillRectColor(p, {x - w / 2, r.Top, x - w / 2 + w, ticks.Major.back()}, scale.Color());
    }
    QString labels = scale.Labels;
    const int labelX =
        left ? x - scale.LongTick - scale.LabelGap + 1 : x + scale.LongTick + scale.LabelGap;
    const int align = left ? 5 : 3;
    for (int g = 0; g <= n; ++g) {
        const int y = ticks.Major[static_cast<std::size_t>(g)];
        if (g < n) Tick(p, x, y, scale.LongTick, dir, scale.LineWidth, scale.Color());
        AlignedTextOut(p, labelX, y, align, NextLabel(labels));
        if (g == n) {
            Tick(p, x, y, scale.LongTick, dir, scale.LineWidth, scale.Color());
            break;
        }
        for (int s = 0; s < scale.SubSteps(); ++s)
            Tick(p, x, ticks.Minor[static_cast<std::size_t>(g * scale.SubSteps() + s)],
                 scale.ShortTick, dir, scale.ThinLineWidth, scale.Color());
    }
}
