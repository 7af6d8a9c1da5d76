// The RTF parser: a tokenizer over the bytes and a stack of group states.

#include "dialogs/RtfReader.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <climits>
#include <map>

namespace {

constexpr std::size_t kMaxWordLength = 32;
constexpr int kMaxFontNameLength = 256;
constexpr int kMinHalfPoints = 2;
constexpr int kMaxHalfPoints = 3276;
constexpr int kMaxUnicodeSkip = 64;

// Groups whose content is not text for the reader.
constexpr std::string_view kSkippedDestinations[] = {"annotation",
                                                     "atnauthor",
                                                     "atnid",
                                                     "author",
                                                     "bkmkend",
                                                     "bkmkstart",
                                                     "blipuid",
                                                     "colorschememapping",
                                                     "comment",
                                                     "company",
                                                     "datastore",
                                                     "doccomm",
                                                     "falt",
                                                     "filetbl",
                                                     "fldinst",
                                                     "fontemb",
                                                     "fontfile",
                                                     "footer",
                                                     "footerf",
                                                     "footerl",
                                                     "footerr",
                                                     "footnote",
                                                     "generator",
                                                     "header",
                                                     "headerf",
                                                     "headerl",
                                                     "headerr",
                                                     "info",
                                                     "keywords",
                                                     "latentstyles",
                                                     "listoverridetable",
                                                     "listtable",
                                                     "mmathPr",
                                                     "nonshppict",
                                                     "object",
                                                     "operator",
                                                     "panose",
                                                     "pict",
                                                     "pntext",
                                                     "pntxta",
                                                     "pntxtb",
                                                     "revtbl",
                                                     "rsidtbl",
                                                     "shp",
                                                     "shpinst",
                                                     "sn",
                                                     "sp",
                                                     "stylesheet",
                                                     "subject",
                                                     "sv",
                                                     "tc",
                                                     "themedata",
                                                     "title",
                                                     "txe",
                                                     "userprops",
                                                     "xe",
                                                     "xmlnstbl"};

enum class TDestination { Text, FontTable, ColorTable, Skip };

// Character formatting as the document states it: table indices, resolved
// once the tables are known.
struct TRawFormat {
    int font = -1;
    int halfPoints = RTF_DEFAULT_HALF_POINTS;
    bool bold = false;
    bool italic = false;
    bool underline = false;
    int color = 0; // 0 = automatic
    bool operator==(const TRawFormat&) const = default;
};

struct TGroupState {
    TDestination destination = TDestination::Text;
    TRawFormat format;
    TRtfAlignment alignment = TRtfAlignment::Left;
    int unicodeSkip = 1;
};

struct TRawRun {
    QString text;
    TRawFormat format;
};

struct TRawParagraph {
    TRtfAlignment alignment = TRtfAlignment::Left;
    std::vector<TRawRun> runs;
};

class TRtfParser {
public:
    TRtfParser(std::string_view data, const TRtfLimits& limits) : in_(data), limits_(limits) {}

    std::optional<TRtfDocument> Parse(QString* error);

private:
    bool AtEnd() const { return pos_ >= in_.size(); }
    unsigned char Peek() const { return static_cast<unsigned char>(in_[pos_]); }
    TGroupState& State() { return stack_.back(); }

    bool OpenGroup();
    void CloseGroup();
    void ReadControl();
    void ControlWord(std::string_view word, bool hasParam, int param);
    void ControlSymbol(unsigned char c);
    bool StartDestination(std::string_view word);
    void Character(QChar c);
    void TableText(QChar c);
    void EndParagraph();
    bool ConsumeSkippedCharacter();
    int ReadNumber(bool* present);
    TRtfDocument Finish();

    std::string_view in_;
    TRtfLimits limits_;
    std::size_t pos_ = 0;
    std::vector<TGroupState> stack_;
    bool groupStart_ = false; // nothing but the brace read in this group yet
    bool starred_ = false;    // "\*" just read: an unknown destination is skipped
    int pendingSkip_ = 0;     // fallback characters after "\u" still to skip
    bool done_ = false;
    QString failure_;

    int defaultFont_ = -1;
    std::map<int, QString> fonts_;
    int fontIndex_ = -1;
    QString fontName_;
    std::vector<std::optional<TColor>> colors_;
    std::array<int, 3> rgb_{};
    bool rgbSet_ = false;

