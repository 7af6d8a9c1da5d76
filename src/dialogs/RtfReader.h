#pragma once
// A small reader of rich-text (RTF) documents, for the Readme view. It keeps
// what a help text needs: fonts, colours, bold, italic, underline, sizes,
// paragraphs and their alignment, special characters and Unicode; everything
// else is skipped. Input is untrusted: sizes, nesting and numbers are bounded
// and a broken document is refused with a reason rather than read past.

#include <cstddef>
#include <optional>
#include <string_view>
#include <vector>

#include <QString>

#include "base/Colors.h"

class QFont;
class QTextDocument;

// Twelve points, the size of text that names none.
inline constexpr int RTF_DEFAULT_HALF_POINTS = 24;

struct TRtfCharFormat {
    QString fontFamily; // empty: the view's own font
    int halfPoints = RTF_DEFAULT_HALF_POINTS;
    bool bold = false;
    bool italic = false;
    bool underline = false;
    std::optional<TColor> color; // empty: the view's text colour
    bool operator==(const TRtfCharFormat&) const = default;
};

enum class TRtfAlignment { Left, Center, Right, Justify };

struct TRtfRun {
    QString text;
    TRtfCharFormat format;
};

struct TRtfParagraph {
    TRtfAlignment alignment = TRtfAlignment::Left;
    std::vector<TRtfRun> runs;
    QString Text() const;
};

struct TRtfDocument {
    std::vector<TRtfParagraph> paragraphs;
    // Paragraphs joined by newlines.
    QString PlainText() const;
};

struct TRtfLimits {
    std::size_t maxBytes = 16u << 20;
    int maxDepth = 256;
    std::size_t maxTableEntries = 4096;
};

// Reads an RTF document; on refusal returns nothing and says why in *error.
std::optional<TRtfDocument> ReadRtf(std::string_view data, QString* error = nullptr,
                                    const TRtfLimits& limits = {});

// Replaces the whole content of `target` with the document.
void FillTextDocument(const TRtfDocument& document, QTextDocument& target);

// The Windows Latin-1 character of one byte (the documents' usual code page).
QChar Cp1252ToUnicode(unsigned char byte);
