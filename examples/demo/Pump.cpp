#include "Pump.h"

#include <veltoclient/VeltoClient.h>

#if defined(_WIN32)
#include <windows.h>
#else
#include <time.h>
#endif

namespace demo {
namespace {

// A monotonic clock and a sleep, the only OS services the demo needs.
unsigned long long NowMs() {
#if defined(_WIN32)
    return GetTickCount64();
#else
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<unsigned long long>(now.tv_sec) * 1000u +
           static_cast<unsigned long long>(now.tv_nsec) / 1000000u;
#endif
}

void SleepMs(unsigned int ms) {
#if defined(_WIN32)
    Sleep(ms);
#else
    timespec pause{};
    pause.tv_sec = static_cast<time_t>(ms / 1000u);
    pause.tv_nsec = static_cast<long>(ms % 1000u) * 1000000L;
    nanosleep(&pause, nullptr);
#endif
}

}  // namespace

bool PumpUntil(qz::veltoclient::VeltoClient& client, const bool* answered, unsigned int timeoutMs,
               unsigned int frameMs) {
    const unsigned long long deadline = NowMs() + timeoutMs;
    while (!*answered) {
        if (NowMs() > deadline) {
            return false;
        }
        client.Update();
        if (!*answered) {
            SleepMs(frameMs);
        }
    }
    return true;
}

}  // namespace demo