    std::vector<TRawParagraph> paragraphs_;
    TRawParagraph current_;
};

std::optional<TRtfDocument> TRtfParser::Parse(QString* error) {
    auto fail = [error](const QString& why) {
        if (error != nullptr) *error = why;
        return std::nullopt;
    };
    if (in_.size() > limits_.maxBytes) return fail(QStringLiteral("document too large"));
    std::size_t start = 0;
    while (start < in_.size() &&
           (in_[start] == ' ' || in_[start] == '\r' || in_[start] == '\n' || in_[start] == '\t'))
        ++start;
    if (in_.substr(start, 5) != "{\\rtf") return fail(QStringLiteral("not an RTF document"));
    pos_ = start;

    while (!AtEnd() && !done_ && failure_.isEmpty()) {
        const unsigned char c = Peek();
        if (c == '{') {
            ++pos_;
            if (!OpenGroup()) break;
        } else if (c == '}') {
            ++pos_;
            CloseGroup();
        } else if (c == '\\') {
            ++pos_;
            ReadControl();
        } else {
            ++pos_;
            if (c == '\r' || c == '\n' || c == 0) continue;
            groupStart_ = false;
            if (ConsumeSkippedCharacter()) continue;
            Character(Cp1252ToUnicode(c));
        }
    }
    if (!failure_.isEmpty()) return fail(failure_);
    // A document cut short keeps what was read.
    return Finish();
}

bool TRtfParser::OpenGroup() {
    if (static_cast<int>(stack_.size()) >= limits_.maxDepth) {
        failure_ = QStringLiteral("groups nested too deeply");
        return false;
    }
    pendingSkip_ = 0;
    stack_.push_back(stack_.empty() ? TGroupState{} : stack_.back());
    groupStart_ = true;
    starred_ = false;
    return true;
}

void TRtfParser::CloseGroup() {
    pendingSkip_ = 0;
    groupStart_ = false;
    starred_ = false;
    if (stack_.empty()) {
        done_ = true;
        return;
    }
    if (stack_.back().destination == TDestination::FontTable && fontIndex_ >= 0 &&
        !fontName_.trimmed().isEmpty()) {
        // An entry whose ";" is missing still names its font.
        TableText(QLatin1Char(';'));
    }
    stack_.pop_back();
    if (stack_.empty()) done_ = true; // the document's own group has ended
}

int TRtfParser::ReadNumber(bool* present) {
    bool negative = false;
    if (!AtEnd() && Peek() == '-') {
        negative = true;
        ++pos_;
    }
    long long value = 0;
    bool any = false;
    while (!AtEnd() && Peek() >= '0' && Peek() <= '9') {
        any = true;
        value = std::min<long long>(value * 10 + (Peek() - '0'), INT_MAX);
        ++pos_;
    }
    *present = any;
    if (!any && negative) --pos_; // a lone "-" is text
    return static_cast<int>(negative ? -value : value);
}

void TRtfParser::ReadControl() {
    if (AtEnd()) return;
    const unsigned char c = Peek();
    if ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z')) {
        const std::size_t begin = pos_;
        while (!AtEnd() && ((Peek() >= 'a' && Peek() <= 'z') || (Peek() >= 'A' && Peek() <= 'Z')))
            ++pos_;
        const std::string_view word = in_.substr(begin, std::min(pos_ - begin, kMaxWordLength));
        bool hasParam = false;
        const int param = ReadNumber(&hasParam);
        if (!AtEnd() && Peek() == ' ') ++pos_;
        ControlWord(word, hasParam, param);
        return;
    }
    ++pos_;
    ControlSymbol(c);
}

bool TRtfParser::ConsumeSkippedCharacter() {
    if (pendingSkip_ <= 0) return false;
    --pendingSkip_;
    return true;
}

