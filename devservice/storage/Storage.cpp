#include "storage/Storage.h"

#include <algorithm>
#include <cstring>
#include <utility>

#include "storage/Platform.h"
#include "storage/TextParsing.h"

namespace qz::devservice {

namespace {

// The file of one savegame: a 24-byte header, the name in UTF-8, then the contents. Numbers
// are little endian.
constexpr unsigned char kMagic[8] = {'V', 'Y', 'K', 'D', 'E', 'V', 'S', 'G'};
constexpr unsigned int kFormatVersion = 1;
constexpr std::size_t kHeaderSize = 24;
const char kSuffix[] = ".vsg";

void PutUInt32(unsigned char* at, unsigned int value) {
    for (int i = 0; i < 4; ++i) {
        at[i] = static_cast<unsigned char>(value >> (8 * i));
    }
}

unsigned int GetUInt32(const unsigned char* at) {
    return static_cast<unsigned int>(at[0]) | static_cast<unsigned int>(at[1]) << 8 |
           static_cast<unsigned int>(at[2]) << 16 | static_cast<unsigned int>(at[3]) << 24;
}

const char kTemporarySuffix[] = ".tmp";

bool EndsWith(const std::string& text, const char* suffix) {
    const std::size_t length = std::strlen(suffix);
    return text.size() >= length && text.compare(text.size() - length, length, suffix) == 0;
}

std::string FileName(unsigned int savegameId) {
    return std::to_string(savegameId) + kSuffix;
}

// The id of a file named exactly as FileName makes them; false for every other file (temporary
// files, copies with leading zeros, foreign files).
bool ParseFileName(const std::string& name, unsigned int& savegameId) {
    const std::size_t suffixLength = sizeof kSuffix - 1;
    if (name.size() <= suffixLength || name.size() > 10 + suffixLength ||
        name.compare(name.size() - suffixLength, suffixLength, kSuffix) != 0) {
        return false;
    }
    const std::string digits = name.substr(0, name.size() - suffixLength);
    if (digits.size() > 1 && digits[0] == '0') {
        return false;
    }
    unsigned long long value = 0;
    for (const char c : digits) {
        if (c < '0' || c > '9') {
            return false;
        }
        value = value * 10 + static_cast<unsigned int>(c - '0');
    }
    if (value >= kInvalidSavegameId) {
        return false;
    }
    savegameId = static_cast<unsigned int>(value);
    return true;
}

// Checks the header against the file's size and decodes the name; false for anything that is
// not a complete savegame file of this format.
bool ParseHeader(const std::vector<unsigned char>& bytes, unsigned long long fileSize,
                 SavegameHeader& header, std::size_t& dataOffset) {
    if (bytes.size() < kHeaderSize || std::memcmp(bytes.data(), kMagic, sizeof kMagic) != 0 ||
        GetUInt32(&bytes[8]) != kFormatVersion || GetUInt32(&bytes[20]) != 0) {
        return false;
    }
    const unsigned int size = GetUInt32(&bytes[12]);
    const unsigned int nameBytes = GetUInt32(&bytes[16]);
    if (nameBytes > kMaxNameBytes || bytes.size() < kHeaderSize + nameBytes ||
        fileSize != kHeaderSize + static_cast<unsigned long long>(nameBytes) + size) {
        return false;
    }
    if (!NameFromUtf8(&bytes[kHeaderSize], nameBytes, header.name)) {
        return false;
    }
    header.size = size;
    dataOffset = kHeaderSize + nameBytes;
    return true;
}

ResultCode ReadSavegame(const std::string& path, std::size_t limit,
                        std::vector<unsigned char>& bytes, SavegameHeader& header,
                        std::size_t& dataOffset) {
    unsigned long long fileSize = 0;
    switch (platform::ReadFile(path, limit, bytes, fileSize)) {
        case platform::ReadResult::kMissing:
            return ResultCode::kNoSuchSavegame;
        case platform::ReadResult::kFailed:
            return ResultCode::kStorageFailure;
        case platform::ReadResult::kDone:
            break;
    }
    return ParseHeader(bytes, fileSize, header, dataOffset) ? ResultCode::kDone
                                                            : ResultCode::kNoSuchSavegame;
}

}  // namespace

bool ParseSavegameFile(const std::vector<unsigned char>& file, SavegameContents& contents) {
    contents.file = file;
    return ParseHeader(contents.file, file.size(), contents.header, contents.dataOffset);
}

std::string ConfiguredStorageDirectory() {
    std::string value;
    if (platform::GetEnvironment("VYKARIS_DEVSERVICE_DIR", value) && !value.empty()) {
        return value;
    }
    return platform::JoinPath(platform::LibraryDirectory(), "savegames");
}

Storage::Storage(std::string directory) : directory(std::move(directory)) {}

std::string Storage::ProductDirectory(unsigned int productId) const {
    return platform::JoinPath(directory, std::to_string(productId));
}

std::vector<unsigned int> Storage::SavegameFiles(unsigned int productId) const {
    std::vector<std::string> names;
    std::vector<unsigned int> ids;
    platform::ListFiles(ProductDirectory(productId), names);
    for (const std::string& name : names) {
        unsigned int id;
        if (ParseFileName(name, id)) {
            ids.push_back(id);
        }
    }
    std::sort(ids.begin(), ids.end());
    return ids;
}

std::vector<SavegameHeader> Storage::List(unsigned int productId) const {
    std::vector<SavegameHeader> savegames;
    for (const unsigned int id : SavegameFiles(productId)) {
        SavegameHeader header;
        if (ReadHeader(productId, id, header) == ResultCode::kDone) {
            savegames.push_back(std::move(header));
        }
    }
    return savegames;
}

std::vector<unsigned int> Storage::Products() const {
    std::vector<std::string> names;
    std::vector<unsigned int> ids;
    platform::ListDirectories(directory, names);
    for (const std::string& name : names) {
        unsigned long long id = 0;
        // Only the names the service makes: decimal without leading zeros.
        if (ParseDecimal(name, 0xFFFFFFFFull, id) && std::to_string(id) == name) {
            ids.push_back(static_cast<unsigned int>(id));
        }
    }
    std::sort(ids.begin(), ids.end());
    return ids;
}

std::string Storage::SavegamePath(unsigned int productId, unsigned int savegameId) const {
    return platform::JoinPath(ProductDirectory(productId), FileName(savegameId));
}

ResultCode Storage::ReadHeader(unsigned int productId, unsigned int savegameId,
                               SavegameHeader& header) const {
    std::vector<unsigned char> bytes;
    std::size_t dataOffset;
    const ResultCode result =
        ReadSavegame(platform::JoinPath(ProductDirectory(productId), FileName(savegameId)),
                     kHeaderSize + kMaxNameBytes, bytes, header, dataOffset);
    header.savegameId = savegameId;
    return result;
}

ResultCode Storage::Read(unsigned int productId, unsigned int savegameId,
                         SavegameContents& contents) const {
    const ResultCode result = ReadSavegame(
        platform::JoinPath(ProductDirectory(productId), FileName(savegameId)),
        static_cast<std::size_t>(-1), contents.file, contents.header, contents.dataOffset);
    contents.header.savegameId = savegameId;
    return result;
}

platform::PendingFile* Storage::Begin(unsigned int productId, unsigned int savegameId) const {
    const std::string productDirectory = ProductDirectory(productId);
    if (!platform::CreateDirectories(productDirectory)) {
        return nullptr;
    }
    return platform::BeginFile(productDirectory, FileName(savegameId));
}

bool Storage::Commit(platform::PendingFile* file, const Utf16Name& name,
                     const std::vector<unsigned char>& data) const {
    const std::string utf8Name = NameToUtf8(name);
    unsigned char header[kHeaderSize] = {};
    std::memcpy(header, kMagic, sizeof kMagic);
    PutUInt32(&header[8], kFormatVersion);
    PutUInt32(&header[12], static_cast<unsigned int>(data.size()));
    PutUInt32(&header[16], static_cast<unsigned int>(utf8Name.size()));
    if (!platform::AppendToFile(file, header, sizeof header) ||
        !platform::AppendToFile(file, utf8Name.data(), utf8Name.size()) ||
        !platform::AppendToFile(file, data.data(), data.size())) {
        platform::AbandonFile(file);
        return false;
    }
    return platform::CommitFile(file);
}

bool Storage::Write(unsigned int productId, unsigned int savegameId, const Utf16Name& name,
                    const std::vector<unsigned char>& data) const {
    platform::PendingFile* file = Begin(productId, savegameId);
    return file != nullptr && Commit(file, name, data);
}

bool Storage::Reset(unsigned int productId) const {
    std::vector<std::string> names;
    const std::string productDirectory = ProductDirectory(productId);
    if (!platform::ListFiles(productDirectory, names)) {
        return true;
    }
    bool done = true;
    for (const std::string& name : names) {
        const bool ours = EndsWith(name, kSuffix) || EndsWith(name, kTemporarySuffix);
        if (ours &&
            platform::RemoveFile(productDirectory, name) == platform::RemoveResult::kFailed) {
            done = false;
        }
    }
    return done;
}

ResultCode Storage::Remove(unsigned int productId, unsigned int savegameId) const {
    // Only a savegame is removed: a damaged or foreign file under that name is left alone.
    SavegameHeader header;
    const ResultCode found = ReadHeader(productId, savegameId, header);
    if (found != ResultCode::kDone) {
        return found;
    }
    switch (platform::RemoveFile(ProductDirectory(productId), FileName(savegameId))) {
        case platform::RemoveResult::kRemoved:
            return ResultCode::kDone;
        case platform::RemoveResult::kMissing:
            return ResultCode::kNoSuchSavegame;
        case platform::RemoveResult::kFailed:
            break;
    }
    return ResultCode::kStorageFailure;
}

}  // namespace qz::devservice
