#include "service/Session.h"

#include <utility>

#include "service/Service.h"

namespace qz::devservice {

Session::Session(Service& service, unsigned int number)
    : service(service), number(number), answers(service.settings.immediate) {}

void Session::Request(RequestKind kind, std::function<void()> deliver) {
    ++traffic.requests;
    answers.Push(service.settings.latency[Index(kind)], [this, deliver = std::move(deliver)] {
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

}  // namespace qz::devservice
