#include "base/FontConfigWarmUp.h"

#include <system_error>

#include <fontconfig/fontconfig.h>

TFontConfigWarmUp::TFontConfigWarmUp(QStringList faces) : faces_(std::move(faces)) {
    try {
        // The library makes its configuration once even when two threads ask.
        thread_ = std::thread([this] { Run(); });
        started_ = true;
    } catch (const std::system_error&) {
        // No thread to spare: Wait does the work.
    }
}

TFontConfigWarmUp::~TFontConfigWarmUp() {
    if (thread_.joinable()) thread_.join();
}

void TFontConfigWarmUp::Run() {
    FcInit();
    matched_ = MatchFaces(faces_);
}

const TFaceFamilies& TFontConfigWarmUp::Wait() {
    if (thread_.joinable())
        thread_.join();
    else if (!done_)
        Run();
    done_ = true;
    return matched_;
}
