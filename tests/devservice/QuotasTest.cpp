// Storage quotas at, below and above their limits: refused versions are never committed and
// the committed ones stay. Runs in a process of its own (CMakeLists.txt) with
// VYKARIS_DEVSERVICE_MAX_SAVEGAME_BYTES=100, VYKARIS_DEVSERVICE_MAX_PRODUCT_BYTES=250 and

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>

#include "DevGame.h"

namespace qz::devservice::test {
namespace {

unsigned int SizeOf(DevGame& game, unsigned int productId, unsigned int savegameId) {
    for (const Listed& listed : game.List(productId)) {
        if (listed.savegameId == savegameId) {
            return listed.size;
        }
    }
    return 0xFFFFFFFF;
}

TEST(Quotas, SavegameSizeAtTheLimitFitsOneMoreByteFails) {
    DevGame game;
    EXPECT_TRUE(game.Save(70, 1, Pattern(99, 1)));
    EXPECT_TRUE(game.Save(70, 2, Pattern(100, 2)));
    EXPECT_FALSE(game.Save(70, 3, Pattern(101, 3)));
    EXPECT_EQ(game.List(70).size(), 2u);

    // A replacement that passes the limit in its second write leaves the old version whole,
    // even when the game commits regardless.
    const Answer writer = game.OpenWriter(70, 1, true);
    ASSERT_EQ(writer.values[0], 0u);
    const Bytes data = Pattern(101, 4);
    EXPECT_EQ(game.Write(writer.writer, data.data(), 60), 60u);
    EXPECT_EQ(game.Write(writer.writer, data.data() + 60, 41), 0u);
    EXPECT_EQ(game.Write(writer.writer, data.data() + 60, 1), 0u) << "the writer stays failed";
    writer.writer->Close(true);
    Bytes loaded;
    ASSERT_TRUE(game.Load(70, 1, loaded));
    EXPECT_TRUE(loaded == Pattern(99, 1));
}

TEST(Quotas, ProductBytesCountEverySavegameButTheOneReplaced) {
    DevGame game;
    const unsigned int lastSizes[] = {49, 50, 51};
    for (unsigned int i = 0; i < 3; ++i) {
        const unsigned int productId = 71 + i;
        ASSERT_TRUE(game.Save(productId, 1, Pattern(100, 1)));
        ASSERT_TRUE(game.Save(productId, 2, Pattern(100, 2)));
        EXPECT_EQ(game.Save(productId, 3, Pattern(lastSizes[i], 3)), lastSizes[i] <= 50)
            << lastSizes[i];
    }
    EXPECT_EQ(game.List(73).size(), 2u);
    // Replacing a savegame counts its new size instead of the old one.
    EXPECT_TRUE(game.Save(72, 3, Pattern(50, 4)));
    EXPECT_FALSE(game.Save(72, 3, Pattern(51, 5)));
    EXPECT_EQ(SizeOf(game, 72, 3), 50u);
}

TEST(Quotas, SavegameCountRefusesTheWriterOfOneTooMany) {
    DevGame game;
    ASSERT_TRUE(game.Save(75, 1, Pattern(1, 1)));
    ASSERT_TRUE(game.Save(75, 2, Pattern(1, 2)));
    EXPECT_EQ(game.List(75).size(), 2u);
    ASSERT_TRUE(game.Save(75, 3, Pattern(1, 3)));
    const Answer refused = game.OpenWriter(75, 4, true);
    EXPECT_EQ(refused.values[0], 3u);
    refused.writer->Close(true);
    EXPECT_EQ(game.List(75).size(), 3u);
    EXPECT_TRUE(game.Save(75, 2, Pattern(5, 4))) << "a replacement adds no savegame";
    ASSERT_EQ(game.Remove(75, 1), 0u);
    EXPECT_TRUE(game.Save(75, 4, Pattern(1, 5)));
}

// Two writers of new savegames, both opened while there was room for one: the later commit
// would pass the count and is discarded. Close has no answer: the call log tells why, and why
// a request got a 3 (the scenario sets VYKARIS_DEVSERVICE_LOG).
TEST(Quotas, CommitChecksAgainstWhatOthersCommittedMeanwhile) {
    DevGame game;
    ASSERT_TRUE(game.Save(76, 1, Pattern(1, 1)));
    ASSERT_TRUE(game.Save(76, 2, Pattern(1, 2)));
    const Answer first = game.OpenWriter(76, 3, true);
    const Answer second = game.OpenWriter(76, 4, true);
    ASSERT_EQ(first.values[0], 0u);
    ASSERT_EQ(second.values[0], 0u);
    first.writer->Close(true);
    second.writer->Close(true);
    const std::vector<Listed> listed = game.List(76);
    ASSERT_EQ(listed.size(), 3u);
    EXPECT_EQ(listed[2].savegameId, 3u);

    EXPECT_EQ(game.OpenWriter(76, 5, true).values[0], 3u);
    const char* path = std::getenv("VYKARIS_DEVSERVICE_LOG");
    ASSERT_NE(path, nullptr);
    std::ifstream log(path);
    const std::string text((std::istreambuf_iterator<char>(log)), std::istreambuf_iterator<char>());
    for (const char* expected :
         {"\"productId\":76,\"savegameId\":3,\"outcome\":\"committed\"}",
          "\"productId\":76,\"savegameId\":4,\"outcome\":\"discarded\",\"reason\":\"quota",
          "\"result\":{\"code\":3,\"reason\":\"quota"}) {
        EXPECT_NE(text.find(expected), std::string::npos) << expected;
    }
}

}  // namespace
}  // namespace qz::devservice::test
