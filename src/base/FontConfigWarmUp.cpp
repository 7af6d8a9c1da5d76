#include "base/FontConfigWarmUp.h"

#include <system_error>

#include <fontconfig/fontconfig.h>

TFontConfigWarmUp::TFontConfigWarmUp() {
    try {
        // The library makes its configuration once even when two threads ask.
        thread_ = std::thread([] { FcInit(); });
        started_ = true;
    } catch (const std::system_error&) {
        // No thread to spare: the first font loads the configuration itself.
    }
}

TFontConfigWarmUp::~TFontConfigWarmUp() {
    Wait();
}

void TFontConfigWarmUp::Wait() {
    if (thread_.joinable()) thread_.join();
}
