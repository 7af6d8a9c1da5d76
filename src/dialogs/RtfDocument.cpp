// The reader's output model, and how it becomes a Qt text document.

#include <QBrush>
#include <QTextCursor>
#include <QTextDocument>

#include "dialogs/RtfReader.h"

QString TRtfParagraph::Text() const {
    QString text;
    for (const TRtfRun& run : runs)
        text += run.text;
    return text;
}

QString TRtfDocument::PlainText() const {
    QStringList lines;
    for (const TRtfParagraph& p : paragraphs)
        lines << p.Text();
    return lines.join(QLatin1Char('\n'));
}

QChar Cp1252ToUnicode(unsigned char byte) {
    // 0x80..0x9F differ from Latin-1; the five unassigned bytes keep their value.
    static constexpr char16_t kHigh[32] = {
        0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
        0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
        0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};
    if (byte >= 0x80 && byte <= 0x9F) return QChar(kHigh[byte - 0x80]);
    return QChar(byte);
}

namespace {

Qt::Alignment QtAlignment(TRtfAlignment a) {
    switch (a) {
    case TRtfAlignment::Left:
        return Qt::AlignLeft;
    case TRtfAlignment::Center:
        return Qt::AlignHCenter;
    case TRtfAlignment::Right:
        return Qt::AlignRight;
    case TRtfAlignment::Justify:
        return Qt::AlignJustify;
    }
    return Qt::AlignLeft;
}

QTextCharFormat QtFormat(const TRtfCharFormat& f) {
    QTextCharFormat out;
    if (!f.fontFamily.isEmpty()) out.setFontFamilies({f.fontFamily});
    out.setFontPointSize(f.halfPoints / 2.0);
    out.setFontWeight(f.bold ? QFont::Bold : QFont::Normal);
    out.setFontItalic(f.italic);
    out.setFontUnderline(f.underline);
    if (f.color) out.setForeground(QBrush(ToQColor(*f.color)));
    return out;
}

} // namespace

void FillTextDocument(const TRtfDocument& document, QTextDocument& target) {
    target.clear();
    QTextCursor cursor(&target);
    cursor.beginEditBlock();
    bool first = true;
    for (const TRtfParagraph& p : document.paragraphs) {
        QTextBlockFormat block;
        block.setAlignment(QtAlignment(p.alignment));
        if (first)
            cursor.setBlockFormat(block);
        else
            cursor.insertBlock(block);
        first = false;
        for (const TRtfRun& run : p.runs)
            cursor.insertText(run.text, QtFormat(run.format));
    }
    cursor.endEditBlock();
}
