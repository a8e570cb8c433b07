// The savegame file format in memory: checksums, names of files, and what parsing accepts.

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "storage/Crc32c.h"
#include "storage/SavegameFile.h"

namespace qz::devservice {
namespace {

using Bytes = std::vector<unsigned char>;

Bytes AsBytes(const std::string& text) {
    return Bytes(text.begin(), text.end());
}

TEST(Crc32c, KnownValuesAndCombination) {
    const struct {
        const char* text;
        unsigned int crc;
    } cases[] = {
        {"", 0x00000000},
        {"a", 0xC1D04330},
        {"123456789", 0xE3069283},
        {"The quick brown fox jumps over the lazy dog", 0x22620404},
    };
    for (const auto& c : cases) {
        const std::string text = c.text;
        EXPECT_EQ(Crc32c(text.data(), text.size()), c.crc) << text;
        EXPECT_EQ(Crc32cPortable(text.data(), text.size()), c.crc) << text;
        // Any split: continued, and combined from its two halves.
        for (std::size_t split = 0; split <= text.size(); ++split) {
            const unsigned int front = Crc32c(text.data(), split);
            const unsigned int back = Crc32c(text.data() + split, text.size() - split);
            EXPECT_EQ(Crc32c(text.data() + split, text.size() - split, front), c.crc);
            EXPECT_EQ(Crc32cPortable(text.data() + split, text.size() - split, front), c.crc);
            EXPECT_EQ(Crc32cCombine(front, back, text.size() - split), c.crc) << split;
        }
    }
}

// The processor's instruction and the table agree at every length and alignment.
TEST(Crc32c, BothWaysAgree) {
    Bytes data(64 * 1024 + 8);
    unsigned int state = 1;
    for (unsigned char& byte : data) {
        state = state * 1103515245u + 12345u;
        byte = static_cast<unsigned char>(state >> 24);
    }
    for (std::size_t start = 0; start < 8; ++start) {
        for (std::size_t size = 0; size < 80; ++size) {
            EXPECT_EQ(Crc32c(&data[start], size, 7), Crc32cPortable(&data[start], size, 7));
        }
    }
    // Long runs go in stripes computed side by side: around their rounds too.
    for (std::size_t size : {12287, 12288, 12289, 24583, 40000, 64 * 1024}) {
        for (std::size_t start = 0; start < 8; start += 3) {
            EXPECT_EQ(Crc32c(&data[start], size, 7), Crc32cPortable(&data[start], size, 7)) << size;
        }
    }
    // Joined across long contents too, whose lengths set many bits.
    for (std::size_t back : {255, 4097, 40000, 64 * 1024}) {
        EXPECT_EQ(Crc32cCombine(Crc32c(data.data(), 8), Crc32c(&data[8], back), back),
                  Crc32c(data.data(), 8 + back))
            << back;
    }
}

TEST(SavegameFile, NamesOfFiles) {
    const struct {
        const char* name;
        bool savegame;
        bool temporary;
    } cases[] = {
        {"0.vsg", true, false},           {"4294967294.vsg", true, false},
        {"4294967295.vsg", false, false},  // the loader's "no value"
        {"01.vsg", false, false},         {"1.VSG", false, false},
        {".vsg", false, false},           {"notes.vsg", false, false},
        {"1.vsg.5-1.tmp", false, true},   {"1.vsg.5-1.tmp~", false, false},
        {"1.vsg.5.tmp", false, false},    {"01.vsg.5-1.tmp", false, false},
        {"1.vsg.-1.tmp", false, false},   {"x.vsg.5-1.tmp", false, false},
        {"notes.tmp", false, false},
    };
    for (const auto& c : cases) {
        unsigned int id = 0;
        EXPECT_EQ(ParseSavegameFileName(c.name, id), c.savegame) << c.name;
        EXPECT_EQ(ParseTemporaryFileName(c.name, id), c.temporary) << c.name;
    }
    unsigned int id = 0;
    ASSERT_TRUE(ParseSavegameFileName(SavegameFileName(77), id));
    EXPECT_EQ(id, 77u);
    id = 0;
    EXPECT_TRUE(ParseTemporaryFileName(TemporaryFileName(77, 123, 9), id));
    EXPECT_EQ(id, 77u);
}

TEST(SavegameFile, WhatIsEncodedParsesBackAndEveryChangedByteIsRefused) {
    const Bytes contents = AsBytes("contents of a savegame");
    const Utf16Name names[] = {{0}, {'s', 0xE9, 'v', 0xD83D, 0xDE00, 0}};
    for (const unsigned int version : {1u, 2u}) {
        for (const Utf16Name& name : names) {
            const Bytes file = EncodeSavegameFile(version, name, contents.data(), contents.size());
            ParsedSavegameFile parsed;
            ASSERT_TRUE(ParseSavegameFile(file.data(), file.size(), parsed));
            EXPECT_EQ(parsed.header.version, version);
            EXPECT_EQ(parsed.name, name);
            EXPECT_EQ(Bytes(file.begin() + static_cast<std::ptrdiff_t>(parsed.contentsOffset),
                            file.end()),
                      contents);
            // Version 2 sees every flipped bit; version 1 only those of the header.
            for (std::size_t at = 0; at < file.size(); ++at) {
                if (version == 1 && at >= kHeaderSize && at < parsed.contentsOffset) {
                    continue;  // a changed name may still be well-formed UTF-8
                }
                Bytes damaged = file;
                damaged[at] ^= 0x10;
                const bool caught = version == 2 || at < kHeaderSize;
                EXPECT_NE(ParseSavegameFile(damaged.data(), damaged.size(), parsed), caught)
                    << "version " << version << ", byte " << at;
            }
            for (std::size_t size = 0; size < file.size(); ++size) {
                EXPECT_FALSE(ParseSavegameFile(file.data(), size, parsed)) << size;
            }
        }
    }
}

TEST(SavegameFile, HeadersThatAreRefused) {
    const Bytes good = EncodeSavegameFile(2, {'a', 0}, nullptr, 0);
    const struct {
        std::size_t offset;
        unsigned char value;
        const char* what;
    } cases[] = {
        {0, 'v', "magic"},
        {8, 3, "an unknown version"},
        {8, 0, "version 0"},
        {17, 3, "a name longer than 765 bytes"},
    };
    for (const auto& c : cases) {
        Bytes file = good;
        file[c.offset] = c.value;
        SavegameFileHeader header;
        EXPECT_FALSE(DecodeHeader(file.data(), header)) << c.what;
    }
    // Version 1 has no checksum: its word must be 0.
    Bytes old = EncodeSavegameFile(1, {'a', 0}, nullptr, 0);
    SavegameFileHeader header;
    EXPECT_TRUE(DecodeHeader(old.data(), header));
    old[20] = 1;
    EXPECT_FALSE(DecodeHeader(old.data(), header));
}

}  // namespace
}  // namespace qz::devservice
