// The answer of every request kind, with every result code but the storage failure (which
// needs a storage directory of its own, StorageFailureTest.cpp).

#include <gtest/gtest.h>

#include "DevGame.h"

namespace qz::devservice::test {
namespace {

TEST(Answers, AccountServerLauncherAndTextAreFixed) {
    DevGame game;
    ASSERT_EQ(game.client.GetInstallationErrorNum(), 0u);
    const unsigned int login = game.client.GetRequestUniqueId();
    game.client.GetLoginDetails(login, &game);
    const Answer account = game.Await(login);
    EXPECT_EQ(account.kind, Kind::kLogin);
    EXPECT_EQ(account.values[0], 0u);
    EXPECT_EQ(account.values[1], 1u);
    EXPECT_EQ(account.values[2], 0u);

    const unsigned int server = game.client.GetRequestUniqueId();
    game.client.GetVeltoServer(server, &game, 7, 9);
    EXPECT_EQ(game.Await(server).values[0], 0u);

    EXPECT_FALSE(game.client.StartLauncher(1, 2, "game", "arguments"));
    const unsigned short text[] = {'H', 'i', 0};
    EXPECT_EQ(game.client.GetLocText(text, "de-DE"), text);
}

TEST(Answers, RequestIdsAreUniqueAndSessionsSeparate) {
    DevGame first;
    DevGame second;
    unsigned int previous = 0;
    for (int i = 0; i < 100; ++i) {
        const unsigned int id = (i % 2 == 0 ? first : second).client.GetRequestUniqueId();
        EXPECT_GT(id, previous);
        EXPECT_NE(id, 0xFFFFFFFFu);
        previous = id;
    }
    // An answer belongs to the session that asked: the other session's Update leaves it.
    const unsigned int id = first.client.GetRequestUniqueId();
    first.client.GetLoginDetails(id, &first);
    second.client.Update();
    EXPECT_TRUE(first.answers.empty());
    first.client.Update();
    EXPECT_EQ(first.answers.size(), 1u);
}

TEST(Answers, TrafficCountsContentsRequestsAndAnswers) {
    DevGame game;
    ASSERT_TRUE(game.Save(11, 1, Pattern(10, 1), AsName("ten bytes")));  // 2 requests
    const Answer reader = game.OpenReader(11, 1);
    unsigned char buffer[4];
    EXPECT_EQ(game.Read(reader.reader, 6, buffer, 4), 4u);
    EXPECT_EQ(game.Read(reader.reader, 10, buffer, 4), 0u);
    reader.reader->Close();
    const unsigned int id = game.client.GetRequestUniqueId();
    game.client.GetNetworkTraffic(id, &game);
    const Answer traffic = game.Await(id);
    EXPECT_EQ(traffic.values[0], 4u);   // read
    EXPECT_EQ(traffic.values[1], 10u);  // written: contents only, not the name
    EXPECT_EQ(traffic.values[2], 6u);   // requests, this one included
    EXPECT_EQ(traffic.values[3], 5u);   // answers delivered before this one
}

TEST(Answers, WriterResultCodes) {
    DevGame game;
    const Answer created = game.OpenWriter(12, 1, false);
    EXPECT_EQ(created.values[0], 0u);
    EXPECT_EQ(game.OpenWriter(12, 1, true).values[0], 4u) << "a second writer";
    created.writer->Close(true);
    EXPECT_EQ(game.OpenWriter(12, 1, false).values[0], 5u) << "exists, no overwrite";
    const Answer replacing = game.OpenWriter(12, 1, true);
    EXPECT_EQ(replacing.values[0], 0u);
    replacing.writer->Close(false);
    EXPECT_EQ(game.OpenWriter(12, 0xFFFFFFFF, true).values[0], 2u);
    EXPECT_EQ(game.OpenWriter(12, 0xFFFFFFFF, false).values[0], 2u);
}

TEST(Answers, ReaderAndRemoveResultCodes) {
    DevGame game;
    ASSERT_TRUE(game.Save(13, 4, Pattern(3, 4)));
    EXPECT_EQ(game.OpenReader(13, 4).values[0], 0u);
    EXPECT_EQ(game.OpenReader(13, 5).values[0], 1u);
    EXPECT_EQ(game.OpenReader(99913, 4).values[0], 1u) << "a product without savegames";
    EXPECT_EQ(game.OpenReader(13, 0xFFFFFFFF).values[0], 2u);
    EXPECT_EQ(game.Remove(13, 5), 1u);
    EXPECT_EQ(game.Remove(13, 0xFFFFFFFF), 2u);
    EXPECT_EQ(game.Remove(13, 4), 0u);
    EXPECT_EQ(game.Remove(13, 4), 1u);
    EXPECT_EQ(game.OpenReader(13, 4).values[0], 1u);
}

TEST(Answers, FailedOpensDeliverInertHandles) {
    DevGame game;
    const Answer reader = game.OpenReader(14, 1);
    ASSERT_EQ(reader.values[0], 1u);
    ASSERT_NE(reader.reader, nullptr);
    unsigned char buffer[8];
    reader.reader->Read(game.client.GetRequestUniqueId(), &game, 0, buffer, sizeof buffer);
    reader.reader->Close();
    const Answer writer = game.OpenWriter(14, 0xFFFFFFFF, true);
    ASSERT_EQ(writer.values[0], 2u);
    ASSERT_NE(writer.writer, nullptr);
    EXPECT_FALSE(writer.writer->SetName(Terminated(AsName("x")).data()));
    writer.writer->Close(true);
    game.client.Update();
    EXPECT_EQ(game.answers.size(), 2u) << "no read answer for a reader that does not exist";
    EXPECT_TRUE(game.List(14).empty());
}

TEST(Answers, ListIsAscendingAndRecordsDescribeTheSavegamesAsListed) {
    DevGame game;
    ASSERT_TRUE(game.Save(15, 30, Pattern(30, 1), AsName("thirty")));
    ASSERT_TRUE(game.Save(15, 2, Pattern(2, 2), AsName("two")));
    ASSERT_TRUE(game.Save(15, 17, Pattern(17, 3)));
    ASSERT_TRUE(game.Save(16, 1, Pattern(1, 4)));
    const unsigned int id = game.client.GetRequestUniqueId();
    game.client.GetSavegameList(id, &game, 15);
    const Answer listed = game.Await(id);
    ASSERT_EQ(listed.values[0], 3u);

    // Later changes leave the records of this answer as they were.
    ASSERT_TRUE(game.Save(15, 2, Pattern(200, 5), AsName("changed")));
    ASSERT_EQ(game.Remove(15, 30), 0u);
    const unsigned int ids[] = {2, 17, 30};
    const unsigned int sizes[] = {2, 17, 30};
    const Name names[] = {AsName("two"), Name{}, AsName("thirty")};
    for (unsigned int i = 0; i < 3; ++i) {
        veltoclient::SavegameInfo& info = listed.savegames[i];
        EXPECT_EQ(info.GetProductId(), 15u);
        EXPECT_EQ(info.GetSavegameId(), ids[i]);
        EXPECT_EQ(info.GetSize(), sizes[i]);
        Name name;
        for (const unsigned short* unit = info.GetName(); *unit != 0; ++unit) {
            name.push_back(*unit);
        }
        EXPECT_EQ(name, names[i]);
    }
    const std::vector<Listed> now = game.List(15);
    ASSERT_EQ(now.size(), 2u);
    EXPECT_EQ(now[0].size, 200u);
    EXPECT_EQ(now[0].name, AsName("changed"));
}

TEST(Answers, EmptyListHasAnAddress) {
    DevGame game;
    const unsigned int id = game.client.GetRequestUniqueId();
    game.client.GetSavegameList(id, &game, 17);
    const Answer listed = game.Await(id);
    EXPECT_EQ(listed.values[0], 0u);
    EXPECT_NE(listed.savegames, nullptr);
}

}  // namespace
}  // namespace qz::devservice::test
