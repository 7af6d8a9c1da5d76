// The carrier stream of a string list, and its reader against bad input.

#include <QRandomGenerator>
#include <gtest/gtest.h>

#include "storage/CarrierStream.h"

using namespace oxp;

namespace {

QByteArray Prologue() {
    return QByteArray("TPF0") + '\x08' + "TCarrier" + '\x00' + '\x12' + "Persistent.Strings" +
           '\x01';
}
QByteArray Epilogue() {
    return QByteArray(3, '\0');
}

} // namespace

TEST(StringListStream, ShortLinesAreTaggedStrings) {
    const QByteArray bytes = WriteStringListStream({QStringLiteral("ColorA=FFFFFF"), QString()});
    EXPECT_EQ(bytes, Prologue() + '\x06' + '\x0D' + "ColorA=FFFFFF" + '\x06' + '\x00' + Epilogue());
}

TEST(StringListStream, LineKindsFollowLengthAndCharacters) {
    const QString longLine(300, QLatin1Char('a'));
    const QString wide = QStringLiteral("Grün");
    const QByteArray bytes = WriteStringListStream({longLine, wide});
    QByteArray expected = Prologue();
    expected += QByteArray("\x0C\x2C\x01\x00\x00", 5) + longLine.toLatin1();
    expected += QByteArray("\x14\x05\x00\x00\x00", 5) + wide.toUtf8();
    EXPECT_EQ(bytes, expected + Epilogue());
    EXPECT_EQ(ReadStringListStream(bytes), (QStringList{longLine, wide}));
}

TEST(StringListStream, ALoneSurrogateKeepsItsUtf16Form) {
    // As read from a wide string in a damaged or hostile file: UTF-8 would
    // turn the lone half into a replacement character.
    const QString lone = QString(QChar(0xDA47)) + QChar(0xC307) + QStringLiteral("ab");
    const QByteArray bytes = WriteStringListStream({lone});
    // The wide-string tag, four UTF-16 units, each low byte first.
    const QByteArray wide("\x12\x04\x00\x00\x00"
                          "\x47\xDA\x07\xC3"
                          "a\0b\0",
                          13);
    EXPECT_EQ(bytes, Prologue() + wide + Epilogue());
    EXPECT_EQ(ReadStringListStream(bytes), QStringList{lone});
}

TEST(StringListStream, AnEmptyListRoundTrips) {
    EXPECT_EQ(ReadStringListStream(WriteStringListStream({})), QStringList());
}

TEST(StringListStream, UnreadableStreamsAreRefused) {
    const QByteArray good = WriteStringListStream({QStringLiteral("one"), QStringLiteral("two")});
    struct Case {
        const char* name;
        QByteArray bytes;
    };
    const Case cases[] = {
        {"empty", QByteArray()},
        {"wrong signature", QByteArray("TPF1") + good.mid(4)},
        {"cut in a line", good.left(good.size() - 6)},
        {"cut before the end markers", good.chopped(1)},
        {"line longer than the stream", Prologue() + QByteArray("\x0C\xFF\xFF\xFF\x7F", 5) + "ab"},
        {"negative long length", Prologue() + QByteArray("\x14\xFF\xFF\xFF\xFF", 5)},
        {"unknown value tag", Prologue() + '\x42' + Epilogue()},
        {"number in the list", Prologue() + '\x02' + '\x05' + Epilogue()},
        {"deeply nested lists", Prologue() + QByteArray(5000, '\x01')},
        {"a child component", good.chopped(1) + '\x01'},
    };
    for (const Case& c : cases)
        EXPECT_FALSE(ReadStringListStream(c.bytes).has_value()) << c.name;
}

TEST(CarrierStream, EveryValueKindRoundTrips) {
    TCarrierStream s;
    s.properties.push_back({"Persistent.Small", TStreamValue::Int(-5)});
    s.properties.push_back({"Persistent.Medium", TStreamValue::Int(1000)});
    s.properties.push_back({"Persistent.Large", TStreamValue::Int(100000)});
    s.properties.push_back({"Persistent.Huge", TStreamValue::Int(qint64{1} << 40)});
    s.properties.push_back({"Persistent.Flag", TStreamValue::Bool(true)});
    s.properties.push_back({"Persistent.Color", TStreamValue::Identifier(QStringLiteral("clRed"))});
    s.properties.push_back({"Persistent.Style", TStreamValue::SetOf({QStringLiteral("fsBold")})});
    const auto back = ReadCarrierStream(WriteCarrierStream(s));
    ASSERT_TRUE(back.has_value());
    ASSERT_EQ(back->properties.size(), s.properties.size());
    EXPECT_EQ(back->Find("persistent.small")->integer, -5);
    EXPECT_EQ(back->Find("Persistent.Medium")->integer, 1000);
    EXPECT_EQ(back->Find("Persistent.Large")->integer, 100000);
    EXPECT_EQ(back->Find("Persistent.Huge")->integer, qint64{1} << 40);
    EXPECT_EQ(back->Find("Persistent.Flag")->integer, 1);
    EXPECT_EQ(back->Find("Persistent.Color")->text, QStringLiteral("clRed"));
    EXPECT_EQ(back->Find("Persistent.Style")->names, QStringList{QStringLiteral("fsBold")});
}

TEST(CarrierStream, RandomBytesNeverCrash) {
    QRandomGenerator random(99);
    const QByteArray seed = WriteStringListStream({QStringLiteral("a"), QStringLiteral("bc")});
    for (int round = 0; round < 3000; ++round) {
        QByteArray bytes = seed;
        const int flips = 1 + static_cast<int>(random.bounded(4));
        for (int i = 0; i < flips; ++i)
            bytes[random.bounded(static_cast<int>(bytes.size()))] =
                static_cast<char>(random.bounded(256));
        (void)ReadCarrierStream(bytes);
    }
    SUCCEED();
}
