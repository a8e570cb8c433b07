// The fake service library: the 21 entry points a loader binds, recording every call and
// answering requests only when the test says so (see FakeServiceControl.h).

#include <cstring>
#include <vector>

#include <veltodll/VeltodllEntryPoints.h>
#include "FakeServiceControl.h"

namespace {

struct GivenListener {
    int kind;
    unsigned int requestId;
    void* listener;
};

struct QueuedAnswer {
    int kind;
    unsigned int requestId;
    FakeServiceReply answer;
};

const unsigned short kDefaultText[] = {'f', 'a', 'k', 'e', 0};
char defaultSessionObject;

struct State {
    std::vector<FakeServiceCall> calls;
    std::vector<GivenListener> listeners;
    std::vector<QueuedAnswer> queue;
    bool answerImmediately[FAKESERVICE_KIND_COUNT];
    FakeServiceReply immediateAnswer[FAKESERVICE_KIND_COUNT];
    void* session;
    unsigned int nextRequestId;
    bool startLauncherResult;
    const unsigned short* locText;
    bool setNameResult;
    const unsigned short* infoName;
    unsigned int infoProductId;
    unsigned int infoSavegameId;
    unsigned int infoSize;

    State() { Reset(); }

    void Reset() {
        calls.clear();
        listeners.clear();
        queue.clear();
        for (int kind = 0; kind < FAKESERVICE_KIND_COUNT; ++kind) {
            answerImmediately[kind] = false;
            immediateAnswer[kind] = FakeServiceReply{};
        }
        session = &defaultSessionObject;
        nextRequestId = 1;
        startLauncherResult = true;
        locText = kDefaultText;
        setNameResult = true;
        infoName = kDefaultText;
        infoProductId = 0;
        infoSavegameId = 0;
        infoSize = 0;
    }
};

State& TheState() {
    static State state;
    return state;
}

FakeServiceCall& Record(int entry, void* handle) {
    FakeServiceCall call{};
    call.entry = entry;
    call.handle = handle;
    TheState().calls.push_back(call);
    return TheState().calls.back();
}

// Records a request call with its id, listener and leading values (the rest stay zero).
FakeServiceCall& RecordRequest(int entry, void* handle, unsigned int id, void* listener,
                               unsigned int value0 = 0, unsigned int value1 = 0) {
    FakeServiceCall& call = Record(entry, handle);
    call.requestId = id;
    call.listener = listener;
    call.values[0] = value0;
    call.values[1] = value1;
    return call;
}

void* FindListener(int kind, unsigned int requestId) {
    const std::vector<GivenListener>& listeners = TheState().listeners;
    for (auto it = listeners.rbegin(); it != listeners.rend(); ++it) {
        if (it->kind == kind && it->requestId == requestId) {
            return it->listener;
        }
    }
    return nullptr;
}

// Calls the one callback of `listener`, which was given for a request of `kind`.
void Deliver(int kind, void* listener, unsigned int requestId, const FakeServiceReply& a) {
    namespace dll = qz::veltodll;
    namespace game = qz::veltoclient;
    switch (kind) {
        case FAKESERVICE_KIND_LOGIN_DETAILS:
            static_cast<dll::IGetLoginDetailsListener*>(listener)->OnGetLoginDetails(
                requestId, a.values[0], a.values[1], a.values[2]);
            break;
        case FAKESERVICE_KIND_VELTO_SERVER:
            static_cast<dll::IGetVeltoServerListener*>(listener)->OnGetVeltoServer(requestId,
                                                                                   a.values[0]);
            break;
        case FAKESERVICE_KIND_SAVEGAME_READER:
            static_cast<dll::IGetSavegameReaderListener*>(listener)->OnGetSavegameReader(
                requestId, a.values[0], a.handle);
            break;
        case FAKESERVICE_KIND_SAVEGAME_WRITER:
            static_cast<dll::IGetSavegameWriterListener*>(listener)->OnGetSavegameWriter(
                requestId, a.values[0], a.handle);
            break;
        case FAKESERVICE_KIND_SAVEGAME_LIST:
            static_cast<dll::IGetSavegameListListener*>(listener)->OnGetSavegameList(
                requestId, a.records, a.count);
            break;
        case FAKESERVICE_KIND_REMOVE_SAVEGAME:
            static_cast<dll::IRemoveSavegameListener*>(listener)->OnRemoveSavegame(requestId,
                                                                                   a.values[0]);
            break;
        case FAKESERVICE_KIND_NETWORK_TRAFFIC:
            static_cast<dll::IGetNetworkTrafficListener*>(listener)->OnGetNetworkTraffic(
                requestId, a.values[0], a.values[1], a.values[2], a.values[3]);
            break;
        case FAKESERVICE_KIND_SAVEGAME_READ:
            static_cast<game::ISavegameReadListener*>(listener)->OnSavegameRead(requestId,
                                                                                a.values[0]);
            break;
        case FAKESERVICE_KIND_SAVEGAME_WRITE:
            static_cast<game::ISavegameWriteListener*>(listener)->OnSavegameWrite(requestId,
                                                                                  a.values[0]);
            break;
        default:
            break;
    }
}

// Keeps the listener of a new request and answers it at once when the test asked for that.
// The recorded call is filled in before this runs, because an answer may issue new calls.
void TakeRequest(int kind, unsigned int requestId, void* listener) {
    State& state = TheState();
    state.listeners.push_back(GivenListener{kind, requestId, listener});
    if (state.answerImmediately[kind]) {
        const FakeServiceReply answer = state.immediateAnswer[kind];
        Deliver(kind, listener, requestId, answer);
    }
}

}  // namespace

