// Injected faults as the game sees them through the loader, and latencies of their own per
// kind of request. Each suite runs in a process of its own with the settings its comment
// names (CMakeLists.txt): fault rules count calls from the start of the process.

#include <gtest/gtest.h>

#include <algorithm>

#include "DevGame.h"

namespace qz::devservice::test {
namespace {

Answer Login(DevGame& game) {
    const unsigned int id = game.client.GetRequestUniqueId();
    game.client.GetLoginDetails(id, &game);
    return game.Await(id);
}

unsigned int Server(DevGame& game) {
    const unsigned int id = game.client.GetRequestUniqueId();
    game.client.GetVeltoServer(id, &game, 1, 2);
    return game.Await(id).values[0];
}

// VYKARIS_DEVSERVICE_FAULTS=login:1:7,server:2:never,traffic:1:never,list:1:3,reader:1:3,
//   writer:2:4,write:2:3,commit:2:3,read:2:3,remove:1:9,remove:3+:never
TEST(FaultsByCall, EveryKindFailsAtItsCallAndOnlyThere) {
    DevGame game;
    const Answer failedLogin = Login(game);
    EXPECT_EQ(failedLogin.values[0], 7u);
    EXPECT_EQ(failedLogin.values[1], 0u) << "no account with a failed login";
    EXPECT_EQ(Login(game).values[0], 0u);
    EXPECT_EQ(Login(game).values[1], 1u);

    EXPECT_EQ(Server(game), 0u);
    const unsigned int lostServer = game.client.GetRequestUniqueId();
    game.client.GetVeltoServer(lostServer, &game, 1, 2);
    EXPECT_FALSE(game.Arrives(lostServer, 20));
    EXPECT_EQ(Server(game), 0u);

    const unsigned int lostTraffic = game.client.GetRequestUniqueId();
    game.client.GetNetworkTraffic(lostTraffic, &game);
    EXPECT_FALSE(game.Arrives(lostTraffic, 8));

    // Writers: the first commits version 1, the second is refused, the third's second write
    // fails (and the writer with it), the fourth's commit fails and leaves version 1 in place.
    const Bytes first = Pattern(40, 1);
    ASSERT_TRUE(game.Save(60, 1, first, AsName("first")));
    EXPECT_EQ(game.OpenWriter(60, 1, true).values[0], 4u);
    const Answer third = game.OpenWriter(60, 1, true);
    ASSERT_EQ(third.values[0], 0u);
    const Bytes second = Pattern(40, 2);
    EXPECT_EQ(game.Write(third.writer, second.data(), 40), 0u) << "write 2 fails";
    EXPECT_EQ(game.Write(third.writer, second.data(), 40), 0u) << "the writer failed with it";
    third.writer->Close(false);
    EXPECT_TRUE(game.Save(60, 1, second, AsName("second")));

    EXPECT_TRUE(game.List(60).empty()) << "list 1 fails as an empty list";
    const std::vector<Listed> listed = game.List(60);
    ASSERT_EQ(listed.size(), 1u);
    EXPECT_EQ(listed[0].name, AsName("first")) << "the failed commit left version 1";

    EXPECT_EQ(game.OpenReader(60, 1).values[0], 3u);
    const Answer reader = game.OpenReader(60, 1);
    ASSERT_EQ(reader.values[0], 0u);
    unsigned char buffer[64] = {};
    EXPECT_EQ(game.Read(reader.reader, 0, buffer, 64), 40u);
    EXPECT_EQ(game.Read(reader.reader, 0, buffer, 64), 0u) << "read 2 fails";
    EXPECT_EQ(game.Read(reader.reader, 0, buffer, 64), 40u);
    EXPECT_TRUE(std::equal(first.begin(), first.end(), buffer));
    reader.reader->Close();

    EXPECT_EQ(game.Remove(60, 1), 9u);
    EXPECT_EQ(game.List(60).size(), 1u) << "a failed remove removes nothing";
    EXPECT_EQ(game.Remove(60, 1), 0u);
    for (int i = 0; i < 3; ++i) {
        const unsigned int lost = game.client.GetRequestUniqueId();
        game.client.RemoveSavegame(lost, &game, 60, 1);
        EXPECT_FALSE(game.Arrives(lost, 8)) << "remove 3 and every later one";
    }

    // Lost answers are requests all the same.
    const unsigned int traffic = game.client.GetRequestUniqueId();
    game.client.GetNetworkTraffic(traffic, &game);
    const Answer figures = game.Await(traffic);
    EXPECT_EQ(figures.values[2] - figures.values[3], 5u + 1u) << "5 lost, this one pending";
}

// VYKARIS_DEVSERVICE_FAULTS=writer:1:never,reader:1:never,read:1:never,write:1:never
TEST(FaultsNeverAnswered, LostOpensHoldNothingAndLostWritesFailTheirWriter) {
    DevGame game;
    const unsigned int lostWriter = game.client.GetRequestUniqueId();
    game.client.GetSavegameWriter(lostWriter, &game, 61, 1, true);
    EXPECT_FALSE(game.Arrives(lostWriter, 8));
    // The lost writer was never opened, so it does not keep the savegame in use.
    const Answer writer = game.OpenWriter(61, 1, true);
    ASSERT_EQ(writer.values[0], 0u);
    const Bytes data = Pattern(10, 3);
    const unsigned int lostWrite = game.client.GetRequestUniqueId();
    writer.writer->Write(lostWrite, &game, const_cast<unsigned char*>(data.data()), 10);
    EXPECT_FALSE(game.Arrives(lostWrite, 8));
    EXPECT_EQ(game.Write(writer.writer, data.data(), 10), 0u) << "the writer failed with it";
    writer.writer->Close(true);
    EXPECT_TRUE(game.List(61).empty()) << "a version with a lost write is never committed";
    ASSERT_TRUE(game.Save(61, 1, data));

    const unsigned int lostReader = game.client.GetRequestUniqueId();
    game.client.GetSavegameReader(lostReader, &game, 61, 1);
    EXPECT_FALSE(game.Arrives(lostReader, 8));
    const Answer reader = game.OpenReader(61, 1);
    ASSERT_EQ(reader.values[0], 0u);
    unsigned char buffer[10] = {};
    const unsigned int lostRead = game.client.GetRequestUniqueId();
    reader.reader->Read(lostRead, &game, 0, buffer, 10);
    EXPECT_FALSE(game.Arrives(lostRead, 8));
    EXPECT_EQ(game.Read(reader.reader, 0, buffer, 10), 10u);
    reader.reader->Close();
}

// VYKARIS_DEVSERVICE_FAULTS=login:p0.5@42:7,server:p1@1:5,remove:p0@1:3
TEST(FaultsByChance, FailAsOftenAsAskedAndNoMore) {
    DevGame game;
    int failed = 0;
    for (int i = 0; i < 200; ++i) {
        failed += Login(game).values[0] == 7 ? 1 : 0;
    }
    EXPECT_GT(failed, 70);
    EXPECT_LT(failed, 130);
    for (int i = 0; i < 20; ++i) {
        EXPECT_EQ(Server(game), 5u);
        EXPECT_EQ(game.Remove(62, 1), 1u) << "no such savegame, never the injected 3";
    }
}

// VYKARIS_DEVSERVICE_LATENCY=3,login:0,list:5
TEST(LatencyPerKind, FastKindsOvertakeSlowOnes) {
    DevGame game;
    const unsigned int list = game.client.GetRequestUniqueId();
    const unsigned int server = game.client.GetRequestUniqueId();
    const unsigned int login = game.client.GetRequestUniqueId();
    game.client.GetSavegameList(list, &game, 63);
    game.client.GetVeltoServer(server, &game, 1, 2);
    game.client.GetLoginDetails(login, &game);
    std::vector<unsigned int> arrivals;
    for (int update = 1; update <= 6; ++update) {
        const std::size_t before = game.answers.size();
        game.client.Update();
        for (std::size_t i = before; i < game.answers.size(); ++i) {
            arrivals.push_back(game.answers[i].requestId * 10 + update);
        }
    }
    EXPECT_EQ(arrivals,
              (std::vector<unsigned int>{login * 10 + 1, server * 10 + 4, list * 10 + 6}));
}

}  // namespace
}  // namespace qz::devservice::test
