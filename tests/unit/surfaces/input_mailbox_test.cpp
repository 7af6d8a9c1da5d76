// The mailbox between a transport's thread and the window's.

#include <thread>

#include <gtest/gtest.h>

#include "surfaces/InputMailbox.h"

namespace {
TSurfaceInput Fader(int index, int value) {
    return {TControlRole::Fader, index, value, 127, false};
}
TSurfaceInput Button(TControlRole role, int index, bool pressed) {
    return {role, index, 0, 0, pressed};
}
} // namespace

TEST(InputMailbox, CoalescesFadersButKeepsOrderAcrossButtons) {
    int wakes = 0;
    TInputMailbox box([&] { ++wakes; });
    box.Post(Fader(1, 1));
    box.Post(Fader(1, 2));
    box.Post(Fader(2, 9));
    box.Post(Button(TControlRole::Page, 2, true));
    box.Post(Fader(1, 3));
    box.Post(Fader(1, 4));
    EXPECT_EQ(wakes, 1);
    const auto all = box.TakeAll();
    ASSERT_EQ(all.size(), 4u);
    EXPECT_EQ(all[0].Value, 2);
    EXPECT_EQ(all[0].Low, 1);
    EXPECT_EQ(all[0].High, 2);
    EXPECT_EQ(all[1].Index, 2);
    EXPECT_EQ(all[2].Role, TControlRole::Page);
    EXPECT_EQ(all[3].Value, 4); // after the page switch, on the new page
    box.Post(Fader(3, 1));
    EXPECT_EQ(wakes, 2);
}

TEST(InputMailbox, ButtonsAreBoundedAndDropsCounted) {
    TInputMailbox box;
    for (std::size_t i = 0; i < MAX_QUEUED_BUTTONS + 10; ++i)
        box.Post(Button(TControlRole::Bump, 1, i % 2 == 0));
    EXPECT_EQ(box.Dropped(), 10);
    EXPECT_EQ(box.TakeAll().size(), MAX_QUEUED_BUTTONS);
}

TEST(InputMailbox, AFloodFromAnotherThreadEndsWithTheLastValue) {
    TInputMailbox box;
    std::thread flood([&] {
        for (int i = 0; i < 100000; ++i)
            box.Post(Fader(1 + i % 4, i % 128));
        for (int f = 1; f <= 4; ++f)
            box.Post(Fader(f, 100 + f));
    });
    int last[5] = {};
    std::size_t most = 0;
    while (true) {
        const auto got = box.TakeAll();
        most = std::max(most, got.size());
        for (const auto& in : got)
            last[in.Index] = in.Value;
        if (last[4] == 104 && last[1] == 101 && last[2] == 102 && last[3] == 103) break;
        std::this_thread::yield();
    }
    flood.join();
    EXPECT_LE(most, 4u);
}
