#include "storage/Encodings.h"

#include <limits>

#include <QBuffer>
#include <QFont>
#include <QImage>
#include <QMetaEnum>
#include <QPixmap>
#include <QStringList>

#include "storage/Ascii.h"
#include "storage/CarrierStream.h"

namespace oxp {

namespace {

constexpr char kBlockSignature[] = "03";
constexpr int kMaxSetOrdinal = 31;

bool IsColor(const TPropRef& p) {
    return p.typeName == QLatin1String("TColor");
}
bool IsCursor(const TPropRef& p) {
    return p.typeName == QLatin1String("TCursor");
}

// Whether an integer fits the property's storage type.
bool Fits(qint64 v, const QMetaType& t) {
    auto in = [v](auto lo, auto hi) {
        return v >= static_cast<qint64>(lo) && v <= static_cast<qint64>(hi);
    };
    switch (t.id()) {
    case QMetaType::Int:
        return in(std::numeric_limits<int>::min(), std::numeric_limits<int>::max());
    case QMetaType::UInt:
        return in(0, std::numeric_limits<unsigned>::max());
    case QMetaType::Short:
        return in(std::numeric_limits<short>::min(), std::numeric_limits<short>::max());
    case QMetaType::UShort:
        return in(0, std::numeric_limits<unsigned short>::max());
    case QMetaType::SChar:
        return in(-128, 127);
    case QMetaType::UChar:
        return in(0, 255);
    case QMetaType::Long:
        return in(std::numeric_limits<long>::min(), std::numeric_limits<long>::max());
    case QMetaType::ULong:
    case QMetaType::ULongLong:
        return v >= 0;
    default:
        return true;
    }
}

// Writes an integer through the property's own type (enums and flags too).
void SetInteger(const TPropRef& p, qint64 v) {
    QVariant value(v);
    if (value.convert(p.property.metaType())) {
        p.Set(value);
        return;
    }
    p.Set(QVariant(static_cast<int>(v)));
}

qint64 GetInteger(const TPropRef& p) {
    QVariant v = p.Get();
    if (p.kind == TPropKind::Enumeration || p.kind == TPropKind::Set) {
        // Enums and flags convert through their integer value.
        QVariant copy = v;
        if (copy.convert(QMetaType::fromType<qint64>())) return copy.toLongLong();
        if (v.metaType().sizeOf() == sizeof(int)) return *static_cast<const int*>(v.constData());
        return 0;
    }
    return v.toLongLong();
}

void ApplyInteger(const TPropRef& p, const QString& text) {
    if (text.isEmpty()) return;
    std::optional<int> ident;
    if (IsColor(p)) ident = IdentToColor(text);
    if (IsCursor(p)) ident = IdentToCursor(text);
    if (ident) return SetInteger(p, *ident);
    bool ok = false;
    const qint64 v = text.trimmed().toLongLong(&ok, 10);
    SetInteger(p, ok && Fits(v, p.property.metaType()) ? v : 0);
}

QString EncodeInteger(const TPropRef& p) {
    const qint64 v = p.Get().toLongLong();
    std::optional<QString> ident;
    if (IsColor(p)) ident = ColorToIdent(static_cast<int>(v));
    if (IsCursor(p)) ident = CursorToIdent(static_cast<int>(v));
    return ident ? *ident : QString::number(v);
}

// A set's members: each single-bit key of the flag type, by its bit ordinal.
struct SetMember {
    int ordinal;
    QString name;
};
QList<SetMember> SetMembers(const QMetaEnum& e) {
    QList<SetMember> members;
    for (int i = 0; i < e.keyCount(); ++i) {
        const auto bits = static_cast<quint32>(e.value(i));
        if (bits == 0 || (bits & (bits - 1)) != 0) continue;
        int ordinal = 0;
        while ((bits >> ordinal) != 1u)
            ++ordinal;
        members.push_back({ordinal, QString::fromLatin1(e.key(i))});
    }
    std::sort(members.begin(), members.end(),
              [](const SetMember& a, const SetMember& b) { return a.ordinal < b.ordinal; });
    return members;
}

QString EncodeSet(const TPropRef& p) {
    const auto bits = static_cast<quint64>(GetInteger(p));
    QStringList names;
    for (const SetMember& m : SetMembers(p.property.enumerator()))
        if (bits & (quint64{1} << m.ordinal)) names << m.name;
    return QLatin1Char('[') + names.join(QLatin1Char(',')) + QLatin1Char(']');
}

void ApplySet(const TPropRef& p, const QString& text) {
    if (!text.startsWith(QLatin1Char('['))) return;
    const QList<SetMember> members = SetMembers(p.property.enumerator());
    const QStringList parts = text.mid(1, text.size() - 2).split(QLatin1Char(','));
    quint32 bits = 0;
    for (qsizetype i = 0; i < parts.size() && i < members.size(); ++i) {
        const QString part = TrimBlanks(parts[i]);
        if (part.isEmpty()) break;
        for (const SetMember& m : members)
            if (m.ordinal <= kMaxSetOrdinal && AsciiEqualsIgnoreCase(m.name, part))
                bits |= 1u << m.ordinal;
    }
    SetInteger(p, bits);
}

QString EncodeEnumeration(const TPropRef& p) {
    if (p.property.metaType().id() == QMetaType::Bool)
        return p.Get().toBool() ? QStringLiteral("True") : QStringLiteral("False");
    const char* key = p.property.enumerator().valueToKey(static_cast<int>(GetInteger(p)));
    return key ? QString::fromLatin1(key) : QString();
}

void ApplyEnumeration(const TPropRef& p, const QString& text) {
    if (p.property.metaType().id() == QMetaType::Bool) {
        if (AsciiEqualsIgnoreCase(text, u"True")) p.Set(true);
        if (AsciiEqualsIgnoreCase(text, u"False")) p.Set(false);
        return;
    }
    const QMetaEnum e = p.property.enumerator();
    for (int i = 0; i < e.keyCount(); ++i)
        if (AsciiEqualsIgnoreCase(QString::fromLatin1(e.key(i)), text))
            return SetInteger(p, e.value(i));
}

void ApplyReference(const TPropRef& p, const QString& name, const QObject* owner) {
    const QMetaObject* declared = p.property.metaType().metaObject();
    QObject* found = FindComponent(p.object, name);
    if (found == nullptr) found = FindComponent(owner, name);
    if (found != nullptr && declared != nullptr && !found->metaObject()->inherits(declared))
        found = nullptr;
    QVariant v(p.property.metaType(), nullptr);
    if (found != nullptr) v = QVariant::fromValue(found), v.convert(p.property.metaType());
    p.Set(v);
}

// --- object values ---------------------------------------------------------

constexpr char kFontStyles[][12] = {"fsBold", "fsItalic", "fsUnderline", "fsStrikeOut"};

QByteArray FontStream(const QFont& f) {
    TCarrierStream s;
    const QByteArray pre(kCarrierPrefix);
    s.properties.push_back({pre + "Name", TStreamValue::Str(f.family())});
    if (f.pixelSize() > 0)
        s.properties.push_back({pre + "Height", TStreamValue::Int(-f.pixelSize())});
    else
        s.properties.push_back({pre + "Size", TStreamValue::Int(f.pointSize())});
    QStringList style;
    const bool on[] = {f.bold(), f.italic(), f.underline(), f.strikeOut()};
    for (int i = 0; i < 4; ++i)
        if (on[i]) style << QString::fromLatin1(kFontStyles[i]);
    s.properties.push_back({pre + "Style", TStreamValue::SetOf(style)});
    return WriteCarrierStream(s);
}

void ApplyFontStream(const TPropRef& p, QByteArrayView bytes) {
    const std::optional<TCarrierStream> s = ReadCarrierStream(bytes);
    if (!s) return;
    QFont f = p.Get().value<QFont>();
    const QByteArray pre(kCarrierPrefix);
    using K = TStreamValue::Kind;
    if (const TStreamValue* v = s->Find(pre + "Name"); v && v->kind == K::String)
        f.setFamily(v->text);
    if (const TStreamValue* v = s->Find(pre + "Height"); v && v->kind == K::Integer && v->integer)
        f.setPixelSize(static_cast<int>(std::min<qint64>(std::abs(v->integer), 4096)));
    if (const TStreamValue* v = s->Find(pre + "Size"); v && v->kind == K::Integer && v->integer > 0)
        f.setPointSize(static_cast<int>(std::min<qint64>(v->integer, 4096)));
    if (const TStreamValue* v = s->Find(pre + "Style"); v && v->kind == K::Set) {
        auto has = [v](int i) { return v->names.contains(QLatin1String(kFontStyles[i])); };
        f.setBold(has(0)), f.setItalic(has(1)), f.setUnderline(has(2)), f.setStrikeOut(has(3));
    }
    p.Set(f);
}

// Pictures travel as PNG in the carrier's "Persistent.Data".
bool IsPicture(const TPropRef& p) {
    const int id = p.property.metaType().id();
    return id == QMetaType::QImage || id == QMetaType::QPixmap;
}

QImage PictureOf(const TPropRef& p) {
    const QVariant v = p.Get();
    return v.metaType().id() == QMetaType::QPixmap ? v.value<QPixmap>().toImage()
                                                   : v.value<QImage>();
}

void SetPicture(const TPropRef& p, const QImage& image) {
    if (p.property.metaType().id() == QMetaType::QPixmap)
        p.Set(image.isNull() ? QPixmap() : QPixmap::fromImage(image));
    else
        p.Set(image);
}

QByteArray PictureStream(const QImage& image) {
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    TStreamValue data;
    data.kind = TStreamValue::Kind::Binary;
    data.bytes = png;
    TCarrierStream s;
    s.properties.push_back({QByteArray(kCarrierPrefix) + "Data", std::move(data)});
    return WriteCarrierStream(s);
}

void ApplyPictureStream(const TPropRef& p, QByteArrayView bytes) {
    const std::optional<TCarrierStream> s = ReadCarrierStream(bytes);
    if (!s) return;
    const TStreamValue* data = s->Find(QByteArray(kCarrierPrefix) + "Data");
    if (data == nullptr || data->kind != TStreamValue::Kind::Binary) return;
    QImage image;
    if (image.loadFromData(data->bytes, "PNG")) SetPicture(p, image);
}

QByteArray BlockHeader(const QByteArray& className) {
    QByteArray block = className.left(kBlockClassNameSize - 1);
    block.append(kBlockClassNameSize - block.size(), '\0');
    block.append(kBlockSignature, 2);
    return block;
}

} // namespace

bool IsObjectValue(const TPropRef& p) {
    return p.kind == TPropKind::Object && !p.componentReference;
}

QString EncodeText(const TPropRef& p) {
    switch (p.kind) {
    case TPropKind::Integer:
        return EncodeInteger(p);
    case TPropKind::Char: {
        const QVariant v = p.Get();
        return v.metaType().id() == QMetaType::Char ? QString(QLatin1Char(v.value<char>()))
                                                    : QString(v.toChar());
    }
    case TPropKind::Enumeration:
        return EncodeEnumeration(p);
    case TPropKind::String:
        return p.Get().toString();
    case TPropKind::Set:
        return EncodeSet(p);
    case TPropKind::Object:
        if (p.componentReference) {
            const QObject* o = p.Get().value<QObject*>();
            return o ? o->objectName() : QString();
        }
        return {};
    case TPropKind::Other:
        return {};
    }
    return {};
}

void ApplyText(const TPropRef& p, const QString& text, const QObject* owner) {
    switch (p.kind) {
    case TPropKind::Integer:
        return ApplyInteger(p, text);
    case TPropKind::Char:
        if (text.isEmpty()) return;
        if (p.property.metaType().id() == QMetaType::Char)
            p.Set(QVariant::fromValue(text.at(0).toLatin1()));
        else
            p.Set(QVariant::fromValue(text.at(0)));
        return;
    case TPropKind::Enumeration:
        return ApplyEnumeration(p, text);
    case TPropKind::String:
        p.Set(text);
        return;
    case TPropKind::Set:
        return ApplySet(p, text);
    case TPropKind::Object:
        if (p.componentReference) ApplyReference(p, text, owner);
        return;
    case TPropKind::Other:
        return;
    }
}

QByteArray ObjectClassName(const TPropRef& p) {
    switch (p.property.metaType().id()) {
    case QMetaType::QStringList:
        return "TStringList";
    case QMetaType::QFont:
        return "TFont";
    case QMetaType::QImage:
    case QMetaType::QPixmap:
        return "TPicture";
    default:
        return p.property.typeName();
    }
}

std::optional<QByteArray> EncodeBlock(const TPropRef& p) {
    if (!IsObjectValue(p)) return std::nullopt;
    switch (p.property.metaType().id()) {
    case QMetaType::QStringList: {
        const QStringList lines = p.Get().toStringList();
        if (lines.isEmpty()) return BlockHeader(kEmptyClassName);
        return BlockHeader(ObjectClassName(p)) + WriteStringListStream(lines);
    }
    case QMetaType::QFont:
        return BlockHeader(ObjectClassName(p)) + FontStream(p.Get().value<QFont>());
    case QMetaType::QImage:
    case QMetaType::QPixmap: {
        const QImage image = PictureOf(p);
        if (image.isNull()) return BlockHeader(kEmptyClassName);
        return BlockHeader(ObjectClassName(p)) + PictureStream(image);
    }
    default:
        return std::nullopt;
    }
}

void ApplyBlock(const TPropRef& p, QByteArrayView block) {
    if (!IsObjectValue(p) || block.size() < kBlockClassNameSize) return;
    const QByteArrayView field = block.first(kBlockClassNameSize);
    const qsizetype zero = field.indexOf('\0');
    const QByteArrayView name = zero < 0 ? field : field.first(zero);
    const bool isList = p.property.metaType().id() == QMetaType::QStringList;
    if (name == QByteArrayView(kEmptyClassName)) {
        if (isList) p.Set(QStringList());
        if (IsPicture(p)) SetPicture(p, QImage());
        return;
    }
    if (name != QByteArrayView(ObjectClassName(p)) || block.size() < kBlockClassNameSize + 2 ||
        block.sliced(kBlockClassNameSize, 2) != QByteArrayView(kBlockSignature, 2))
        return;
    const QByteArrayView stream = block.sliced(kBlockClassNameSize + 2);
    if (isList) {
        if (const std::optional<QStringList> lines = ReadStringListStream(stream)) p.Set(*lines);
    } else if (p.property.metaType().id() == QMetaType::QFont) {
        ApplyFontStream(p, stream);
    } else if (IsPicture(p)) {
        ApplyPictureStream(p, stream);
    }
}

} // namespace oxp
