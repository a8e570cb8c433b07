#pragma once

#include <functional>

#include "control/RequestKinds.h"
#include "service/AnswerQueue.h"

namespace qz::devservice {

class Service;

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
    /// `number`: 1 for the process's first session, 2 for the next, ... (for the log).
    Session(Service& service, unsigned int number);

    /// Counts one request and queues its answer, with the latency of its kind. The answer is
    /// counted as delivered after `deliver` ran, so a traffic answer does not count itself.
    void Request(RequestKind kind, std::function<void()> deliver);
    /// Counts one request whose answer never comes.
    void Lose();
    /// Delivers the answers that are due.
    void Update();

    Service& service;
    const unsigned int number;
    Traffic traffic;

private:
    AnswerQueue answers;
};

}  // namespace qz::devservice
