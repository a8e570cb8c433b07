#pragma once

#include <cstdint>
#include <memory>
#include <set>
#include <string>
#include <unordered_map>
#include <utility>

#include "control/Quotas.h"
#include "storage/Storage.h"

namespace qz::devservice {

class Session;

/// An open reader: a copy of the savegame as committed when it opened, so that later commits
/// and removals do not change what it reads and no file stays open to stop a replacement.
struct Reader {
    Session* session;
    SavegameContents contents;
    bool open = true;
};

/// An open writer: its version goes to a temporary file as it is written.
struct Writer {
    Session* session;
    unsigned int productId;
    unsigned int savegameId;
    PendingVersion pending;
    Utf16Name name{0};
    bool open = true;
    /// A write that could not be kept makes the version incomplete: it is never committed.
    bool failed = false;
    std::string failure;
};

/// What a writer's Close did, for the call log.
struct Closing {
    bool committed = false;
    /// Why the version was discarded.
    std::string reason;
};

/// Readers and writers behind opaque handles: numbers that count up from 1 and are never
/// reused, so that a closed handle still reaches its session and gets neutral answers.
class Savegames {
public:
    Savegames(Storage& storage, const Quotas& quotas);

    /// The reader or writer of a handle (closed ones too); null for any other value.
    Reader* FindReader(void* handle);
    Writer* FindWriter(void* handle);

    /// A reader of the savegame as committed now, or null with the reason in `result` (and,
    /// for a storage failure, in `reason`).
    void* OpenReader(Session* session, unsigned int productId, unsigned int savegameId,
                     ResultCode& result, std::string& reason);
    /// Copies min(size, length - offset) bytes from `offset`; 0 at or past the end, for a
    /// closed reader or a null buffer. Counted as the session's read bytes.
    unsigned int Read(Reader& reader, unsigned int offset, void* buffer, unsigned int size);
    void CloseReader(Reader& reader);

    /// A writer of a new version of the savegame, or null with the reason in `result`.
    void* OpenWriter(Session* session, unsigned int productId, unsigned int savegameId,
                     bool overwrite, ResultCode& result, std::string& reason);
    /// Names the version being written; false, name unchanged, for a name that is not 1 to
    /// 255 units of well-formed UTF-16, or a closed writer.
    bool SetName(Writer& writer, const unsigned short* name);
    /// Appends the bytes to the version's file and returns `size`; 0 for a null buffer, a
    /// closed or failed writer, or a savegame that would pass 0xFFFFFFFF bytes. A write past
    /// a quota or one the disk refuses returns 0 and fails the writer. Counted as the
    /// session's written bytes.
    unsigned int Write(Writer& writer, const void* buffer, unsigned int size);
    /// Marks the version as incomplete: later writes return 0 and Close(true) discards it.
    void Fail(Writer& writer, const std::string& why);
    /// Commits (durably) or discards the version; nothing for a closed writer. A version that
    /// no longer fits the quotas is discarded.
    Closing CloseWriter(Writer& writer, bool commit);

private:
    template <typename Object>
    class HandleTable {
    public:
        void* Add(std::unique_ptr<Object> object) {
            const std::uintptr_t number = ++lastNumber;
            objects.emplace(number, std::move(object));
            // NOLINTNEXTLINE(performance-no-int-to-ptr)
            return reinterpret_cast<void*>(number);
        }
        Object* Find(void* handle) {
            const auto found = objects.find(reinterpret_cast<std::uintptr_t>(handle));
            return found == objects.end() ? nullptr : found->second.get();
        }

    private:
        std::unordered_map<std::uintptr_t, std::unique_ptr<Object>> objects;
        std::uintptr_t lastNumber = 0;
    };

    Storage& storage;
    const Quotas& quotas;
    HandleTable<Reader> readers;
    HandleTable<Writer> writers;
    // (product, savegame) of every open writer of this process: a second one is refused.
    std::set<std::pair<unsigned int, unsigned int>> written;
};

}  // namespace qz::devservice
