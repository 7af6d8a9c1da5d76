#include "PrivateNetwork.h"

#include <array>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <net/if.h>
#include <sched.h>

namespace {
TPrivateNetwork g_network;

int InterfaceCount() {
    struct if_nameindex* list = if_nameindex();
    if (!list) return -1;
    int count = 0;
    for (struct if_nameindex* i = list; i->if_index != 0; ++i)
        ++count;
    if_freenameindex(list);
    return count;
}
} // namespace

bool RunCommand(const std::string& command) {
    return std::system((command + " >/dev/null 2>&1").c_str()) == 0;
}

std::string CaptureOutput(const std::string& command) {
    std::string out;
    FILE* pipe = popen((command + " 2>/dev/null").c_str(), "r");
    if (!pipe) return out;
    std::array<char, 4096> buffer{};
    std::size_t n;
    while ((n = std::fread(buffer.data(), 1, buffer.size(), pipe)) > 0)
        out.append(buffer.data(), n);
    pclose(pipe);
    return out;
}

TPrivateNetwork EnterPrivateNetwork() {
    TPrivateNetwork result;
    if (unshare(CLONE_NEWNET) != 0) {
        result.why = std::string("unshare(CLONE_NEWNET) refused: ") + std::strerror(errno);
        return g_network = result;
    }
    // A fresh namespace holds only its own loopback; anything else means we
    // are not where we think and must not send.
    if (InterfaceCount() != 1) {
        result.why = "the new namespace is not empty";
        return g_network = result;
    }
    // Debian's kernels have the dummy type; where it is missing, a veth pair
    // whose both ends stay in this namespace does the same.
    const bool made = RunCommand("ip link set lo up") &&
                      (RunCommand("ip link add vt0 type dummy") ||
                       (RunCommand("ip link add vt0 type veth peer name vt1") &&
                        RunCommand("ip link set vt1 up"))) &&
                      RunCommand(std::string("ip addr add ") + LOCAL_ADDRESS + "/24 dev vt0") &&
                      RunCommand("ip link set vt0 up multicast on") &&
                      RunCommand("ip route add 239.255.0.0/16 dev vt0");
    if (!made) {
        result.why = "could not set up the namespace's interfaces with ip(8)";
        return g_network = result;
    }
    result.ready = true;
    return g_network = result;
}

const TPrivateNetwork& PrivateNetwork() {
    return g_network;
}
