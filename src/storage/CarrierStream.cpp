#include "storage/CarrierStream.h"

#include <limits>

#include "storage/Ascii.h"

namespace oxp {

namespace {

constexpr char kSignature[] = "TPF0";
constexpr int kMaxDepth = 32;

enum Tag : unsigned char {
    vaNull = 0x00,
    vaList = 0x01,
    vaInt8 = 0x02,
    vaInt16 = 0x03,
    vaInt32 = 0x04,
    vaString = 0x06,
    vaIdent = 0x07,
    vaFalse = 0x08,
    vaTrue = 0x09,
    vaBinary = 0x0A,
    vaSet = 0x0B,
    vaLString = 0x0C,
    vaNil = 0x0D,
    vaWString = 0x12,
    vaInt64 = 0x13,
    vaUTF8String = 0x14,
};

bool IsAscii(const QString& s) {
    for (QChar c : s)
        if (c.unicode() >= 0x80) return false;
    return true;
}

class Writer {
public:
    QByteArray out;

    void Byte(unsigned char b) { out.append(static_cast<char>(b)); }
    void Int(qint64 v, int bytes) {
        for (int i = 0; i < bytes; ++i)
            Byte(static_cast<unsigned char>((v >> (8 * i)) & 0xFF));
    }
    void Short(const QByteArray& s) {
        const QByteArray cut = s.left(255);
        Byte(static_cast<unsigned char>(cut.size()));
        out.append(cut);
    }
    void Wide(const QString& s) {
        Byte(vaWString);
        Int(s.size(), 4);
        for (QChar c : s)
            Int(c.unicode(), 2);
    }
    void Long(unsigned char tag, const QByteArray& s) {
        Byte(tag);
        Int(s.size(), 4);
        out.append(s);
    }
    void Text(const QString& s) {
        // UTF-8 cannot carry a lone surrogate; such text keeps its UTF-16 form.
        if (!s.isValidUtf16()) return Wide(s);
        if (!IsAscii(s)) return Long(vaUTF8String, s.toUtf8());
        const QByteArray latin = s.toLatin1();
        if (latin.size() > 255) return Long(vaLString, latin);
        Byte(vaString);
        Short(latin);
    }
    void Value(const TStreamValue& v) {
        switch (v.kind) {
        case TStreamValue::Kind::Integer:
            if (v.integer >= -128 && v.integer <= 127) {
                Byte(vaInt8), Int(v.integer, 1);
            } else if (v.integer >= -32768 && v.integer <= 32767) {
                Byte(vaInt16), Int(v.integer, 2);
            } else if (v.integer >= std::numeric_limits<qint32>::min() &&
                       v.integer <= std::numeric_limits<qint32>::max()) {
                Byte(vaInt32), Int(v.integer, 4);
            } else {
                Byte(vaInt64), Int(v.integer, 8);
            }
            break;
        case TStreamValue::Kind::String:
            Text(v.text);
            break;
        case TStreamValue::Kind::Ident:
            Byte(vaIdent), Short(v.text.toLatin1());
            break;
        case TStreamValue::Kind::Boolean:
            Byte(v.integer ? vaTrue : vaFalse);
            break;
        case TStreamValue::Kind::Binary:
            Long(vaBinary, v.bytes);
            break;
        case TStreamValue::Kind::Set:
            Byte(vaSet);
            for (const QString& n : v.names)
                Short(n.toLatin1());
            Byte(0);
            break;
        case TStreamValue::Kind::List:
            Byte(vaList);
            for (const TStreamValue& item : v.items)
                Value(item);
            Byte(vaNull);
            break;
        case TStreamValue::Kind::Nil:
            Byte(vaNil);
            break;
        }
    }
};

// Every read checks what is left; a failed read poisons the reader.
class Reader {
public:
    explicit Reader(QByteArrayView in) : in_(in) {}
    bool ok = true;

    bool Has(qint64 n) const { return ok && n >= 0 && n <= in_.size() - pos_; }
    unsigned char Byte() {
        if (!Has(1)) return Fail(), 0;
        return static_cast<unsigned char>(in_[pos_++]);
    }
    qint64 Int(int bytes) {
        if (!Has(bytes)) return Fail(), 0;
        quint64 u = 0;
        for (int i = bytes - 1; i >= 0; --i)
            u = (u << 8) | static_cast<unsigned char>(in_[pos_ + i]);
        pos_ += bytes;
        // Sign-extend from the field's width.
        const int unused = 64 - 8 * bytes;
        return unused ? static_cast<qint64>(u << unused) >> unused : static_cast<qint64>(u);
    }
    QByteArray Bytes(qint64 n) {
        if (!Has(n)) return Fail(), QByteArray();
        QByteArray out(in_.data() + pos_, static_cast<qsizetype>(n));
        pos_ += static_cast<qsizetype>(n);
        return out;
    }
    QByteArray Short() { return Bytes(Byte()); }
    QByteArray Long() { return Bytes(Int(4)); }

