#include "storage/SavegameFile.h"

#include <cstring>
#include <utility>

#include "storage/Crc32c.h"
#include "storage/TextParsing.h"

namespace qz::devservice {

namespace {

constexpr unsigned char kMagic[8] = {'V', 'Y', 'K', 'D', 'E', 'V', 'S', 'G'};
constexpr std::size_t kChecksumOffset = 20;
const char kSuffix[] = ".vsg";
const char kTemporarySuffix[] = ".tmp";

void PutUInt32(unsigned char* at, unsigned int value) {
    for (int i = 0; i < 4; ++i) {
        at[i] = static_cast<unsigned char>(value >> (8 * i));
    }
}

unsigned int GetUInt32(const unsigned char* at) {
    return static_cast<unsigned int>(at[0]) | static_cast<unsigned int>(at[1]) << 8 |
           static_cast<unsigned int>(at[2]) << 16 | static_cast<unsigned int>(at[3]) << 24;
}

// Decimal digits without leading zeros, up to `max`.
bool ParseCanonicalDecimal(const std::string& digits, unsigned long long max,
                           unsigned long long& value) {
    return !(digits.size() > 1 && digits[0] == '0') && ParseDecimal(digits, max, value);
}

}  // namespace

std::string SavegameFileName(unsigned int savegameId) {
    return std::to_string(savegameId) + kSuffix;
}

bool SplitSavegameSuffix(const std::string& name, std::string& stem) {
    const std::size_t suffixLength = sizeof kSuffix - 1;
    if (name.size() < suffixLength ||
        name.compare(name.size() - suffixLength, suffixLength, kSuffix) != 0) {
        return false;
    }
    stem = name.substr(0, name.size() - suffixLength);
    return true;
}

bool ParseSavegameFileName(const std::string& name, unsigned int& savegameId) {
    std::string digits;
    unsigned long long value = 0;
    // 0xFFFFFFFF is no savegame's id.
    if (!SplitSavegameSuffix(name, digits) ||
        !ParseCanonicalDecimal(digits, 0xFFFFFFFEull, value)) {
        return false;
    }
    savegameId = static_cast<unsigned int>(value);
    return true;
}

std::string TemporaryFileName(unsigned int savegameId, unsigned long processId,
                              unsigned long long counter) {
    return SavegameFileName(savegameId) + "." + std::to_string(processId) + "-" +
           std::to_string(counter) + kTemporarySuffix;
}

bool ParseTemporaryFileName(const std::string& name, unsigned int& savegameId) {
    const std::size_t suffix = name.find(kSuffix);
    if (suffix == std::string::npos ||
        !ParseSavegameFileName(name.substr(0, suffix + sizeof kSuffix - 1), savegameId)) {
        return false;
    }
    const std::size_t tail = suffix + sizeof kSuffix - 1;
    const std::size_t temporaryLength = sizeof kTemporarySuffix - 1;
    if (name.size() < tail + 1 + temporaryLength || name[tail] != '.' ||
        name.compare(name.size() - temporaryLength, temporaryLength, kTemporarySuffix) != 0) {
        return false;
    }
    const std::vector<std::string> numbers =
        Split(name.substr(tail + 1, name.size() - temporaryLength - tail - 1), '-');
    unsigned long long value = 0;
    return numbers.size() == 2 && ParseCanonicalDecimal(numbers[0], ~0ull, value) &&
           ParseCanonicalDecimal(numbers[1], ~0ull, value);
}

void EncodeHeader(const SavegameFileHeader& header, unsigned char (&bytes)[kHeaderSize]) {
    std::memcpy(bytes, kMagic, sizeof kMagic);
    PutUInt32(&bytes[8], header.version);
    PutUInt32(&bytes[12], header.size);
    PutUInt32(&bytes[16], header.nameBytes);
    PutUInt32(&bytes[kChecksumOffset], header.checksum);
}

bool DecodeHeader(const unsigned char* bytes, SavegameFileHeader& header) {
    SavegameFileHeader decoded;
    decoded.version = GetUInt32(&bytes[8]);
    decoded.size = GetUInt32(&bytes[12]);
    decoded.nameBytes = GetUInt32(&bytes[16]);
    decoded.checksum = GetUInt32(&bytes[kChecksumOffset]);
    if (std::memcmp(bytes, kMagic, sizeof kMagic) != 0 || decoded.nameBytes > kMaxNameBytes ||
        (decoded.version != 1 && decoded.version != 2) ||
        (decoded.version == 1 && decoded.checksum != 0)) {
        return false;
    }
    header = decoded;
    return true;
}

unsigned long long FileSize(const SavegameFileHeader& header) {
    return kHeaderSize + static_cast<unsigned long long>(header.nameBytes) + header.size;
}

unsigned int FileChecksum(const SavegameFileHeader& header, const unsigned char* name,
                          unsigned int contentsCrc) {
    unsigned char bytes[kHeaderSize];
    EncodeHeader(header, bytes);
    const unsigned int front = Crc32c(name, header.nameBytes, Crc32c(bytes, kChecksumOffset));
    return Crc32cCombine(front, contentsCrc, header.size);
}

bool CheckNameAndChecksum(const SavegameFileHeader& header, const unsigned char* nameBytes,
                          unsigned int contentsCrc, Utf16Name& name) {
    if (header.version >= 2 && FileChecksum(header, nameBytes, contentsCrc) != header.checksum) {
        return false;
    }
    return NameFromUtf8(nameBytes, header.nameBytes, name);
}

std::vector<unsigned char> EncodeSavegameFile(unsigned int version, const Utf16Name& name,
                                              const unsigned char* contents, std::size_t size) {
    const std::string utf8 = NameToUtf8(name);
    SavegameFileHeader header;
    header.version = version;
    header.size = static_cast<unsigned int>(size);
    header.nameBytes = static_cast<unsigned int>(utf8.size());
    const auto* nameBytes = reinterpret_cast<const unsigned char*>(utf8.data());
    if (version >= 2) {
        header.checksum = FileChecksum(header, nameBytes, Crc32c(contents, size));
    }
    std::vector<unsigned char> file(kHeaderSize);
    unsigned char bytes[kHeaderSize];
    EncodeHeader(header, bytes);
    std::memcpy(file.data(), bytes, kHeaderSize);
    file.insert(file.end(), nameBytes, nameBytes + utf8.size());
    file.insert(file.end(), contents, contents + size);
    return file;
}

bool ParseSavegameFile(const unsigned char* bytes, std::size_t size, ParsedSavegameFile& parsed) {
    ParsedSavegameFile result;
    if (size < kHeaderSize || !DecodeHeader(bytes, result.header) ||
        FileSize(result.header) != size) {
        return false;
    }
    result.contentsOffset = kHeaderSize + result.header.nameBytes;
    const unsigned int contentsCrc = Crc32c(bytes + result.contentsOffset, result.header.size);
    if (!CheckNameAndChecksum(result.header, bytes + kHeaderSize, contentsCrc, result.name)) {
        return false;
    }
    parsed = std::move(result);
    return true;
}

}  // namespace qz::devservice
