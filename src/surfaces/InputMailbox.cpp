#include "surfaces/InputMailbox.h"

#include <algorithm>

void TInputMailbox::SetWake(TWake wake) {
    std::lock_guard lock(mutex_);
    wake_ = std::move(wake);
}

void TInputMailbox::Post(const TSurfaceInput& input) {
    bool wake = false;
    TWake call;
    {
        std::lock_guard lock(mutex_);
        ++received_;
        if (input.Role == TControlRole::Fader || input.Role == TControlRole::Channel) {
            const int key = input.Role == TControlRole::Channel ? 1000 + input.Index : input.Index;
            const auto [at, fresh] = faderAt_.emplace(key, queue_.size());
            TSurfaceInput next = input;
            next.Low = next.High = input.Value;
            if (!fresh) {
                const TSurfaceInput& kept = queue_[at->second];
                next.Low = std::min(next.Low, kept.Low);
                next.High = std::max(next.High, kept.High);
                queue_[at->second] = next;
            } else {
                queue_.push_back(next);
            }
        } else if (buttons_ < MAX_QUEUED_BUTTONS) {
            // A fader moved after a button acts after it: no coalescing across.
            queue_.push_back(input);
            faderAt_.clear();
            ++buttons_;
        } else {
            ++dropped_;
            return;
        }
        if (!woken_) {
            woken_ = true;
            wake = true;
            call = wake_;
        }
    }
    if (wake && call) call();
}

std::vector<TSurfaceInput> TInputMailbox::TakeAll() {
    std::lock_guard lock(mutex_);
    std::vector<TSurfaceInput> all;
    all.swap(queue_);
    faderAt_.clear();
    buttons_ = 0;
    woken_ = false;
    return all;
}