    TStreamValue Value(int depth) {
        TStreamValue v;
        const unsigned char tag = Byte();
        switch (tag) {
        case vaInt8:
            return TStreamValue::Int(Int(1));
        case vaInt16:
            return TStreamValue::Int(Int(2));
        case vaInt32:
            return TStreamValue::Int(Int(4));
        case vaInt64:
            return TStreamValue::Int(Int(8));
        case vaString:
            return TStreamValue::Str(QString::fromLatin1(Short()));
        case vaLString:
            return TStreamValue::Str(QString::fromLatin1(Long()));
        case vaUTF8String:
            return TStreamValue::Str(QString::fromUtf8(Long()));
        case vaWString: {
            const qint64 chars = Int(4);
            const QByteArray raw = Has(chars * 2) ? Bytes(chars * 2) : (Fail(), QByteArray());
            return TStreamValue::Str(QString::fromUtf16(
                reinterpret_cast<const char16_t*>(raw.constData()), raw.size() / 2));
        }
        case vaIdent:
            return TStreamValue::Identifier(QString::fromLatin1(Short()));
        case vaFalse:
        case vaTrue:
            return TStreamValue::Bool(tag == vaTrue);
        case vaNil:
            return v;
        case vaBinary:
            v.kind = TStreamValue::Kind::Binary;
            v.bytes = Long();
            return v;
        case vaSet:
            v.kind = TStreamValue::Kind::Set;
            for (QByteArray n = Short(); ok && !n.isEmpty(); n = Short())
                v.names << QString::fromLatin1(n);
            return v;
        case vaList:
            v.kind = TStreamValue::Kind::List;
            if (depth >= kMaxDepth) return Fail(), v;
            while (ok && Peek() != vaNull)
                v.items.push_back(Value(depth + 1));
            Byte();
            return v;
        default:
            Fail();
            return v;
        }
    }

    unsigned char Peek() const {
        return Has(1) ? static_cast<unsigned char>(in_[pos_]) : static_cast<unsigned char>(vaNull);
    }
    bool AtEnd() const { return pos_ >= in_.size(); }

private:
    void Fail() { ok = false; }
    QByteArrayView in_;
    qsizetype pos_ = 0;
};

} // namespace

TStreamValue TStreamValue::Int(qint64 v) {
    TStreamValue r;
    r.kind = Kind::Integer;
    r.integer = v;
    return r;
}
TStreamValue TStreamValue::Str(const QString& v) {
    TStreamValue r;
    r.kind = Kind::String;
    r.text = v;
    return r;
}
TStreamValue TStreamValue::Identifier(const QString& v) {
    TStreamValue r = Str(v);
    r.kind = Kind::Ident;
    return r;
}
TStreamValue TStreamValue::Bool(bool v) {
    TStreamValue r = Int(v ? 1 : 0);
    r.kind = Kind::Boolean;
    return r;
}
TStreamValue TStreamValue::SetOf(const QStringList& v) {
    TStreamValue r;
    r.kind = Kind::Set;
    r.names = v;
    return r;
}

const TStreamValue* TCarrierStream::Find(QByteArrayView propertyName) const {
    for (const TStreamProperty& p : properties)
        if (AsciiEqualsIgnoreCase(p.name, propertyName)) return &p.value;
    return nullptr;
}

QByteArray WriteCarrierStream(const TCarrierStream& stream) {
    Writer w;
    w.out.append(kSignature, 4);
    w.Short(stream.className);
    w.Short(stream.name);
    for (const TStreamProperty& p : stream.properties) {
        w.Short(p.name);
        w.Value(p.value);
    }
    w.Byte(vaNull); // end of properties
    w.Byte(vaNull); // end of children
    return w.out;
}

std::optional<TCarrierStream> ReadCarrierStream(QByteArrayView bytes) {
    Reader r(bytes);
    if (r.Bytes(4) != QByteArrayView(kSignature, 4)) return std::nullopt;
    TCarrierStream s;
    s.className = r.Short();
    s.name = r.Short();
    while (r.ok && r.Peek() != vaNull) {
        TStreamProperty p;
        p.name = r.Short();
        p.value = r.Value(0);
        s.properties.push_back(std::move(p));
    }
    r.Byte();
    // A carrier has no children: its child list must end at once.
    if (r.Byte() != vaNull || !r.ok) return std::nullopt;
    return s;
}

QByteArray WriteStringListStream(const QStringList& lines) {
    TStreamValue list;
    list.kind = TStreamValue::Kind::List;
    for (const QString& line : lines)
        list.items.push_back(TStreamValue::Str(line));
    TCarrierStream s;
    s.properties.push_back({QByteArray(kCarrierPrefix) + "Strings", std::move(list)});
    return WriteCarrierStream(s);
}

std::optional<QStringList> ReadStringListStream(QByteArrayView bytes) {
    const std::optional<TCarrierStream> s = ReadCarrierStream(bytes);
    if (!s) return std::nullopt;
    const TStreamValue* v = s->Find(QByteArray(kCarrierPrefix) + "Strings");
    QStringList lines;
    if (v == nullptr) return lines;
    if (v->kind != TStreamValue::Kind::List) return std::nullopt;
    for (const TStreamValue& item : v->items) {
        if (item.kind != TStreamValue::Kind::String) return std::nullopt;
        lines << item.text;
    }
    return lines;
}

} // namespace oxp
