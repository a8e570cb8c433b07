#pragma once

#include <functional>
#include <list>

namespace qz::devservice {

/// The answers of one session, delivered in request order from inside Update.
class AnswerQueue {
public:
    /// `immediate`: answers are delivered by Push itself.
    explicit AnswerQueue(bool immediate);

    /// Queues one answer that waits `latency` Update calls before the one that delivers it;
    /// `deliver` makes the callback.
    void Push(unsigned int latency, std::function<void()> deliver);
    /// One Update call: delivers, in request order, the answers due when it starts. Answers
    /// pushed by the callbacks meanwhile are due at a later call at the earliest.
    void Update();

private:
    struct Pending {
        unsigned long long dueAt;
        std::function<void()> deliver;
    };

    std::list<Pending> pending;
    unsigned long long updatesStarted = 0;
    bool immediate;
};

}  // namespace qz::devservice
