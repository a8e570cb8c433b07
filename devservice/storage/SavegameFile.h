#pragma once

// The savegame file format, its only definition: what the service commits, lists and reads,
// and what the storage tool exports and imports. Numbers are little endian:
//
//   offset  size  contents
//   0       8     "VYKDEVSG"
//   8       4     format version: 2 (1 is still read)
//   12      4     size of the contents in bytes
//   16      4     length of the name in UTF-8 bytes (0 to 765; 0: no name)
//   20      4     version 2: CRC-32C of bytes 0 to 19, the name and the contents; version 1: 0
//   24      n     the name, strict UTF-8, no terminator
//   24 + n  size  the contents

#include <cstddef>
#include <string>
#include <vector>

#include "storage/SavegameName.h"

namespace qz::devservice {

constexpr std::size_t kHeaderSize = 24;
/// The version every commit writes.
constexpr unsigned int kCurrentVersion = 2;

/// The fixed words at the start of a savegame file.
struct SavegameFileHeader {
    unsigned int version = kCurrentVersion;
    unsigned int size = 0;
    unsigned int nameBytes = 0;
    unsigned int checksum = 0;
};

/// "<savegame id>.vsg", decimal without leading zeros: the only name of a savegame's file.
std::string SavegameFileName(unsigned int savegameId);
/// The id of a file named exactly as SavegameFileName makes them; false for every other name.
bool ParseSavegameFileName(const std::string& name, unsigned int& savegameId);

/// What precedes ".vsg" in `name`; false when it does not end so.
bool SplitSavegameSuffix(const std::string& name, std::string& stem);

/// "<savegame id>.vsg.<process id>-<n>.tmp": a version being written.
std::string TemporaryFileName(unsigned int savegameId, unsigned long processId,
                              unsigned long long counter);
/// The savegame of a name of exactly the form TemporaryFileName makes; false for any other.
bool ParseTemporaryFileName(const std::string& name, unsigned int& savegameId);

/// The 24 bytes of `header`.
void EncodeHeader(const SavegameFileHeader& header, unsigned char (&bytes)[kHeaderSize]);
/// Reads the 24 bytes at `bytes`: the magic, a known version, a name that fits, and version
/// 1's zero word; false for anything else.
bool DecodeHeader(const unsigned char* bytes, SavegameFileHeader& header);
/// The size of the whole file the header describes.
unsigned long long FileSize(const SavegameFileHeader& header);

/// The checksum of a version 2 file from its header's other words, its name and the CRC-32C
/// of its contents.
unsigned int FileChecksum(const SavegameFileHeader& header, const unsigned char* name,
                          unsigned int contentsCrc);
/// Checks the name and, for version 2, the checksum; decodes the name into `name`.
bool CheckNameAndChecksum(const SavegameFileHeader& header, const unsigned char* nameBytes,
                          unsigned int contentsCrc, Utf16Name& name);

/// A whole file of `version` (1 or 2) for a well-formed name and the contents.
std::vector<unsigned char> EncodeSavegameFile(unsigned int version, const Utf16Name& name,
                                              const unsigned char* contents, std::size_t size);

/// A whole file checked as the storage checks it.
struct ParsedSavegameFile {
    SavegameFileHeader header;
    Utf16Name name{0};
    /// Where the contents start within the file.
    std::size_t contentsOffset = 0;
};
/// Parses a complete file in memory; false for anything that is not a savegame file.
bool ParseSavegameFile(const unsigned char* bytes, std::size_t size, ParsedSavegameFile& parsed);

}  // namespace qz::devservice
