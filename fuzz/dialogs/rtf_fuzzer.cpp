// Feeds arbitrary bytes to the RTF reader and, when it accepts them, builds
// the text document the Readme view would show.

#include <cstdint>
#include <cstdlib>

#include <QGuiApplication>
#include <QTextDocument>

#include "dialogs/RtfReader.h"

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    static QGuiApplication app(*argc, *argv); // fonts for the text document
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    TRtfLimits limits;
    limits.maxBytes = 1 << 20;
    const auto document =
        ReadRtf(std::string_view(reinterpret_cast<const char*>(data), size), nullptr, limits);
    if (!document) return 0;
    (void)document->PlainText();
    QTextDocument text;
    FillTextDocument(*document, text);
    return 0;
}
