// The bridge's reading of the desk's byte stream, the newest frame kept for
// the window, and the answers owed to the desk.

#include <cstring>
#include <vector>

#include <gtest/gtest.h>

#include "bridge_core.h"

namespace {

std::vector<std::uint8_t> Message(std::uint32_t msg, std::uint32_t wParam, std::uint64_t lParam,
                                  std::uint32_t flags, const std::vector<std::uint8_t>& payload,
                                  std::uint32_t length = UINT32_MAX) {
    if (length == UINT32_MAX) length = static_cast<std::uint32_t>(payload.size());
    std::vector<std::uint8_t> out(24);
    const auto put32 = [&](std::size_t at, std::uint32_t v) {
        for (int i = 0; i < 4; ++i)
            out[at + i] = static_cast<std::uint8_t>(v >> (8 * i));
    };
    put32(0, msg);
    put32(4, wParam);
    put32(8, static_cast<std::uint32_t>(lParam));
    put32(12, static_cast<std::uint32_t>(lParam >> 32));
    put32(16, length);
    put32(20, flags);
    out.insert(out.end(), payload.begin(), payload.end());
    return out;
}

std::vector<std::uint8_t> Frame(std::uint8_t level) {
    return Message(0x4A, 0, 256, 1, std::vector<std::uint8_t>(512, level));
}

// Feeds the bytes in pieces of `piece` and collects every message read.
struct Fed {
    std::vector<bridge_message> Messages;
    std::vector<std::vector<std::uint8_t>> Payloads;
    int Last = 0;
};
Fed Feed(bridge_reader& r, const std::vector<std::uint8_t>& bytes, std::size_t piece) {
    Fed fed;
    for (std::size_t at = 0; at < bytes.size(); at += piece) {
        std::size_t room = 0;
        std::uint8_t* into = bridge_reader_space(&r, &room);
        const std::size_t n = std::min({piece, bytes.size() - at, room});
        std::memcpy(into, bytes.data() + at, n);
        bridge_reader_added(&r, n);
        bridge_message m;
        while ((fed.Last = bridge_reader_next(&r, &m)) == 1) {
            fed.Messages.push_back(m);
            fed.Payloads.emplace_back(m.payload, m.payload + m.length);
        }
        if (fed.Last < 0) break;
    }
    return fed;
}

} // namespace

TEST(BridgeReader, CutsFramesAndKeysOutOfAStreamWhateverPiecesItArrivesIn) {
    std::vector<std::uint8_t> stream = Frame(7);
    const auto key = Message(0x100, 0x141, 0x001E0001, 0, {});
    stream.insert(stream.end(), key.begin(), key.end());
    const auto frame = Frame(200);
    stream.insert(stream.end(), frame.begin(), frame.end());
    for (std::size_t piece : {1u, 5u, 24u, 536u, 4096u}) {
        auto reader = std::make_unique<bridge_reader>();
        bridge_reader_init(reader.get());
        const Fed fed = Feed(*reader, stream, piece);
        ASSERT_EQ(fed.Messages.size(), 3u) << "pieces of " << piece;
        EXPECT_EQ(bridge_classify(&fed.Messages[0]), BRIDGE_FRAME);
        EXPECT_EQ(fed.Payloads[0], std::vector<std::uint8_t>(512, 7));
        EXPECT_EQ(bridge_classify(&fed.Messages[1]), BRIDGE_KEY);
        EXPECT_EQ(fed.Messages[1].wparam, 0x141u);
        EXPECT_EQ(fed.Messages[1].lparam, 0x001E0001u);
        EXPECT_EQ(fed.Payloads[2], std::vector<std::uint8_t>(512, 200));
    }
}

TEST(BridgeReader, RefusesALengthAboveTheLimitAndTakesOneAtIt) {
    auto reader = std::make_unique<bridge_reader>();
    bridge_reader_init(reader.get());
    EXPECT_EQ(Feed(*reader, Message(0x4A, 0, 256, 1, {}, BRIDGE_MAX_PAYLOAD + 1), 24).Last, -1);

    bridge_reader_init(reader.get());
    const std::vector<std::uint8_t> big(BRIDGE_MAX_PAYLOAD, 3);
    const Fed fed = Feed(*reader, Message(0x9999, 0, 0, 1, big), 1000);
    ASSERT_EQ(fed.Messages.size(), 1u) << "a message at the limit fits the reader";
    EXPECT_EQ(bridge_classify(&fed.Messages[0]), BRIDGE_SKIPPED);
    EXPECT_TRUE(bridge_is_sent(&fed.Messages[0]));
}

