#pragma once
// What the desk knows about its host, for the window to show.

#include <functional>
#include <string>

namespace hostlink {

enum class LinkState {
    NoHost,       // nothing listens at the endpoint
    Connected,    // a trusted host answers
    NotAnswering, // a host took a frame and has not answered it in time
    Refused,      // the endpoint or its folder fails a trust check; nothing is sent
};

struct LinkStatus {
    LinkState State = LinkState::NoHost;
    std::string Path;   // the endpoint's path
    std::string Reason; // why it was refused, empty otherwise

    friend bool operator==(const LinkStatus&, const LinkStatus&) = default;
};

// Called once per change of the status, on whichever thread noticed it.
using LinkStatusListener = std::function<void(const LinkStatus&)>;

} // namespace hostlink
