// The 21 entry points: each request queues exactly one answer on its session, unless an
// injected fault loses it; everything else answers at once. Null sessions, handles and
// listeners are taken without complaint. Every call and every delivered answer goes to the
// call log.

#include <cstdint>
#include <optional>
#include <tuple>
#include <vector>

#include <veltodll/VeltodllEntryPoints.h>
#include "control/CallLog.h"
#include "control/Faults.h"
#include "service/LoggedCall.h"
#include "service/SavegameRecords.h"
#include "service/Savegames.h"
#include "service/Session.h"

namespace {

using qz::devservice::EntryPoint;
using qz::devservice::Fault;
using qz::devservice::JsonObject;
using qz::devservice::RequestKind;
using qz::devservice::ResultCode;
using qz::devservice::Session;
using qz::devservice::TheCallLog;
namespace savegames = qz::devservice::savegames;

// The development account of every session.
constexpr unsigned int kAccountId = 1;

Session* AsSession(void* session) {
    return static_cast<Session*>(session);
}

unsigned int Code(ResultCode result) {
    return static_cast<unsigned int>(result);
}

// Decides whether this call fails; an injected fault is logged as it happens, so that a lost
// answer shows too.
Fault InjectFault(RequestKind kind, EntryPoint entry, const Session* session,
                  std::optional<unsigned int> requestId) {
    const Fault fault = qz::devservice::TheFaultInjector().Next(kind);
    if (fault.injected) {
        JsonObject details;
        details.Text("rule", fault.rule->text.c_str());
        if (fault.neverAnswers) {
            details.Null("code");
        } else {
            details.Number("code", fault.code);
        }
        TheCallLog().Write("fault", session->number, requestId, entry, details);
    }
    return fault;
}

// One request as the fault injector, the answer queue and the log know it.
struct Request {
    Session* session;
    RequestKind kind;
    EntryPoint entry;
    unsigned int requestId;
};

// The start of every request: the fault decided for it, or nothing when its answer is lost
// (a request all the same, for the traffic figures).
std::optional<Fault> Begin(const Request& request) {
    const Fault fault =
        InjectFault(request.kind, request.entry, request.session, request.requestId);
    if (fault.neverAnswers) {
        request.session->Lose();
        return std::nullopt;
    }
    return fault;
}

// Queues a request's answer: `describe` fills the log's "result" with what `deliver` hands
// the game, and the line is written before the callback runs.
template <typename Describe, typename Deliver>
void Answer(const Request& request, Describe describe, Deliver deliver) {
    Session* const session = request.session;
    const unsigned int requestId = request.requestId;
    const EntryPoint entry = request.entry;
    session->Request(request.kind, [=] {
        qz::devservice::CallLog& log = TheCallLog();
        if (log.IsOpen()) {
            JsonObject result;
            describe(result);
            JsonObject details;
            details.Object("result", result);
            log.Write("answer", session->number, requestId, entry, details);
        }
        deliver();
    });
}

// Handles show in the log as their numbers.
unsigned long long HandleNumber(const void* handle) {
    return reinterpret_cast<std::uintptr_t>(handle);
}

void* ServeGetSession() {
    return qz::devservice::NewSession();
}

void ServeUpdate(void* session) {
    if (session != nullptr) {
        AsSession(session)->Update();
    }
}

unsigned int ServeGetRequestUniqueId(void*) {
    return qz::devservice::NextRequestId();
}

bool ServeStartLauncher(void*, unsigned int, unsigned int, const char*, const char*) {
    return false;
}

void ServeGetLoginDetails(void* session, unsigned int requestId,
                          qz::veltodll::IGetLoginDetailsListener* listener) {
    if (session == nullptr || listener == nullptr) {
        return;
    }
    Session* const owner = AsSession(session);
    const Request request{owner, RequestKind::kLogin, EntryPoint::kGetLoginDetails, requestId};
    const std::optional<Fault> fault = Begin(request);
    if (!fault) {
        return;
    }
    const unsigned int code = fault->code;
    const unsigned int account = fault->injected ? 0 : kAccountId;
    Answer(
        request,
        [=](JsonObject& result) { result.Number("code", code).Number("account", account); },
        [=] { listener->OnGetLoginDetails(requestId, code, account, 0); });
}

void ServeGetVeltoServer(void* session, unsigned int requestId,
                         qz::veltodll::IGetVeltoServerListener* listener, unsigned int,
                         unsigned int) {
    if (session == nullptr || listener == nullptr) {
        return;
    }
    Session* const owner = AsSession(session);
    const Request request{owner, RequestKind::kServer, EntryPoint::kGetVeltoServer, requestId};
    const std::optional<Fault> fault = Begin(request);
    if (!fault) {
        return;
    }
    const unsigned int code = fault->code;
    Answer(
        request, [=](JsonObject& result) { result.Number("code", code); },
        [=] { listener->OnGetVeltoServer(requestId, code); });
}

void ServeGetSavegameReader(void* session, unsigned int requestId,
                            qz::veltodll::IGetSavegameReaderListener* listener,
                            unsigned int productId, unsigned int savegameId) {
    if (session == nullptr || listener == nullptr) {
        return;
    }
    Session* const owner = AsSession(session);
    const Request request{owner, RequestKind::kReader, EntryPoint::kGetSavegameReader, requestId};
    const std::optional<Fault> fault = Begin(request);
    if (!fault) {
        return;
    }
    // Opened now: the reader holds the savegame as committed at the request.
    unsigned int code = fault->code;
    void* reader = nullptr;
    if (!fault->injected) {
        ResultCode result;
        reader = savegames::OpenReader(owner, productId, savegameId, result);
        code = Code(result);
    }
    Answer(
        request,
        [=](JsonObject& result) {
            result.Number("code", code).Number("reader", HandleNumber(reader));
        },
        [=] { listener->OnGetSavegameReader(requestId, code, reader); });
}

void ServeGetSavegameWriter(void* session, unsigned int requestId,
                            qz::veltodll::IGetSavegameWriterListener* listener,
                            unsigned int productId, unsigned int savegameId, bool overwrite) {
    if (session == nullptr || listener == nullptr) {
        return;
    }
    Session* const owner = AsSession(session);
    const Request request{owner, RequestKind::kWriter, EntryPoint::kGetSavegameWriter, requestId};
    const std::optional<Fault> fault = Begin(request);
    if (!fault) {
        return;
    }
    unsigned int code = fault->code;
    void* writer = nullptr;
    if (!fault->injected) {
        ResultCode result;
        writer = savegames::OpenWriter(owner, productId, savegameId, overwrite, result);
        code = Code(result);
    }
    Answer(
        request,
        [=](JsonObject& result) {
            result.Number("code", code).Number("writer", HandleNumber(writer));
        },
        [=] { listener->OnGetSavegameWriter(requestId, code, writer); });
}

void ServeGetSavegameList(void* session, unsigned int requestId,
                          qz::veltodll::IGetSavegameListListener* listener,
                          unsigned int productId) {
    if (session == nullptr || listener == nullptr) {
        return;
    }
    Session* const owner = AsSession(session);
    const Request request{owner, RequestKind::kList, EntryPoint::kGetSavegameList, requestId};
    const std::optional<Fault> fault = Begin(request);
    if (!fault) {
        return;
    }
    // A failed list is an empty one: the answer has no result code.
    std::vector<qz::devservice::SavegameHeader> listed;
    if (!fault->injected) {
        listed = qz::devservice::TheStorage().List(productId);
    }
    void* records = qz::devservice::records::Publish(productId, listed);
    const auto count = static_cast<unsigned int>(listed.size());
    std::vector<unsigned int> ids;
    for (const auto& header : listed) {
        ids.push_back(header.savegameId);
    }
    Answer(
        request,
        [=](JsonObject& result) {
            result.Number("count", count);
            JsonObject sizes;
            for (const auto& header : listed) {
                sizes.Number(std::to_string(header.savegameId), header.size);
            }
            result.Object("sizes", sizes);
        },
        [=] { listener->OnGetSavegameList(requestId, records, count); });
}

void ServeRemoveSavegame(void* session, unsigned int requestId,
                         qz::veltodll::IRemoveSavegameListener* listener, unsigned int productId,
                         unsigned int savegameId) {
    if (session == nullptr || listener == nullptr) {
        return;
    }
    Session* const owner = AsSession(session);
    const Request request{owner, RequestKind::kRemove, EntryPoint::kRemoveSavegame, requestId};
    const std::optional<Fault> fault = Begin(request);
    if (!fault) {
        return;
    }
    unsigned int code = fault->code;
    if (!fault->injected) {
        code = Code(savegameId == qz::devservice::kInvalidSavegameId
                        ? ResultCode::kInvalidRequest
                        : qz::devservice::TheStorage().Remove(productId, savegameId));
    }
    Answer(
        request, [=](JsonObject& result) { result.Number("code", code); },
        [=] { listener->OnRemoveSavegame(requestId, code); });
}

void ServeGetNetworkTraffic(void* session, unsigned int requestId,
                            qz::veltodll::IGetNetworkTrafficListener* listener) {
    if (session == nullptr || listener == nullptr) {
        return;
    }
    Session* const owner = AsSession(session);
    const Request request{owner, RequestKind::kTraffic, EntryPoint::kGetNetworkTraffic, requestId};
    const std::optional<Fault> fault = Begin(request);
    if (!fault) {
        return;
    }
    // The figures as they stand when the answer is delivered; a failed answer gives zeros.
    const bool failed = fault->injected;
    const auto figures = [owner, failed] {
        return failed ? qz::devservice::Traffic() : owner->traffic;
    };
    Answer(
        request,
        [=](JsonObject& result) {
            const qz::devservice::Traffic traffic = figures();
            result.Number("bytesRead", traffic.bytesRead)
                .Number("bytesWritten", traffic.bytesWritten)
                .Number("requests", traffic.requests)
                .Number("answersDelivered", traffic.answersDelivered);
        },
        [=] {
            const qz::devservice::Traffic traffic = figures();
            listener->OnGetNetworkTraffic(requestId, traffic.bytesRead, traffic.bytesWritten,
                                          traffic.requests, traffic.answersDelivered);
        });
}

const unsigned short* ServeGetLocText(void*, const unsigned short* text, const char*) {
    return text;
}

void ServeSaveGameReaderRead(void* reader, unsigned int requestId,
                             qz::veltoclient::ISavegameReadListener* listener, unsigned int offset,
                             void* buffer, unsigned int size) {
    Session* session = savegames::ReaderSession(reader);
    if (session == nullptr || listener == nullptr) {
        return;
    }
    const Request request{session, RequestKind::kRead, EntryPoint::kSaveGameReaderRead, requestId};
    const std::optional<Fault> fault = Begin(request);
    if (!fault) {
        return;
    }
    // A failed read copies nothing: the answer has room only for the count.
    const unsigned int count = fault->injected ? 0 : savegames::Read(reader, offset, buffer, size);
    Answer(
        request, [=](JsonObject& result) { result.Number("bytes", count); },
        [=] { listener->OnSavegameRead(requestId, count); });
}

void ServeSaveGameReaderClose(void* reader) {
    savegames::CloseReader(reader);
}

bool ServeSaveGameWriterSetName(void* writer, unsigned short* name) {
    return savegames::SetName(writer, name);
}

void ServeSaveGameWriterWrite(void* writer, unsigned int requestId,
                              qz::veltoclient::ISavegameWriteListener* listener, void* buffer,
                              unsigned int size) {
    Session* session = savegames::WriterSession(writer);
    if (session == nullptr || listener == nullptr) {
        return;
    }
    const Request request{session, RequestKind::kWrite, EntryPoint::kSaveGameWriterWrite,
                          requestId};
    // A failed or lost write appends nothing and fails the writer, as a full disk does:
    // committing the version with a hole in it would lose the savegame that was there.
    const std::optional<Fault> fault = Begin(request);
    if (!fault || fault->injected) {
        savegames::Fail(writer);
    }
    if (!fault) {
        return;
    }
    const unsigned int count = fault->injected ? 0 : savegames::Write(writer, buffer, size);
    Answer(
        request, [=](JsonObject& result) { result.Number("bytes", count); },
        [=] { listener->OnSavegameWrite(requestId, count); });
}

void ServeSaveGameWriterClose(void* writer, bool commit) {
    if (commit && savegames::IsOpen(writer) &&
        InjectFault(RequestKind::kCommit, EntryPoint::kSaveGameWriterClose,
                    savegames::WriterSession(writer), std::nullopt)
            .injected) {
        // The commit fails as on a broken disk: the version is discarded and the committed
        // one stays as it was.
        commit = false;
    }
    savegames::CloseWriter(writer, commit);
}

const unsigned short* ServeSaveGameInfoGetName(void* record) {
    const auto* description = qz::devservice::records::Find(record);
    return description == nullptr ? nullptr : description->header.name.data();
}

unsigned int ServeSaveGameInfoGetProductId(void* record) {
    const auto* description = qz::devservice::records::Find(record);
    return description == nullptr ? 0xFFFFFFFF : description->productId;
}

unsigned int ServeSaveGameInfoGetSavegameId(void* record) {
    const auto* description = qz::devservice::records::Find(record);
    return description == nullptr ? 0xFFFFFFFF : description->header.savegameId;
}

unsigned int ServeSaveGameInfoGetSize(void* record) {
    const auto* description = qz::devservice::records::Find(record);
    return description == nullptr ? 0 : description->header.size;
}

}  // namespace

extern "C" {

// Each export serves its call through the log.
#define QZ_VELTODLL_ENTRY(Result, Name, Parameters, Arguments)                      \
    Result QzVeltodll##Name Parameters {                                            \
        return qz::devservice::logged::Logged(                                      \
            EntryPoint::k##Name, #Arguments, [&] { return Serve##Name Arguments; }, \
            std::make_tuple Arguments);                                             \
    }
#include <veltodll/VeltodllEntryPoints.def>

}  // extern "C"
