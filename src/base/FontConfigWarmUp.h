#pragma once
// Reading the system's font configuration and font caches is the slowest
// single step of a start, and nothing else waits for it until the first
// font is resolved. A warm-up reads it on a thread of its own while
// QApplication connects to the display; Wait() is called before the first
// font is used. Without a thread the font system loads itself when first
// asked, as it would anyway.

#include <thread>

class TFontConfigWarmUp {
public:
    TFontConfigWarmUp();
    ~TFontConfigWarmUp();
    TFontConfigWarmUp(const TFontConfigWarmUp&) = delete;
    TFontConfigWarmUp& operator=(const TFontConfigWarmUp&) = delete;

    // Returns once the configuration is loaded (or at once without a thread).
    void Wait();
    // Whether the warm-up ran on a thread of its own.
    bool Started() const { return started_; }

private:
    std::thread thread_;
    bool started_ = false;
};
