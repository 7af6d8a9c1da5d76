#pragma once
// The component stream of an object value: a carrier component whose one
// property "Persistent" holds the object, so that the object's own
// properties appear as "Persistent.<name>". Values are tagged as the window
// descriptions tag them.

#include <optional>
#include <vector>

#include <QByteArray>
#include <QByteArrayView>
#include <QStringList>

namespace oxp {

struct TStreamValue {
    enum class Kind { Integer, String, Ident, Boolean, Binary, Set, List, Nil };
    Kind kind = Kind::Nil;
    qint64 integer = 0;              // Integer; Boolean as 0 or 1
    QString text;                    // String, Ident
    QByteArray bytes;                // Binary
    QStringList names;               // Set members
    std::vector<TStreamValue> items; // List

    static TStreamValue Int(qint64 v);
    static TStreamValue Str(const QString& v);
    static TStreamValue Identifier(const QString& v);
    static TStreamValue Bool(bool v);
    static TStreamValue SetOf(const QStringList& v);
};

struct TStreamProperty {
    QByteArray name;
    TStreamValue value;
};

struct TCarrierStream {
    QByteArray className = "TCarrier";
    QByteArray name;
    std::vector<TStreamProperty> properties;

    // The first property of that name (ASCII case-insensitive), or null.
    const TStreamValue* Find(QByteArrayView propertyName) const;
};

inline constexpr char kCarrierPrefix[] = "Persistent.";

QByteArray WriteCarrierStream(const TCarrierStream& stream);
// Empty when the bytes are no readable stream; never reads past the end.
std::optional<TCarrierStream> ReadCarrierStream(QByteArrayView bytes);

// A string list as the carrier's "Persistent.Strings".
QByteArray WriteStringListStream(const QStringList& lines);
std::optional<QStringList> ReadStringListStream(QByteArrayView bytes);

} // namespace oxp
