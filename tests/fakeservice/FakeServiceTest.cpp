// The fake service library's own promises, which the loader and routing tests build on:
// listeners kept per kind and id, answers delivered when and as often as the test says.

#include <gtest/gtest.h>

#include <vector>

#include <veltodll/VeltodllEntryPoints.h>
#include "FakeServiceControl.h"

namespace {

struct ServerListener : qz::veltodll::IGetVeltoServerListener {
    void OnGetVeltoServer(unsigned int requestId, unsigned int value) override {
        answers.push_back({requestId, value});
        if (requestOnAnswer) {
            requestOnAnswer = false;
            QzVeltodllGetVeltoServer(nullptr, 99, this, 0, 0);
            FakeServiceReply reply{};
            FakeServiceQueueAnswer(FAKESERVICE_KIND_VELTO_SERVER, 99, &reply);
        }
    }
    std::vector<std::pair<unsigned int, unsigned int>> answers;
    bool requestOnAnswer = false;
};

struct ReadListener : qz::veltoclient::ISavegameReadListener {
    void OnSavegameRead(unsigned int requestId, unsigned int bytes) override {
        answers.push_back({requestId, bytes});
    }
    std::vector<std::pair<unsigned int, unsigned int>> answers;
};

FakeServiceReply Reply(unsigned int value) {
    FakeServiceReply reply{};
    reply.values[0] = value;
    return reply;
}

class FakeService : public ::testing::Test {
protected:
    void SetUp() override { FakeServiceReset(); }
};

TEST_F(FakeService, RecordsCallsAndReturnsChosenResults) {
    EXPECT_EQ(QzVeltodllGetSession(), FakeServiceDefaultSession());
    FakeServiceSetSession(nullptr);
    EXPECT_EQ(QzVeltodllGetSession(), nullptr);
    FakeServiceSetNextRequestId(41);
    EXPECT_EQ(QzVeltodllGetRequestUniqueId(nullptr), 41u);
    EXPECT_EQ(QzVeltodllGetRequestUniqueId(nullptr), 42u);
    EXPECT_EQ(FakeServiceCountCalls(FAKE_GetSession), 2u);
    EXPECT_EQ(FakeServiceCallCount(), 4u);
    FakeServiceCall call;
    ASSERT_EQ(FakeServiceGetCall(3, &call), 1);
    EXPECT_EQ(call.entry, FAKE_GetRequestUniqueId);
    EXPECT_EQ(FakeServiceGetCall(4, &call), 0);
}

TEST_F(FakeService, AnswersWhenToldAsOftenAsTold) {
    ServerListener first;
    ServerListener second;
    QzVeltodllGetVeltoServer(nullptr, 7, &first, 0, 0);
    QzVeltodllGetVeltoServer(nullptr, 8, &second, 0, 0);
    EXPECT_TRUE(first.answers.empty());

    const FakeServiceReply reply = Reply(5);
    EXPECT_EQ(FakeServiceAnswer(FAKESERVICE_KIND_VELTO_SERVER, 7, &reply), 1);
    EXPECT_EQ(FakeServiceAnswer(FAKESERVICE_KIND_VELTO_SERVER, 7, &reply), 1);
    EXPECT_EQ(first.answers, (std::vector<std::pair<unsigned int, unsigned int>>{{7, 5}, {7, 5}}));
    // An id never asked for reaches a listener only through another request's listener.
    EXPECT_EQ(FakeServiceAnswer(FAKESERVICE_KIND_VELTO_SERVER, 9, &reply), 0);
    EXPECT_EQ(FakeServiceAnswerVia(FAKESERVICE_KIND_VELTO_SERVER, 8, 9, &reply), 1);
    EXPECT_EQ(second.answers, (std::vector<std::pair<unsigned int, unsigned int>>{{9, 5}}));
    // Kinds keep separate listeners.
    EXPECT_EQ(FakeServiceAnswer(FAKESERVICE_KIND_LOGIN_DETAILS, 7, &reply), 0);
    EXPECT_EQ(FakeServiceListenerOf(FAKESERVICE_KIND_VELTO_SERVER, 8),
              static_cast<qz::veltodll::IGetVeltoServerListener*>(&second));
}

TEST_F(FakeService, AnswersInsideTheRequestWhenSwitchedOn) {
    ReadListener listener;
    const FakeServiceReply reply = Reply(512);
    FakeServiceSetAnswerImmediately(FAKESERVICE_KIND_SAVEGAME_READ, &reply);
    QzVeltodllSaveGameReaderRead(nullptr, 3, &listener, 0, nullptr, 512);
    EXPECT_EQ(listener.answers, (std::vector<std::pair<unsigned int, unsigned int>>{{3, 512}}));
    FakeServiceSetAnswerImmediately(FAKESERVICE_KIND_SAVEGAME_READ, nullptr);
    QzVeltodllSaveGameReaderRead(nullptr, 4, &listener, 0, nullptr, 512);
    EXPECT_EQ(listener.answers.size(), 1u);
}

TEST_F(FakeService, UpdateDeliversQueuedAnswersAndDefersThoseQueuedMeanwhile) {
    ServerListener listener;
    listener.requestOnAnswer = true;
    QzVeltodllGetVeltoServer(nullptr, 1, &listener, 0, 0);
    const FakeServiceReply reply = Reply(2);
    FakeServiceQueueAnswer(FAKESERVICE_KIND_VELTO_SERVER, 1, &reply);
    QzVeltodllUpdate(nullptr);
    EXPECT_EQ(listener.answers.size(), 1u);
    EXPECT_EQ(FakeServiceQueuedAnswerCount(), 1u);
    QzVeltodllUpdate(nullptr);
    EXPECT_EQ(listener.answers.size(), 2u);
    EXPECT_EQ(listener.answers[1].first, 99u);
}

}  // namespace
