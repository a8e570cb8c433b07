#pragma once

#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

#include "storage/Platform.h"
#include "storage/SavegameName.h"

namespace qz::devservice {

/// The result codes of the reader, writer and remove answers.
enum class ResultCode : unsigned int {
    kDone = 0,
    kNoSuchSavegame = 1,
    kInvalidRequest = 2,
    kStorageFailure = 3,
    kInUse = 4,
    kAlreadyExists = 5,
};

/// The value no savegame may have: the loader's "no value".
constexpr unsigned int kInvalidSavegameId = 0xFFFFFFFF;

/// A committed savegame as its file describes it.
struct SavegameHeader {
    unsigned int savegameId = 0;
    unsigned int size = 0;
    Utf16Name name{0};
};

/// Leaves the bytes a vector grows by as they are: contents are read over them at once, so
/// zeroing them first would only cost time.
template <typename T>
struct UninitialisedAllocator : std::allocator<T> {
    template <typename U>
    struct rebind {
        using other = UninitialisedAllocator<U>;
    };
    UninitialisedAllocator() = default;
    template <typename U>
    explicit UninitialisedAllocator(const UninitialisedAllocator<U>&) {}
    template <typename U>
    void construct(U* at) {
        ::new (static_cast<void*>(at)) U;
    }
    template <typename U, typename... Arguments>
    void construct(U* at, Arguments&&... arguments) {
        ::new (static_cast<void*>(at)) U(std::forward<Arguments>(arguments)...);
    }
};
using ContentsBytes = std::vector<unsigned char, UninitialisedAllocator<unsigned char>>;

/// A committed savegame read whole.
struct SavegameContents {
    SavegameHeader header;
    unsigned int version = 0;
    ContentsBytes data;
};

/// Reads a savegame file as the storage takes them: the type checked without blocking (a
/// link, FIFO or device is no savegame), the header first, the file's size matched against
/// it before anything else is read, then the name and contents with their checksum.
/// kDone, kNoSuchSavegame (no file, or not a savegame file) or kStorageFailure (`reason`).
ResultCode ReadSavegameFile(const std::string& path, SavegameContents& contents,
                            std::string& reason);

/// The sizes of a product's committed savegames, for its quotas.
struct ProductUsage {
    std::unordered_map<unsigned int, unsigned int> sizes;
    unsigned long long bytes = 0;
};

/// One entry of a product folder that the storage has a name for.
struct StoredFile {
    enum class Kind {
        kSavegameFile,   // a regular file under a savegame's name, damaged or not
        kNotAFile,       // a link, directory, FIFO... under a savegame's name
        kTemporary,      // a version that no live writer holds: left by a killed one
        kHeldTemporary,  // a version a writer is writing now
    };
    Kind kind;
    std::string name;
    unsigned int savegameId;
};

/// A new version of a savegame being written to its temporary file. It holds the savegame
/// (no other storage, in this process or another, may write it meanwhile) until it is
/// committed or discarded.
class PendingSavegame;
struct PendingSavegameDeleter {
    void operator()(PendingSavegame* pending) const;
};
/// Owns a PendingSavegame; dropping it unlocks the savegame (the file stays for Discard).
using PendingVersion = std::unique_ptr<PendingSavegame, PendingSavegameDeleter>;

/// How a commit ended.
enum class CommitOutcome { kCommitted, kRefused, kFailed };

/// VYKARIS_DEVSERVICE_DIR, else the folder "savegames" beside the file holding this code.
std::string ConfiguredStorageDirectory();

/// Savegames as files in a storage directory, one subdirectory per product (layout in
/// README.md). Every call goes to the disk, so other processes' commits are seen at once; a
/// file already checked whole is not read again while its identity (device, file number, size
/// and modification time) stays the same.
/// Files that are not savegames, damaged ones, links and anything but regular files are not
/// savegames to any operation here: never read, written through or deleted. Operations that
/// fail on the disk put the operating system's reason in `reason`.
class Storage {
public:
    explicit Storage(std::string directory);
    ~Storage();
    Storage(const Storage&) = delete;
    Storage& operator=(const Storage&) = delete;

    const std::string& Directory() const { return directory; }
    /// The products that have a folder (not a link), in ascending id.
    std::vector<unsigned int> Products() const;
    /// The entries of the product's folder named as savegames or temporary files, in
    /// ascending name; nothing is opened but temporary files, to see whether a writer holds
    /// them.
    std::vector<StoredFile> Scan(unsigned int productId) const;
    /// The file of a savegame, whether it exists or not.
    std::string SavegamePath(unsigned int productId, unsigned int savegameId) const;

    /// The product's committed savegames in ascending id, each checked whole.
    std::vector<SavegameHeader> List(unsigned int productId) const;
    /// One committed savegame's header, the file checked whole: kDone, kNoSuchSavegame or
    /// kStorageFailure.
    ResultCode ReadHeader(unsigned int productId, unsigned int savegameId, SavegameHeader& header,
                          std::string& reason) const;
    /// A committed savegame read whole: kDone, kNoSuchSavegame or kStorageFailure.
    ResultCode Read(unsigned int productId, unsigned int savegameId, SavegameContents& contents,
                    std::string& reason) const;

