#pragma once
// Reading the system's font configuration and font caches is the slowest
// single step of a start, and nothing else waits for it until the first
// font is resolved. A warm-up reads it, and matches the faces the desk names
// to installed families, on a thread of its own while QApplication connects
// to the display. Without a thread the same work is done when waited for.

#include <thread>

#include "base/FontFallbacks.h"

class TFontConfigWarmUp {
public:
    explicit TFontConfigWarmUp(QStringList faces = DeskFontFaces());
    ~TFontConfigWarmUp();
    TFontConfigWarmUp(const TFontConfigWarmUp&) = delete;
    TFontConfigWarmUp& operator=(const TFontConfigWarmUp&) = delete;

    // The faces with the family each matched, once the work is done.
    const TFaceFamilies& Wait();
    // Whether the work ran on a thread of its own.
    bool Started() const { return started_; }

private:
    void Run();

    QStringList faces_;
    TFaceFamilies matched_;
    std::thread thread_;
    bool started_ = false;
    bool done_ = false;
};
