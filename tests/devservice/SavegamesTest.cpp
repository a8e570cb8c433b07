// Savegames written, read back, renamed, replaced and removed, and the bad input the service
// must survive without losing a committed savegame.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "DevGame.h"

namespace qz::devservice::test {
namespace {

Bytes ReadRawFile(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

std::string ProductDirectory(unsigned int productId) {
    return (std::filesystem::path(StorageDirectory()) / std::to_string(productId)).string();
}

TEST(Savegames, RoundTripEverySizeByteForByte) {
    DevGame game;
    const std::size_t sizes[] = {0, 1, 4095, 4096, 4097, 8192, 3 * 1024 * 1024 + 7};
    unsigned int savegameId = 0;
    for (const std::size_t size : sizes) {
        const Bytes data = Pattern(size, savegameId);
        // Odd chunks make the appends cross every boundary.
        ASSERT_TRUE(game.Save(20, savegameId, data, {}, 1000 + savegameId)) << size;
        Bytes loaded;
        ASSERT_TRUE(game.Load(20, savegameId, loaded)) << size;
        EXPECT_TRUE(loaded == data) << "size " << size;
        ++savegameId;
    }
    const std::vector<Listed> listed = game.List(20);
    ASSERT_EQ(listed.size(), std::size(sizes));
    for (std::size_t i = 0; i < listed.size(); ++i) {
        EXPECT_EQ(listed[i].size, sizes[i]);
    }
}

TEST(Savegames, ReadsAtAndPastTheEnd) {
    DevGame game;
    const Bytes data = Pattern(100, 7);
    ASSERT_TRUE(game.Save(21, 1, data));
    const Answer opened = game.OpenReader(21, 1);
    veltoclient::SavegameReader* reader = opened.reader;
    unsigned char buffer[128] = {};
    EXPECT_EQ(game.Read(reader, 90, buffer, 20), 10u);
    EXPECT_TRUE(std::equal(buffer, buffer + 10, data.begin() + 90));
    EXPECT_EQ(game.Read(reader, 99, buffer, 1), 1u);
    EXPECT_EQ(buffer[0], data[99]);
    EXPECT_EQ(game.Read(reader, 100, buffer, 20), 0u);
    EXPECT_EQ(game.Read(reader, 0xFFFFFFFF, buffer, 0xFFFFFFFF), 0u);
    EXPECT_EQ(game.Read(reader, 0, buffer, 0), 0u);
    // An absurd size copies no more than the savegame holds.
    EXPECT_EQ(game.Read(reader, 0, buffer, 0xFFFFFFFF), 100u);
    EXPECT_EQ(game.Read(reader, 0, nullptr, 10), 0u);
    reader->Close();
    EXPECT_EQ(game.Read(reader, 0, buffer, 10), 0u);
    reader->Close();
}

TEST(Savegames, RenameReplaceAndRemove) {
    DevGame game;
    ASSERT_TRUE(game.Save(22, 1, Pattern(50, 1), AsName("first")));
    ASSERT_TRUE(game.Save(22, 1, Pattern(60, 2), AsName("second")));
    std::vector<Listed> listed = game.List(22);
    ASSERT_EQ(listed.size(), 1u);
    EXPECT_EQ(listed[0].name, AsName("second"));
    EXPECT_EQ(listed[0].size, 60u);

    // A replacement without a name of its own keeps the committed one.
    ASSERT_TRUE(game.Save(22, 1, Pattern(70, 3)));
    listed = game.List(22);
    ASSERT_EQ(listed.size(), 1u);
    EXPECT_EQ(listed[0].name, AsName("second"));
    Bytes loaded;
    ASSERT_TRUE(game.Load(22, 1, loaded));
    EXPECT_TRUE(loaded == Pattern(70, 3));

    EXPECT_EQ(game.Remove(22, 1), 0u);
    EXPECT_TRUE(game.List(22).empty());
    EXPECT_FALSE(game.Load(22, 1, loaded));
}

TEST(Savegames, DiscardKeepsTheCommittedVersion) {
    DevGame game;
    const Bytes old = Pattern(5000, 1);
    ASSERT_TRUE(game.Save(23, 1, old, AsName("old")));
    const Answer opened = game.OpenWriter(23, 1, true);
    ASSERT_EQ(opened.values[0], 0u);
    EXPECT_TRUE(opened.writer->SetName(Terminated(AsName("new")).data()));
    const Bytes fresh = Pattern(9000, 2);
    EXPECT_EQ(game.Write(opened.writer, fresh.data(), 9000), 9000u);
    opened.writer->Close(false);
    opened.writer->Close(true);  // a second Close does nothing
    EXPECT_EQ(game.Write(opened.writer, fresh.data(), 10), 0u);

    Bytes loaded;
    ASSERT_TRUE(game.Load(23, 1, loaded));
    EXPECT_TRUE(loaded == old);
    const std::vector<Listed> listed = game.List(23);
    ASSERT_EQ(listed.size(), 1u);
    EXPECT_EQ(listed[0].name, AsName("old"));

    // A new savegame discarded never appears.
    const Answer never = game.OpenWriter(23, 2, false);
    EXPECT_EQ(game.Write(never.writer, fresh.data(), 10), 10u);
    never.writer->Close(false);
    EXPECT_EQ(game.List(23).size(), 1u);
}

TEST(Savegames, NothingIsVisibleBeforeTheCommit) {
    DevGame game;
    ASSERT_TRUE(game.Save(24, 1, Pattern(10, 1)));
    const Answer opened = game.OpenWriter(24, 1, true);
    const Bytes fresh = Pattern(20, 2);
    EXPECT_EQ(game.Write(opened.writer, fresh.data(), 20), 20u);
    Bytes loaded;
    ASSERT_TRUE(game.Load(24, 1, loaded));
    EXPECT_TRUE(loaded == Pattern(10, 1));
    EXPECT_EQ(game.List(24)[0].size, 10u);
    opened.writer->Close(true);
    ASSERT_TRUE(game.Load(24, 1, loaded));
    EXPECT_TRUE(loaded == fresh);
}

TEST(Savegames, TwoWritersOnOneSavegame) {
    DevGame game;
    DevGame other;
    const Answer first = game.OpenWriter(25, 1, false);
    ASSERT_EQ(first.values[0], 0u);
    const Answer second = other.OpenWriter(25, 1, true);
    EXPECT_EQ(second.values[0], 4u);
    EXPECT_EQ(other.OpenWriter(25, 2, false).values[0], 0u) << "another savegame is free";
    const Bytes data = Pattern(10, 1);
    EXPECT_EQ(game.Write(first.writer, data.data(), 10), 10u);
    first.writer->Close(true);
    const Answer third = other.OpenWriter(25, 1, true);
    ASSERT_EQ(third.values[0], 0u);
    third.writer->Close(false);
    Bytes loaded;
    ASSERT_TRUE(game.Load(25, 1, loaded));
    EXPECT_TRUE(loaded == data);
}

TEST(Savegames, OpenReadersKeepWhatTheyOpened) {
    DevGame game;
    const Bytes old = Pattern(3000, 1);
    ASSERT_TRUE(game.Save(26, 1, old));
    const Answer before = game.OpenReader(26, 1);
    ASSERT_TRUE(game.Save(26, 1, Pattern(10, 2)));
    const Answer between = game.OpenReader(26, 1);
    ASSERT_EQ(game.Remove(26, 1), 0u);
    Bytes buffer(4000);
    EXPECT_EQ(game.Read(before.reader, 0, buffer.data(), 4000), 3000u);
    EXPECT_TRUE(std::equal(old.begin(), old.end(), buffer.begin()));
    EXPECT_EQ(game.Read(between.reader, 0, buffer.data(), 4000), 10u);
}

TEST(Savegames, NamesMustBeWellFormedUtf16OfAtMost255Units) {
    DevGame game;
    const Answer opened = game.OpenWriter(27, 1, false);
    veltoclient::SavegameWriter* writer = opened.writer;
    ASSERT_TRUE(writer->SetName(Terminated(AsName("kept")).data()));

    unsigned short empty[] = {0};
    unsigned short loneHigh[] = {'a', 0xD800, 'b', 0};
    unsigned short loneLow[] = {0xDC00, 0};
    unsigned short reversed[] = {0xDC00, 0xD800, 0};
    unsigned short highAtEnd[] = {'a', 0xDBFF, 0};
    Name tooLong(256, 'x');
    tooLong.push_back(0);
    EXPECT_FALSE(writer->SetName(nullptr));
    EXPECT_FALSE(writer->SetName(empty));
    EXPECT_FALSE(writer->SetName(loneHigh));
    EXPECT_FALSE(writer->SetName(loneLow));
    EXPECT_FALSE(writer->SetName(reversed));
    EXPECT_FALSE(writer->SetName(highAtEnd));
    EXPECT_FALSE(writer->SetName(tooLong.data()));
    writer->Close(true);
    std::vector<Listed> listed = game.List(27);
    ASSERT_EQ(listed.size(), 1u);
    EXPECT_EQ(listed[0].name, AsName("kept"));

    // The longest name, pairs and the last code points survive the round trip through UTF-8.
    Name longest(255, 0x00E9);
    const Name unusual = {0xD83D, 0xDE00, 0xDBFF, 0xDFFF, 0xFFFF, 0x0800, 0x07FF, 'z'};
    const Name accepted[] = {longest, unusual};
    unsigned int savegameId = 2;
    for (const Name& name : accepted) {
        ASSERT_TRUE(game.Save(27, savegameId++, Pattern(1, 1), name));
    }
    listed = game.List(27);
    ASSERT_EQ(listed.size(), 3u);
    EXPECT_EQ(listed[1].name, longest);
    EXPECT_EQ(listed[2].name, unusual);
}

TEST(Savegames, AbsurdSizesAndNullBuffersWriteNothing) {
    DevGame game;
    const Answer opened = game.OpenWriter(28, 1, false);
    const Bytes data = Pattern(16, 1);
    EXPECT_EQ(game.Write(opened.writer, nullptr, 16), 0u);
    EXPECT_EQ(game.Write(opened.writer, data.data(), 16), 16u);
    // Passing 0xFFFFFFFF bytes in all is refused before the buffer is touched.
    EXPECT_EQ(game.Write(opened.writer, data.data(), 0xFFFFFFFF), 0u);
    EXPECT_EQ(game.Write(opened.writer, data.data(), 0xFFFFFFF0), 0u);
    EXPECT_EQ(game.Write(opened.writer, data.data(), 0), 0u);
    opened.writer->Close(true);
    Bytes loaded;
    ASSERT_TRUE(game.Load(28, 1, loaded));
    EXPECT_TRUE(loaded == data);
}

TEST(Savegames, DamagedAndForeignFilesAreNotSavegames) {
    DevGame game;
    const Bytes data = Pattern(64, 1);
    ASSERT_TRUE(game.Save(29, 1, data, AsName("good")));
    const Bytes good = ReadRawFile(SavegamePath(29, 1));
    ASSERT_EQ(good.size(), 24u + 4u + 64u);

    const std::string directory = ProductDirectory(29);
    Bytes truncated(good.begin(), good.end() - 1);
    Bytes longer = good;
    longer.push_back(0);
    Bytes badMagic = good;
    badMagic[0] = 'X';
    Bytes badName = good;
    badName[24] = 0xFF;
    Bytes hugeName = good;
    hugeName[19] = 0x7F;
    WriteRawFile(directory, "2.vsg", truncated);
    WriteRawFile(directory, "3.vsg", longer);
    WriteRawFile(directory, "4.vsg", badMagic);
    WriteRawFile(directory, "5.vsg", badName);
    WriteRawFile(directory, "6.vsg", hugeName);
    WriteRawFile(directory, "7.vsg", Bytes());
    WriteRawFile(directory, "07.vsg", good);
    WriteRawFile(directory, "4294967295.vsg", good);
    WriteRawFile(directory, "99999999999.vsg", good);
    WriteRawFile(directory, "8.vsg.123-1.tmp", good);
    WriteRawFile(directory, "notes.txt", good);
    std::filesystem::create_directories(std::filesystem::path(directory) / "9.vsg");

    const std::vector<Listed> listed = game.List(29);
    ASSERT_EQ(listed.size(), 1u);
    EXPECT_EQ(listed[0].savegameId, 1u);
    for (unsigned int damaged = 2; damaged <= 9; ++damaged) {
        EXPECT_EQ(game.OpenReader(29, damaged).values[0], 1u) << damaged;
        EXPECT_EQ(game.Remove(29, damaged), 1u) << damaged;
    }
    // Files the service does not understand are left alone.
    EXPECT_TRUE(ReadRawFile((std::filesystem::path(directory) / "4.vsg").string()) == badMagic);
    // A damaged savegame may be written over.
    ASSERT_TRUE(game.Save(29, 2, data));
    Bytes loaded;
    ASSERT_TRUE(game.Load(29, 1, loaded));
    EXPECT_TRUE(loaded == data);
    ASSERT_TRUE(game.Load(29, 2, loaded));
    EXPECT_TRUE(loaded == data);
}

TEST(Savegames, LayoutIsAsDocumented) {
    DevGame game;
    ASSERT_TRUE(game.Save(30, 12, Bytes{0xAB, 0xCD}, Name{'N', 0x00E9}));
    const Bytes file = ReadRawFile(SavegamePath(30, 12));
    // Version 2; the last header word is the CRC-32C of the rest of the file.
    const Bytes expected = {'V', 'Y', 'K', 'D', 'E', 'V',  'S',  'G',  2,   0,
                            0,   0,   2,   0,   0,   0,    3,    0,    0,   0,
                            198, 176, 125, 204, 'N', 0xC3, 0xA9, 0xAB, 0xCD};
    EXPECT_TRUE(file == expected);
}

}  // namespace
}  // namespace qz::devservice::test
