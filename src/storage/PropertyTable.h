#pragma once
// The property table that persistence works through: every QObject offers
// its Q_PROPERTYs by name (ASCII case-insensitive, base classes included),
// each with a kind and a type name. Integer properties that hold a colour or
// a cursor declare it with a class info entry:
//   Q_CLASSINFO("oxType:Color", "TColor")

#include <optional>

#include <QMetaProperty>
#include <QObject>
#include <QString>
#include <QVariant>

namespace oxp {

enum class TPropKind { Integer, Char, Enumeration, String, Set, Object, Other };

inline constexpr char kTypeInfoPrefix[] = "oxType:";

struct TPropRef {
    QObject* object = nullptr;
    QMetaProperty property;
    TPropKind kind = TPropKind::Other;
    QString typeName;
    // Object kind: true for a reference to a component (a QObject pointer),
    // false for an object value owned by the holder (string list, font).
    bool componentReference = false;

    QString Name() const { return QString::fromLatin1(property.name()); }
    QVariant Get() const { return property.read(object); }
    bool Set(const QVariant& v) const { return property.write(object, v); }
};

std::optional<TPropRef> FindProperty(QObject* object, QStringView name);

// Follows "a.b.c": every part but the last names a component-valued
// property. On success the object reached and the last name.
struct TPathEnd {
    QObject* object = nullptr;
    QString name;
};
std::optional<TPathEnd> FollowPath(QObject* object, QStringView path);

// A component owned by `owner` (at any depth), by name, ASCII case-insensitive.
QObject* FindComponent(const QObject* owner, QStringView name);

} // namespace oxp
