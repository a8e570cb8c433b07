// Requests and their answers, end to end: the game's client in the shared loader, the fake
// service library bound through the registry, answers delivered the way the service delivers
// them. Every scenario here has a working service library.

#include <memory>

#include "FakeServiceFixture.h"
#include "Requests.h"

namespace qz::veltoclient::test {
namespace {

FakeServiceReply ReplyOf(Kind kind) {
    FakeServiceReply reply{};
    const unsigned int base = 100u * (static_cast<unsigned int>(kind) + 1);
    for (unsigned int i = 0; i < 4; ++i) {
        reply.values[i] = base + i + 1;
    }
    return reply;
}

// What the game must see of an answer of `kind` built by ReplyOf.
void ExpectDelivered(const Received& received, Kind kind, unsigned int requestId) {
    EXPECT_EQ(received.kind, kind);
    EXPECT_EQ(received.requestId, requestId);
    const FakeServiceReply reply = ReplyOf(kind);
    switch (kind) {
        case kLoginDetails:
            EXPECT_EQ(received.values[0], reply.values[0]);
            EXPECT_EQ(received.values[1], reply.values[1]);
            EXPECT_EQ(received.values[2], reply.values[2]);
            break;
        case kNetworkTraffic:
            for (int i = 0; i < 4; ++i) {
                EXPECT_EQ(received.values[i], reply.values[i]);
            }
            break;
        case kSavegameReader:
            EXPECT_EQ(received.values[0], reply.values[0]);
            EXPECT_NE(received.reader, nullptr);
            break;
        case kSavegameWriter:
            EXPECT_EQ(received.values[0], reply.values[0]);
            EXPECT_NE(received.writer, nullptr);
            break;
        case kSavegameList:
            EXPECT_NE(received.savegames, nullptr);
            EXPECT_EQ(received.count, 0u);
            break;
        default:
            EXPECT_EQ(received.values[0], reply.values[0]);
            break;
    }
}

class RoutingTest : public BoundClientTest {
protected:
    bool Answer(Kind kind, unsigned int requestId) {
        const FakeServiceReply reply = ReplyOf(kind);
        return Fake().Answer(kind, requestId, &reply) != 0;
    }

