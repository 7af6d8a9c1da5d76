#pragma once
// One destination for the desk's 512 levels. Every call comes from the
// output's own scheduler thread, never from the window.

#include "core/DmxConstants.h"
#include "output/OutputState.h"

#include <chrono>
#include <cstdint>
#include <span>
#include <string>

using TLevelSpan = std::span<const std::uint8_t, DMX_UNIVERSE_SIZE>;

class TOutput {
public:
    virtual ~TOutput() = default;
    // Opens sockets or connections; false leaves the output in a failed state
    // that Send may recover from.
    virtual bool Start() = 0;
    // Says goodbye as the protocol asks and closes everything.
    virtual void Stop() = 0;
    // Sends one frame; false when it could not leave.
    virtual bool Send(TLevelSpan levels) = 0;
    // Work the protocol asks for besides frames (discovery, answering
    // polls); the scheduler calls it on every wake, at least once a second.
    virtual void Service(std::chrono::steady_clock::time_point /*now*/) {}
    // How many packets carry new levels before the output falls back to
    // its keep-alive.
    virtual int CopiesOfNewLevels() const { return 1; }
    // A descriptor whose input should wake the scheduler, -1 for none.
    virtual int WaitFd() const { return -1; }
    virtual TOutputState State() const = 0;
    virtual std::string Name() const = 0;
};
