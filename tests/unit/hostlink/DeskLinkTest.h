#pragma once
// The desk's side of the host link: a private runtime folder, the Unix
// endpoint, and a channel table whose levels Transmit hands to the host.

#include <array>
#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <vector>

#include <gtest/gtest.h>

#include "TestHost.h"
#include "hostlink/DmxFrame.h"
#include "hostlink/UnixEndpoint.h"
#include "model/ChannelTable.h"

class DeskLinkTest : public ::testing::Test {
protected:
    DeskLinkTest() : table_(std::make_unique<TChannelTable>()) { ClearChannels(*table_); }

    bool Transmit() { return hostlink::TransmitDmxFrame(endpoint_, table_->Level, buffer_); }

    // From now on every state the endpoint reports is kept, in order.
    void RecordStates() {
        endpoint_.SetStatusListener([this](const hostlink::LinkStatus& s) {
            std::lock_guard lock(statesMutex_);
            states_.push_back(s.State);
            statesChanged_.notify_all();
        });
    }
    bool WaitForState(hostlink::LinkState state, std::chrono::milliseconds timeout) {
        std::unique_lock lock(statesMutex_);
        return statesChanged_.wait_for(lock, timeout,
                                       [&] { return !states_.empty() && states_.back() == state; });
    }
    std::vector<hostlink::LinkState> States() {
        std::lock_guard lock(statesMutex_);
        return states_;
    }

    PrivateRuntimeDir runtime_;
    // Declared before the endpoint: its watcher thread reports until the
    // endpoint is destroyed.
    std::mutex statesMutex_;
    std::condition_variable statesChanged_;
    std::vector<hostlink::LinkState> states_;
    hostlink::UnixEndpoint endpoint_;
    std::unique_ptr<TChannelTable> table_;
    std::array<std::uint8_t, DMX_UNIVERSE_SIZE> buffer_{};
};
