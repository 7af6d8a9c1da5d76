// The system's TCP table read as hostile text, and the rule that a given-up
// connection has ended only once it is in TIME_WAIT or gone.

#include "output/TcpConnections.h"

#include <gtest/gtest.h>

namespace {

using namespace tcpconnections;

constexpr char TABLE[] =
    "  sl  local_address rem_address   st tx_queue rx_queue tr tm->when retrnsmt   uid  "
    "timeout inode\n"
    "   0: 0100007F:2332 00000000:0000 0A 00000000:00000000 00:00000000 00000000     0        "
    "0 1001 1 0000000000000000 100 0 0 10 0\n"
    "   1: 0100007F:D4A6 0100007F:2332 05 00000000:00000000 00:00000000 00000000     0        "
    "0 0 1 0000000000000000 20 4 30 10 -1\n"
    "   2: 0100007F:D4A8 0100007F:2332 01 00000222:00000000 01:00000014 00000000     0        "
    "0 1003 1 0000000000000000 20 4 30 10 -1\n"
    "   3: 0100007F:D4AA 0100007F:2332 06 00000000:00000000 03:00000F8E 00000000     0        "
    "0 0 3 0000000000000000\n"
    "   4: garbage line\n"
    "   5: 0100007F:ZZZZ 0100007F:2332 01 00000000:00000000 00:00000000 00000000 0 0 7\n";

TEST(TcpConnections, ReadsTheRowsAndSkipsWhatDoesNotRead) {
    const auto rows = ParseTable(TABLE);
    ASSERT_EQ(rows.size(), 4u);
    EXPECT_EQ(rows[0].localPort, 0x2332);
    EXPECT_EQ(rows[0].state, 0x0A);
    EXPECT_EQ(rows[1].localPort, 0xD4A6);
    EXPECT_EQ(rows[1].remotePort, 9010);
    EXPECT_EQ(rows[1].state, FIN_WAIT2);
    EXPECT_EQ(rows[2].inode, 1003u);
    EXPECT_TRUE(ParseTable("").empty());
    EXPECT_TRUE(ParseTable("heading only").empty());
    EXPECT_TRUE(ParseTable(std::string(10000, ' ')).empty());
}

TEST(TcpConnections, AHalfClosedConnectionHasNotEnded) {
    const auto rows = ParseTable(TABLE);
    EXPECT_TRUE(AnyUnended(rows, {0xD4A6}, 9010)) << "FIN_WAIT2: the daemon never closed";
    EXPECT_TRUE(AnyUnended(rows, {0xD4A8}, 9010)) << "established with unsent data";
    EXPECT_FALSE(AnyUnended(rows, {0xD4AA}, 9010)) << "TIME_WAIT is over";
    EXPECT_FALSE(AnyUnended(rows, {0x1234}, 9010)) << "gone is over";
    EXPECT_FALSE(AnyUnended(rows, {0xD4A8}, 9011)) << "another port's";
}

TEST(TcpConnections, TheNewConnectionIsTheOneThatWasNotThereBefore) {
    const auto after = ParseTable(TABLE);
    const std::vector<TEntry> before = {after[1]};
    EXPECT_EQ(NewPorts(before, after, 9010), (std::vector<std::uint16_t>{0xD4A8}));
    EXPECT_TRUE(NewPorts(after, after, 9010).empty());
}

} // namespace
