#include "hostlink/Protocol.h"

#include <cstdlib>

#include "hostlink/EndpointTrust.h"

namespace hostlink {
namespace {

void Put32(std::uint8_t* p, std::uint32_t v) {
    for (int i = 0; i < 4; ++i)
        p[i] = static_cast<std::uint8_t>(v >> (8 * i));
}
void Put64(std::uint8_t* p, std::uint64_t v) {
    for (int i = 0; i < 8; ++i)
        p[i] = static_cast<std::uint8_t>(v >> (8 * i));
}
std::uint32_t Get32(const std::uint8_t* p) {
    std::uint32_t v = 0;
    for (int i = 0; i < 4; ++i)
        v |= static_cast<std::uint32_t>(p[i]) << (8 * i);
    return v;
}
std::uint64_t Get64(const std::uint8_t* p) {
    std::uint64_t v = 0;
    for (int i = 0; i < 8; ++i)
        v |= static_cast<std::uint64_t>(p[i]) << (8 * i);
    return v;
}

} // namespace

void EncodeHeader(const MessageHeader& h, std::uint8_t* out) {
    Put32(out + 0, h.Msg);
    Put32(out + 4, h.WParam);
    Put64(out + 8, h.LParam);
    Put32(out + 16, h.Length);
    Put32(out + 20, h.Flags);
}

MessageHeader DecodeHeader(const std::uint8_t* in) {
    MessageHeader h;
    h.Msg = Get32(in + 0);
    h.WParam = Get32(in + 4);
    h.LParam = Get64(in + 8);
    h.Length = Get32(in + 16);
    h.Flags = Get32(in + 20);
    return h;
}

void EncodeReply(std::int64_t result, std::uint8_t* out) {
    Put64(out, static_cast<std::uint64_t>(result));
}

std::int64_t DecodeReply(const std::uint8_t* in) {
    return static_cast<std::int64_t>(Get64(in));
}

EndpointLocation LocateEndpoint(std::string_view className) {
    EndpointLocation where;
    where.Name.assign(className);
    if (const char* runtime = std::getenv("XDG_RUNTIME_DIR");
        runtime != nullptr && *runtime != '\0') {
        where.Folder = runtime;
        while (where.Folder.size() > 1 && where.Folder.back() == '/')
            where.Folder.pop_back();
    } else {
        where.Folder = "/tmp/runtime-" + CurrentUserName();
        where.Fallback = true;
    }
    return where;
}

std::string EndpointPath(std::string_view className) {
    return LocateEndpoint(className).Path();
}

const char* MessageName(std::uint32_t msg) {
    switch (msg) {
    case WM_COPYDATA:
        return "WM_COPYDATA";
    case WM_KEYDOWN:
        return "WM_KEYDOWN";
    case WM_KEYUP:
        return "WM_KEYUP";
    case WM_SYSKEYDOWN:
        return "WM_SYSKEYDOWN";
    case WM_SYSKEYUP:
        return "WM_SYSKEYUP";
    default:
        return "message";
    }
}

} // namespace hostlink