    unsigned int RequestCalls(Kind kind) { return Fake().CountCalls(EntryOf(kind)); }
};

class EveryKind : public RoutingTest, public ::testing::WithParamInterface<Kind> {};

TEST_P(EveryKind, PassesEveryArgumentOnInOrder) {
    const Kind kind = GetParam();
    RecordingListener listener;
    Request(*client, kind, 42, &listener);

    ASSERT_EQ(RequestCalls(kind), 1u);
    const FakeServiceCall call = Fake().LastCall(EntryOf(kind));
    EXPECT_EQ(call.handle, Fake().DefaultSession());
    EXPECT_EQ(call.requestId, 42u);
    // The service gets the client's own listener, never the game's.
    EXPECT_NE(call.listener, nullptr);
    EXPECT_NE(call.listener, static_cast<void*>(&listener));
    const RequestArguments args = ArgumentsOf(kind);
    for (int i = 0; i < ValueCountOf(kind); ++i) {
        EXPECT_EQ(call.values[i], args.values[i]);
    }
    EXPECT_EQ(call.flag, args.flag ? 1 : 0);
    EXPECT_TRUE(listener.received.empty());
}

TEST_P(EveryKind, AnswerReachesTheGameOnce) {
    const Kind kind = GetParam();
    RecordingListener listener;
    Request(*client, kind, 42, &listener);
    ASSERT_TRUE(Answer(kind, 42));
    ASSERT_EQ(listener.received.size(), 1u);
    ExpectDelivered(listener.received[0], kind, 42);

    // The id is free again: a second answer is ignored.
    ASSERT_TRUE(Answer(kind, 42));
    EXPECT_EQ(listener.received.size(), 1u);
}

TEST_P(EveryKind, AnswerFromInsideTheRequestCallIsRouted) {
    const Kind kind = GetParam();
    const FakeServiceReply reply = ReplyOf(kind);
    Fake().SetAnswerImmediately(kind, &reply);
    RecordingListener listener;
    Request(*client, kind, 7, &listener);
    ASSERT_EQ(listener.received.size(), 1u);
    ExpectDelivered(listener.received[0], kind, 7);
}

TEST_P(EveryKind, AnswerWithAnUnknownIdIsIgnored) {
    const Kind kind = GetParam();
    RecordingListener listener;
    Request(*client, kind, 1, &listener);
    // Delivered to the client's listener, but for an id it never asked for.
    const FakeServiceReply reply = ReplyOf(kind);
    ASSERT_TRUE(Fake().AnswerVia(kind, 1, 2, &reply));
    EXPECT_TRUE(listener.received.empty());
    // The pending request is untouched by it.
    ASSERT_TRUE(Answer(kind, 1));
    ASSERT_EQ(listener.received.size(), 1u);
    EXPECT_EQ(listener.received[0].requestId, 1u);
}

TEST_P(EveryKind, SecondRequestWithTheSameIdTakesTheAnswer) {
    const Kind kind = GetParam();
    RecordingListener first;
    RecordingListener second;
    Request(*client, kind, 5, &first);
    Request(*client, kind, 5, &second);
    ASSERT_TRUE(Answer(kind, 5));
    ASSERT_TRUE(Answer(kind, 5));
    EXPECT_TRUE(first.received.empty());
    EXPECT_EQ(second.received.size(), 1u);
}

TEST_P(EveryKind, CallbackMayRequestTheSameIdAgain) {
    const Kind kind = GetParam();
    RecordingListener first;
    RecordingListener second;
    first.then = [&](const Received&) { Request(*client, kind, 9, &second); };
    Request(*client, kind, 9, &first);
    ASSERT_TRUE(Answer(kind, 9));
    ASSERT_EQ(first.received.size(), 1u);
    EXPECT_TRUE(second.received.empty());
    EXPECT_EQ(RequestCalls(kind), 2u);

    ASSERT_TRUE(Answer(kind, 9));
    EXPECT_EQ(first.received.size(), 1u);
    ASSERT_EQ(second.received.size(), 1u);
    ExpectDelivered(second.received[0], kind, 9);
}

TEST_P(EveryKind, AnyIdIsAKey) {
    const Kind kind = GetParam();
    RecordingListener listener;
    for (unsigned int id : {0u, 0xFFFFFFFFu, 0x80000000u}) {
        Request(*client, kind, id, &listener);
    }
    for (unsigned int id : {0x80000000u, 0u, 0xFFFFFFFFu}) {
        ASSERT_TRUE(Answer(kind, id));
    }
    ASSERT_EQ(listener.received.size(), 3u);
    EXPECT_EQ(listener.received[0].requestId, 0x80000000u);
    EXPECT_EQ(listener.received[1].requestId, 0u);
    EXPECT_EQ(listener.received[2].requestId, 0xFFFFFFFFu);
}

TEST_P(EveryKind, ClientWithoutSessionDropsTheRequest) {
    const Kind kind = GetParam();
    Fake().SetSession(nullptr);
    VeltoClient inert;
    RecordingListener listener;
    Request(inert, kind, 3, &listener);
    EXPECT_EQ(RequestCalls(kind), 0u);
    EXPECT_EQ(Fake().ListenerCount(kind, 3), 0u);
}

TEST_P(EveryKind, CallbackMayDestroyTheClient) {
    const Kind kind = GetParam();
    RecordingListener listener;
    listener.then = [&](const Received&) { client.reset(); };
    Request(*client, kind, 4, &listener);
    Request(*client, kind, 5, &listener);
    ASSERT_TRUE(Answer(kind, 4));
    ASSERT_EQ(listener.received.size(), 1u);
    ASSERT_TRUE(Answer(kind, 5));
    EXPECT_EQ(listener.received.size(), 1u);
}

TEST_P(EveryKind, CallbackMayCallUpdateAgain) {
    const Kind kind = GetParam();
    const FakeServiceReply reply = ReplyOf(kind);
    RecordingListener listener;
    listener.then = [&](const Received& received) {
        if (received.requestId == 1) {
            Fake().QueueAnswer(kind, 2, &reply);
            client->Update();
        }
    };
    Request(*client, kind, 1, &listener);
    Request(*client, kind, 2, &listener);
    Fake().QueueAnswer(kind, 1, &reply);
    client->Update();
    ASSERT_EQ(listener.received.size(), 2u);
    ExpectDelivered(listener.received[0], kind, 1);
    ExpectDelivered(listener.received[1], kind, 2);
}

INSTANTIATE_TEST_SUITE_P(Routing, EveryKind,
                         ::testing::Values(kLoginDetails, kVeltoServer, kSavegameReader,
                                           kSavegameWriter, kSavegameList, kRemoveSavegame,
                                           kNetworkTraffic),
                         [](const ::testing::TestParamInfo<Kind>& info) {
                             return std::string(NameOf(info.param));
                         });

TEST_F(RoutingTest, OneIdInEveryKindReachesEachKindsListener) {
    RecordingListener listeners[kKindCount];
    for (int kind = 0; kind < kKindCount; ++kind) {
        Request(*client, static_cast<Kind>(kind), 11, &listeners[kind]);
    }
    for (int kind = kKindCount - 1; kind >= 0; --kind) {
        ASSERT_TRUE(Answer(static_cast<Kind>(kind), 11));
    }
    for (int kind = 0; kind < kKindCount; ++kind) {
        ASSERT_EQ(listeners[kind].received.size(), 1u) << NameOf(static_cast<Kind>(kind));
        ExpectDelivered(listeners[kind].received[0], static_cast<Kind>(kind), 11);
    }
}

TEST_F(RoutingTest, OneListenerServesEveryKindThroughTheMatchingCallback) {
    RecordingListener listener;
    for (int kind = 0; kind < kKindCount; ++kind) {
        Request(*client, static_cast<Kind>(kind), 20 + kind, &listener);
    }
    for (int kind = 0; kind < kKindCount; ++kind) {
        ASSERT_TRUE(Answer(static_cast<Kind>(kind), 20 + kind));
    }
    ASSERT_EQ(listener.received.size(), static_cast<size_t>(kKindCount));
    for (int kind = 0; kind < kKindCount; ++kind) {
        ExpectDelivered(listener.received[kind], static_cast<Kind>(kind), 20 + kind);
    }
}

TEST_F(RoutingTest, AnswersToADestroyedClientReachNobody) {
    RecordingListener listener;
    for (int kind = 0; kind < kKindCount; ++kind) {
        Request(*client, static_cast<Kind>(kind), 30, &listener);
        Request(*client, static_cast<Kind>(kind), 31, &listener);
    }
    client.reset();
    for (int kind = 0; kind < kKindCount; ++kind) {
        ASSERT_TRUE(Answer(static_cast<Kind>(kind), 30));
        ASSERT_TRUE(Answer(static_cast<Kind>(kind), 31));
    }
    EXPECT_TRUE(listener.received.empty());
}

TEST_F(RoutingTest, ClientsRouteIndependently) {
    VeltoClient other;
    RecordingListener mine;
    RecordingListener theirs;
    client->GetLoginDetails(1, &mine);
    other.GetLoginDetails(2, &theirs);
    // The other client's listener, asked about this client's id: not its request.
    const FakeServiceReply reply = ReplyOf(kLoginDetails);
    ASSERT_TRUE(Fake().AnswerVia(kLoginDetails, 2, 1, &reply));
    EXPECT_TRUE(mine.received.empty());
    EXPECT_TRUE(theirs.received.empty());
    ASSERT_TRUE(Answer(kLoginDetails, 1));
    EXPECT_EQ(mine.received.size(), 1u);
}

}  // namespace
}  // namespace qz::veltoclient::test
