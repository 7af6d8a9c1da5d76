// Addresses are dotted quads only; the sACN groups are computed from the universe.

#include "core/Ipv4Address.h"

#include <gtest/gtest.h>

namespace {

struct TAddressCase {
    const char* name;
    const char* text;
    bool valid;
};

class Ipv4Parse : public ::testing::TestWithParam<TAddressCase> {};

TEST_P(Ipv4Parse, ParsesOnlyDottedQuads) {
    const auto& c = GetParam();
    const auto parsed = ParseIpv4(c.text);
    EXPECT_EQ(parsed.has_value(), c.valid);
    if (parsed) {
        EXPECT_EQ(parsed->ToString(), c.text);
    }
}

INSTANTIATE_TEST_SUITE_P(Cases, Ipv4Parse,
                         ::testing::Values(TAddressCase{"Loopback", "127.0.0.1", true},
                                           TAddressCase{"Broadcast", "192.0.2.255", true},
                                           TAddressCase{"Zero", "0.0.0.0", true},
                                           TAddressCase{"Empty", "", false},
                                           TAddressCase{"ThreeParts", "192.0.2", false},
                                           TAddressCase{"FiveParts", "1.2.3.4.5", false},
                                           TAddressCase{"PartTooLarge", "1.2.3.256", false},
                                           TAddressCase{"LeadingZero", "1.2.3.04", false},
                                           TAddressCase{"HostName", "localhost", false},
                                           TAddressCase{"TrailingDot", "1.2.3.4.", false},
                                           TAddressCase{"Space", "1.2.3.4 ", false},
                                           TAddressCase{"LongDigits", "1.2.3.0004", false},
                                           TAddressCase{"Negative", "1.2.-3.4", false}),
                         [](const auto& info) { return std::string(info.param.name); });

} // namespace
