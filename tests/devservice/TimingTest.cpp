// When answers arrive: each suite runs in a process of its own with the settings it names
// (CMakeLists.txt), since the service reads them once per process.

#include <gtest/gtest.h>

#include <string>

#include "DevGame.h"

namespace qz::devservice::test {
namespace {

// Asks for login details again from inside its answer, as a game's callback may.
class Reasker : public veltoclient::IGetLoginDetailsListener {
public:
    explicit Reasker(veltoclient::VeltoClient& client) : client(client) {}

    void OnGetLoginDetails(unsigned int requestId, unsigned int, unsigned int,
                           unsigned int) override {
        answered.push_back(requestId);
        if (answered.size() == 1) {
            client.GetLoginDetails(client.GetRequestUniqueId(), this);
        }
    }

    veltoclient::VeltoClient& client;
    std::vector<unsigned int> answered;
};

// Makes one request of every kind that has a session-side listener, in a fixed order.
std::vector<unsigned int> RequestEveryKind(DevGame& game) {
    std::vector<unsigned int> ids;
    for (int i = 0; i < 7; ++i) {
        ids.push_back(game.client.GetRequestUniqueId());
    }
    game.client.GetNetworkTraffic(ids[0], &game);
    game.client.RemoveSavegame(ids[1], &game, 40, 1);
    game.client.GetSavegameList(ids[2], &game, 40);
    game.client.GetSavegameWriter(ids[3], &game, 40, 1, true);
    game.client.GetSavegameReader(ids[4], &game, 40, 1);
    game.client.GetVeltoServer(ids[5], &game, 1, 2);
    game.client.GetLoginDetails(ids[6], &game);
    return ids;
}

// The writer of RequestEveryKind, once answered, is closed without committing.
void CloseWriters(DevGame& game) {
    for (const Answer& answer : game.answers) {
        if (answer.writer != nullptr) {
            answer.writer->Close(false);
        }
    }
}

std::vector<unsigned int> AnsweredIds(const DevGame& game) {
    std::vector<unsigned int> ids;
    for (const Answer& answer : game.answers) {
        ids.push_back(answer.requestId);
    }
    return ids;
}

TEST(Timing, NothingBeforeUpdateThenAllInRequestOrder) {
    DevGame game;
    const std::vector<unsigned int> ids = RequestEveryKind(game);
    EXPECT_TRUE(game.answers.empty());
    game.client.Update();
    EXPECT_EQ(AnsweredIds(game), ids);
    game.client.Update();
    EXPECT_EQ(game.answers.size(), ids.size());
    CloseWriters(game);
}

TEST(Timing, ReadAndWriteAnswersWaitForTheirSessionsUpdate) {
    DevGame game;
    const Answer opened = game.OpenWriter(41, 1, false);
    const Bytes data = Pattern(8, 1);
    const std::size_t before = game.answers.size();
    opened.writer->Write(77, &game, const_cast<unsigned char*>(data.data()), 8);
    EXPECT_EQ(game.answers.size(), before);
    opened.writer->Close(true);
    game.client.Update();
    ASSERT_EQ(game.answers.size(), before + 1);
    EXPECT_EQ(game.answers.back().values[0], 8u);
}

TEST(Timing, AnswersAskedForDuringUpdateWaitForTheNextCall) {
    DevGame game;
    Reasker reasker(game.client);
    game.client.GetLoginDetails(game.client.GetRequestUniqueId(), &reasker);
    game.client.Update();
    EXPECT_EQ(reasker.answered.size(), 1u);
    game.client.Update();
    EXPECT_EQ(reasker.answered.size(), 2u);
}

// VYKARIS_DEVSERVICE_LATENCY=2.
TEST(Latency, AnswersWaitTwoUpdateCalls) {
    DevGame game;
    const std::vector<unsigned int> ids = RequestEveryKind(game);
    game.client.Update();
    game.client.Update();
    EXPECT_TRUE(game.answers.empty());
    game.client.Update();
    EXPECT_EQ(AnsweredIds(game), ids);
    CloseWriters(game);

    Reasker reasker(game.client);
    game.client.GetLoginDetails(game.client.GetRequestUniqueId(), &reasker);
    for (int i = 0; i < 3; ++i) {
        game.client.Update();
    }
    EXPECT_EQ(reasker.answered.size(), 1u);
    game.client.Update();
    game.client.Update();
    EXPECT_EQ(reasker.answered.size(), 1u);
    game.client.Update();
    EXPECT_EQ(reasker.answered.size(), 2u);
}

// VYKARIS_DEVSERVICE_IMMEDIATE=1.
TEST(Immediate, AnswersComeFromInsideTheRequest) {
    DevGame game;
    const std::vector<unsigned int> ids = RequestEveryKind(game);
    EXPECT_EQ(AnsweredIds(game), ids);
    game.client.Update();
    EXPECT_EQ(game.answers.size(), ids.size());
    CloseWriters(game);
    Reasker reasker(game.client);
    game.client.GetLoginDetails(game.client.GetRequestUniqueId(), &reasker);
    EXPECT_EQ(reasker.answered.size(), 2u);
}

// VYKARIS_DEVSERVICE_LATENCY=soon, VYKARIS_DEVSERVICE_IMMEDIATE=yes,
// VYKARIS_DEVSERVICE_FAULTS=reader:0:3 (there is no call 0),
// VYKARIS_DEVSERVICE_MAX_SAVEGAME_BYTES=lots: reported, then the defaults.
TEST(BadSettings, ReportedOnceAndIgnored) {
    testing::internal::CaptureStderr();
    DevGame game;
    DevGame second;
    const std::string reported = testing::internal::GetCapturedStderr();
    EXPECT_EQ(reported.find("VYKARIS_DEVSERVICE_LATENCY"),
              reported.rfind("VYKARIS_DEVSERVICE_LATENCY"));
    EXPECT_NE(reported.find("VYKARIS_DEVSERVICE_LATENCY=\"soon\""), std::string::npos) << reported;
    EXPECT_NE(reported.find("VYKARIS_DEVSERVICE_IMMEDIATE=\"yes\""), std::string::npos) << reported;
    EXPECT_NE(reported.find("VYKARIS_DEVSERVICE_FAULTS=\"reader:0:3\""), std::string::npos)
        << reported;
    EXPECT_NE(reported.find("VYKARIS_DEVSERVICE_MAX_SAVEGAME_BYTES=\"lots\""), std::string::npos)
        << reported;
    EXPECT_NE(reported.find("development service"), std::string::npos) << reported;
    const unsigned int id = game.client.GetRequestUniqueId();
    game.client.GetLoginDetails(id, &game);
    EXPECT_TRUE(game.answers.empty());
    game.client.Update();
    EXPECT_EQ(game.answers.size(), 1u);
    EXPECT_TRUE(game.Save(30, 1, Pattern(1000, 1)));
    EXPECT_EQ(game.OpenReader(30, 1).values[0], 0u);
}

}  // namespace
}  // namespace qz::devservice::test
