// Every kind of property value to text and back, and the values that do not fit.

#include <gtest/gtest.h>

#include "SampleObject.h"
#include "storage/CarrierStream.h"
#include "storage/Encodings.h"

using namespace oxp;

namespace {

TPropRef Prop(QObject& o, const char* name) {
    const std::optional<TPropRef> p = FindProperty(&o, QString::fromLatin1(name));
    EXPECT_TRUE(p.has_value()) << name;
    return p.value_or(TPropRef{});
}

QString Encode(TSample& s, const char* name) {
    return EncodeText(Prop(s, name));
}
// As the component applies it: the sample's owner is its parent.
void Apply(TSample& s, const char* name, const QString& text) {
    ApplyText(Prop(s, name), text, s.parent());
}

} // namespace

TEST(PropertyTable, LookupIgnoresAsciiCaseAndFindsBaseClassProperties) {
    TSample s;
    EXPECT_TRUE(FindProperty(&s, u"count").has_value());
    EXPECT_TRUE(FindProperty(&s, u"COUNT").has_value());
    EXPECT_TRUE(FindProperty(&s, u"objectName").has_value()); // from QObject
    EXPECT_FALSE(FindProperty(&s, u"Missing").has_value());
}

TEST(PropertyTable, KindsAndTypeNames) {
    TSample s;
    struct Case {
        const char* property;
        TPropKind kind;
        const char* typeName;
    };
    const Case cases[] = {
        {"Count", TPropKind::Integer, "int"},           {"Color", TPropKind::Integer, "TColor"},
        {"Cursor", TPropKind::Integer, "TCursor"},      {"Letter", TPropKind::Char, "QChar"},
        {"Checked", TPropKind::Enumeration, "Boolean"}, {"Align", TPropKind::Enumeration, nullptr},
        {"Caption", TPropKind::String, "QString"},      {"Style", TPropKind::Set, nullptr},
        {"Buddy", TPropKind::Object, nullptr},          {"Lines", TPropKind::Object, nullptr},
        {"Ratio", TPropKind::Other, "double"},
    };
    for (const Case& c : cases) {
        const TPropRef p = Prop(s, c.property);
        EXPECT_EQ(p.kind, c.kind) << c.property;
        if (c.typeName) {
            EXPECT_EQ(p.typeName, QLatin1String(c.typeName)) << c.property;
        }
    }
    EXPECT_TRUE(Prop(s, "Buddy").componentReference);
    EXPECT_TRUE(IsObjectValue(Prop(s, "Lines")));
    EXPECT_TRUE(IsObjectValue(Prop(s, "Font")));
}

