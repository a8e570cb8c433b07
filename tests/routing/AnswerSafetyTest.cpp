// What the end-to-end tests cannot reach: allocation failures while an answer is wrapped,
// the memory a destroyed client leaves behind, and entry points missing from a binding that
// still gave a session. The loader's routing sources are linked into this program with a
// stand-in binding whose entry points are the functions below.

#include <gtest/gtest.h>

#include <new>

#include "CountingAllocator.h"
#include "RecordingListener.h"
#include "StubBinding.h"

namespace qz::veltoclient::test {
namespace {

// The service side of this program: remembers the listener each request was given and
// counts the calls of the handle entry points.
struct StubService {
    veltodll::IGetLoginDetailsListener* loginDetails = nullptr;
    veltodll::IGetSavegameReaderListener* reader = nullptr;
    veltodll::IGetSavegameWriterListener* writer = nullptr;
    veltodll::IGetSavegameListListener* list = nullptr;
    int handleCalls = 0;
};
StubService service;
char sessionObject;

void* GetSession() {
    return &sessionObject;
}
void GetLoginDetails(void*, unsigned int, veltodll::IGetLoginDetailsListener* listener) {
    service.loginDetails = listener;
}
void GetSavegameReader(void*, unsigned int, veltodll::IGetSavegameReaderListener* listener,
                       unsigned int, unsigned int) {
    service.reader = listener;
}
void GetSavegameWriter(void*, unsigned int, veltodll::IGetSavegameWriterListener* listener,
                       unsigned int, unsigned int, bool) {
    service.writer = listener;
}
void GetSavegameList(void*, unsigned int, veltodll::IGetSavegameListListener* listener,
                     unsigned int) {
    service.list = listener;
}
void ReaderClose(void*) {
    ++service.handleCalls;
}

class AnswerSafetyTest : public ::testing::Test {
protected:
    void SetUp() override {
        ResetBinding(0);
        service = StubService();
        Binding().GetSession = &GetSession;
        Binding().GetLoginDetails = &GetLoginDetails;
        Binding().GetSavegameReader = &GetSavegameReader;
        Binding().GetSavegameWriter = &GetSavegameWriter;
        Binding().GetSavegameList = &GetSavegameList;
        Binding().SaveGameReaderClose = &ReaderClose;
    }

    // Makes each of the `allocations` an answer wraps fail in turn: the answer throws, leaves
    // nothing allocated, and has still ended the request (the entry goes before the
    // allocation), so answering again reaches no one.
    template <typename Request, typename Answer>
    void ExpectOutOfMemoryLeavesNothing(std::size_t allocations, Request request, Answer answer) {
        for (std::size_t failing = 0; failing < allocations; ++failing) {
            request();
            const std::size_t live = LiveAllocations();
            FailAllocationAfter(failing);
            EXPECT_THROW(answer(), std::bad_alloc);
            EXPECT_EQ(LiveAllocations(), live) << "failing allocation " << failing;
            answer();
            EXPECT_TRUE(listener.received.empty());
        }
    }

