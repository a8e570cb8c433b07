#include "storage/Storage.h"

#include <algorithm>
#include <cstring>
#include <new>
#include <unordered_map>
#include <utility>

#include "storage/Crc32c.h"
#include "storage/Platform.h"
#include "storage/SavegameFile.h"
#include "storage/TextParsing.h"

namespace qz::devservice {

namespace {

// Each product folder has a lock file. Its first 8 bytes count the changes made to the
// product (commits, removals, resets), so that a storage knows when its cached usage is
// stale; locks sit far beyond them: one byte for the whole product, and one per savegame
// for the writer that has it open.
const char kLockFileName[] = ".lock";
constexpr unsigned long long kProductLock = 1ull << 40;
constexpr unsigned long long SavegameLock(unsigned int savegameId) {
    return kProductLock + 1 + savegameId;
}

// Contents are read and copied in pieces of this size, so a file costs no more memory than
// what the caller keeps.
constexpr std::size_t kChunk = std::size_t{64} * 1024;

// A savegame file as it was when it was last checked whole.
struct VerifiedFile {
    platform::FileIdentity identity;
    SavegameFileHeader header;
    Utf16Name name;
};

using VerifiedByPath = std::unordered_map<std::string, VerifiedFile>;

// The entry of a file checked whole before, when `identity` shows it unchanged since; a stale
// entry is dropped.
const VerifiedFile* Unchanged(VerifiedByPath* verified, const std::string& path,
                              const platform::FileIdentity& identity) {
    if (verified == nullptr) {
        return nullptr;
    }
    const auto found = verified->find(path);
    if (found == verified->end()) {
        return nullptr;
    }
    if (found->second.identity == identity) {
        return &found->second;
    }
    verified->erase(found);
    return nullptr;
}

// Reads a savegame file the way every operation takes it: the type is checked without
// blocking, the header first, the file's size must match it before anything else is read,
// and the checksum covers the rest. `contents` receives the contents when not null. With
// `verified`, a file whose identity did not change since it was last checked is not checked
// again: its header is taken from there, and only contents asked for are read; when only the
// header is asked for, such a file is not even opened.
ResultCode ReadChecked(const std::string& path, SavegameHeader& header, ContentsBytes* contents,
                       unsigned int& version, std::string& reason, VerifiedByPath* verified) {
    const auto failed = [&](const char* what) {
        reason = std::string("cannot ") + what + " \"" + path + "\": " + platform::LastErrorText();
        return ResultCode::kStorageFailure;
    };
    const auto take = [&](const VerifiedFile& known) {
        header.size = known.header.size;
        header.name = known.name;
        version = known.header.version;
        return ResultCode::kDone;
    };
    platform::FileIdentity identity;
    if (contents == nullptr && verified != nullptr) {
        const platform::EntryType type = platform::TypeOf(path, identity);
        if (type != platform::EntryType::kFile) {
            return type == platform::EntryType::kFailed ? failed("reach")
                                                        : ResultCode::kNoSuchSavegame;
        }
        if (const VerifiedFile* known = Unchanged(verified, path, identity)) {
            return take(*known);
        }
    }
    platform::File file;
    switch (platform::OpenForReading(path, file, &identity)) {
        case platform::OpenResult::kOpened:
            break;
        case platform::OpenResult::kFailed:
            return failed("open");
        default:
            return ResultCode::kNoSuchSavegame;
    }
    const VerifiedFile* known = Unchanged(verified, path, identity);
    if (known != nullptr && contents == nullptr) {
        return take(*known);
    }
    SavegameFileHeader fileHeader;
    unsigned char name[kMaxNameBytes];
    std::size_t got = 0;
    if (known != nullptr) {
        fileHeader = known->header;
    } else {
        unsigned char fixed[kHeaderSize];
        if (!platform::ReadAt(file, 0, fixed, kHeaderSize, got)) {
            return failed("read");
        }
        if (got != kHeaderSize || !DecodeHeader(fixed, fileHeader) ||
            FileSize(fileHeader) != identity.size) {
            return ResultCode::kNoSuchSavegame;
        }
        if (!platform::ReadAt(file, kHeaderSize, name, fileHeader.nameBytes, got)) {
            return failed("read");
        }
        if (got != fileHeader.nameBytes) {
            return ResultCode::kNoSuchSavegame;
        }
    }
    std::vector<unsigned char> chunk;
    try {
        if (contents != nullptr) {
            contents->resize(fileHeader.size);
        } else {
            chunk.resize(std::min<std::size_t>(kChunk, fileHeader.size));
        }
    } catch (const std::bad_alloc&) {
        reason = "out of memory for the " + std::to_string(fileHeader.size) + " bytes of \"" +
                 path + "\"";
        return ResultCode::kStorageFailure;
    }
    unsigned int crc = 0;
    for (unsigned long long done = 0; done < fileHeader.size;) {
        const std::size_t wanted = static_cast<std::size_t>(
            contents != nullptr ? fileHeader.size - done
                                : std::min<unsigned long long>(kChunk, fileHeader.size - done));
        unsigned char* into =
            contents != nullptr ? contents->data() + static_cast<std::size_t>(done) : chunk.data();
        if (!platform::ReadAt(file, kHeaderSize + fileHeader.nameBytes + done, into, wanted, got)) {
            return failed("read");
        }
        if (got == 0) {
            return ResultCode::kNoSuchSavegame;  // it shrank under us
        }
        if (known == nullptr) {
            crc = Crc32c(into, got, crc);
        }
        done += got;
    }
    if (known != nullptr) {
        return take(*known);
    }
    if (!CheckNameAndChecksum(fileHeader, name, crc, header.name)) {
        return ResultCode::kNoSuchSavegame;
    }
    if (verified != nullptr) {
        (*verified)[path] = VerifiedFile{identity, fileHeader, header.name};
    }
    header.size = fileHeader.size;
    version = fileHeader.version;
    return ResultCode::kDone;
}

std::string ReplacedFolder(const std::string& directory) {
    return "the folder \"" + directory + "\" was replaced while the savegame was written";
}

unsigned long long ReadGeneration(platform::File& lock) {
    unsigned char bytes[8] = {};
    std::size_t got = 0;
    platform::ReadAt(lock, 0, bytes, sizeof bytes, got);
    unsigned long long generation = 0;
    for (int i = 7; i >= 0; --i) {
        generation = generation << 8 | bytes[i];
    }
    return generation;
}

void WriteGeneration(platform::File& lock, unsigned long long generation) {
    unsigned char bytes[8];
    for (int i = 0; i < 8; ++i) {
        bytes[i] = static_cast<unsigned char>(generation >> (8 * i));
    }
    platform::WriteAt(lock, 0, bytes, sizeof bytes);
}

}  // namespace

ResultCode ReadSavegameFile(const std::string& path, SavegameContents& contents,
                            std::string& reason) {
    return ReadChecked(path, contents.header, &contents.data, contents.version, reason, nullptr);
}

struct Storage::VerifiedFiles {
    VerifiedByPath byPath;
};

struct Storage::Product {
    unsigned int id;
    std::string directory;
    /// The folder as it was first seen: one put in its place later is another product's.
    platform::FileIdentity folderIdentity;
    /// Opened at the first commit, to flush the folder after each.
    platform::File folder;
    platform::File lock;
    bool usageKnown = false;
    unsigned long long generation = 0;
    ProductUsage usage;
    /// The pending versions begun here, each holding its savegame's byte of the lock file.
    unsigned int writers = 0;
};

class PendingSavegame {
public:
    PendingSavegame() = default;
    PendingSavegame(std::shared_ptr<Storage::Product> product, unsigned int savegameId)
        : product(std::move(product)), savegameId(savegameId) {
        ++this->product->writers;
    }
    ~PendingSavegame() {
        if (product != nullptr) {
            --product->writers;
            if (!savegameLockPassedOn) {
                platform::UnlockByte(product->lock, SavegameLock(savegameId));
            }
        }
    }
    PendingSavegame(const PendingSavegame&) = delete;
    PendingSavegame& operator=(const PendingSavegame&) = delete;

