// The savegame handles an answer hands the game: every method reaches the service library's
// entry point with the handle first and its own arguments in order, and a handle the service
// left null answers neutrally without calling anything.

#include <cstdint>
#include <memory>
#include <vector>

#include "FakeServiceFixture.h"
#include "Requests.h"

namespace qz::veltoclient::test {
namespace {

class ReadListener : public ISavegameReadListener {
public:
    std::vector<unsigned int> bytesRead;
    void OnSavegameRead(unsigned int requestId, unsigned int bytes) override {
        bytesRead.push_back(requestId);
        bytesRead.push_back(bytes);
    }
};

class WriteListener : public ISavegameWriteListener {
public:
    std::vector<unsigned int> bytesWritten;
    void OnSavegameWrite(unsigned int requestId, unsigned int bytes) override {
        bytesWritten.push_back(requestId);
        bytesWritten.push_back(bytes);
    }
};

class SavegameHandlesTest : public BoundClientTest {
protected:
    SavegameReader* DeliverReader(void* handle) {
        client->GetSavegameReader(1, &listener, 10, 20);
        FakeServiceReply reply{};
        reply.handle = handle;
        EXPECT_TRUE(Fake().Answer(kSavegameReader, 1, &reply));
        return listener.received.empty() ? nullptr : listener.received.back().reader;
    }

    SavegameWriter* DeliverWriter(void* handle) {
        client->GetSavegameWriter(2, &listener, 10, 20, true);
        FakeServiceReply reply{};
        reply.handle = handle;
        EXPECT_TRUE(Fake().Answer(kSavegameWriter, 2, &reply));
        return listener.received.empty() ? nullptr : listener.received.back().writer;
    }

    const Received* DeliverList(void* records, unsigned int count) {
        client->GetSavegameList(3, &listener, 10);
        FakeServiceReply reply{};
        reply.records = records;
        reply.count = count;
        EXPECT_TRUE(Fake().Answer(kSavegameList, 3, &reply));
        return listener.received.empty() ? nullptr : &listener.received.back();
    }

