#pragma once
// An in-process host for window tests and benchmarks: records what the desk
// hands over, or stands for no host at all.

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "hostlink/Endpoint.h"

class RecordingEndpoint : public hostlink::Endpoint {
public:
    struct Record {
        bool Sent;
        std::uint32_t Msg;
        std::uint32_t WParam;
        std::uint64_t LParam;
        std::vector<std::uint8_t> Payload;
    };

    // Shared with the test, which keeps a pointer after handing the endpoint
    // over; null when nothing is to be kept.
    std::vector<Record>* Records;
    bool HostPresent = true;
    int Posted = 0; // messages posted so far

    explicit RecordingEndpoint(std::vector<Record>* records = nullptr) : Records(records) {}
    static std::unique_ptr<RecordingEndpoint> NoHost() {
        auto endpoint = std::make_unique<RecordingEndpoint>();
        endpoint->HostPresent = false;
        return endpoint;
    }

    bool Find(std::string_view className) override {
        lastClass_ = std::string(className);
        return HostPresent;
    }
    bool Send(const hostlink::HostMessage& m, std::chrono::milliseconds, std::int64_t*) override {
        if (Records != nullptr)
            Records->push_back({true, m.Msg, m.WParam, m.LParam, {m.Data, m.Data + m.Length}});
        return true;
    }
    bool Post(const hostlink::HostMessage& m) override {
        ++Posted;
        if (Records != nullptr)
            Records->push_back({false, m.Msg, m.WParam, m.LParam, {m.Data, m.Data + m.Length}});
        return true;
    }
    const std::string& LastClass() const { return lastClass_; }

private:
    std::string lastClass_;
};
