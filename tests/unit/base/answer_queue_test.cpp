// The queue behind the test seams of the message box and the common dialogs.

#include <optional>

#include <QString>
#include <gtest/gtest.h>

#include "base/AnswerQueue.h"

TEST(AnswerQueue, AnswersAreTakenOldestFirstAndOnlyOnce) {
    TAnswerQueue<int> answers;
    answers.Push(1);
    answers.Push(2);
    EXPECT_EQ(answers.Take(), std::optional<int>(1));
    answers.Push(3);
    EXPECT_EQ(answers.Take(), std::optional<int>(2));
    EXPECT_EQ(answers.Take(), std::optional<int>(3));
    EXPECT_EQ(answers.Take(), std::nullopt) << "an answer was handed out twice";
}

TEST(AnswerQueue, ClearLeavesNothingForTheNextBox) {
    TAnswerQueue<int> answers;
    answers.Push(1);
    answers.Push(2);
    answers.Clear();
    EXPECT_EQ(answers.Take(), std::nullopt);
    answers.Push(4);
    EXPECT_EQ(answers.Take(), std::optional<int>(4)) << "the queue works again after a clear";
}

// A dialog's queued cancel is an empty answer, which is not the same as no answer.
TEST(AnswerQueue, AQueuedCancelIsAnAnswer) {
    TAnswerQueue<std::optional<QString>> answers;
    answers.Push(std::nullopt);
    answers.Push(QStringLiteral("a.HXI"));
    const std::optional<std::optional<QString>> cancel = answers.Take();
    ASSERT_TRUE(cancel.has_value()) << "the queued cancel was taken for no answer";
    EXPECT_FALSE(cancel->has_value());
    const std::optional<std::optional<QString>> file = answers.Take();
    ASSERT_TRUE(file.has_value() && file->has_value());
    EXPECT_EQ(**file, QStringLiteral("a.HXI"));
    EXPECT_FALSE(answers.Take().has_value());
}