    RecordingListener listener;
    int serviceObject = 0;  // stands for the service library's reader or writer
};

TEST_F(SavegameHandlesTest, ReaderForwardsReadAndCloseWithItsHandle) {
    SavegameReader* reader = DeliverReader(&serviceObject);
    ASSERT_NE(reader, nullptr);
    ReadListener readListener;
    char buffer[16];
    reader->Read(77, &readListener, 5, buffer, 16);

    const FakeServiceCall read = Fake().LastCall(FAKE_SaveGameReaderRead);
    EXPECT_EQ(read.handle, &serviceObject);
    EXPECT_EQ(read.requestId, 77u);
    EXPECT_EQ(read.listener, static_cast<void*>(&readListener));
    EXPECT_EQ(read.values[0], 5u);
    EXPECT_EQ(read.values[1], 16u);
    EXPECT_EQ(read.buffer, static_cast<void*>(buffer));

    // Read answers go to the game's own listener, straight from the service.
    FakeServiceReply reply{};
    reply.values[0] = 12;
    ASSERT_TRUE(Fake().Answer(FAKESERVICE_KIND_SAVEGAME_READ, 77, &reply));
    EXPECT_EQ(readListener.bytesRead, (std::vector<unsigned int>{77, 12}));

    reader->Close();
    reader->Close();
    ASSERT_EQ(Fake().CountCalls(FAKE_SaveGameReaderClose), 2u);
    EXPECT_EQ(Fake().LastCall(FAKE_SaveGameReaderClose).handle, &serviceObject);
    EXPECT_EQ(Fake().Call(Fake().CallCount() - 2).handle, &serviceObject);
}

TEST_F(SavegameHandlesTest, WriterForwardsNameWriteAndCloseWithItsHandle) {
    SavegameWriter* writer = DeliverWriter(&serviceObject);
    ASSERT_NE(writer, nullptr);
    unsigned short name[] = {'s', 'l', 'o', 't', 0};
    EXPECT_TRUE(writer->SetName(name));
    const FakeServiceCall setName = Fake().LastCall(FAKE_SaveGameWriterSetName);
    EXPECT_EQ(setName.handle, &serviceObject);
    EXPECT_EQ(setName.text16, name);
    Fake().SetWriterSetNameResult(0);
    EXPECT_FALSE(writer->SetName(name));

    WriteListener writeListener;
    char buffer[8] = {};
    writer->Write(88, &writeListener, buffer, 8);
    const FakeServiceCall write = Fake().LastCall(FAKE_SaveGameWriterWrite);
    EXPECT_EQ(write.handle, &serviceObject);
    EXPECT_EQ(write.requestId, 88u);
    EXPECT_EQ(write.listener, static_cast<void*>(&writeListener));
    EXPECT_EQ(write.buffer, static_cast<void*>(buffer));
    EXPECT_EQ(write.values[0], 8u);
    FakeServiceReply reply{};
    reply.values[0] = 8;
    ASSERT_TRUE(Fake().Answer(FAKESERVICE_KIND_SAVEGAME_WRITE, 88, &reply));
    EXPECT_EQ(writeListener.bytesWritten, (std::vector<unsigned int>{88, 8}));

    writer->Close(true);
    EXPECT_EQ(Fake().LastCall(FAKE_SaveGameWriterClose).flag, 1);
    writer->Close(false);
    ASSERT_EQ(Fake().CountCalls(FAKE_SaveGameWriterClose), 2u);
    EXPECT_EQ(Fake().LastCall(FAKE_SaveGameWriterClose).flag, 0);
    EXPECT_EQ(Fake().LastCall(FAKE_SaveGameWriterClose).handle, &serviceObject);
}

TEST_F(SavegameHandlesTest, NullReaderAndWriterAreDeliveredButCallNothing) {
    SavegameReader* reader = DeliverReader(nullptr);
    SavegameWriter* writer = DeliverWriter(nullptr);
    ASSERT_NE(reader, nullptr);
    ASSERT_NE(writer, nullptr);
    const unsigned int calls = Fake().CallCount();

    ReadListener readListener;
    WriteListener writeListener;
    char buffer[4];
    unsigned short name[] = {'x', 0};
    reader->Read(1, &readListener, 0, buffer, 4);
    reader->Close();
    EXPECT_FALSE(writer->SetName(name));
    writer->Write(2, &writeListener, buffer, 4);
    writer->Close(true);
    EXPECT_EQ(Fake().CallCount(), calls);
}

TEST_F(SavegameHandlesTest, EachReaderAnswerGetsItsOwnObject) {
    SavegameReader* first = DeliverReader(&serviceObject);
    SavegameReader* second = DeliverReader(&serviceObject);
    EXPECT_NE(first, second);
}

TEST_F(SavegameHandlesTest, ListHandlesAddressTheRecordsFourBytesApart) {
    std::uint32_t records[3] = {0xAAAAAAAA, 0xBBBBBBBB, 0xCCCCCCCC};
    const unsigned short name[] = {'n', 0};
    Fake().SetInfoResults(name, 7, 8, 9);
    const Received* list = DeliverList(records, 3);
    ASSERT_NE(list, nullptr);
    ASSERT_NE(list->savegames, nullptr);
    ASSERT_EQ(list->count, 3u);

    for (unsigned int i = 0; i < 3; ++i) {
        SavegameInfo& info = list->savegames[i];
        EXPECT_EQ(info.GetName(), name);
        EXPECT_EQ(Fake().LastCall(FAKE_SaveGameInfoGetName).handle, &records[i]);
        EXPECT_EQ(info.GetProductId(), 7u);
        EXPECT_EQ(Fake().LastCall(FAKE_SaveGameInfoGetProductId).handle, &records[i]);
        EXPECT_EQ(info.GetSavegameId(), 8u);
        EXPECT_EQ(Fake().LastCall(FAKE_SaveGameInfoGetSavegameId).handle, &records[i]);
        EXPECT_EQ(info.GetSize(), 9u);
        EXPECT_EQ(Fake().LastCall(FAKE_SaveGameInfoGetSize).handle, &records[i]);
    }
    // The handle is the record's address; its contents are never read.
    EXPECT_EQ(records[0], 0xAAAAAAAAu);
}

TEST_F(SavegameHandlesTest, EmptyListIsAValidArray) {
    const Received* list = DeliverList(nullptr, 0);
    ASSERT_NE(list, nullptr);
    EXPECT_NE(list->savegames, nullptr);
    EXPECT_EQ(list->count, 0u);
}

TEST_F(SavegameHandlesTest, DescriptionWithNullHandleAnswersNeutrally) {
    // A list at address 0: the first description's handle is null.
    const Received* list = DeliverList(nullptr, 1);
    ASSERT_NE(list, nullptr);
    const unsigned int calls = Fake().CallCount();
    SavegameInfo& info = list->savegames[0];
    EXPECT_EQ(info.GetName(), nullptr);
    EXPECT_EQ(info.GetProductId(), 0xFFFFFFFFu);
    EXPECT_EQ(info.GetSavegameId(), 0xFFFFFFFFu);
    EXPECT_EQ(info.GetSize(), 0u);
    EXPECT_EQ(Fake().CallCount(), calls);
}

TEST_F(SavegameHandlesTest, HandlesOutliveTheirClient) {
    SavegameReader* reader = DeliverReader(&serviceObject);
    ASSERT_NE(reader, nullptr);
    client.reset();
    reader->Close();
    EXPECT_EQ(Fake().LastCall(FAKE_SaveGameReaderClose).handle, &serviceObject);
}

}  // namespace
}  // namespace qz::veltoclient::test