    const std::shared_ptr<Storage::Product> product;
    const unsigned int savegameId = 0;
    bool savegameLockPassedOn = false;
    platform::File file;
    std::string name;  // of the temporary file
    std::string path;
    std::size_t reservedNameBytes = 0;
    unsigned long long appended = 0;
    unsigned int contentsCrc = 0;
};

void PendingSavegameDeleter::operator()(PendingSavegame* pending) const {
    delete pending;
}

// The product stays locked for the object's life.
class ProductLock {
public:
    explicit ProductLock(platform::File& lock)
        : lock(lock), held(platform::LockByte(lock, kProductLock, true)) {}
    ~ProductLock() {
        if (!held) {
            return;
        }
        if (savegameLock != 0) {
            platform::UnlockBytes(lock, kProductLock, savegameLock);
        } else {
            platform::UnlockByte(lock, kProductLock);
        }
    }
    ProductLock(const ProductLock&) = delete;
    ProductLock& operator=(const ProductLock&) = delete;
    bool Held() const { return held; }

    /// Releases the savegame's lock with the product's, in one call, when no other writer
    /// here holds a byte between the two.
    void ReleaseWith(PendingSavegame& pending) {
        if (held && pending.product->writers == 1) {
            savegameLock = SavegameLock(pending.savegameId);
            pending.savegameLockPassedOn = true;
        }
    }

private:
    platform::File& lock;
    const bool held;
    unsigned long long savegameLock = 0;
};

std::string ConfiguredStorageDirectory() {
    std::string value;
    if (platform::GetEnvironment("VYKARIS_DEVSERVICE_DIR", value) && !value.empty()) {
        return value;
    }
    return platform::JoinPath(platform::LibraryDirectory(), "savegames");
}

Storage::Storage(std::string directory)
    : directory(std::move(directory)),
      verified(std::make_unique<VerifiedFiles>()),
      processId(platform::ProcessId()) {}

Storage::~Storage() = default;

Storage::Operation::Operation(Storage& storage) : storage(storage) {
    ++storage.openOperations;
}

Storage::Operation::~Operation() {
    if (--storage.openOperations == 0) {
        storage.lookedUp.reset();
    }
}

std::string Storage::ProductDirectory(unsigned int productId) const {
    return platform::JoinPath(directory, std::to_string(productId));
}

platform::EntryType Storage::LookUpFolder(unsigned int productId,
                                          platform::FileIdentity& identity) const {
    if (lookedUp && lookedUp->productId == productId) {
        identity = lookedUp->identity;
        return platform::EntryType::kDirectory;
    }
    const platform::EntryType type = platform::TypeOf(ProductDirectory(productId), identity);
    if (openOperations > 0 && type == platform::EntryType::kDirectory) {
        lookedUp = FolderLookup{productId, identity};
    }
    return type;
}

std::string Storage::SavegamePath(unsigned int productId, unsigned int savegameId) const {
    return platform::JoinPath(ProductDirectory(productId), SavegameFileName(savegameId));
}

std::vector<unsigned int> Storage::Products() const {
    std::vector<std::string> names;
    std::vector<unsigned int> ids;
    platform::ListNames(directory, names);
    for (const std::string& name : names) {
        unsigned long long id = 0;
        // Only the names the service makes, and only real folders.
        if (ParseDecimal(name, 0xFFFFFFFFull, id) && std::to_string(id) == name &&
            platform::TypeOf(platform::JoinPath(directory, name)) ==
                platform::EntryType::kDirectory) {
            ids.push_back(static_cast<unsigned int>(id));
        }
    }
    std::sort(ids.begin(), ids.end());
    return ids;
}

std::vector<StoredFile> Storage::Scan(unsigned int productId) const {
    const std::string productDirectory = ProductDirectory(productId);
    std::vector<std::string> names;
    std::vector<StoredFile> files;
    if (!platform::ListFolderNames(productDirectory, names)) {
        return files;
    }
    std::sort(names.begin(), names.end());
    for (const std::string& name : names) {
        const std::string path = platform::JoinPath(productDirectory, name);
        unsigned int savegameId = 0;
        if (ParseSavegameFileName(name, savegameId)) {
            const bool regular = platform::TypeOf(path) == platform::EntryType::kFile;
            files.push_back(
                {regular ? StoredFile::Kind::kSavegameFile : StoredFile::Kind::kNotAFile, name,
                 savegameId});
        } else if (ParseTemporaryFileName(name, savegameId)) {
            platform::File file;
            if (platform::OpenForReading(path, file) != platform::OpenResult::kOpened) {
                continue;
            }
            files.push_back({platform::TryLockFile(file) ? StoredFile::Kind::kTemporary
                                                         : StoredFile::Kind::kHeldTemporary,
                             name, savegameId});
        }
    }
    return files;
}

std::vector<SavegameHeader> Storage::List(unsigned int productId) const {
    std::vector<SavegameHeader> savegames;
    const std::string productDirectory = ProductDirectory(productId);
    std::vector<std::string> names;
    // A link standing for the product's folder leads out of the storage directory.
    if (!platform::ListFolderNames(productDirectory, names)) {
        return savegames;
    }
    std::string reason;
    unsigned int version = 0;
    for (const std::string& name : names) {
        SavegameHeader header;
        if (ParseSavegameFileName(name, header.savegameId) &&
            ReadChecked(platform::JoinPath(productDirectory, name), header, nullptr, version,
                        reason, &verified->byPath) == ResultCode::kDone) {
            savegames.push_back(std::move(header));
        }
    }
    std::sort(savegames.begin(), savegames.end(),
              [](const SavegameHeader& a, const SavegameHeader& b) {
                  return a.savegameId < b.savegameId;
              });
    return savegames;
}

ResultCode Storage::ReadHeader(unsigned int productId, unsigned int savegameId,
                               SavegameHeader& header, std::string& reason) const {
    header.savegameId = savegameId;
    // A link standing for the product's folder leads out of the storage directory.
    platform::FileIdentity folder;
    if (LookUpFolder(productId, folder) != platform::EntryType::kDirectory) {
        return ResultCode::kNoSuchSavegame;
    }
    unsigned int version = 0;
    return ReadChecked(SavegamePath(productId, savegameId), header, nullptr, version, reason,
                       &verified->byPath);
}

ResultCode Storage::Read(unsigned int productId, unsigned int savegameId,
                         SavegameContents& contents, std::string& reason) const {
    contents.header.savegameId = savegameId;
    platform::FileIdentity folder;
    if (LookUpFolder(productId, folder) != platform::EntryType::kDirectory) {
        return ResultCode::kNoSuchSavegame;
    }
    return ReadChecked(SavegamePath(productId, savegameId), contents.header, &contents.data,
                       contents.version, reason, &verified->byPath);
}

std::shared_ptr<Storage::Product> Storage::OpenProduct(unsigned int productId, bool create,
                                                       std::string& reason) {
    const std::string productDirectory = ProductDirectory(productId);
    platform::FileIdentity identity;
    switch (LookUpFolder(productId, identity)) {
        case platform::EntryType::kDirectory:
            break;
        case platform::EntryType::kMissing:
            if (!create) {
                return nullptr;
            }
            if (!platform::CreateDirectories(directory) ||
                !platform::MakeDirectory(productDirectory)) {
                reason = "cannot create the folder \"" + productDirectory +
                         "\": " + platform::LastErrorText();
                return nullptr;
            }
            platform::TypeOf(productDirectory, identity);
            break;
        case platform::EntryType::kFailed:
            reason = "cannot reach \"" + productDirectory + "\": " + platform::LastErrorText();
            return nullptr;
        default:
            // A link or another file: no product here, and nothing to be written through it.
            if (create) {
                reason = "\"" + productDirectory + "\" is not a folder (a link or another file)";
            }
            return nullptr;
    }
    std::shared_ptr<Product>& known = products[productId];
    // A folder deleted and made again has a lock file of its own: the old one's locks would
    // exclude nobody. Writers begun in the old folder keep it until they end.
    if (known != nullptr && known->folderIdentity.SameObject(identity)) {
        return known;
    }
    auto product = std::make_shared<Product>();
    product->id = productId;
    product->directory = productDirectory;
    product->folderIdentity = identity;
    const std::string lockPath = platform::JoinPath(productDirectory, kLockFileName);
    if (platform::OpenOrCreate(lockPath, product->lock) != platform::OpenResult::kOpened) {
        reason = "cannot open the lock file \"" + lockPath + "\": " + platform::LastErrorText();
        return nullptr;
    }
    known = product;
    return product;
}

bool Storage::OpenFolder(Product& product, std::string& reason) {
    if (product.folder.IsOpen()) {
        return true;
    }
    platform::FileIdentity opened;
    if (!platform::OpenDirectory(product.directory, product.folder, opened)) {
        reason =
            "cannot open the folder \"" + product.directory + "\": " + platform::LastErrorText();
        return false;
    }
    if (!opened.SameObject(product.folderIdentity)) {
        product.folder.Close();
        reason = ReplacedFolder(product.directory);
        return false;
    }
    return true;
}

const ProductUsage& Storage::FreshUsage(Product& product) {
    const unsigned long long generation = ReadGeneration(product.lock);
    if (!product.usageKnown || generation != product.generation) {
        product.usage = ProductUsage();
        for (const SavegameHeader& header : List(product.id)) {
            product.usage.sizes[header.savegameId] = header.size;
            product.usage.bytes += header.size;
        }
        product.usageKnown = true;
        product.generation = generation;
    }
    return product.usage;
}

void Storage::Changed(Product& product, unsigned long long generation, unsigned int savegameId,
                      const unsigned int* newSize) {
    WriteGeneration(product.lock, generation + 1);
    // Kept up to date only when nobody else changed the product since it was read.
    if (!product.usageKnown || generation != product.generation) {
        product.usageKnown = false;
        return;
    }
    product.generation = generation + 1;
    ProductUsage& usage = product.usage;
    const auto old = usage.sizes.find(savegameId);
    if (old != usage.sizes.end()) {
        usage.bytes -= old->second;
        usage.sizes.erase(old);
    }
    if (newSize != nullptr) {
        usage.sizes[savegameId] = *newSize;
        usage.bytes += *newSize;
    }
}

const ProductUsage& Storage::Usage(const PendingSavegame& pending) {
    // The writer's own folder: one it was begun in and that a commit checks again.
    return FreshUsage(*pending.product);
}

const ProductUsage& Storage::Usage(unsigned int productId) {
    std::string reason;
    const std::shared_ptr<Product> product = OpenProduct(productId, false, reason);
    if (product == nullptr) {
        return noUsage;
    }
    // Not locked: every change moves the generation after it is made, and the generation is
    // read before the files, so a usage read here is at worst read again later. A commit's
    // decision reads it again under the lock.
    return FreshUsage(*product);
}

bool Storage::CreateTemporary(Product& product, unsigned int savegameId, PendingSavegame& pending,
                              std::string& reason) {
    // A name left by a killed process (perhaps one with this very process id) is skipped.
    for (int attempt = 0; attempt < 1000; ++attempt) {
        const std::string name = TemporaryFileName(savegameId, processId, ++temporaryCounter);
        const std::string path = platform::JoinPath(product.directory, name);
        platform::File file;
        switch (platform::CreateNew(path, file)) {
            case platform::OpenResult::kOpened:
                break;
            case platform::OpenResult::kFailed:
                reason = "cannot create \"" + path + "\": " + platform::LastErrorText();
                return false;
            default:
                continue;
        }
        // A reset that deletes the file before its lock is seen at the commit, which then
        // moves the contents to a file of their own again.
        if (platform::TryLockFile(file)) {
            pending.file.native = file.native;
            file.native = platform::File::kClosed;
            pending.name = name;
            pending.path = path;
            return true;
        }
    }
    reason = "no free temporary name for savegame " + std::to_string(savegameId) + " in \"" +
             product.directory + "\"";
    return false;
}

ResultCode Storage::Begin(unsigned int productId, unsigned int savegameId,
                          const Utf16Name& expectedName, PendingVersion& pending,
                          std::string& reason) {
    const std::shared_ptr<Product> product = OpenProduct(productId, true, reason);
    if (product == nullptr) {
        return ResultCode::kStorageFailure;
    }
    if (!platform::LockByte(product->lock, SavegameLock(savegameId), false)) {
        reason = "another process writes savegame " + std::to_string(savegameId);
        return ResultCode::kInUse;
    }
    PendingVersion started(new PendingSavegame(product, savegameId));
    ExpectName(*started, expectedName);
    if (!CreateTemporary(*product, savegameId, *started, reason)) {
        return ResultCode::kStorageFailure;
    }
    pending = std::move(started);
    return ResultCode::kDone;
}

void Storage::ExpectName(PendingSavegame& pending, const Utf16Name& name) {
    if (pending.appended == 0) {
        pending.reservedNameBytes = NameToUtf8(name).size();
    }
}

unsigned long long Storage::Appended(const PendingSavegame& pending) {
    return pending.appended;
}

bool Storage::Append(PendingSavegame& pending, const void* data, std::size_t size,
                     std::string& reason) {
    if (!platform::WriteAt(pending.file, kHeaderSize + pending.reservedNameBytes + pending.appended,
                           data, size)) {
        reason = "cannot write \"" + pending.path + "\": " + platform::LastErrorText();
        return false;
    }
    pending.appended += size;
    pending.contentsCrc = Crc32c(data, size, pending.contentsCrc);
    return true;
}

namespace {

// Moves the contents of `from` into `to`, where they start at `offset`, piece by piece.
bool CopyContents(platform::File& from, unsigned long long fromOffset, platform::File& to,
                  unsigned long long toOffset, unsigned long long size) {
    std::vector<unsigned char> chunk(
        static_cast<std::size_t>(std::min<unsigned long long>(kChunk, size)));
    for (unsigned long long done = 0; done < size;) {
        std::size_t got = 0;
        const auto wanted =
            static_cast<std::size_t>(std::min<unsigned long long>(kChunk, size - done));
        if (!platform::ReadAt(from, fromOffset + done, chunk.data(), wanted, got) ||
            got != wanted || !platform::WriteAt(to, toOffset + done, chunk.data(), got)) {
            return false;
        }
        done += got;
    }
    return true;
}

}  // namespace

bool Storage::MoveContents(PendingSavegame& pending, std::size_t nameBytes, bool removeOld,
                           std::string& reason) {
    Product& product = *pending.product;
    PendingSavegame moved;
    if (!CreateTemporary(product, pending.savegameId, moved, reason) ||
        !CopyContents(pending.file, kHeaderSize + pending.reservedNameBytes, moved.file,
                      kHeaderSize + nameBytes, pending.appended)) {
        if (reason.empty()) {
            reason =
                "cannot move the contents to \"" + moved.path + "\": " + platform::LastErrorText();
        }
        if (moved.file.IsOpen()) {
            moved.file.Close();
            platform::RemoveFile(product.directory, moved.name);
        }
        return false;
    }
    pending.file.Close();
    if (removeOld) {
        platform::RemoveFile(product.directory, pending.name);
    }
    pending.file.native = moved.file.native;
    moved.file.native = platform::File::kClosed;
    pending.name = moved.name;
    pending.path = moved.path;
    pending.reservedNameBytes = nameBytes;
    return true;
}

CommitOutcome Storage::Commit(PendingVersion pending, const Utf16Name& name, const Admit& admit,
                              std::string& reason) {
    // Held here too: a discard below may drop the writer's hold on a folder made again.
    const std::shared_ptr<Product> held = pending->product;
    Product& product = *held;
    ProductLock lock(product.lock);
    if (!lock.Held()) {
        reason = "cannot lock the product: " + platform::LastErrorText();
        Discard(std::move(pending));
        return CommitOutcome::kFailed;
    }
    lock.ReleaseWith(*pending);
    if (admit && !admit(FreshUsage(product))) {
        Discard(std::move(pending));
        return CommitOutcome::kRefused;
    }
    const std::string utf8 = NameToUtf8(name);
    SavegameFileHeader header;
    header.size = static_cast<unsigned int>(pending->appended);
    header.nameBytes = static_cast<unsigned int>(utf8.size());
    const auto* nameBytes = reinterpret_cast<const unsigned char*>(utf8.data());
    header.checksum = FileChecksum(header, nameBytes, pending->contentsCrc);
    // The header and the name go to the disk in one write.
    unsigned char fixed[kHeaderSize];
    EncodeHeader(header, fixed);
    unsigned char front[kHeaderSize + kMaxNameBytes];
    std::memcpy(front, fixed, kHeaderSize);
    std::copy(nameBytes, nameBytes + utf8.size(), front + kHeaderSize);

    // The name changed its length after the contents were placed: they move to a new file.
    if ((utf8.size() != pending->reservedNameBytes &&
         !MoveContents(*pending, utf8.size(), true, reason)) ||
        !OpenFolder(product, reason)) {
        Discard(std::move(pending));
        return CommitOutcome::kFailed;
    }
    const std::string finalPath = SavegamePath(product.id, pending->savegameId);
    verified->byPath.erase(finalPath);
    bool written = platform::WriteAt(pending->file, 0, front, kHeaderSize + utf8.size());
    // Taken once the file is written: neither the flush nor the rename changes it.
    platform::FileIdentity identity;
    bool named = true;
    bool identified =
        written && platform::IdentityOf(pending->file, pending->path, identity, named);
    if (identified && !named) {
        // Deleted under its writer (by a reset in the moment between its creation and its
        // lock, or by a user): the version is still whole in the open file. Unless its folder
        // went with it: a folder made again is another product's.
        platform::FileIdentity folder;
        if (platform::TypeOf(product.directory, folder) != platform::EntryType::kDirectory ||
            !folder.SameObject(product.folderIdentity)) {
            reason = ReplacedFolder(product.directory);
            pending->file.Close();  // its name may be another file's now
            Discard(std::move(pending));
            return CommitOutcome::kFailed;
        }
        if (!MoveContents(*pending, utf8.size(), false, reason)) {
            Discard(std::move(pending));
            return CommitOutcome::kFailed;
        }
        written = platform::WriteAt(pending->file, 0, front, kHeaderSize + utf8.size());
        identified = written && platform::IdentityOf(pending->file, identity);
    }
    if (!written ||
        !platform::CommitFile(pending->file, pending->path, finalPath, product.folder)) {
        reason = "cannot commit \"" + pending->path + "\": " + platform::LastErrorText();
        Discard(std::move(pending));
        return CommitOutcome::kFailed;
    }
    if (identified) {
        verified->byPath[finalPath] = VerifiedFile{identity, header, name};
    }
    // An admission has just read the generation under this lock: it cannot have moved since.
    Changed(product, admit ? product.generation : ReadGeneration(product.lock), pending->savegameId,
            &header.size);
    return CommitOutcome::kCommitted;
}

void Storage::Discard(PendingVersion pending) {
    if (pending->file.IsOpen()) {
        pending->file.Close();
        platform::RemoveFile(pending->product->directory, pending->name);
    }
}

bool Storage::Write(unsigned int productId, unsigned int savegameId, const Utf16Name& name,
                    const unsigned char* data, std::size_t size, std::string& reason) {
    PendingVersion pending;
    if (Begin(productId, savegameId, name, pending, reason) != ResultCode::kDone) {
        return false;
    }
    if (!Append(*pending, data, size, reason)) {
        Discard(std::move(pending));
        return false;
    }
    return Commit(std::move(pending), name, nullptr, reason) == CommitOutcome::kCommitted;
}

ResultCode Storage::Remove(unsigned int productId, unsigned int savegameId, std::string& reason) {
    const Operation operation(*this);
    const std::shared_ptr<Product> product = OpenProduct(productId, false, reason);
    if (product == nullptr) {
        return reason.empty() ? ResultCode::kNoSuchSavegame : ResultCode::kStorageFailure;
    }
    const ProductLock lock(product->lock);
    // Only a savegame is removed: a damaged or foreign file under that name is left alone.
    SavegameHeader header;
    const ResultCode found = ReadHeader(productId, savegameId, header, reason);
    if (found != ResultCode::kDone) {
        return found;
    }
    switch (platform::RemoveFile(product->directory, SavegameFileName(savegameId))) {
        case platform::RemoveResult::kRemoved:
            verified->byPath.erase(SavegamePath(productId, savegameId));
            Changed(*product, ReadGeneration(product->lock), savegameId, nullptr);
            return ResultCode::kDone;
        case platform::RemoveResult::kMissing:
            return ResultCode::kNoSuchSavegame;
        case platform::RemoveResult::kFailed:
            break;
    }
    reason = "cannot delete \"" + SavegamePath(productId, savegameId) +
             "\": " + platform::LastErrorText();
    return ResultCode::kStorageFailure;
}

bool Storage::Reset(unsigned int productId, unsigned long long& removed, std::string& reason) {
    const std::shared_ptr<Product> product = OpenProduct(productId, false, reason);
    if (product == nullptr) {
        return reason.empty();
    }
    const ProductLock lock(product->lock);
    bool done = true;
    for (const StoredFile& file : Scan(productId)) {
        if (file.kind == StoredFile::Kind::kNotAFile ||
            file.kind == StoredFile::Kind::kHeldTemporary) {
            continue;
        }
        platform::File held;
        if (file.kind == StoredFile::Kind::kTemporary) {
            // Held while it is deleted, so that it cannot become a live writer's meanwhile.
            const std::string path = platform::JoinPath(product->directory, file.name);
            if (platform::OpenForReading(path, held) != platform::OpenResult::kOpened ||
                !platform::TryLockFile(held)) {
                continue;
            }
        }
        switch (platform::RemoveFile(product->directory, file.name)) {
            case platform::RemoveResult::kRemoved:
                ++removed;
                break;
            case platform::RemoveResult::kMissing:
                break;
            case platform::RemoveResult::kFailed:
                reason = "cannot delete \"" + file.name + "\": " + platform::LastErrorText();
                done = false;
                break;
        }
    }
    WriteGeneration(product->lock, ReadGeneration(product->lock) + 1);
    product->usageKnown = false;
    verified->byPath.clear();
    return done;
}

}  // namespace qz::devservice
