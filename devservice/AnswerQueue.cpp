#include "AnswerQueue.h"

#include <utility>

namespace qz::devservice {

AnswerQueue::AnswerQueue(unsigned int latency, bool immediate)
    : latency(latency), immediate(immediate) {}

void AnswerQueue::Push(std::function<void()> deliver) {
    if (immediate) {
        deliver();
        return;
    }
    // Counted in Update calls started: pushed during call n, the answer is due at call
    // n + 1 + latency, never within the call that is running.
    pending.push_back(Pending{updatesStarted + 1 + latency, std::move(deliver)});
}

void AnswerQueue::Update() {
    const unsigned long long now = ++updatesStarted;
    // Every answer has the same latency, so the due ones are at the front. Each is taken out
    // before its callback runs, so callbacks may push, or even call Update again.
    while (!pending.empty() && pending.front().dueAt <= now) {
        std::function<void()> deliver = std::move(pending.front().deliver);
        pending.pop_front();
        deliver();
    }
}

}  // namespace qz::devservice