TEST(ValueEncoding, ValuesBecomeText) {
    TSample s;
    s.count = -42;
    s.cursor = crHand;
    s.style = TSample::TStyles(TSample::fsItalic | TSample::fsBold);
    s.checked = true;
    s.align = TSample::alClient;
    struct Case {
        const char* property;
        const char* text;
    };
    const Case cases[] = {
        {"Count", "-42"},      {"Small", "3"},         {"Color", "clRed"},
        {"Cursor", "crHand"},  {"Letter", "x"},        {"Checked", "True"},
        {"Align", "alClient"}, {"Caption", "caption"}, {"Style", "[fsBold,fsItalic]"},
        {"Buddy", ""},         {"Ratio", ""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(Encode(s, c.property), QLatin1String(c.text)) << c.property;
    s.style = {};
    EXPECT_EQ(Encode(s, "Style"), QStringLiteral("[]"));
}

TEST(ValueEncoding, ColoursAndCursorsWithoutIdentifiersAreNumbers) {
    TSample s;
    s.color = 0x123456;
    s.cursor = 5;
    EXPECT_EQ(Encode(s, "Color"), QStringLiteral("1193046"));
    EXPECT_EQ(Encode(s, "Cursor"), QStringLiteral("5"));
    for (TColor c : {clBlack, TColor(0x123456), clBtnFace, clNone}) {
        TSample t;
        t.color = c;
        const QString text = Encode(t, "Color");
        t.color = clWhite;
        Apply(t, "Color", text);
        EXPECT_EQ(t.color, c) << text.toStdString();
    }
    s.color = clBlack;
    EXPECT_EQ(Encode(s, "Color"), QStringLiteral("clBlack"));
}

TEST(ValueApplying, StoredTextsThatFitAndThoseThatDoNot) {
    struct Case {
        const char* name;
        const char* property;
        QString text;
        std::function<bool(const TSample&)> holds;
    };
    const Case cases[] = {
        {"decimal", "Count", QStringLiteral("120"), [](auto& s) { return s.count == 120; }},
        {"negative", "Count", QStringLiteral("-3"), [](auto& s) { return s.count == -3; }},
        {"unparsable integer gives 0", "Count", QStringLiteral("abc"),
         [](auto& s) { return s.count == 0; }},
        {"empty integer unchanged", "Count", QString(), [](auto& s) { return s.count == 7; }},
        {"out of range short gives 0", "Small", QStringLiteral("70000"),
         [](auto& s) { return s.small == 0; }},
        {"colour identifier", "Color", QStringLiteral("clbtnface"),
         [](auto& s) { return s.color == clBtnFace; }},
        {"colour number", "Color", QStringLiteral("255"), [](auto& s) { return s.color == 255; }},
        {"colour unparsable gives 0", "Color", QStringLiteral("clNothing"),
         [](auto& s) { return s.color == 0; }},
        {"colour empty unchanged", "Color", QString(), [](auto& s) { return s.color == clRed; }},
        {"cursor identifier", "Cursor", QStringLiteral("crHandPoint"),
         [](auto& s) { return s.cursor == crHand; }},
        {"cursor unparsable gives 0", "Cursor", QStringLiteral("?"),
         [](auto& s) { return s.cursor == 0; }},
        {"character takes the first", "Letter", QStringLiteral("yz"),
         [](auto& s) { return s.letter == QLatin1Char('y'); }},
        {"empty character unchanged", "Letter", QString(),
         [](auto& s) { return s.letter == QLatin1Char('x'); }},
        {"True in any case", "Checked", QStringLiteral("tRUE"), [](auto& s) { return s.checked; }},
        {"other text leaves a boolean", "Checked", QStringLiteral("yes"),
         [](auto& s) { return !s.checked; }},
        {"enumeration name", "Align", QStringLiteral("ALBOTTOM"),
         [](auto& s) { return s.align == TSample::alBottom; }},
        {"unknown enumeration name", "Align", QStringLiteral("alLeft"),
         [](auto& s) { return s.align == TSample::alTop; }},
        {"string as is", "Caption", QStringLiteral(" a b "),
         [](auto& s) { return s.caption == QLatin1String(" a b "); }},
        {"empty string empties", "Caption", QString(), [](auto& s) { return s.caption.isEmpty(); }},
        {"set members", "Style", QStringLiteral("[ fsUnderline , fsBold ]"),
         [](auto& s) {
             return s.style == TSample::TStyles(TSample::fsBold | TSample::fsUnderline);
         }},
        {"set skips unknown names", "Style", QStringLiteral("[fsNone,fsItalic]"),
         [](auto& s) { return s.style == TSample::TStyles(TSample::fsItalic); }},
        {"set stops at an empty part", "Style", QStringLiteral("[fsBold,,fsItalic]"),
         [](auto& s) { return s.style == TSample::TStyles(TSample::fsBold); }},
        {"set needs a bracket", "Style", QStringLiteral("fsBold"),
         [](auto& s) { return s.style == TSample::TStyles(); }},
        {"other kinds ignore text", "Ratio", QStringLiteral("2.5"),
         [](auto& s) { return s.ratio == 0.5; }},
    };
    for (const Case& c : cases) {
        TSample s;
        Apply(s, c.property, c.text);
        EXPECT_TRUE(c.holds(s)) << c.name;
    }
}

TEST(ValueApplying, ComponentReferencesAreFoundByNameOrCleared) {
    QObject form;
    form.setObjectName(QStringLiteral("Form"));
    auto* holder = new TSample(QStringLiteral("Holder"), &form);
    auto* other = new TSample(QStringLiteral("Other"), &form);
    new QObject(&form); // not a TSample
    form.children().last()->setObjectName(QStringLiteral("Plain"));
    Apply(*holder, "Buddy", QStringLiteral("other"));
    EXPECT_EQ(holder->buddy, other);
    EXPECT_EQ(Encode(*holder, "Buddy"), QStringLiteral("Other"));
    Apply(*holder, "Buddy", QStringLiteral("Plain"));
    EXPECT_EQ(holder->buddy, nullptr) << "a component of another class clears the reference";
    holder->buddy = other;
    Apply(*holder, "Buddy", QStringLiteral("Nobody"));
    EXPECT_EQ(holder->buddy, nullptr);
}

TEST(ObjectValueBlock, EmptyStringListIsStoredAsEmpty) {
    TSample s;
    const std::optional<QByteArray> block = EncodeBlock(Prop(s, "Lines"));
    ASSERT_TRUE(block.has_value());
    EXPECT_EQ(*block, QByteArray("EMPTY") + QByteArray(27, '\0') + "03");
    s.lines = QStringList{QStringLiteral("x")};
    ApplyBlock(Prop(s, "Lines"), *block);
    EXPECT_TRUE(s.lines.isEmpty());
}

TEST(ObjectValueBlock, StringListRoundTripsAndForeignBlocksAreIgnored) {
    TSample s;
    s.lines = QStringList{QStringLiteral("ColorA=FFFFFF"), QStringLiteral("ColorB=00FF00")};
    const QByteArray block = *EncodeBlock(Prop(s, "Lines"));
    EXPECT_EQ(block.left(12), QByteArray("TStringList\0", 12));
    EXPECT_EQ(block.mid(32, 2), QByteArray("03"));
    EXPECT_EQ(block.mid(34), WriteStringListStream(s.lines));

    TSample t;
    t.lines = QStringList{QStringLiteral("keep")};
    ApplyBlock(Prop(t, "Lines"), QByteArray("TFont") + block.mid(5));
    EXPECT_EQ(t.lines, QStringList{QStringLiteral("keep")}) << "another class name";
    ApplyBlock(Prop(t, "Lines"), block.left(40));
    EXPECT_EQ(t.lines, QStringList{QStringLiteral("keep")}) << "an unreadable stream";
    ApplyBlock(Prop(t, "Lines"), block.left(20));
    EXPECT_EQ(t.lines, QStringList{QStringLiteral("keep")}) << "a block too short";
    ApplyBlock(Prop(t, "Lines"), block);
    EXPECT_EQ(t.lines, s.lines);
}

TEST(ObjectValueBlock, FontsReadBackWhatTheyWrote) {
    TSample s;
    s.font = QFont(QStringLiteral("Arial"));
    s.font.setPixelSize(13);
    s.font.setBold(true);
    s.font.setUnderline(true);
    const QByteArray block = *EncodeBlock(Prop(s, "Font"));
    TSample t;
    ApplyBlock(Prop(t, "Font"), block);
    EXPECT_EQ(t.font.family(), QStringLiteral("Arial"));
    EXPECT_EQ(t.font.pixelSize(), 13);
    EXPECT_TRUE(t.font.bold());
    EXPECT_TRUE(t.font.underline());
    EXPECT_FALSE(t.font.italic());
}

TEST(ObjectValueBlock, PicturesReadBackAndEmptyPicturesLoseTheirGraphic) {
    TSample s;
    EXPECT_EQ(*EncodeBlock(Prop(s, "Glyph")), QByteArray("EMPTY") + QByteArray(27, '\0') + "03");
    QImage image(4, 3, QImage::Format_RGB32);
    image.fill(Qt::red);
    s.glyph = QPixmap::fromImage(image);
    const QByteArray block = *EncodeBlock(Prop(s, "Glyph"));
    EXPECT_EQ(block.left(9), QByteArray("TPicture\0", 9));

    TSample t;
    ApplyBlock(Prop(t, "Glyph"), block);
    ASSERT_FALSE(t.glyph.isNull());
    EXPECT_EQ(t.glyph.size(), QSize(4, 3));
    EXPECT_EQ(t.glyph.toImage().pixelColor(1, 1), QColor(Qt::red));
    ApplyBlock(Prop(t, "Glyph"), block.left(block.size() - 10));
    EXPECT_FALSE(t.glyph.isNull()) << "an unreadable stream leaves the picture";
    TSample empty;
    ApplyBlock(Prop(t, "Glyph"), *EncodeBlock(Prop(empty, "Glyph")));
    EXPECT_TRUE(t.glyph.isNull());
}
