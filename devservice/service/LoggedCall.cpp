#include "service/LoggedCall.h"

#include <cstdint>

#include "service/SavegameRecords.h"
#include "service/Savegames.h"
#include "service/Session.h"

namespace qz::devservice::logged {

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

void Add(CallLine& line, const std::string& name, void* value) {
    if (name == "session") {
        SetSession(line, static_cast<const Session*>(value));
    } else if (name == "reader" || name == "writer") {
        // Handles are numbers, so their values are the same in every run.
        line.arguments.Number(name, reinterpret_cast<std::uintptr_t>(value));
        SetSession(line, name == "reader" ? savegames::ReaderSession(value)
                                          : savegames::WriterSession(value));
    } else if (name == "record") {
        const Description* description = records::Find(value);
        if (description == nullptr) {
            line.arguments.Null(name);
        } else {
            JsonObject record;
            record.Number("productId", description->productId)
                .Number("savegameId", description->header.savegameId);
            line.arguments.Object(name, record);
        }
    } else {
        // Buffers: their addresses differ from run to run, and only null matters.
        line.arguments.Boolean(name, value != nullptr);
    }
}

void Add(CallLine& line, const std::string& name, unsigned int value) {
    if (name == "requestId") {
        line.request = value;
    } else {
        line.arguments.Number(name, value);
    }
}

void Add(CallLine& line, const std::string& name, bool value) {
    line.arguments.Boolean(name, value);
}

void Add(CallLine& line, const std::string& name, const char* value) {
    line.arguments.Text(name, value);
}

void Add(CallLine& line, const std::string& name, const unsigned short* value) {
    line.arguments.Utf16(name, value);
}

void Add(CallLine& line, const std::string& name, unsigned short* value) {
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

}  // namespace qz::devservice::logged
