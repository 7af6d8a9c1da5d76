// Enters the private network namespace before GoogleTest starts anything.

#include "PrivateNetwork.h"

#include <gtest/gtest.h>

int main(int argc, char** argv) {
    const TPrivateNetwork& network = EnterPrivateNetwork();
    if (!network.ready) std::fprintf(stderr, "protocol tests skip: %s\n", network.why.c_str());
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
