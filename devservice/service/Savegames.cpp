#include "service/Savegames.h"

#include <cstring>

#include "service/Session.h"

namespace qz::devservice {

namespace {

const char kQuotaReason[] = "quota: the version would pass a storage limit";

}  // namespace

Savegames::Savegames(Storage& storage, const Quotas& quotas) : storage(storage), quotas(quotas) {}

Reader* Savegames::FindReader(void* handle) {
    return readers.Find(handle);
}

Writer* Savegames::FindWriter(void* handle) {
    return writers.Find(handle);
}

void* Savegames::OpenReader(Session* session, unsigned int productId, unsigned int savegameId,
                            ResultCode& result, std::string& reason) {
    if (savegameId == kInvalidSavegameId) {
        result = ResultCode::kInvalidRequest;
        return nullptr;
    }
    auto reader = std::make_unique<Reader>();
    reader->session = session;
    result = storage.Read(productId, savegameId, reader->contents, reason);
    if (result != ResultCode::kDone) {
        return nullptr;
    }
    return readers.Add(std::move(reader));
}

unsigned int Savegames::Read(Reader& reader, unsigned int offset, void* buffer, unsigned int size) {
    if (!reader.open || buffer == nullptr) {
        return 0;
    }
    const unsigned int length = reader.contents.header.size;
    if (offset >= length) {
        return 0;
    }
    const unsigned int count = size < length - offset ? size : length - offset;
    std::memcpy(buffer, reader.contents.data.data() + offset, count);
    reader.session->traffic.bytesRead += count;
    return count;
}

void Savegames::CloseReader(Reader& reader) {
    reader.open = false;
    reader.contents = SavegameContents();
}

void* Savegames::OpenWriter(Session* session, unsigned int productId, unsigned int savegameId,
                            bool overwrite, ResultCode& result, std::string& reason) {
    if (savegameId == kInvalidSavegameId) {
        result = ResultCode::kInvalidRequest;
        return nullptr;
    }
    if (written.count({productId, savegameId}) != 0) {
        result = ResultCode::kInUse;
        return nullptr;
    }
    const Storage::Operation operation(storage);
    SavegameHeader existing;
    const ResultCode found = storage.ReadHeader(productId, savegameId, existing, reason);
    if (found == ResultCode::kStorageFailure) {
        result = found;
        return nullptr;
    }
    if (found == ResultCode::kDone && !overwrite) {
        result = ResultCode::kAlreadyExists;
        return nullptr;
    }
    // A new savegame must fit the product's count, a replacement fits as an empty one.
    if (quotas.LimitProducts() && !FitsQuotas(quotas, storage.Usage(productId), savegameId, 0)) {
        result = ResultCode::kStorageFailure;
        reason = kQuotaReason;
        return nullptr;
    }
    auto writer = std::make_unique<Writer>();
    // A replacement without a name of its own keeps the committed one's.
    if (found == ResultCode::kDone) {
        writer->name = existing.name;
    }
    // The temporary file is made now, so that a storage directory that cannot be written is
    // reported here rather than lost at Close.
    result = storage.Begin(productId, savegameId, writer->name, writer->pending, reason);
    if (result != ResultCode::kDone) {
        return nullptr;
    }
    writer->session = session;
    writer->productId = productId;
    writer->savegameId = savegameId;
    written.insert({productId, savegameId});
    return writers.Add(std::move(writer));
}

bool Savegames::SetName(Writer& writer, const unsigned short* name) {
    if (!writer.open || !TakeName(name, writer.name)) {
        return false;
    }
    Storage::ExpectName(*writer.pending, writer.name);
    return true;
}

unsigned int Savegames::Write(Writer& writer, const void* buffer, unsigned int size) {
    if (!writer.open || buffer == nullptr || writer.failed) {
        return 0;
    }
    const unsigned long long total = Storage::Appended(*writer.pending) + size;
    if (total > 0xFFFFFFFFull) {
        return 0;
    }
    // Past a quota the version could only be committed in part, so it is never committed.
    if (total > quotas.maxSavegameBytes ||
        (quotas.maxProductBytes != kNoLimit &&
         !FitsQuotas(quotas, storage.Usage(*writer.pending), writer.savegameId, total))) {
        Fail(writer, kQuotaReason);
        return 0;
    }
    std::string reason;
    if (!storage.Append(*writer.pending, buffer, size, reason)) {
        Fail(writer, "failed write: " + reason);
        return 0;
    }
    writer.session->traffic.bytesWritten += size;
    return size;
}

void Savegames::Fail(Writer& writer, const std::string& why) {
    if (!writer.failed) {
        writer.failed = true;
        writer.failure = why;
    }
}

Closing Savegames::CloseWriter(Writer& writer, bool commit) {
    Closing closing;
    if (!writer.open) {
        return closing;
    }
    if (!commit) {
        closing.reason = "closed without commit";
        storage.Discard(std::move(writer.pending));
    } else if (writer.failed) {
        closing.reason = writer.failure;
        storage.Discard(std::move(writer.pending));
    } else {
        // Checked again with the product locked: other writers may have committed meanwhile.
        const unsigned long long size = Storage::Appended(*writer.pending);
        const unsigned int savegameId = writer.savegameId;
        Storage::Admit admit;
        if (quotas.LimitProducts()) {
            admit = [this, savegameId, size](const ProductUsage& usage) {
                return FitsQuotas(quotas, usage, savegameId, size);
            };
        }
        switch (storage.Commit(std::move(writer.pending), writer.name, admit, closing.reason)) {
            case CommitOutcome::kCommitted:
                closing.committed = true;
                break;
            case CommitOutcome::kRefused:
                closing.reason = kQuotaReason;
                break;
            case CommitOutcome::kFailed:
                break;
        }
    }
    written.erase({writer.productId, writer.savegameId});
    writer.open = false;
    writer.name = Utf16Name{0};
    return closing;
}

}  // namespace qz::devservice