    RecordingListener listener;
};

TEST_F(AnswerSafetyTest, ReaderOutOfMemoryLeavesNothingBehind) {
    VeltoClient client;
    // The reader object itself, then its private part.
    ExpectOutOfMemoryLeavesNothing(
        2, [&] { client.GetSavegameReader(1, &listener, 0, 0); },
        [] { service.reader->OnGetSavegameReader(1, 0, &sessionObject); });
}

TEST_F(AnswerSafetyTest, WriterOutOfMemoryLeavesNothingBehind) {
    VeltoClient client;
    ExpectOutOfMemoryLeavesNothing(
        2, [&] { client.GetSavegameWriter(1, &listener, 0, 0, false); },
        [] { service.writer->OnGetSavegameWriter(1, 0, &sessionObject); });
}

TEST_F(AnswerSafetyTest, ListOutOfMemoryLeavesNothingBehind) {
    VeltoClient client;
    unsigned int records[3] = {};
    // The array, then the private part of each of the three elements.
    ExpectOutOfMemoryLeavesNothing(
        4, [&] { client.GetSavegameList(1, &listener, 0); },
        [&] { service.list->OnGetSavegameList(1, records, 3); });
}

TEST_F(AnswerSafetyTest, AnswerForAnIdNotPendingCreatesNothing) {
    VeltoClient client;
    client.GetSavegameReader(1, &listener, 0, 0);
    client.GetSavegameWriter(1, &listener, 0, 0, true);
    client.GetSavegameList(1, &listener, 0);
    unsigned int records[2] = {};
    const std::size_t total = TotalAllocations();
    service.reader->OnGetSavegameReader(2, 0, &sessionObject);
    service.writer->OnGetSavegameWriter(2, 0, &sessionObject);
    service.list->OnGetSavegameList(2, records, 2);
    EXPECT_EQ(TotalAllocations(), total);
    EXPECT_TRUE(listener.received.empty());
}

TEST_F(AnswerSafetyTest, ClientWithNothingPendingFreesEverything) {
    listener.received.reserve(1);
    const std::size_t live = LiveAllocations();
    {
        VeltoClient client;
        client.GetLoginDetails(1, &listener);
        service.loginDetails->OnGetLoginDetails(1, 0, 0, 0);
        ASSERT_EQ(listener.received.size(), 1u);
    }
    EXPECT_EQ(LiveAllocations(), live);
}

TEST_F(AnswerSafetyTest, ClientDestroyedWithRequestsPendingIgnoresLateAnswers) {
    auto* client = new VeltoClient;
    client->GetLoginDetails(1, &listener);
    client->GetSavegameList(2, &listener, 0);
    delete client;
    // The service still holds the listener it was given; answering it must be harmless.
    const std::size_t total = TotalAllocations();
    unsigned int records[1] = {};
    service.loginDetails->OnGetLoginDetails(1, 0, 0, 0);
    service.list->OnGetSavegameList(2, records, 1);
    EXPECT_TRUE(listener.received.empty());
    EXPECT_EQ(TotalAllocations(), total);
}

TEST_F(AnswerSafetyTest, RequestWithoutItsEntryPointIsNotStored) {
    VeltoClient client;
    Binding().GetSavegameReader = nullptr;
    client.GetSavegameReader(1, &listener, 0, 0);
    EXPECT_EQ(service.reader, nullptr);

    // Once the entry point is there, the service answers id 1 through the client's listener:
    // only the request made with the entry point in place is known.
    Binding().GetSavegameReader = &GetSavegameReader;
    client.GetSavegameReader(2, &listener, 0, 0);
    ASSERT_NE(service.reader, nullptr);
    service.reader->OnGetSavegameReader(1, 0, &sessionObject);
    EXPECT_TRUE(listener.received.empty());
    service.reader->OnGetSavegameReader(2, 0, &sessionObject);
    EXPECT_EQ(listener.received.size(), 1u);
}

TEST_F(AnswerSafetyTest, HandlesWithoutTheirEntryPointsAnswerNeutrally) {
    VeltoClient client;
    client.GetSavegameReader(1, &listener, 0, 0);
    client.GetSavegameWriter(2, &listener, 0, 0, true);
    client.GetSavegameList(3, &listener, 0);
    unsigned int records[1] = {};
    service.reader->OnGetSavegameReader(1, 0, &sessionObject);
    service.writer->OnGetSavegameWriter(2, 0, &sessionObject);
    service.list->OnGetSavegameList(3, records, 1);
    ASSERT_EQ(listener.received.size(), 3u);

    // Only the reader's Close is bound.
    SavegameReader* reader = listener.received[0].reader;
    reader->Read(1, nullptr, 0, nullptr, 0);
    reader->Close();
    EXPECT_EQ(service.handleCalls, 1);

    SavegameWriter* writer = listener.received[1].writer;
    unsigned short name[] = {'a', 0};
    EXPECT_FALSE(writer->SetName(name));
    writer->Write(1, nullptr, nullptr, 0);
    writer->Close(true);

    SavegameInfo& info = listener.received[2].savegames[0];
    EXPECT_EQ(info.GetName(), nullptr);
    EXPECT_EQ(info.GetProductId(), 0xFFFFFFFFu);
    EXPECT_EQ(info.GetSavegameId(), 0xFFFFFFFFu);
    EXPECT_EQ(info.GetSize(), 0u);
    EXPECT_EQ(service.handleCalls, 1);
}

}  // namespace
}  // namespace qz::veltoclient::test