void TRtfParser::ControlSymbol(unsigned char c) {
    const bool wasGroupStart = groupStart_;
    groupStart_ = false;
    if (c == '*') {
        starred_ = wasGroupStart;
        groupStart_ = wasGroupStart;
        return;
    }
    if (c == '\'') {
        int value = 0;
        for (int i = 0; i < 2; ++i) {
            if (AtEnd() || !std::isxdigit(Peek())) return; // a cut-short escape is dropped
            const unsigned char h = Peek();
            value = value * 16 + (h <= '9' ? h - '0' : (h | 0x20) - 'a' + 10);
            ++pos_;
        }
        if (ConsumeSkippedCharacter()) return;
        Character(Cp1252ToUnicode(static_cast<unsigned char>(value)));
        return;
    }
    if (ConsumeSkippedCharacter()) return;
    switch (c) {
    case '\\':
    case '{':
    case '}':
        Character(QLatin1Char(static_cast<char>(c)));
        break;
    case '~':
        Character(QChar(0x00A0));
        break;
    case '_':
        Character(QChar(0x2011));
        break;
    case '-': // optional hyphen: shown only where a line breaks
        Character(QChar(0x00AD));
        break;
    case '\r':
    case '\n':
        EndParagraph();
        break;
    case '\t':
        Character(QLatin1Char('\t'));
        break;
    default:
        break;
    }
}

bool TRtfParser::StartDestination(std::string_view word) {
    if (word == "fonttbl") {
        State().destination = TDestination::FontTable;
        return true;
    }
    if (word == "colortbl") {
        State().destination = TDestination::ColorTable;
        rgbSet_ = false;
        rgb_ = {};
        return true;
    }
    if (std::find(std::begin(kSkippedDestinations), std::end(kSkippedDestinations), word) !=
            std::end(kSkippedDestinations) ||
        starred_) {
        State().destination = TDestination::Skip;
        return true;
    }
    return false;
}

void TRtfParser::ControlWord(std::string_view word, bool hasParam, int param) {
    const bool wasGroupStart = groupStart_;
    groupStart_ = false;
    if (stack_.empty()) return;
    if (wasGroupStart && State().destination != TDestination::Skip && StartDestination(word)) {
        starred_ = false;
        return;
    }
    starred_ = false;
    if (word == "bin") { // raw bytes: skipped whatever the destination
        const std::size_t n = hasParam && param > 0 ? static_cast<std::size_t>(param) : 0;
        pos_ = std::min(in_.size(), pos_ + n);
        return;
    }
    TGroupState& s = State();
    if (s.destination == TDestination::Skip) return;
    if (word == "u" && hasParam) {
        if (ConsumeSkippedCharacter()) return;
        const int code = param < 0 ? param + 65536 : param;
        Character(code >= 0 && code <= 0xFFFF ? QChar(static_cast<char16_t>(code))
                                              : QChar(QChar::ReplacementCharacter));
        pendingSkip_ = s.unicodeSkip;
        return;
    }
    if (ConsumeSkippedCharacter()) return;

    const bool on = !hasParam || param != 0;
    TRawFormat& f = s.format;
    if (word == "par" || word == "sect" || word == "page" || word == "row")
        EndParagraph();
    else if (word == "line")
        Character(QChar(QChar::LineSeparator));
    else if (word == "tab" || word == "cell")
        Character(QLatin1Char('\t'));
    else if (word == "emdash")
        Character(QChar(0x2014));
    else if (word == "endash")
        Character(QChar(0x2013));
    else if (word == "bullet")
        Character(QChar(0x2022));
    else if (word == "lquote")
        Character(QChar(0x2018));
    else if (word == "rquote")
        Character(QChar(0x2019));
    else if (word == "ldblquote")
        Character(QChar(0x201C));
    else if (word == "rdblquote")
        Character(QChar(0x201D));
    else if (word == "emspace")
        Character(QChar(0x2003));
    else if (word == "enspace")
        Character(QChar(0x2002));
    else if (word == "b")
        f.bold = on;
    else if (word == "i")
        f.italic = on;
    else if (word == "ul" || word == "uld" || word == "uldb" || word == "ulw" || word == "uldash")
        f.underline = on;
    else if (word == "ulnone")
        f.underline = false;
    else if (word == "fs")
        f.halfPoints = hasParam && param > 0 ? std::clamp(param, kMinHalfPoints, kMaxHalfPoints)
                                             : RTF_DEFAULT_HALF_POINTS;
    else if (word == "f") {
        if (s.destination == TDestination::FontTable)
            fontIndex_ = hasParam ? param : -1;
        else
            f.font = hasParam ? param : defaultFont_;
    } else if (word == "cf")
        f.color = hasParam ? param : 0;
    else if (word == "plain")
        f = TRawFormat{.font = defaultFont_};
    else if (word == "pard")
        s.alignment = TRtfAlignment::Left;
    else if (word == "ql")
        s.alignment = TRtfAlignment::Left;
    else if (word == "qc")
        s.alignment = TRtfAlignment::Center;
    else if (word == "qr")
        s.alignment = TRtfAlignment::Right;
    else if (word == "qj")
        s.alignment = TRtfAlignment::Justify;
    else if (word == "uc")
        s.unicodeSkip = std::clamp(hasParam ? param : 1, 0, kMaxUnicodeSkip);
    else if (word == "deff" && hasParam) {
        defaultFont_ = param;
        f.font = param;
    } else if (s.destination == TDestination::ColorTable &&
               (word == "red" || word == "green" || word == "blue")) {
        const int k = word == "red" ? 0 : word == "green" ? 1 : 2;
        rgb_[static_cast<std::size_t>(k)] = std::clamp(hasParam ? param : 0, 0, 255);
        rgbSet_ = true;
    }
    // Any other word changes nothing the reader keeps.
}

