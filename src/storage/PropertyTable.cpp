#include "storage/PropertyTable.h"

#include <QMetaClassInfo>

#include "storage/Ascii.h"

namespace oxp {

namespace {

TPropKind KindOf(const QMetaProperty& p, bool& componentReference) {
    componentReference = false;
    if (p.isEnumType()) return p.isFlagType() ? TPropKind::Set : TPropKind::Enumeration;
    const QMetaType t = p.metaType();
    switch (t.id()) {
    case QMetaType::Bool:
        return TPropKind::Enumeration;
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::Long:
    case QMetaType::ULong:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
    case QMetaType::Short:
    case QMetaType::UShort:
    case QMetaType::SChar:
    case QMetaType::UChar:
        return TPropKind::Integer;
    case QMetaType::Char:
    case QMetaType::QChar:
    case QMetaType::Char16:
        return TPropKind::Char;
    case QMetaType::QString:
        return TPropKind::String;
    case QMetaType::QStringList:
    case QMetaType::QFont:
    case QMetaType::QImage:
    case QMetaType::QPixmap:
        return TPropKind::Object;
    default:
        break;
    }
    if (t.flags() & QMetaType::PointerToQObject) {
        componentReference = true;
        return TPropKind::Object;
    }
    return TPropKind::Other;
}

QString TypeNameOf(const QObject* object, const QMetaProperty& p) {
    const QMetaObject* mo = object->metaObject();
    const QByteArray key = QByteArray(kTypeInfoPrefix) + p.name();
    const int index = mo->indexOfClassInfo(key.constData());
    if (index >= 0) return QString::fromLatin1(mo->classInfo(index).value());
    if (p.metaType().id() == QMetaType::Bool) return QStringLiteral("Boolean");
    return QString::fromLatin1(p.typeName());
}

} // namespace

std::optional<TPropRef> FindProperty(QObject* object, QStringView name) {
    if (object == nullptr || name.isEmpty()) return std::nullopt;
    const QMetaObject* mo = object->metaObject();
    // Derived classes come last in the table; the most derived wins.
    for (int i = mo->propertyCount() - 1; i >= 0; --i) {
        const QMetaProperty p = mo->property(i);
        if (!AsciiEqualsIgnoreCase(QString::fromLatin1(p.name()), name)) continue;
        TPropRef ref;
        ref.object = object;
        ref.property = p;
        ref.kind = KindOf(p, ref.componentReference);
        ref.typeName = TypeNameOf(object, p);
        return ref;
    }
    return std::nullopt;
}

std::optional<TPathEnd> FollowPath(QObject* object, QStringView path) {
    const QList<QStringView> parts = path.split(QLatin1Char('.'));
    for (qsizetype i = 0; i + 1 < parts.size(); ++i) {
        const std::optional<TPropRef> step = FindProperty(object, parts[i]);
        if (!step || !step->componentReference) return std::nullopt;
        object = step->Get().value<QObject*>();
        if (object == nullptr) return std::nullopt;
    }
    return TPathEnd{object, parts.constLast().toString()};
}

namespace {

// Depth first, each object before its children, as findChildren lists them;
// stops at the first match instead of listing the whole tree.
QObject* FirstNamed(const QObject* parent, QStringView name) {
    for (QObject* child : parent->children()) {
        if (AsciiEqualsIgnoreCase(child->objectName(), name)) return child;
        if (QObject* found = FirstNamed(child, name)) return found;
    }
    return nullptr;
}

} // namespace

QObject* FindComponent(const QObject* owner, QStringView name) {
    if (owner == nullptr || name.isEmpty()) return nullptr;
    return FirstNamed(owner, name);
}

} // namespace oxp
