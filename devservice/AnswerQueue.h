#pragma once

#include <deque>
#include <functional>

namespace qz::devservice {

/// The answers of one session, delivered in request order from inside Update.
class AnswerQueue {
public:
    /// `latency`: Update calls an answer waits before the one that delivers it.
    /// `immediate`: answers are delivered by Push itself.
    AnswerQueue(unsigned int latency, bool immediate);

    /// Queues one answer; `deliver` makes the callback.
    void Push(std::function<void()> deliver);
    /// One Update call: delivers, in order, the answers due when it starts. Answers pushed by
    /// the callbacks meanwhile are due at a later call at the earliest.
    void Update();

private:
    struct Pending {
        unsigned long long dueAt;
        std::function<void()> deliver;
    };

    std::deque<Pending> pending;
    unsigned long long updatesStarted = 0;
    unsigned int latency;
    bool immediate;
};

}  // namespace qz::devservice
