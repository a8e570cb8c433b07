#include "service/Session.h"

#include <memory>
#include <utility>
#include <vector>

#include "control/Settings.h"

namespace qz::devservice {

Session::Session(unsigned int number) : number(number), answers(TheSettings().immediate) {}

void Session::Request(RequestKind kind, std::function<void()> deliver) {
    ++traffic.requests;
    answers.Push(TheSettings().latency[Index(kind)], [this, deliver = std::move(deliver)] {
        deliver();
        ++traffic.answersDelivered;
    });
}

void Session::Lose() {
    ++traffic.requests;
}

void Session::Update() {
    answers.Update();
}

Session* NewSession() {
    // Kept reachable until the process ends, never destroyed: a game may still call in from
    // its own static destructors.
    static auto* sessions = new std::vector<std::unique_ptr<Session>>;
    sessions->push_back(std::make_unique<Session>(static_cast<unsigned int>(sessions->size() + 1)));
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
