#pragma once

#include <string>
#include <vector>

#include "SavegameName.h"

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

/// Savegames as files in a storage directory, one subdirectory per product (layout in
/// README.md). Every call goes to the disk, so other processes' commits are seen at once.
/// Files that are not savegames, or damaged ones, are not savegames to any operation here.
class Storage {
public:
    explicit Storage(std::string directory);

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

    /// kDone, kNoSuchSavegame or kStorageFailure.
    ResultCode Remove(unsigned int productId, unsigned int savegameId) const;

private:
    std::string ProductDirectory(unsigned int productId) const;

    std::string directory;
};

}  // namespace qz::devservice