// --- Entry points.

extern "C" {

void* QzVeltodllGetSession(void) {
    Record(FAKE_GetSession, nullptr);
    return TheState().session;
}

void QzVeltodllUpdate(void* session) {
    Record(FAKE_Update, session);
    // Answers queued by the callbacks themselves wait for the next update.
    std::vector<QueuedAnswer> due;
    due.swap(TheState().queue);
    for (const QueuedAnswer& queued : due) {
        FakeServiceAnswer(queued.kind, queued.requestId, &queued.answer);
    }
}

unsigned int QzVeltodllGetRequestUniqueId(void* session) {
    Record(FAKE_GetRequestUniqueId, session);
    return TheState().nextRequestId++;
}

bool QzVeltodllStartLauncher(void* session, unsigned int a, unsigned int b, const char* c,
                             const char* d) {
    FakeServiceCall& call = Record(FAKE_StartLauncher, session);
    call.values[0] = a;
    call.values[1] = b;
    call.text8[0] = c;
    call.text8[1] = d;
    return TheState().startLauncherResult;
}

void QzVeltodllGetLoginDetails(void* session, unsigned int id,
                               qz::veltodll::IGetLoginDetailsListener* listener) {
    RecordRequest(FAKE_GetLoginDetails, session, id, listener);
    TakeRequest(FAKESERVICE_KIND_LOGIN_DETAILS, id, listener);
}

void QzVeltodllGetVeltoServer(void* session, unsigned int id,
                              qz::veltodll::IGetVeltoServerListener* listener, unsigned int a,
                              unsigned int b) {
    RecordRequest(FAKE_GetVeltoServer, session, id, listener, a, b);
    TakeRequest(FAKESERVICE_KIND_VELTO_SERVER, id, listener);
}

void QzVeltodllGetSavegameReader(void* session, unsigned int id,
                                 qz::veltodll::IGetSavegameReaderListener* listener,
                                 unsigned int productId, unsigned int savegameId) {
    RecordRequest(FAKE_GetSavegameReader, session, id, listener, productId, savegameId);
    TakeRequest(FAKESERVICE_KIND_SAVEGAME_READER, id, listener);
}

void QzVeltodllGetSavegameWriter(void* session, unsigned int id,
                                 qz::veltodll::IGetSavegameWriterListener* listener,
                                 unsigned int productId, unsigned int savegameId, bool flag) {
    FakeServiceCall& call =
        RecordRequest(FAKE_GetSavegameWriter, session, id, listener, productId, savegameId);
    call.flag = flag ? 1 : 0;
    TakeRequest(FAKESERVICE_KIND_SAVEGAME_WRITER, id, listener);
}

void QzVeltodllGetSavegameList(void* session, unsigned int id,
                               qz::veltodll::IGetSavegameListListener* listener,
                               unsigned int productId) {
    RecordRequest(FAKE_GetSavegameList, session, id, listener, productId);
    TakeRequest(FAKESERVICE_KIND_SAVEGAME_LIST, id, listener);
}

void QzVeltodllRemoveSavegame(void* session, unsigned int id,
                              qz::veltodll::IRemoveSavegameListener* listener,
                              unsigned int productId, unsigned int savegameId) {
    RecordRequest(FAKE_RemoveSavegame, session, id, listener, productId, savegameId);
    TakeRequest(FAKESERVICE_KIND_REMOVE_SAVEGAME, id, listener);
}

void QzVeltodllGetNetworkTraffic(void* session, unsigned int id,
                                 qz::veltodll::IGetNetworkTrafficListener* listener) {
    RecordRequest(FAKE_GetNetworkTraffic, session, id, listener);
    TakeRequest(FAKESERVICE_KIND_NETWORK_TRAFFIC, id, listener);
}

const unsigned short* QzVeltodllGetLocText(void* session, const unsigned short* text,
                                           const char* locale) {
    FakeServiceCall& call = Record(FAKE_GetLocText, session);
    call.text16 = text;
    call.text8[0] = locale;
    return TheState().locText;
}

void QzVeltodllSaveGameReaderRead(void* reader, unsigned int id,
                                  qz::veltoclient::ISavegameReadListener* listener,
                                  unsigned int offset, void* buffer, unsigned int size) {
    FakeServiceCall& call =
        RecordRequest(FAKE_SaveGameReaderRead, reader, id, listener, offset, size);
    call.buffer = buffer;
    TakeRequest(FAKESERVICE_KIND_SAVEGAME_READ, id, listener);
}

void QzVeltodllSaveGameReaderClose(void* reader) {
    Record(FAKE_SaveGameReaderClose, reader);
}

bool QzVeltodllSaveGameWriterSetName(void* writer, unsigned short* name) {
    FakeServiceCall& call = Record(FAKE_SaveGameWriterSetName, writer);
    call.text16 = name;
    return TheState().setNameResult;
}

void QzVeltodllSaveGameWriterWrite(void* writer, unsigned int id,
                                   qz::veltoclient::ISavegameWriteListener* listener, void* buffer,
                                   unsigned int size) {
    FakeServiceCall& call = RecordRequest(FAKE_SaveGameWriterWrite, writer, id, listener, size);
    call.buffer = buffer;
    TakeRequest(FAKESERVICE_KIND_SAVEGAME_WRITE, id, listener);
}

void QzVeltodllSaveGameWriterClose(void* writer, bool commit) {
    Record(FAKE_SaveGameWriterClose, writer).flag = commit ? 1 : 0;
}

const unsigned short* QzVeltodllSaveGameInfoGetName(void* record) {
    Record(FAKE_SaveGameInfoGetName, record);
    return TheState().infoName;
}

unsigned int QzVeltodllSaveGameInfoGetProductId(void* record) {
    Record(FAKE_SaveGameInfoGetProductId, record);
    return TheState().infoProductId;
}

unsigned int QzVeltodllSaveGameInfoGetSavegameId(void* record) {
    Record(FAKE_SaveGameInfoGetSavegameId, record);
    return TheState().infoSavegameId;
}

// The incomplete variant leaves out the entry point the loader looks up last.
#if !defined(FAKESERVICE_WITHOUT_INFO_GET_SIZE)
unsigned int QzVeltodllSaveGameInfoGetSize(void* record) {
    Record(FAKE_SaveGameInfoGetSize, record);
    return TheState().infoSize;
}
#endif

// --- Control functions.

void FakeServiceReset(void) {
    TheState().Reset();
}

unsigned int FakeServiceCallCount(void) {
    return static_cast<unsigned int>(TheState().calls.size());
}

int FakeServiceGetCall(unsigned int index, FakeServiceCall* out) {
    const std::vector<FakeServiceCall>& calls = TheState().calls;
    if (index >= calls.size()) {
        return 0;
    }
    *out = calls[index];
    return 1;
}

unsigned int FakeServiceCountCalls(int entry) {
    unsigned int count = 0;
    for (const FakeServiceCall& call : TheState().calls) {
        count += call.entry == entry ? 1 : 0;
    }
    return count;
}

void* FakeServiceDefaultSession(void) {
    return &defaultSessionObject;
}

void FakeServiceSetSession(void* session) {
    TheState().session = session;
}

void FakeServiceSetNextRequestId(unsigned int id) {
    TheState().nextRequestId = id;
}

void FakeServiceSetStartLauncherResult(int result) {
    TheState().startLauncherResult = result != 0;
}

const unsigned short* FakeServiceDefaultLocText(void) {
    return kDefaultText;
}

void FakeServiceSetLocTextResult(const unsigned short* text) {
    TheState().locText = text;
}

void FakeServiceSetWriterSetNameResult(int result) {
    TheState().setNameResult = result != 0;
}

void FakeServiceSetInfoResults(const unsigned short* name, unsigned int productId,
                               unsigned int savegameId, unsigned int size) {
    State& state = TheState();
    state.infoName = name;
    state.infoProductId = productId;
    state.infoSavegameId = savegameId;
    state.infoSize = size;
}

unsigned int FakeServiceListenerCount(int kind, unsigned int requestId) {
    unsigned int count = 0;
    for (const GivenListener& given : TheState().listeners) {
        count += given.kind == kind && given.requestId == requestId ? 1 : 0;
    }
    return count;
}

void* FakeServiceListenerOf(int kind, unsigned int requestId) {
    return FindListener(kind, requestId);
}

int FakeServiceAnswer(int kind, unsigned int requestId, const FakeServiceReply* answer) {
    return FakeServiceAnswerVia(kind, requestId, requestId, answer);
}

int FakeServiceAnswerVia(int kind, unsigned int listenerRequestId, unsigned int requestId,
                         const FakeServiceReply* answer) {
    void* listener = FindListener(kind, listenerRequestId);
    if (listener == nullptr) {
        return 0;
    }
    // A copy, because the callback may reset the fake or queue more answers.
    const FakeServiceReply copy = answer != nullptr ? *answer : FakeServiceReply{};
    Deliver(kind, listener, requestId, copy);
    return 1;
}

void FakeServiceSetAnswerImmediately(int kind, const FakeServiceReply* answer) {
    if (kind < 0 || kind >= FAKESERVICE_KIND_COUNT) {
        return;
    }
    State& state = TheState();
    state.answerImmediately[kind] = answer != nullptr;
    state.immediateAnswer[kind] = answer != nullptr ? *answer : FakeServiceReply{};
}

void FakeServiceQueueAnswer(int kind, unsigned int requestId, const FakeServiceReply* answer) {
    const FakeServiceReply copy = answer != nullptr ? *answer : FakeServiceReply{};
    TheState().queue.push_back(QueuedAnswer{kind, requestId, copy});
}

unsigned int FakeServiceQueuedAnswerCount(void) {
    return static_cast<unsigned int>(TheState().queue.size());
}

}  // extern "C"