TEST(BridgeReader, OnlyTheExactChannelFrameAndPostedKeysGoToTheWindow) {
    const auto kind = [](std::vector<std::uint8_t> bytes) {
        auto reader = std::make_unique<bridge_reader>();
        bridge_reader_init(reader.get());
        const Fed fed = Feed(*reader, bytes, bytes.size());
        return fed.Messages.size() == 1 ? bridge_classify(&fed.Messages[0]) : BRIDGE_SKIPPED;
    };
    const std::vector<std::uint8_t> levels(512, 1);
    EXPECT_EQ(kind(Message(0x4A, 0, 256, 1, levels)), BRIDGE_FRAME);
    EXPECT_EQ(kind(Message(0x4A, 0, 257, 1, levels)), BRIDGE_SKIPPED) << "another dwData";
    EXPECT_EQ(kind(Message(0x4A, 1, 256, 1, levels)), BRIDGE_SKIPPED) << "a wParam";
    EXPECT_EQ(kind(Message(0x4A, 0, 256, 0, levels)), BRIDGE_SKIPPED) << "posted";
    EXPECT_EQ(kind(Message(0x4A, 0, 256, 1, std::vector<std::uint8_t>(511))), BRIDGE_SKIPPED);
    for (std::uint32_t msg : {0x100u, 0x101u, 0x104u, 0x105u})
        EXPECT_EQ(kind(Message(msg, 0x41, 0x001E0001, 0, {})), BRIDGE_KEY) << msg;
    EXPECT_EQ(kind(Message(0x100, 0x41, 0, 1, {})), BRIDGE_SKIPPED) << "a sent key";
    EXPECT_EQ(kind(Message(0x100, 0x41, 0, 0, {1})), BRIDGE_SKIPPED) << "a key with a payload";
    EXPECT_EQ(kind(Message(0x102, 0x41, 0, 0, {})), BRIDGE_SKIPPED) << "WM_CHAR is not forwarded";
}

TEST(BridgeReply, IsTheResultAsEightLittleEndianBytes) {
    std::uint8_t out[8];
    bridge_encode_reply(-2, out);
    EXPECT_EQ(out[0], 0xFE);
    for (int i = 1; i < 8; ++i)
        EXPECT_EQ(out[i], 0xFF);
    bridge_encode_reply(0x0102, out);
    EXPECT_EQ(out[0], 0x02);
    EXPECT_EQ(out[1], 0x01);
}

TEST(BridgeFrameSlot, HandsOutOnlyTheNewestFrameOnce) {
    bridge_frame_slot slot;
    bridge_slot_init(&slot);
    std::uint8_t levels[512];
    std::uint64_t generation = 0;
    EXPECT_EQ(bridge_slot_take(&slot, levels, &generation), 0);

    const std::vector<std::uint8_t> a(512, 1), b(512, 2);
    EXPECT_EQ(bridge_slot_put(&slot, a.data()), 1u);
    EXPECT_EQ(bridge_slot_put(&slot, b.data()), 2u);
    ASSERT_EQ(bridge_slot_take(&slot, levels, &generation), 1);
    EXPECT_EQ(generation, 2u);
    EXPECT_EQ(levels[0], 2);
    EXPECT_EQ(bridge_slot_take(&slot, levels, &generation), 0) << "taken once";
}

TEST(BridgeFrameSlot, AFrameTheWindowDidNotTakeWaitsUnlessANewerOneCame) {
    bridge_frame_slot slot;
    bridge_slot_init(&slot);
    std::uint8_t levels[512];
    std::uint64_t generation = 0;
    const std::vector<std::uint8_t> a(512, 1), b(512, 2);
    bridge_slot_put(&slot, a.data());
    ASSERT_EQ(bridge_slot_take(&slot, levels, &generation), 1);
    bridge_slot_retry(&slot, levels, generation);
    ASSERT_EQ(bridge_slot_take(&slot, levels, &generation), 1);
    EXPECT_EQ(generation, 1u);
    EXPECT_EQ(levels[0], 1);

    bridge_slot_put(&slot, b.data()); // while the window had frame 1
    bridge_slot_retry(&slot, levels, generation);
    ASSERT_EQ(bridge_slot_take(&slot, levels, &generation), 1);
    EXPECT_EQ(generation, 2u) << "the newer frame, not the one that waited";
    EXPECT_EQ(levels[0], 2);
}

TEST(BridgeOwed, AHandledFrameSettlesItsAnswerAndEveryOlderOne) {
    bridge_owed owed;
    bridge_owed_init(&owed);
    ASSERT_EQ(bridge_owed_add(&owed, 10, 1), 0);
    ASSERT_EQ(bridge_owed_add(&owed, 11, 2), 0);
    ASSERT_EQ(bridge_owed_add(&owed, 10, 3), 0);
    int ids[BRIDGE_MAX_OWED];
    ASSERT_EQ(bridge_owed_settle(&owed, 2, ids), 2);
    EXPECT_EQ(ids[0], 10);
    EXPECT_EQ(ids[1], 11);
    bridge_owed_forget(&owed, 10);
    EXPECT_EQ(bridge_owed_settle(&owed, 3, ids), 0) << "a closed connection is not answered";

    for (int i = 0; i < BRIDGE_MAX_OWED; ++i)
        ASSERT_EQ(bridge_owed_add(&owed, i, 5), 0);
    EXPECT_EQ(bridge_owed_add(&owed, 99, 5), -1) << "bounded";
}
