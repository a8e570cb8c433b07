// The 21 entry points: each request queues exactly one answer on its session, unless an
// injected fault loses it; everything else answers at once. Null sessions, handles and
// listeners are taken without complaint. Every call and every delivered answer goes to the
// call log.

#include <veltodll/VeltodllEntryPoints.h>

#include <cstdint>
#include <optional>
#include <string>
#include <tuple>
#include <vector>

#include "service/Call.h"
#include "service/Identity.h"

namespace {

using qz::devservice::Call;
using qz::devservice::Closing;
using qz::devservice::EntryPoint;
using qz::devservice::Fault;
using qz::devservice::JsonObject;
using qz::devservice::RequestKind;
using qz::devservice::ResultCode;
using qz::devservice::Session;

// The development account of every session.
constexpr unsigned int kAccountId = 1;

unsigned int Code(ResultCode result) {
    return static_cast<unsigned int>(result);
}

// Decides whether this call fails; an injected fault is logged as it happens, so that a lost
// answer shows too.
Fault InjectFault(RequestKind kind, EntryPoint entry, const Session& session,
                  std::optional<unsigned int> requestId) {
    const Fault fault = session.service.faults.Next(kind);
    if (fault.injected) {
        JsonObject details;
        details.Text("rule", fault.rule->text.c_str());
        if (fault.neverAnswers) {
            details.Null("code");
        } else {
            details.Number("code", fault.code);
        }
        session.service.log.Write("fault", session.number, requestId, entry, details);
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
        InjectFault(request.kind, request.entry, *request.session, request.requestId);
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
        qz::devservice::CallLog& log = session->service.log;
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

// A result code for the log, with the reason beside every storage failure.
void DescribeCode(JsonObject& result, unsigned int code, const std::string& reason) {
    result.Number("code", code);
    if (code == Code(ResultCode::kStorageFailure)) {
        result.Text("reason", reason.c_str());
    }
}

// The code of a request: the injected fault's, or what `work` answers.
template <typename Work>
unsigned int Outcome(const Fault& fault, std::string& reason, Work work) {
    if (fault.injected) {
        reason = "injected fault " + fault.rule->text;
        return fault.code;
    }
    return Code(work());
}

// Handles show in the log as their numbers.
unsigned long long HandleNumber(const void* handle) {
    return reinterpret_cast<std::uintptr_t>(handle);
}

void* ServeGetSession(Call& call) {
    return call.service->NewSession();
}

void ServeUpdate(Call& call, void*) {
    if (call.session != nullptr) {
        call.session->Update();
    }
}

unsigned int ServeGetRequestUniqueId(Call& call, void*) {
    return call.service->NextRequestId();
}

bool ServeStartLauncher(Call&, void*, unsigned int, unsigned int, const char*, const char*) {
    return false;
}

void ServeGetLoginDetails(Call& call, void*, unsigned int requestId,
                          qz::veltodll::IGetLoginDetailsListener* listener) {
    if (call.session == nullptr || listener == nullptr) {
        return;
    }
    const Request request{call.session, RequestKind::kLogin, EntryPoint::kGetLoginDetails,
                          requestId};
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

void ServeGetVeltoServer(Call& call, void*, unsigned int requestId,
                         qz::veltodll::IGetVeltoServerListener* listener, unsigned int,
                         unsigned int) {
    if (call.session == nullptr || listener == nullptr) {
        return;
    }
    const Request request{call.session, RequestKind::kServer, EntryPoint::kGetVeltoServer,
                          requestId};
    const std::optional<Fault> fault = Begin(request);
    if (!fault) {
        return;
    }
    const unsigned int code = fault->code;
    Answer(
        request, [=](JsonObject& result) { result.Number("code", code); },
        [=] { listener->OnGetVeltoServer(requestId, code); });
}

void ServeGetSavegameReader(Call& call, void*, unsigned int requestId,
                            qz::veltodll::IGetSavegameReaderListener* listener,
                            unsigned int productId, unsigned int savegameId) {
    if (call.session == nullptr || listener == nullptr) {
        return;
    }
    const Request request{call.session, RequestKind::kReader, EntryPoint::kGetSavegameReader,
                          requestId};
    const std::optional<Fault> fault = Begin(request);
    if (!fault) {
        return;
    }
    // Opened now: the reader holds the savegame as committed at the request.
    void* reader = nullptr;
    std::string reason;
    const unsigned int code = Outcome(*fault, reason, [&] {
        ResultCode result;
        reader =
            call.service->savegames.OpenReader(call.session, productId, savegameId, result, reason);
        return result;
    });
    Answer(
        request,
        [=](JsonObject& result) {
            DescribeCode(result, code, reason);
            result.Number("reader", HandleNumber(reader));
        },
        [=] { listener->OnGetSavegameReader(requestId, code, reader); });
}

void ServeGetSavegameWriter(Call& call, void*, unsigned int requestId,
                            qz::veltodll::IGetSavegameWriterListener* listener,
                            unsigned int productId, unsigned int savegameId, bool overwrite) {
    if (call.session == nullptr || listener == nullptr) {
        return;
    }
    const Request request{call.session, RequestKind::kWriter, EntryPoint::kGetSavegameWriter,
                          requestId};
    const std::optional<Fault> fault = Begin(request);
    if (!fault) {
        return;
    }
    void* writer = nullptr;
    std::string reason;
    const unsigned int code = Outcome(*fault, reason, [&] {
        ResultCode result;
        writer = call.service->savegames.OpenWriter(call.session, productId, savegameId, overwrite,
                                                    result, reason);
        return result;
    });
    Answer(
        request,
        [=](JsonObject& result) {
            DescribeCode(result, code, reason);
            result.Number("writer", HandleNumber(writer));
        },
        [=] { listener->OnGetSavegameWriter(requestId, code, writer); });
}

void ServeGetSavegameList(Call& call, void*, unsigned int requestId,
                          qz::veltodll::IGetSavegameListListener* listener,
                          unsigned int productId) {
    if (call.session == nullptr || listener == nullptr) {
        return;
    }
    const Request request{call.session, RequestKind::kList, EntryPoint::kGetSavegameList,
                          requestId};
    const std::optional<Fault> fault = Begin(request);
    if (!fault) {
        return;
    }
    // A failed list is an empty one: the answer has no result code.
    std::vector<qz::devservice::SavegameHeader> listed;
    if (!fault->injected) {
        listed = call.service->storage.List(productId);
    }
    void* records = call.service->records.Publish(productId, listed);
    const auto count = static_cast<unsigned int>(listed.size());
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

void ServeRemoveSavegame(Call& call, void*, unsigned int requestId,
                         qz::veltodll::IRemoveSavegameListener* listener, unsigned int productId,
                         unsigned int savegameId) {
    if (call.session == nullptr || listener == nullptr) {
        return;
    }
    const Request request{call.session, RequestKind::kRemove, EntryPoint::kRemoveSavegame,
                          requestId};
    const std::optional<Fault> fault = Begin(request);
    if (!fault) {
        return;
    }
    std::string reason;
    const unsigned int code = Outcome(*fault, reason, [&] {
        return savegameId == qz::devservice::kInvalidSavegameId
                   ? ResultCode::kInvalidRequest
                   : call.service->storage.Remove(productId, savegameId, reason);
    });
    Answer(
        request, [=](JsonObject& result) { DescribeCode(result, code, reason); },
        [=] { listener->OnRemoveSavegame(requestId, code); });
}

void ServeGetNetworkTraffic(Call& call, void*, unsigned int requestId,
                            qz::veltodll::IGetNetworkTrafficListener* listener) {
    if (call.session == nullptr || listener == nullptr) {
        return;
    }
    Session* const owner = call.session;
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

const unsigned short* ServeGetLocText(Call&, void*, const unsigned short* text, const char*) {
    return text;
}

void ServeSaveGameReaderRead(Call& call, void*, unsigned int requestId,
                             qz::veltoclient::ISavegameReadListener* listener, unsigned int offset,
                             void* buffer, unsigned int size) {
    if (call.reader == nullptr || listener == nullptr) {
        return;
    }
    const Request request{call.session, RequestKind::kRead, EntryPoint::kSaveGameReaderRead,
                          requestId};
    const std::optional<Fault> fault = Begin(request);
    if (!fault) {
        return;
    }
    // A failed read copies nothing: the answer has room only for the count.
    const unsigned int count =
        fault->injected ? 0 : call.service->savegames.Read(*call.reader, offset, buffer, size);
    Answer(
        request, [=](JsonObject& result) { result.Number("bytes", count); },
        [=] { listener->OnSavegameRead(requestId, count); });
}

void ServeSaveGameReaderClose(Call& call, void*) {
    if (call.reader != nullptr) {
        call.service->savegames.CloseReader(*call.reader);
    }
}

bool ServeSaveGameWriterSetName(Call& call, void*, unsigned short* name) {
    return call.writer != nullptr && call.service->savegames.SetName(*call.writer, name);
}

void ServeSaveGameWriterWrite(Call& call, void*, unsigned int requestId,
                              qz::veltoclient::ISavegameWriteListener* listener, void* buffer,
                              unsigned int size) {
    if (call.writer == nullptr || listener == nullptr) {
        return;
    }
    qz::devservice::Savegames& savegames = call.service->savegames;
    const Request request{call.session, RequestKind::kWrite, EntryPoint::kSaveGameWriterWrite,
                          requestId};
    // A failed or lost write appends nothing and fails the writer, as a full disk does:
    // committing the version with a hole in it would lose the savegame that was there.
    const std::optional<Fault> fault = Begin(request);
    if (!fault || fault->injected) {
        savegames.Fail(*call.writer, "injected fault on a write");
    }
    if (!fault) {
        return;
    }
    const unsigned int count = fault->injected ? 0 : savegames.Write(*call.writer, buffer, size);
    Answer(
        request, [=](JsonObject& result) { result.Number("bytes", count); },
        [=] { listener->OnSavegameWrite(requestId, count); });
}

void ServeSaveGameWriterClose(Call& call, void* writer, bool commit) {
    if (call.writer == nullptr || !call.writer->open) {
        return;
    }
    qz::devservice::Writer& open = *call.writer;
    std::string injected;
    if (commit && InjectFault(RequestKind::kCommit, EntryPoint::kSaveGameWriterClose, *call.session,
                              std::nullopt)
                      .injected) {
        // The commit fails as on a broken disk: the version is discarded and the committed
        // one stays as it was.
        call.service->savegames.Fail(open, "injected fault on the commit");
    }
    const unsigned int productId = open.productId;
    const unsigned int savegameId = open.savegameId;
    const Closing closing = call.service->savegames.CloseWriter(open, commit);
    // Close has no answer: the log is the only place where a failed commit shows.
    qz::devservice::CallLog& log = call.service->log;
    if (commit && log.IsOpen()) {
        JsonObject details;
        details.Number("writer", HandleNumber(writer))
            .Number("productId", productId)
            .Number("savegameId", savegameId)
            .Text("outcome", closing.committed ? "committed" : "discarded");
        if (!closing.committed) {
            details.Text("reason", closing.reason.c_str());
        }
        log.Write("commit", call.session->number, std::nullopt, EntryPoint::kSaveGameWriterClose,
                  details);
    }
}

const unsigned short* ServeSaveGameInfoGetName(Call& call, void*) {
    return call.record == nullptr ? nullptr : call.record->header.name.data();
}

unsigned int ServeSaveGameInfoGetProductId(Call& call, void*) {
    return call.record == nullptr ? 0xFFFFFFFF : call.record->productId;
}

unsigned int ServeSaveGameInfoGetSavegameId(Call& call, void*) {
    return call.record == nullptr ? 0xFFFFFFFF : call.record->header.savegameId;
}

unsigned int ServeSaveGameInfoGetSize(Call& call, void*) {
    return call.record == nullptr ? 0 : call.record->header.size;
}

}  // namespace

extern "C" {

// Each export turns its handle into what it stands for once, and serves its call through the
// log.
#define QZ_VELTODLL_ENTRY(Result, Name, Parameters, Arguments)                               \
    Result QzVeltodll##Name Parameters {                                                     \
        return qz::devservice::ServeCall(                                                    \
            EntryPoint::k##Name, #Arguments, std::make_tuple Arguments,                      \
            [](Call& call, const auto&... values) { return Serve##Name(call, values...); }); \
    }
#include <veltodll/VeltodllEntryPoints.def>

const char* QzDevServiceIdentity(void) {
    return "development service";
}

}  // extern "C"
