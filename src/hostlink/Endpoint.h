#pragma once
// The two things the desk asks of the platform to reach its host: find the
// host's endpoint by class name, and deliver a message to it, either waiting
// for the host to handle it (sent) or not (posted).

#include <chrono>
#include <memory>
#include <string_view>

#include "hostlink/LinkStatus.h"
#include "hostlink/Protocol.h"

namespace hostlink {

class Endpoint {
public:
    virtual ~Endpoint() = default;

    // Looks the host up afresh; true when one is there. What was found is
    // used by the following Send or Post.
    virtual bool Find(std::string_view className) = 0;

    // Delivers to the host last found and waits for its answer, no longer than
    // `timeout`. False when the message could not be delivered or answered in
    // time; the host is then forgotten and found again by the next Find.
    virtual bool Send(const HostMessage& message, std::chrono::milliseconds timeout,
                      std::int64_t* result = nullptr) = 0;

    // Queues the message for the host without waiting. False when it could
    // not be queued.
    virtual bool Post(const HostMessage& message) = 0;

    // A frame that found no host to take it. An endpoint that can tell may
    // hand it to a host that turns up later (see Refresh).
    virtual void Missed(const HostMessage& frame) { (void)frame; }

    // Looks at the host again without being asked to deliver anything, so
    // that the status stays true while nothing is sent: a host that came,
    // went, was replaced or reads again. A host that did not get the newest
    // frame handed over (Send or Missed) gets it now, without waiting.
    virtual void Refresh(std::string_view className) { (void)className; }

    // What is known about the host now. Endpoints that cannot tell report
    // no host.
    virtual LinkStatus Status() const { return {}; }
    // `listener` hears of every later change of Status().
    virtual void SetStatusListener(LinkStatusListener listener) { (void)listener; }
};

// The endpoint layer of this platform.
std::unique_ptr<Endpoint> CreatePlatformEndpoint();

} // namespace hostlink
