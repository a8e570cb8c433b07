#include "service/Savegames.h"

#include <cstdint>
#include <cstring>
#include <memory>
#include <new>
#include <set>
#include <unordered_map>
#include <utility>

#include "control/Quotas.h"
#include "control/Settings.h"
#include "service/Session.h"
#include "storage/Platform.h"

namespace qz::devservice {

namespace {

// Closed readers and writers stay in their tables with their memory freed, so that calls
// after Close still reach the session and get their answers.
struct Reader {
    Session* session;
    SavegameContents contents;
    bool open = true;
};

struct Writer {
    Session* session;
    unsigned int productId;
    unsigned int savegameId;
    platform::PendingFile* file;
    std::vector<unsigned char> data;
    Utf16Name name;
    bool named = false;
    bool open = true;
    // A write that could not be stored makes the version incomplete: it is never committed.
    bool failed = false;
};

// Readers and writers by handle number. Numbers count up from 1 and are never reused, so a
// made-up handle finds nothing.
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

struct OpenSavegames {
    HandleTable<Reader> readers;
    HandleTable<Writer> writers;
    // (product, savegame) of every open writer: a second writer is refused.
    std::set<std::pair<unsigned int, unsigned int>> written;
};

OpenSavegames& TheOpenSavegames() {
    static auto* open = new OpenSavegames;
    return *open;
}

}  // namespace

const Storage& TheStorage() {
    static const auto* storage = new Storage(TheSettings().directory);
    return *storage;
}

namespace savegames {

void* OpenReader(Session* session, unsigned int productId, unsigned int savegameId,
                 ResultCode& result) {
    if (savegameId == kInvalidSavegameId) {
        result = ResultCode::kInvalidRequest;
        return nullptr;
    }
    auto reader = std::make_unique<Reader>();
    reader->session = session;
    // A copy: the reader keeps what it opened whatever later commits or removals do, and no
    // file stays open to stop a replacement on Windows.
    try {
        result = TheStorage().Read(productId, savegameId, reader->contents);
    } catch (const std::bad_alloc&) {
        result = ResultCode::kStorageFailure;
    }
    if (result != ResultCode::kDone) {
        return nullptr;
    }
    return TheOpenSavegames().readers.Add(std::move(reader));
}

Session* ReaderSession(void* handle) {
    Reader* reader = TheOpenSavegames().readers.Find(handle);
    return reader == nullptr ? nullptr : reader->session;
}

unsigned int Read(void* handle, unsigned int offset, void* buffer, unsigned int size) {
    Reader* reader = TheOpenSavegames().readers.Find(handle);
    if (reader == nullptr || !reader->open || buffer == nullptr) {
        return 0;
    }
    const unsigned int length = reader->contents.header.size;
    if (offset >= length) {
        return 0;
    }
    const unsigned int count = size < length - offset ? size : length - offset;
    std::memcpy(buffer, reader->contents.file.data() + reader->contents.dataOffset + offset, count);
    reader->session->traffic.bytesRead += count;
    return count;
}

void CloseReader(void* handle) {
    Reader* reader = TheOpenSavegames().readers.Find(handle);
    if (reader != nullptr) {
        reader->open = false;
        reader->contents = SavegameContents();
    }
}

void* OpenWriter(Session* session, unsigned int productId, unsigned int savegameId, bool overwrite,
                 ResultCode& result) {
    OpenSavegames& open = TheOpenSavegames();
    if (savegameId == kInvalidSavegameId) {
        result = ResultCode::kInvalidRequest;
        return nullptr;
    }
    if (open.written.count({productId, savegameId}) != 0) {
        result = ResultCode::kInUse;
        return nullptr;
    }
    SavegameHeader existing;
    const ResultCode found = TheStorage().ReadHeader(productId, savegameId, existing);
    if (found == ResultCode::kDone && !overwrite) {
        result = ResultCode::kAlreadyExists;
        return nullptr;
    }
    // A new savegame must fit the product's count, a replacement fits as an empty one.
    if (!FitsQuotas(TheSettings().quotas, TheStorage(), productId, savegameId, 0)) {
        result = ResultCode::kStorageFailure;
        return nullptr;
    }
    // The temporary file is made now, so that a storage directory that cannot be written is
    // reported here rather than lost at Close.
    platform::PendingFile* file = TheStorage().Begin(productId, savegameId);
    if (file == nullptr) {
        result = ResultCode::kStorageFailure;
        return nullptr;
    }
    auto writer = std::make_unique<Writer>();
    writer->session = session;
    writer->productId = productId;
    writer->savegameId = savegameId;
    writer->file = file;
    open.written.insert({productId, savegameId});
    result = ResultCode::kDone;
    return open.writers.Add(std::move(writer));
}

Session* WriterSession(void* handle) {
    Writer* writer = TheOpenSavegames().writers.Find(handle);
    return writer == nullptr ? nullptr : writer->session;
}

bool IsOpen(void* handle) {
    const Writer* writer = TheOpenSavegames().writers.Find(handle);
    return writer != nullptr && writer->open;
}

bool SetName(void* handle, const unsigned short* name) {
    Writer* writer = TheOpenSavegames().writers.Find(handle);
    if (writer == nullptr || !writer->open || !TakeName(name, writer->name)) {
        return false;
    }
    writer->named = true;
    return true;
}

unsigned int Write(void* handle, const void* buffer, unsigned int size) {
    Writer* writer = TheOpenSavegames().writers.Find(handle);
    if (writer == nullptr || !writer->open || buffer == nullptr || writer->failed ||
        size > 0xFFFFFFFFu - writer->data.size()) {
        return 0;
    }
    // Past a quota the version could only be committed in part, so it is never committed.
    if (!FitsQuotas(TheSettings().quotas, TheStorage(), writer->productId, writer->savegameId,
                    writer->data.size() + static_cast<unsigned long long>(size))) {
        writer->failed = true;
        return 0;
    }
    const auto* bytes = static_cast<const unsigned char*>(buffer);
    try {
        writer->data.insert(writer->data.end(), bytes, bytes + size);
    } catch (const std::bad_alloc&) {
        writer->failed = true;
        return 0;
    }
    writer->session->traffic.bytesWritten += size;
    return size;
}

void Fail(void* handle) {
    Writer* writer = TheOpenSavegames().writers.Find(handle);
    if (writer != nullptr) {
        writer->failed = true;
    }
}

void CloseWriter(void* handle, bool commit) {
    OpenSavegames& open = TheOpenSavegames();
    Writer* writer = open.writers.Find(handle);
    if (writer == nullptr || !writer->open) {
        return;
    }
    // Checked again: other writers may have committed meanwhile.
    if (commit && !writer->failed &&
        FitsQuotas(TheSettings().quotas, TheStorage(), writer->productId, writer->savegameId,
                   writer->data.size())) {
        // A replacement without a name of its own keeps the committed one's.
        SavegameHeader existing;
        if (!writer->named && TheStorage().ReadHeader(writer->productId, writer->savegameId,
                                                      existing) == ResultCode::kDone) {
            writer->name = existing.name;
        }
        TheStorage().Commit(writer->file, writer->name, writer->data);
    } else {
        platform::AbandonFile(writer->file);
    }
    open.written.erase({writer->productId, writer->savegameId});
    writer->open = false;
    writer->file = nullptr;
    writer->data = std::vector<unsigned char>();
}

}  // namespace savegames

}  // namespace qz::devservice
