#pragma once
// An in-process host for window tests: records what the desk hands over.

#include <cstdint>
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

    // Shared with the test, which keeps a pointer after handing the endpoint over.
    std::vector<Record>* Records;
    bool HostPresent = true;

    explicit RecordingEndpoint(std::vector<Record>* records) : Records(records) {}

    bool Find(std::string_view className) override {
        lastClass_ = std::string(className);
        return HostPresent;
    }
    bool Send(const hostlink::HostMessage& m, std::chrono::milliseconds, std::int64_t*) override {
        Records->push_back({true, m.Msg, m.WParam, m.LParam, {m.Data, m.Data + m.Length}});
        return true;
    }
    bool Post(const hostlink::HostMessage& m) override {
        Records->push_back({false, m.Msg, m.WParam, m.LParam, {m.Data, m.Data + m.Length}});
        return true;
    }
    const std::string& LastClass() const { return lastClass_; }

private:
    std::string lastClass_;
};
