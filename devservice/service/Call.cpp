#include "service/Call.h"

#include <cstdint>

namespace qz::devservice {

Call ResolveHandle(EntryPoint entry, void* handle) {
    Call call;
    // Request ids are counted even for a game that has no session.
    call.service = entry == EntryPoint::kGetRequestUniqueId ? &Service::Get() : Service::Existing();
    if (call.service == nullptr || handle == nullptr) {
        return call;
    }
    switch (entry) {
        case EntryPoint::kSaveGameReaderRead:
        case EntryPoint::kSaveGameReaderClose:
            call.reader = call.service->savegames.FindReader(handle);
            call.session = call.reader == nullptr ? nullptr : call.reader->session;
            break;
        case EntryPoint::kSaveGameWriterSetName:
        case EntryPoint::kSaveGameWriterWrite:
        case EntryPoint::kSaveGameWriterClose:
            call.writer = call.service->savegames.FindWriter(handle);
            call.session = call.writer == nullptr ? nullptr : call.writer->session;
            break;
        case EntryPoint::kSaveGameInfoGetName:
        case EntryPoint::kSaveGameInfoGetProductId:
        case EntryPoint::kSaveGameInfoGetSavegameId:
        case EntryPoint::kSaveGameInfoGetSize:
            call.record = call.service->records.Find(handle);
            break;
        default:
            // Sessions are the service's own pointers, handed out by GetSession.
            call.session = static_cast<Session*>(handle);
            break;
    }
    return call;
}

namespace logged {

namespace {

void SetSession(CallLine& line, const Session* session) {
    if (session != nullptr) {
        line.session = session->number;
    }
}

}  // namespace

std::vector<std::string> ArgumentNames(const char* list) {
    std::vector<std::string> names;
    std::string name;
    for (const char* c = list; *c != 0; ++c) {
        if (*c == ',' || *c == ')') {
            if (!name.empty()) {
                names.push_back(name);
            }
            name.clear();
        } else if (*c != '(' && *c != ' ') {
            name += *c;
        }
    }
    return names;
}

void Add(CallLine& line, const Call& call, const std::string& name, void* value) {
    if (name == "session") {
        SetSession(line, call.session);
    } else if (name == "reader" || name == "writer") {
        // Handles are numbers, so their values are the same in every run.
        line.arguments.Number(name, reinterpret_cast<std::uintptr_t>(value));
        SetSession(line, call.session);
    } else if (name == "record") {
        if (call.record == nullptr) {
            line.arguments.Null(name);
        } else {
            JsonObject record;
            record.Number("productId", call.record->productId)
                .Number("savegameId", call.record->header.savegameId);
            line.arguments.Object(name, record);
        }
    } else {
        // Buffers: their addresses differ from run to run, and only null matters.
        line.arguments.Boolean(name, value != nullptr);
    }
}

void Add(CallLine& line, const Call&, const std::string& name, unsigned int value) {
    if (name == "requestId") {
        line.request = value;
    } else {
        line.arguments.Number(name, value);
    }
}

void Add(CallLine& line, const Call&, const std::string& name, bool value) {
    line.arguments.Boolean(name, value);
}

void Add(CallLine& line, const Call&, const std::string& name, const char* value) {
    line.arguments.Text(name, value);
}

void Add(CallLine& line, const Call&, const std::string& name, const unsigned short* value) {
    line.arguments.Utf16(name, value);
}

void Add(CallLine& line, const Call&, const std::string& name, unsigned short* value) {
    line.arguments.Utf16(name, value);
}

void AddResult(CallLine& line, void* session) {
    SetSession(line, static_cast<const Session*>(session));
    line.details.Boolean("result", session != nullptr);
}

void AddResult(CallLine& line, unsigned int value) {
    line.details.Number("result", value);
}

void AddResult(CallLine& line, bool value) {
    line.details.Boolean("result", value);
}

void AddResult(CallLine& line, const unsigned short* text) {
    line.details.Utf16("result", text);
}

}  // namespace logged

}  // namespace qz::devservice