    /// Starts a new version: kDone, kInUse when another storage writes the savegame, or
    /// kStorageFailure. `expectedName`: the name the version will most likely carry, so that
    /// its contents can be written in place from the start.
    ResultCode Begin(unsigned int productId, unsigned int savegameId, const Utf16Name& expectedName,
                     PendingVersion& pending, std::string& reason);
    /// Changes the expected name, before anything was appended.
    static void ExpectName(PendingSavegame& pending, const Utf16Name& name);
    /// Appends to the version's file; false (the file is then useless) on any failure.
    bool Append(PendingSavegame& pending, const void* data, std::size_t size, std::string& reason);
    /// The bytes appended so far.
    static unsigned long long Appended(const PendingSavegame& pending);

    /// Decides, with the product locked, whether a commit may go ahead.
    using Admit = std::function<bool(const ProductUsage& usage)>;
    /// Puts the version in place of the committed one, durably, named `name`. With `admit`,
    /// the product is locked from its decision to the end of the commit, so that two storages
    /// never both pass a quota.
    CommitOutcome Commit(PendingVersion pending, const Utf16Name& name, const Admit& admit,
                         std::string& reason);
    /// Deletes the version's file.
    void Discard(PendingVersion pending);

    /// A complete version in one call, durably; false when it could not be kept.
    bool Write(unsigned int productId, unsigned int savegameId, const Utf16Name& name,
               const unsigned char* data, std::size_t size, std::string& reason);

    /// Removes a committed savegame: kDone, kNoSuchSavegame or kStorageFailure.
    ResultCode Remove(unsigned int productId, unsigned int savegameId, std::string& reason);

    /// Deletes every savegame file of the product (damaged ones too) and every temporary file
    /// that no live writer holds; nothing else. Adds the files deleted to `removed`. False when
    /// a file could not be deleted.
    bool Reset(unsigned int productId, unsigned long long& removed, std::string& reason);

    /// The product's committed savegames' sizes, read again only when another storage
    /// changed the product since the last look.
    /// Valid until the next call on this storage.
    const ProductUsage& Usage(unsigned int productId);
    /// The same for the product a pending version is written into, without looking the
    /// product's folder up again.
    const ProductUsage& Usage(const PendingSavegame& pending);

    /// While one lives, a product's folder is looked up once however many calls reach it: for
    /// a step made of several calls (look for the committed version, then begin a new one),
    /// where a second look would see no more than the first.
    class Operation {
    public:
        explicit Operation(Storage& storage);
        ~Operation();
        Operation(const Operation&) = delete;
        Operation& operator=(const Operation&) = delete;

    private:
        Storage& storage;
    };

private:
    friend class PendingSavegame;
    struct Product;

    std::string ProductDirectory(unsigned int productId) const;
    /// What stands under the product folder's name, looked up once per Operation.
    platform::EntryType LookUpFolder(unsigned int productId,
                                     platform::FileIdentity& identity) const;
    /// The product's folder and lock file; null when there is no such folder, with a reason
    /// when it cannot be reached, or cannot be made though `create` asks for it.
    std::shared_ptr<Product> OpenProduct(unsigned int productId, bool create, std::string& reason);
    /// Opens the product's folder for the flushes of its commits, once; false, with a reason,
    /// when it cannot be, or another folder now stands under its name.
    bool OpenFolder(Product& product, std::string& reason);
    /// Creates and locks a temporary file for the savegame under a name no one uses.
    bool CreateTemporary(Product& product, unsigned int savegameId, PendingSavegame& pending,
                         std::string& reason);
    /// Moves the version's contents to a new temporary file, placed after a name of
    /// `nameBytes`; `removeOld`: deletes the file they leave, which still bears its name.
    bool MoveContents(PendingSavegame& pending, std::size_t nameBytes, bool removeOld,
                      std::string& reason);
    /// The usage, read again when the product's generation moved; a caller that decides on it
    /// holds the product's lock.
    const ProductUsage& FreshUsage(Product& product);
    /// Records a change by this storage, with the product locked by the caller, who read its
    /// current `generation` under that lock.
    void Changed(Product& product, unsigned long long generation, unsigned int savegameId,
                 const unsigned int* newSize);

    std::string directory;
    std::map<unsigned int, std::shared_ptr<Product>> products;
    /// The files this storage checked whole or committed, so that they are not read again
    /// while they stay the same file, unchanged.
    struct VerifiedFiles;
    std::unique_ptr<VerifiedFiles> verified;
    const ProductUsage noUsage;  // of a product without a folder
    /// For temporary names. A child process keeps its parent's: their names then collide at
    /// worst, and a name taken is skipped.
    const unsigned long processId;
    unsigned long long temporaryCounter = 0;
    /// The folder looked up in the open Operation, if any; only a directory is remembered.
    struct FolderLookup {
        unsigned int productId;
        platform::FileIdentity identity;
    };
    int openOperations = 0;
    mutable std::optional<FolderLookup> lookedUp;
};

}  // namespace qz::devservice
