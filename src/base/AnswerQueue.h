#pragma once
// Answers that tests queue for the modal boxes and dialogs: the next one
// shown takes the oldest answer instead of waiting for a person.

#include <deque>
#include <optional>
#include <utility>

template <typename Answer>
class TAnswerQueue {
public:
    void Push(Answer answer) { answers_.push_back(std::move(answer)); }
    void Clear() { answers_.clear(); }

    // The oldest answer, taken off the queue; nothing when none is queued.
    std::optional<Answer> Take() {
        std::optional<Answer> answer;
        if (!answers_.empty()) {
            answer.emplace(std::move(answers_.front()));
            answers_.pop_front();
        }
        return answer;
    }

private:
    std::deque<Answer> answers_;
};
