#pragma once
// The wire format between the desk and a host on platforms without window
// messages: a 24-byte little-endian header, then `Length` payload bytes. A
// sent message is answered by 8 bytes, the i64 result.

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace hostlink {

inline constexpr char HOST_CLASS_NAME[] = "THXMainForm";

inline constexpr std::uint32_t WM_COPYDATA = 0x004A;
inline constexpr std::uint32_t WM_KEYDOWN = 0x0100;
inline constexpr std::uint32_t WM_KEYUP = 0x0101;
inline constexpr std::uint32_t WM_SYSKEYDOWN = 0x0104;
inline constexpr std::uint32_t WM_SYSKEYUP = 0x0105;

inline constexpr std::uint64_t DMX_FRAME_TAG = 256; // dwData of a channel frame

inline constexpr std::size_t HEADER_SIZE = 24;
inline constexpr std::size_t REPLY_SIZE = 8;
inline constexpr std::uint32_t FLAG_SENT = 1u; // the sender waits for the reply
// Larger payloads are refused by readers: no message of this protocol needs more.
inline constexpr std::uint32_t MAX_PAYLOAD = 64 * 1024;

struct MessageHeader {
    std::uint32_t Msg = 0;
    std::uint32_t WParam = 0;
    std::uint64_t LParam = 0;
    std::uint32_t Length = 0;
    std::uint32_t Flags = 0;

    bool IsSent() const { return (Flags & FLAG_SENT) != 0; }
};

// A message to deliver: the header fields and a payload that stays valid for
// the duration of the call.
struct HostMessage {
    std::uint32_t Msg = 0;
    std::uint32_t WParam = 0;
    std::uint64_t LParam = 0;
    const std::uint8_t* Data = nullptr;
    std::uint32_t Length = 0;
};

void EncodeHeader(const MessageHeader& header, std::uint8_t* out); // HEADER_SIZE bytes
MessageHeader DecodeHeader(const std::uint8_t* in);                // HEADER_SIZE bytes
void EncodeReply(std::int64_t result, std::uint8_t* out);          // REPLY_SIZE bytes
std::int64_t DecodeReply(const std::uint8_t* in);                  // REPLY_SIZE bytes

// Where a host with the given class name listens: $XDG_RUNTIME_DIR/<name>, or
// /tmp/runtime-<user>/<name> when the variable is unset, <user> being the
// real user's name from the password database.
struct EndpointLocation {
    std::string Folder;
    std::string Name;
    bool Fallback = false; // the /tmp folder, which must be private (0700)

    std::string Path() const { return Folder + "/" + Name; }
};
EndpointLocation LocateEndpoint(std::string_view className);
std::string EndpointPath(std::string_view className);

// A short name of a message number for people ("WM_COPYDATA", "WM_KEYDOWN" ...).
const char* MessageName(std::uint32_t msg);

} // namespace hostlink
