#include "slider/ValueFormat.h"

#include <charconv>
#include <cmath>
#include <string>
#include <vector>

namespace {

struct Section {
    QString prefix;
    QString suffix;
    int minInt = 0;        // '0' placeholders before the point
    QString fraction;      // the placeholders after the point, in order
    bool grouping = false; // ',' among the digits
    bool hasDigits = false;
};

bool IsPlaceholder(QChar c) {
    return c == u'0' || c == u'#';
}

std::vector<QString> SplitSections(const QString& pattern) {
    std::vector<QString> out(1);
    QChar quote;
    for (QChar c : pattern) {
        if (!quote.isNull()) {
            if (c == quote) quote = QChar();
            out.back() += c;
        } else if (c == u'"' || c == u'\'') {
            quote = c;
            out.back() += c;
        } else if (c == u';' && out.size() < 3) {
            out.emplace_back();
        } else {
            out.back() += c;
        }
    }
    return out;
}

Section ParseSection(const QString& text) {
    Section s;
    bool afterPoint = false;
    bool seenDigits = false;
    QChar quote;
    QString pendingLiteral; // literal text after the last placeholder seen so far
    for (QChar c : text) {
        if (!quote.isNull()) {
            if (c == quote)
                quote = QChar();
            else
                pendingLiteral += c;
            continue;
        }
        if (c == u'"' || c == u'\'') {
            quote = c;
        } else if (IsPlaceholder(c)) {
            if (!seenDigits) s.prefix = pendingLiteral;
            pendingLiteral.clear(); // literals between digits are not kept
            seenDigits = true;
            if (afterPoint)
                s.fraction += c;
            else if (c == u'0')
                ++s.minInt;
        } else if (c == u'.' && !afterPoint) {
            if (!seenDigits) s.prefix = pendingLiteral;
            pendingLiteral.clear();
            afterPoint = true;
            seenDigits = true;
        } else if (c == u',' && seenDigits && !afterPoint) {
            s.grouping = true;
        } else {
            pendingLiteral += c;
        }
    }
    if (seenDigits)
        s.suffix = pendingLiteral;
    else
        s.prefix = pendingLiteral;
    s.hasDigits = seenDigits;
    return s;
}

// Shortest decimal form of the number, without exponent: digits and the
// position of the point inside them.
struct Decimal {
    std::string digits; // no sign, no point
    int pointPos = 0;   // digits before the point
};

template <typename T>
Decimal ToDecimal(T magnitude) {
    char buf[512];
    const auto res = std::to_chars(buf, buf + sizeof buf, magnitude, std::chars_format::fixed);
    // 512 places hold every double in fixed form; a failure would show as "0".
    const std::string text = res.ec == std::errc() ? std::string(buf, res.ptr) : std::string("0");
    Decimal d;
    const auto dot = text.find('.');
    d.digits = text;
    if (dot == std::string::npos) {
        d.pointPos = static_cast<int>(text.size());
    } else {
        d.digits.erase(dot, 1);
        d.pointPos = static_cast<int>(dot);
    }
    return d;
}

// Keeps `decimals` digits after the point, rounding half away from zero.
void RoundDecimal(Decimal& d, int decimals) {
    const int keep = d.pointPos + decimals;
    if (keep < 0) {
        d.digits.assign(1, '0'); // not = "0": GCC 12 misreads that as an overlapping copy
        d.pointPos = 1;
        return;
    }
    if (static_cast<int>(d.digits.size()) <= keep) {
        d.digits.append(static_cast<std::size_t>(keep) - d.digits.size(), '0');
        return;
    }
    const bool up = d.digits[static_cast<std::size_t>(keep)] >= '5';
    d.digits.resize(static_cast<std::size_t>(keep));
    if (up) {
        int i = keep - 1;
        for (; i >= 0; --i) {
            char& ch = d.digits[static_cast<std::size_t>(i)];
            if (ch == '9') {
                ch = '0';
            } else {
                ++ch;
                break;
            }
        }
        if (i < 0) {
            d.digits.insert(d.digits.begin(), '1');
            ++d.pointPos;
        }
    }
}

QString Group(const QString& digits) {
    QString out;
    const int n = static_cast<int>(digits.size());
    for (int i = 0; i < n; ++i) {
        if (i > 0 && (n - i) % 3 == 0) out += u',';
        out += digits[i];
    }
    return out;
}

QString Render(const Section& s, const Decimal& d, bool minus) {
    if (!s.hasDigits) return s.prefix;
    std::string intPart = d.digits.substr(0, static_cast<std::size_t>(std::max(d.pointPos, 0)));
    std::string frac = d.digits.substr(static_cast<std::size_t>(std::max(d.pointPos, 0)));
    const auto firstNonZero = intPart.find_first_not_of('0');
    intPart = firstNonZero == std::string::npos ? std::string() : intPart.substr(firstNonZero);
    if (static_cast<int>(intPart.size()) < s.minInt)
        intPart.insert(0, static_cast<std::size_t>(s.minInt) - intPart.size(), '0');
    const int minDec = static_cast<int>(s.fraction.lastIndexOf(u'0')) + 1;
    while (static_cast<int>(frac.size()) > minDec && frac.back() == '0')
        frac.pop_back();

    QString number = QString::fromStdString(intPart);
    if (s.grouping) number = Group(number);
    if (!frac.empty()) number += u'.' + QString::fromStdString(frac);
    return (minus ? QStringLiteral("-") : QString()) + s.prefix + number + s.suffix;
}

bool IsZero(const Decimal& d) {
    return d.digits.find_first_not_of('0') == std::string::npos;
}

template <typename T>
QString FormatWith(const QString& pattern, T value) {
    if (!std::isfinite(value))
        return std::isnan(value) ? QStringLiteral("NAN") : QStringLiteral("INF");
    const std::vector<QString> texts = SplitSections(pattern);
    std::vector<Section> sections;
    for (const QString& t : texts)
        sections.push_back(ParseSection(t));

    const bool negative = std::signbit(value) && value != 0;
    const Section* chosen = &sections[0];
    bool minus = negative;
    if (negative && sections.size() >= 2 && !texts[1].isEmpty()) {
        chosen = &sections[1];
        minus = false; // the negative section carries its own sign, if any
    }
    Decimal d = ToDecimal(std::fabs(value));
    RoundDecimal(d, static_cast<int>(chosen->fraction.size()));
    if (IsZero(d)) {
        minus = false; // no "-0"
        if (sections.size() >= 3 && !texts[2].isEmpty())
            chosen = &sections[2];
        else if (negative)
            chosen = &sections[0];
    }
    return Render(*chosen, d, minus);
}

} // namespace

QString FormatFloat(const QString& pattern, double value) {
    return FormatWith(pattern, value);
}
QString FormatFloat(const QString& pattern, float value) {
    return FormatWith(pattern, value);
}

QString SampleTextOf(const QString& pattern) {
    const int i = static_cast<int>(pattern.indexOf(u';'));
    if (i < 0) return pattern;
    const QString before = pattern.left(i);
    const QString after = pattern.mid(i + 1);
    return after.size() >= before.size() ? after : before;
}
