#pragma once

#include <functional>

#include "AnswerQueue.h"

namespace qz::devservice {

/// What a session did, for the network-traffic answer; each figure modulo 2^32.
struct Traffic {
    unsigned int bytesRead = 0;
    unsigned int bytesWritten = 0;
    unsigned int requests = 0;
    unsigned int answersDelivered = 0;
};

/// One session: its answers and its traffic. Sessions live until the process ends, as the
/// loader never hands one back.
class Session {
public:
    Session();

    /// Counts one request and queues its answer. The answer is counted as delivered after
    /// `deliver` ran, so a traffic answer does not count itself.
    void Request(std::function<void()> deliver);
    /// Delivers the answers that are due.
    void Update();

    Traffic traffic;

private:
    AnswerQueue answers;
};

/// A new session; the first one reads the settings.
Session* NewSession();

/// 1, 2, 3, ... for the whole process, skipping 0 and 0xFFFFFFFF when it wraps.
unsigned int NextRequestId();

}  // namespace qz::devservice
