// The smallest service library that binds: all 21 entry points, nothing recorded, so that a
// benchmark measures the loader's routing and not the service. Login-details requests are
// answered from inside the request call, oldest first: each request joins a queue, and while
// more than `lag` requests wait the oldest is answered. Lag 0 answers the request itself.

#include <veltodll/VeltodllEntryPoints.h>

#if defined(_WIN32)
#define BENCHSERVICE_API __declspec(dllexport)
#else
#define BENCHSERVICE_API __attribute__((visibility("default")))
#endif

namespace {

char sessionObject;
// While held, requests are taken and never answered: how a benchmark makes requests pending.
bool held;

struct Waiting {
    unsigned int id;
    qz::veltodll::IGetLoginDetailsListener* listener;
};
constexpr unsigned int kQueueSize = 4096;  // a power of two above any lag asked for
Waiting queue[kQueueSize];
unsigned int queueHead;  // oldest
unsigned int queueLength;
unsigned int lag;

}  // namespace

extern "C" {

/// Nonzero: requests from now on are neither queued nor answered.
BENCHSERVICE_API void BenchServiceHold(int hold) {
    held = hold != 0;
}

/// Forgets the queue; from now on `requestLag` login-details requests stay waiting.
BENCHSERVICE_API void BenchServiceSetLag(unsigned int requestLag) {
    queueHead = 0;
    queueLength = 0;
    lag = requestLag < kQueueSize ? requestLag : kQueueSize - 1;
}

void* QzVeltodllGetSession(void) {
    return &sessionObject;
}
void QzVeltodllUpdate(void*) {}
unsigned int QzVeltodllGetRequestUniqueId(void*) {
    return 0;
}
bool QzVeltodllStartLauncher(void*, unsigned int, unsigned int, const char*, const char*) {
    return false;
}
void QzVeltodllGetLoginDetails(void*, unsigned int id,
                               qz::veltodll::IGetLoginDetailsListener* listener) {
    if (held) {
        return;
    }
    queue[(queueHead + queueLength++) & (kQueueSize - 1)] = Waiting{id, listener};
    while (queueLength > lag) {
        const Waiting oldest = queue[queueHead];
        queueHead = (queueHead + 1) & (kQueueSize - 1);
        --queueLength;
        oldest.listener->OnGetLoginDetails(oldest.id, 1, 2, 3);
    }
}
void QzVeltodllGetVeltoServer(void*, unsigned int id,
                              qz::veltodll::IGetVeltoServerListener* listener, unsigned int,
                              unsigned int) {
    if (!held) {
        listener->OnGetVeltoServer(id, 1);
    }
}
void QzVeltodllGetSavegameReader(void*, unsigned int id,
                                 qz::veltodll::IGetSavegameReaderListener* listener, unsigned int,
                                 unsigned int) {
    if (!held) {
        listener->OnGetSavegameReader(id, 1, nullptr);
    }
}
void QzVeltodllGetSavegameWriter(void*, unsigned int id,
                                 qz::veltodll::IGetSavegameWriterListener* listener, unsigned int,
                                 unsigned int, bool) {
    if (!held) {
        listener->OnGetSavegameWriter(id, 1, nullptr);
    }
}
void QzVeltodllGetSavegameList(void*, unsigned int id,
                               qz::veltodll::IGetSavegameListListener* listener, unsigned int) {
    if (!held) {
        listener->OnGetSavegameList(id, nullptr, 0);
    }
}
void QzVeltodllRemoveSavegame(void*, unsigned int id,
                              qz::veltodll::IRemoveSavegameListener* listener, unsigned int,
                              unsigned int) {
    if (!held) {
        listener->OnRemoveSavegame(id, 1);
    }
}
void QzVeltodllGetNetworkTraffic(void*, unsigned int id,
                                 qz::veltodll::IGetNetworkTrafficListener* listener) {
    if (!held) {
        listener->OnGetNetworkTraffic(id, 1, 2, 3, 4);
    }
}
const unsigned short* QzVeltodllGetLocText(void*, const unsigned short* text, const char*) {
    return text;
}
void QzVeltodllSaveGameReaderRead(void*, unsigned int, qz::veltoclient::ISavegameReadListener*,
                                  unsigned int, void*, unsigned int) {}
void QzVeltodllSaveGameReaderClose(void*) {}
bool QzVeltodllSaveGameWriterSetName(void*, unsigned short*) {
    return false;
}
void QzVeltodllSaveGameWriterWrite(void*, unsigned int, qz::veltoclient::ISavegameWriteListener*,
                                   void*, unsigned int) {}
void QzVeltodllSaveGameWriterClose(void*, bool) {}
const unsigned short* QzVeltodllSaveGameInfoGetName(void*) {
    return nullptr;
}
unsigned int QzVeltodllSaveGameInfoGetProductId(void*) {
    return 0;
}
unsigned int QzVeltodllSaveGameInfoGetSavegameId(void*) {
    return 0;
}
unsigned int QzVeltodllSaveGameInfoGetSize(void*) {
    return 0;
}

}  // extern "C"
