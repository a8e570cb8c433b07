#pragma once

#include <string>
#include <vector>

#include "storage/SavegameName.h"

namespace qz::devservice {

namespace platform {
class PendingFile;
}

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

/// A committed savegame read whole: its header and its file, the contents starting at
/// `dataOffset`.
struct SavegameContents {
    SavegameHeader header;
    std::vector<unsigned char> file;
    std::size_t dataOffset = 0;
};

/// Checks a savegame file's bytes as the storage does and takes them into `contents`; false
/// for anything that is not a complete savegame file of this format.
bool ParseSavegameFile(const std::vector<unsigned char>& file, SavegameContents& contents);

/// VYKARIS_DEVSERVICE_DIR, else the folder "savegames" beside the file holding this code.
std::string ConfiguredStorageDirectory();

/// Savegames as files in a storage directory, one subdirectory per product (layout in
/// README.md). Every call goes to the disk, so other processes' commits are seen at once.
/// Files that are not savegames, or damaged ones, are not savegames to any operation here.
class Storage {
public:
    explicit Storage(std::string directory);

    /// The products that have a directory, in ascending id.
    std::vector<unsigned int> Products() const;
    /// The ids of the files named as savegames, damaged ones included, in ascending id.
    std::vector<unsigned int> SavegameFiles(unsigned int productId) const;
    /// The file of a savegame, whether it exists or not.
    std::string SavegamePath(unsigned int productId, unsigned int savegameId) const;

    /// The product's committed savegames in ascending id; empty when there are none or the
    /// directory cannot be read.
    std::vector<SavegameHeader> List(unsigned int productId) const;
    /// The header of one committed savegame: kDone, kNoSuchSavegame or kStorageFailure.
    ResultCode ReadHeader(unsigned int productId, unsigned int savegameId,
                          SavegameHeader& header) const;
    /// A committed savegame read whole: kDone, kNoSuchSavegame or kStorageFailure.
    ResultCode Read(unsigned int productId, unsigned int savegameId,
                    SavegameContents& contents) const;

    /// Starts a new version of a savegame in a temporary file; null when the storage directory
    /// cannot be written.
    platform::PendingFile* Begin(unsigned int productId, unsigned int savegameId) const;
    /// Writes the version and puts it in place of the committed one, durably. Frees `file`.
    bool Commit(platform::PendingFile* file, const Utf16Name& name,
                const std::vector<unsigned char>& data) const;

    /// Begin and Commit in one: a complete version, durably; false when it could not be kept.
    bool Write(unsigned int productId, unsigned int savegameId, const Utf16Name& name,
               const std::vector<unsigned char>& data) const;

    /// kDone, kNoSuchSavegame or kStorageFailure.
    ResultCode Remove(unsigned int productId, unsigned int savegameId) const;

    /// Deletes every savegame file of the product, damaged or not, and the temporary files
    /// that killed writers left; other files stay. False when a file could not be deleted.
    bool Reset(unsigned int productId) const;

private:
    std::string ProductDirectory(unsigned int productId) const;

    std::string directory;
};

}  // namespace qz::devservice
