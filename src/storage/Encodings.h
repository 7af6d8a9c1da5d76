#pragma once
// How a property value becomes stored text or a stored block, and how a
// stored text or block is applied back. A value that does not fit never
// raises: the property stays, becomes 0, or loses its reference.

#include <optional>

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

#include "core/Cursor.h"
#include "storage/PropertyTable.h"

namespace oxp {

using TCursor = int;

using ::crArrow;
using ::crCross;
using ::crDefault;
using ::crIBeam;
inline constexpr TCursor crHand = ::crHandPoint;

// Identifier tables of the "TColor" and "TCursor" integer types.
std::optional<QString> ColorToIdent(int color);
std::optional<int> IdentToColor(QStringView ident);
std::optional<QString> CursorToIdent(int cursor);
std::optional<int> IdentToCursor(QStringView ident);

// True for an object kind that is stored as an object value block.
bool IsObjectValue(const TPropRef& p);

QString EncodeText(const TPropRef& p);
// A component reference is looked for among the components of `p.object`,
// then among those of `owner`, the component that owns `p.object`: only the
// caller knows a widget's window.
void ApplyText(const TPropRef& p, const QString& text, const QObject* owner);

// The class name an object value block carries for this property's value.
QByteArray ObjectClassName(const TPropRef& p);
std::optional<QByteArray> EncodeBlock(const TPropRef& p);
void ApplyBlock(const TPropRef& p, QByteArrayView block);

inline constexpr int kBlockClassNameSize = 32;
inline constexpr char kEmptyClassName[] = "EMPTY";

} // namespace oxp
