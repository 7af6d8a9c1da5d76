#pragma once
// Where the OLA output sends: a universe of the olad on this machine.

#include <cstdint>

struct TOlaConfig {
    unsigned universe = 1;
    std::uint16_t port = 9010; // olad's RPC port on this machine
};