void TRtfParser::Character(QChar c) {
    groupStart_ = false;
    if (stack_.empty()) return;
    const TGroupState& s = State();
    switch (s.destination) {
    case TDestination::Skip:
        return;
    case TDestination::FontTable:
    case TDestination::ColorTable:
        TableText(c);
        return;
    case TDestination::Text:
        break;
    }
    if (current_.runs.empty() || !(current_.runs.back().format == s.format))
        current_.runs.push_back({QString(), s.format});
    current_.runs.back().text += c;
}

void TRtfParser::TableText(QChar c) {
    if (State().destination == TDestination::ColorTable) {
        if (c != QLatin1Char(';')) return;
        if (colors_.size() < limits_.maxTableEntries)
            colors_.push_back(rgbSet_ ? std::optional<TColor>(RGB(rgb_[0], rgb_[1], rgb_[2]))
                                      : std::nullopt);
        rgb_ = {};
        rgbSet_ = false;
        return;
    }
    if (c != QLatin1Char(';')) {
        if (fontName_.size() < kMaxFontNameLength) fontName_ += c;
        return;
    }
    if (fontIndex_ >= 0 && (fonts_.size() < limits_.maxTableEntries || fonts_.count(fontIndex_)))
        fonts_[fontIndex_] = fontName_.trimmed();
    fontIndex_ = -1;
    fontName_.clear();
}

void TRtfParser::EndParagraph() {
    if (stack_.empty() || State().destination != TDestination::Text) return;
    current_.alignment = State().alignment;
    paragraphs_.push_back(std::move(current_));
    current_ = TRawParagraph{};
}

QString WithoutLoneSurrogates(QString text) {
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c.isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate()) {
            ++i;
            continue;
        }
        if (c.isSurrogate()) text[i] = QChar(QChar::ReplacementCharacter);
    }
    return text;
}

TRtfDocument TRtfParser::Finish() {
    if (!current_.runs.empty()) {
        current_.alignment = stack_.empty() ? current_.alignment : State().alignment;
        paragraphs_.push_back(std::move(current_));
    }
    TRtfDocument doc;
    doc.paragraphs.reserve(paragraphs_.size());
    for (TRawParagraph& raw : paragraphs_) {
        TRtfParagraph p;
        p.alignment = raw.alignment;
        for (TRawRun& run : raw.runs) {
            TRtfCharFormat f;
            const auto font = fonts_.find(run.format.font);
            if (font != fonts_.end()) f.fontFamily = font->second;
            f.halfPoints = run.format.halfPoints;
            f.bold = run.format.bold;
            f.italic = run.format.italic;
            f.underline = run.format.underline;
            const int color = run.format.color;
            if (color > 0 && static_cast<std::size_t>(color) < colors_.size())
                f.color = colors_[static_cast<std::size_t>(color)];
            p.runs.push_back({WithoutLoneSurrogates(std::move(run.text)), f});
        }
        doc.paragraphs.push_back(std::move(p));
    }
    return doc;
}

} // namespace

std::optional<TRtfDocument> ReadRtf(std::string_view data, QString* error,
                                    const TRtfLimits& limits) {
    return TRtfParser(data, limits).Parse(error);
}
