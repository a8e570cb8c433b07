#pragma once

// Control interface of the fake service library, a stand-in for the platform's service
// library that the loader binds through the registry. Besides the 21 entry points it exports
// the plain C functions below. A test never links them: the loader opens the library with
// dlopen / LoadLibraryA, so the test must reach that same loaded instance by opening the same
// file again and looking the functions up by name; FakeServiceClient.h does that.
//
// What the fake does:
// - It records every entry-point call with its arguments, in order (FakeServiceGetCall).
// - It returns what the test chose (session, request ids, launcher result, localized text,
//   writer name result, savegame description values); FakeServiceReset restores the defaults.
// - It keeps every listener pointer it was given, per request kind and request id, and never
//   forgets one, so a test can answer a request once, twice, through another request's
//   listener (an id the loader does not know), from inside the request call or from Update.
//
// Nothing here is thread safe: the fake is driven by the test's one thread. The header is C
// too, for the tests of the C interface.

#if defined(FAKESERVICE_COMPILE_LIBRARY)
#if defined(_WIN32)
#define FAKESERVICE_API __declspec(dllexport)
#else
#define FAKESERVICE_API __attribute__((visibility("default")))
#endif
#else
#define FAKESERVICE_API
#endif

#ifdef __cplusplus
extern "C" {
#endif

/// The 21 entry points, numbered from 1 in the order the loader looks them up: FAKE_GetSession,
/// FAKE_Update, ..., FAKE_SaveGameInfoGetSize.
enum FakeServiceEntry {
    FAKE_NoEntry = 0,
#define QZ_VELTODLL_ENTRY(Result, Name, Parameters, Arguments) FAKE_##Name,
#include <veltodll/VeltodllEntryPoints.def>
};

/// Request kinds whose listeners the fake keeps: the seven client requests in their fixed
/// order, then savegame reads and writes (whose listeners are the game's own).
enum FakeServiceKind {
    FAKESERVICE_KIND_LOGIN_DETAILS = 0,
    FAKESERVICE_KIND_VELTO_SERVER,
    FAKESERVICE_KIND_SAVEGAME_READER,
    FAKESERVICE_KIND_SAVEGAME_WRITER,
    FAKESERVICE_KIND_SAVEGAME_LIST,
    FAKESERVICE_KIND_REMOVE_SAVEGAME,
    FAKESERVICE_KIND_NETWORK_TRAFFIC,
    FAKESERVICE_KIND_SAVEGAME_READ,
    FAKESERVICE_KIND_SAVEGAME_WRITE,
    FAKESERVICE_KIND_COUNT
};

/// One recorded entry-point call. Fields an entry point does not take stay zero.
/// - handle: the session; for the savegame entry points the reader, writer or record.
/// - requestId, listener: of the seven requests, savegame reads and writes.
/// - values: StartLauncher and GetVeltoServer their two numbers; GetSavegameReader,
///   GetSavegameWriter and RemoveSavegame [0] product id, [1] savegame id; GetSavegameList
///   [0] product id; SaveGameReaderRead [0] offset, [1] size; SaveGameWriterWrite [0] size.
/// - flag: the bool of GetSavegameWriter and SaveGameWriterClose.
/// - text8: StartLauncher its two texts; GetLocText [0] the locale.
/// - text16: the text of GetLocText and SaveGameWriterSetName.
/// - buffer: of SaveGameReaderRead and SaveGameWriterWrite.
///
/// `listener` is the pointer exactly as received (the service-side interface pointer for the
/// seven requests, the game's listener for reads and writes).
typedef struct FakeServiceCall {
    int entry;  ///< a FakeServiceEntry
    void* handle;
    unsigned int requestId;
    void* listener;
    unsigned int values[2];
    int flag;
    const char* text8[2];
    const unsigned short* text16;
    void* buffer;
} FakeServiceCall;

/// The values of one answer. Per kind:
/// login details values[0..2]; velto server values[0]; savegame reader values[0] and
/// handle (the reader); savegame writer values[0] and handle (the writer); savegame list
/// records and count; remove savegame values[0]; network traffic values[0..3]; savegame read
/// and write values[0] (bytes read / written).
typedef struct FakeServiceReply {
    unsigned int values[4];
    void* handle;
    void* records;
    unsigned int count;
} FakeServiceReply;

/// Forgets all calls, listeners, queued answers and immediate-answer switches, and restores
/// every result to its default: session FakeServiceDefaultSession(), request ids counting up
/// from 1, StartLauncher true, GetLocText FakeServiceDefaultLocText(), SetName true, savegame
/// description name FakeServiceDefaultLocText() and ids and size 0.
FAKESERVICE_API void FakeServiceReset(void);

// --- The call log.

/// Number of entry-point calls recorded since the last reset.
FAKESERVICE_API unsigned int FakeServiceCallCount(void);
/// Copies call `index` (0 is the first) to `out`; 0 when there is no such call.
FAKESERVICE_API int FakeServiceGetCall(unsigned int index, FakeServiceCall* out);
/// Number of recorded calls of one entry point.
FAKESERVICE_API unsigned int FakeServiceCountCalls(int entry);

// --- Results.

/// The non-null session returned by default.
FAKESERVICE_API void* FakeServiceDefaultSession(void);
/// What QzVeltodllGetSession returns from now on; null is allowed.
FAKESERVICE_API void FakeServiceSetSession(void* session);
/// The id the next QzVeltodllGetRequestUniqueId returns; each call then adds 1.
FAKESERVICE_API void FakeServiceSetNextRequestId(unsigned int id);
FAKESERVICE_API void FakeServiceSetStartLauncherResult(int result);
/// The text returned by default by QzVeltodllGetLocText and QzVeltodllSaveGameInfoGetName.
FAKESERVICE_API const unsigned short* FakeServiceDefaultLocText(void);
/// What QzVeltodllGetLocText returns (the pointer itself, never copied); null is allowed.
FAKESERVICE_API void FakeServiceSetLocTextResult(const unsigned short* text);
FAKESERVICE_API void FakeServiceSetWriterSetNameResult(int result);
/// What the four QzVeltodllSaveGameInfoGet* entry points return for any record.
FAKESERVICE_API void FakeServiceSetInfoResults(const unsigned short* name, unsigned int productId,
                                               unsigned int savegameId, unsigned int size);

// --- Listeners and answers.

/// How many listeners were given for `requestId` in `kind` (every request counts, also a
/// repeated one).
FAKESERVICE_API unsigned int FakeServiceListenerCount(int kind, unsigned int requestId);
/// The listener most recently given for `requestId` in `kind`, as received; null if none.
FAKESERVICE_API void* FakeServiceListenerOf(int kind, unsigned int requestId);
/// Calls the callback of the listener most recently given for `requestId` in `kind` with
/// `requestId` and the answer. 1 when answered, 0 when no listener was ever given for it.
/// May be called any number of times for the same id.
FAKESERVICE_API int FakeServiceAnswer(int kind, unsigned int requestId,
                                      const FakeServiceReply* answer);
/// Like FakeServiceAnswer, but calls the listener given for `listenerRequestId` and passes
/// `requestId`: how a test answers an id its client never asked for.
FAKESERVICE_API int FakeServiceAnswerVia(int kind, unsigned int listenerRequestId,
                                         unsigned int requestId, const FakeServiceReply* answer);
/// From now on every request of `kind` is answered from inside the request call itself, with
/// the request's id and a copy of `answer`; null switches this off.
FAKESERVICE_API void FakeServiceSetAnswerImmediately(int kind, const FakeServiceReply* answer);
/// Queues an answer (as FakeServiceReply) that the next QzVeltodllUpdate delivers, after any
/// queued before it. Answers queued while an Update delivers wait for the next one.
FAKESERVICE_API void FakeServiceQueueAnswer(int kind, unsigned int requestId,
                                            const FakeServiceReply* answer);
/// Number of queued answers not yet delivered.
FAKESERVICE_API unsigned int FakeServiceQueuedAnswerCount(void);

#ifdef __cplusplus
}  // extern "C"
#endif
