#pragma once
// Caption lines between the table's 8-bit short strings and widget text.

#include <QString>

#include "model/ChannelTable.h"

// The stored characters up to the length byte.
QString CaptionText(const TShortString12& s);
// Stores the first 12 characters; a character outside the 8-bit set becomes "?".
void StoreCaption(TShortString12& s, const QString& text);
