#include "service/AnswerQueue.h"

#include <utility>

namespace qz::devservice {

AnswerQueue::AnswerQueue(bool immediate) : immediate(immediate) {}

void AnswerQueue::Push(unsigned int latency, std::function<void()> deliver) {
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
    // Kinds may have latencies of their own, so a due answer may wait behind one that is not.
    // Each is taken out before its callback runs, and the search starts again after it, as
    // callbacks may push, or even call Update again.
    for (;;) {
        auto due = pending.begin();
        while (due != pending.end() && due->dueAt > now) {
            ++due;
        }
        if (due == pending.end()) {
            return;
        }
        std::function<void()> deliver = std::move(due->deliver);
        pending.erase(due);
        deliver();
    }
}

}  // namespace qz::devservice
