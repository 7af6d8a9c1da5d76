#include "model/Captions.h"

QString CaptionText(const TShortString12& s) {
    const std::string text = s.Text();
    return QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size()));
}

void StoreCaption(TShortString12& s, const QString& text) {
    const QByteArray bytes = text.left(CAPTION_CAPACITY).toLatin1();
    s.Assign(std::string(bytes.constData(), static_cast<std::size_t>(bytes.size())));
}
