// The 21 entry points: each request queues exactly one answer on its session; everything
// else answers at once. Null sessions, handles and listeners are taken without complaint.

#include "SavegameRecords.h"
#include "Savegames.h"
#include "Session.h"
#include "VeltodllEntryPoints.h"

using qz::devservice::ResultCode;
using qz::devservice::Session;
namespace savegames = qz::devservice::savegames;

namespace {

// The development account of every session.
constexpr unsigned int kAccountId = 1;

Session* AsSession(void* session) {
    return static_cast<Session*>(session);
}

unsigned int Code(ResultCode result) {
    return static_cast<unsigned int>(result);
}

}  // namespace

extern "C" {

void* QzVeltodllGetSession(void) {
    return qz::devservice::NewSession();
}

void QzVeltodllUpdate(void* session) {
    if (session != nullptr) {
        AsSession(session)->Update();
    }
}

unsigned int QzVeltodllGetRequestUniqueId(void*) {
    return qz::devservice::NextRequestId();
}

bool QzVeltodllStartLauncher(void*, unsigned int, unsigned int, const char*, const char*) {
    return false;
}

void QzVeltodllGetLoginDetails(void* session, unsigned int requestId,
                               qz::veltodll::IGetLoginDetailsListener* listener) {
    if (session == nullptr || listener == nullptr) {
        return;
    }
    AsSession(session)->Request([=] { listener->OnGetLoginDetails(requestId, 0, kAccountId, 0); });
}

void QzVeltodllGetVeltoServer(void* session, unsigned int requestId,
                              qz::veltodll::IGetVeltoServerListener* listener, unsigned int,
                              unsigned int) {
    if (session == nullptr || listener == nullptr) {
        return;
    }
    AsSession(session)->Request([=] { listener->OnGetVeltoServer(requestId, 0); });
}

void QzVeltodllGetSavegameReader(void* session, unsigned int requestId,
                                 qz::veltodll::IGetSavegameReaderListener* listener,
                                 unsigned int productId, unsigned int savegameId) {
    if (session == nullptr || listener == nullptr) {
        return;
    }
    // Opened now: the reader holds the savegame as committed at the request.
    ResultCode result;
    void* reader = savegames::OpenReader(AsSession(session), productId, savegameId, result);
    AsSession(session)->Request(
        [=] { listener->OnGetSavegameReader(requestId, Code(result), reader); });
}

void QzVeltodllGetSavegameWriter(void* session, unsigned int requestId,
                                 qz::veltodll::IGetSavegameWriterListener* listener,
                                 unsigned int productId, unsigned int savegameId, bool overwrite) {
    if (session == nullptr || listener == nullptr) {
        return;
    }
    ResultCode result;
    void* writer =
        savegames::OpenWriter(AsSession(session), productId, savegameId, overwrite, result);
    AsSession(session)->Request(
        [=] { listener->OnGetSavegameWriter(requestId, Code(result), writer); });
}

void QzVeltodllGetSavegameList(void* session, unsigned int requestId,
                               qz::veltodll::IGetSavegameListListener* listener,
                               unsigned int productId) {
    if (session == nullptr || listener == nullptr) {
        return;
    }
    const auto savegames = qz::devservice::TheStorage().List(productId);
    void* records = qz::devservice::records::Publish(productId, savegames);
    const auto count = static_cast<unsigned int>(savegames.size());
    AsSession(session)->Request([=] { listener->OnGetSavegameList(requestId, records, count); });
}

void QzVeltodllRemoveSavegame(void* session, unsigned int requestId,
                              qz::veltodll::IRemoveSavegameListener* listener,
                              unsigned int productId, unsigned int savegameId) {
    if (session == nullptr || listener == nullptr) {
        return;
    }
    const ResultCode result = savegameId == qz::devservice::kInvalidSavegameId
                                  ? ResultCode::kInvalidRequest
                                  : qz::devservice::TheStorage().Remove(productId, savegameId);
    AsSession(session)->Request([=] { listener->OnRemoveSavegame(requestId, Code(result)); });
}

void QzVeltodllGetNetworkTraffic(void* session, unsigned int requestId,
                                 qz::veltodll::IGetNetworkTrafficListener* listener) {
    if (session == nullptr || listener == nullptr) {
        return;
    }
    Session* const owner = AsSession(session);
    // The figures as they stand when the answer is delivered.
    owner->Request([=] {
        const qz::devservice::Traffic traffic = owner->traffic;
        listener->OnGetNetworkTraffic(requestId, traffic.bytesRead, traffic.bytesWritten,
                                      traffic.requests, traffic.answersDelivered);
    });
}

const unsigned short* QzVeltodllGetLocText(void*, const unsigned short* text, const char*) {
    return text;
}

void QzVeltodllSaveGameReaderRead(void* reader, unsigned int requestId,
                                  qz::veltoclient::ISavegameReadListener* listener,
                                  unsigned int offset, void* buffer, unsigned int size) {
    Session* session = savegames::ReaderSession(reader);
    if (session == nullptr || listener == nullptr) {
        return;
    }
    const unsigned int count = savegames::Read(reader, offset, buffer, size);
    session->Request([=] { listener->OnSavegameRead(requestId, count); });
}

void QzVeltodllSaveGameReaderClose(void* reader) {
    savegames::CloseReader(reader);
}

bool QzVeltodllSaveGameWriterSetName(void* writer, unsigned short* name) {
    return savegames::SetName(writer, name);
}

void QzVeltodllSaveGameWriterWrite(void* writer, unsigned int requestId,
                                   qz::veltoclient::ISavegameWriteListener* listener, void* buffer,
                                   unsigned int size) {
    Session* session = savegames::WriterSession(writer);
    if (session == nullptr || listener == nullptr) {
        return;
    }
    const unsigned int count = savegames::Write(writer, buffer, size);
    session->Request([=] { listener->OnSavegameWrite(requestId, count); });
}

void QzVeltodllSaveGameWriterClose(void* writer, bool commit) {
    savegames::CloseWriter(writer, commit);
}

const unsigned short* QzVeltodllSaveGameInfoGetName(void* record) {
    const auto* description = qz::devservice::records::Find(record);
    return description == nullptr ? nullptr : description->header.name.data();
}

unsigned int QzVeltodllSaveGameInfoGetProductId(void* record) {
    const auto* description = qz::devservice::records::Find(record);
    return description == nullptr ? 0xFFFFFFFF : description->productId;
}

unsigned int QzVeltodllSaveGameInfoGetSavegameId(void* record) {
    const auto* description = qz::devservice::records::Find(record);
    return description == nullptr ? 0xFFFFFFFF : description->header.savegameId;
}

unsigned int QzVeltodllSaveGameInfoGetSize(void* record) {
    const auto* description = qz::devservice::records::Find(record);
    return description == nullptr ? 0 : description->header.size;
}

}  // extern "C"
