#include "Session.h"

#include <memory>
#include <utility>
#include <vector>

#include "Settings.h"

namespace qz::devservice {

Session::Session() : answers(TheSettings().latency, TheSettings().immediate) {}

void Session::Request(std::function<void()> deliver) {
    ++traffic.requests;
    answers.Push([this, deliver = std::move(deliver)] {
        deliver();
        ++traffic.answersDelivered;
    });
}

void Session::Update() {
    answers.Update();
}

Session* NewSession() {
    // Kept reachable until the process ends, never destroyed: a game may still call in from
    // its own static destructors.
    static auto* sessions = new std::vector<std::unique_ptr<Session>>;
    sessions->push_back(std::make_unique<Session>());
    return sessions->back().get();
}

unsigned int NextRequestId() {
    static unsigned int last;
    do {
        ++last;
    } while (last == 0 || last == 0xFFFFFFFF);
    return last;
}

}  // namespace qz::devservice
