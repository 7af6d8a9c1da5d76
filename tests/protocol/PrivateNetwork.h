#pragma once
// A network namespace of the test's own: loopback plus one interface that
// exists nowhere else, with the sACN multicast range routed onto it. No
// packet the tests send can leave it.

#include <string>

struct TPrivateNetwork {
    bool ready = false;
    std::string why; // when not ready
};

// Must run before any thread or socket exists.
TPrivateNetwork EnterPrivateNetwork();
const TPrivateNetwork& PrivateNetwork();

inline constexpr const char* LOCAL_ADDRESS = "192.0.2.1"; // on the private interface
inline constexpr const char* LOCAL_BROADCAST = "192.0.2.255";

// Runs a shell command; true when it exits 0.
bool RunCommand(const std::string& command);
// Runs a command and returns what it printed on stdout.
std::string CaptureOutput(const std::string& command);

// Skips the calling test when the namespace could not be made.
#define REQUIRE_PRIVATE_NETWORK()                                                                  \
    do {                                                                                           \
        if (!PrivateNetwork().ready)                                                               \
            GTEST_SKIP() << "no private network namespace: " << PrivateNetwork().why;              \
    } while (0)
