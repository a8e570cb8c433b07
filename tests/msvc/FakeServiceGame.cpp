// A game built in the MSVC ABI driving the loader end to end against the fake service library,
// which the registry of the case points at. The binding is made once per process, so each case
// (environment variable QZ_MSVC_CASE) runs in a process of its own:
//   bound          every forward, request kind and savegame handle; late answers; bad_alloc
//   first-use-oom  std::bad_alloc from the very first client, then a working one
//   error1..error3 the installation error scenarios, with inert clients and the error text

#include <veltoclient/VeltoClient.h>

#include <cstdlib>
#include <cstring>
#include <new>

#include "Check.h"
#include "ErrorText.h"
#include "FailingMalloc.h"
#include "FakeServiceClient.h"
#include "GameListeners.h"

namespace qz::msvctest {
namespace {

using fakeservice::FakeServiceClient;
using testsupport::InstallFailingMalloc;
using testsupport::RefusedMallocs;
using testsupport::SetMallocFails;
using veltoclient::VeltoClient;

const unsigned short kText[] = {'H', 'i', 0};
const char kLoaderModule[] = "vykveltoapi_r2_loader.dll";

bool OpenFake(FakeServiceClient& fake) {
    const char* library = FakeServiceClient::ScenarioLibraryPath();
    return QZ_CHECK(library != nullptr) && QZ_CHECK(fake.Open(library));
}

FakeServiceReply Reply(unsigned int a, unsigned int b = 0, unsigned int c = 0, unsigned int d = 0) {
    FakeServiceReply reply = {};
    reply.values[0] = a;
    reply.values[1] = b;
    reply.values[2] = c;
    reply.values[3] = d;
    return reply;
}

// Queues `reply` for the request just made and lets Update deliver it.
void Deliver(FakeServiceClient& fake, VeltoClient& client, int kind, unsigned int id,
             const FakeServiceReply& reply) {
    fake.QueueAnswer(kind, id, &reply);
    client.Update();
}

void CheckAnswer(const Answered& answered, unsigned int id, unsigned int a, unsigned int b = 0,
                 unsigned int c = 0, unsigned int d = 0) {
    QZ_CHECK_EQ(answered.calls, 1u);
    QZ_CHECK_EQ(answered.requestId, id);
    QZ_CHECK_EQ(answered.values[0], a);
    QZ_CHECK_EQ(answered.values[1], b);
    QZ_CHECK_EQ(answered.values[2], c);
    QZ_CHECK_EQ(answered.values[3], d);
}

void CheckForwards(FakeServiceClient& fake, VeltoClient& client) {
    CheckCase("forwards");
    QZ_CHECK_EQ(client.GetInstallationErrorNum(), 0u);
    fake.SetNextRequestId(41);
    QZ_CHECK_EQ(client.GetRequestUniqueId(), 41u);
    QZ_CHECK(client.StartLauncher(3, 4, "game", "args"));
    const FakeServiceCall launch = fake.LastCall(FAKE_StartLauncher);
    QZ_CHECK_EQ(launch.values[0], 3u);
    QZ_CHECK_EQ(launch.values[1], 4u);
    QZ_CHECK(std::strcmp(launch.text8[1], "args") == 0);
    QZ_CHECK(client.GetLocText(kText, "de-DE") == fake.DefaultLocText());
    QZ_CHECK(SameText(client.GetInstallationErrorString("en-US"), ""));
}

void CheckRequests(FakeServiceClient& fake, VeltoClient& client) {
    CheckCase("every request kind");
    GameListeners game;
    client.GetLoginDetails(1, &game);
    Deliver(fake, client, FAKESERVICE_KIND_LOGIN_DETAILS, 1, Reply(0, 77, 0xFFFFFFFFu));
    CheckAnswer(game.login, 1, 0, 77, 0xFFFFFFFFu);

    client.GetVeltoServer(2, &game, 5, 6);
    QZ_CHECK_EQ(fake.LastCall(FAKE_GetVeltoServer).values[1], 6u);
    Deliver(fake, client, FAKESERVICE_KIND_VELTO_SERVER, 2, Reply(9));
    CheckAnswer(game.server, 2, 9);

    client.RemoveSavegame(3, &game, 100, 7);
    Deliver(fake, client, FAKESERVICE_KIND_REMOVE_SAVEGAME, 3, Reply(1));
    CheckAnswer(game.remove, 3, 1);

    client.GetNetworkTraffic(4, &game);
    Deliver(fake, client, FAKESERVICE_KIND_NETWORK_TRAFFIC, 4, Reply(10, 20, 30, 40));
    CheckAnswer(game.traffic, 4, 10, 20, 30, 40);

    // An answer for an id that is not pending reaches nobody; a second answer neither.
    const FakeServiceReply again = Reply(5);
    QZ_CHECK(fake.Answer(FAKESERVICE_KIND_VELTO_SERVER, 2, &again));
    QZ_CHECK_EQ(game.server.calls, 1u);
    QZ_CHECK(fake.AnswerVia(FAKESERVICE_KIND_VELTO_SERVER, 2, 999, &again));
    QZ_CHECK_EQ(game.server.calls, 1u);
}

void CheckSavegameHandles(FakeServiceClient& fake, VeltoClient& client) {
    CheckCase("savegame handles");
    GameListeners game;
    char serviceReader, serviceWriter;
    unsigned char buffer[8] = {};

    client.GetSavegameReader(10, &game, 100, 1);
    FakeServiceReply reply = Reply(0);
    reply.handle = &serviceReader;
    Deliver(fake, client, FAKESERVICE_KIND_SAVEGAME_READER, 10, reply);
    CheckAnswer(game.reader, 10, 0);
    if (QZ_CHECK(game.openedReader != nullptr)) {
        // The service library calls the game's read listener itself.
        game.openedReader->Read(11, &game, 2, buffer, sizeof buffer);
        const FakeServiceCall read = fake.LastCall(FAKE_SaveGameReaderRead);
        QZ_CHECK(read.handle == &serviceReader);
        QZ_CHECK(read.buffer == buffer);
        QZ_CHECK_EQ(read.values[0], 2u);
        QZ_CHECK_EQ(read.values[1], sizeof buffer);
        const FakeServiceReply bytes = Reply(6);
        QZ_CHECK(fake.Answer(FAKESERVICE_KIND_SAVEGAME_READ, 11, &bytes));
        CheckAnswer(game.read, 11, 6);
        game.openedReader->Close();
        QZ_CHECK(fake.LastCall(FAKE_SaveGameReaderClose).handle == &serviceReader);
    }

    client.GetSavegameWriter(12, &game, 100, 2, true);
    QZ_CHECK_EQ(fake.LastCall(FAKE_GetSavegameWriter).flag, 1);
    reply.handle = &serviceWriter;
    Deliver(fake, client, FAKESERVICE_KIND_SAVEGAME_WRITER, 12, reply);
    CheckAnswer(game.writer, 12, 0);
    if (QZ_CHECK(game.openedWriter != nullptr)) {
        unsigned short name[] = {'S', 'a', 'v', 'e', 0};
        QZ_CHECK(game.openedWriter->SetName(name));
        fake.SetWriterSetNameResult(0);
        QZ_CHECK(!game.openedWriter->SetName(name));
        game.openedWriter->Write(13, &game, buffer, 5);
        QZ_CHECK(fake.LastCall(FAKE_SaveGameWriterWrite).handle == &serviceWriter);
        const FakeServiceReply bytes = Reply(5);
        QZ_CHECK(fake.Answer(FAKESERVICE_KIND_SAVEGAME_WRITE, 13, &bytes));
        CheckAnswer(game.write, 13, 5);
        game.openedWriter->Close(true);
        QZ_CHECK_EQ(fake.LastCall(FAKE_SaveGameWriterClose).flag, 1);
    }

    // A refused writer still comes as a handle object, one that asks the service nothing.
    client.GetSavegameWriter(14, &game, 100, 2, false);
    Deliver(fake, client, FAKESERVICE_KIND_SAVEGAME_WRITER, 14, Reply(5));
    QZ_CHECK_EQ(game.writer.values[0], 5u);
    if (QZ_CHECK(game.openedWriter != nullptr)) {
        const unsigned int writes = fake.CountCalls(FAKE_SaveGameWriterWrite);
        game.openedWriter->Write(16, &game, buffer, 1);
        QZ_CHECK_EQ(fake.CountCalls(FAKE_SaveGameWriterWrite), writes);
    }

    unsigned int records[3] = {};
    const unsigned short listedName[] = {'A', 0};
    fake.SetInfoResults(listedName, 100, 8, 1234);
    client.GetSavegameList(15, &game, 100);
    reply = Reply(0);
    reply.records = records;
    reply.count = 3;
    Deliver(fake, client, FAKESERVICE_KIND_SAVEGAME_LIST, 15, reply);
    QZ_CHECK_EQ(game.list.values[0], 3u);
    if (QZ_CHECK(game.savegames != nullptr)) {
        veltoclient::SavegameInfo& last = game.savegames[2];
        QZ_CHECK(last.GetName() == listedName);
        QZ_CHECK(fake.LastCall(FAKE_SaveGameInfoGetName).handle == &records[2]);
        QZ_CHECK_EQ(last.GetProductId(), 100u);
        QZ_CHECK_EQ(last.GetSavegameId(), 8u);
        QZ_CHECK_EQ(game.savegames[0].GetSize(), 1234u);
        QZ_CHECK(fake.LastCall(FAKE_SaveGameInfoGetSize).handle == &records[0]);
    }
}

void CheckLateAnswers(FakeServiceClient& fake) {
    CheckCase("late answers after the client is gone");
    GameListeners game;
    {
        VeltoClient client;
        client.GetLoginDetails(20, &game);
        client.GetSavegameList(21, &game, 100);
    }
    // The service library may still answer; the destroyed client's requests reach nobody.
    const FakeServiceReply login = Reply(0, 1, 0);
    QZ_CHECK(fake.Answer(FAKESERVICE_KIND_LOGIN_DETAILS, 20, &login));
    unsigned int record = 0;
    FakeServiceReply list = Reply(0);
    list.records = &record;
    list.count = 1;
    fake.QueueAnswer(FAKESERVICE_KIND_SAVEGAME_LIST, 21, &list);
    VeltoClient other;
    other.Update();
    QZ_CHECK_EQ(fake.QueuedAnswerCount(), 0u);
    QZ_CHECK_EQ(game.login.calls, 0u);
    QZ_CHECK_EQ(game.list.calls, 0u);
}

// Allocation failures inside the loader DLL reach the game as std::bad_alloc, the game's own
// catch clause matching the type the DLL threw.
bool ClientThrowsBadAlloc() {
    SetMallocFails(true);
    bool caught = false;
    try {
        VeltoClient client;
    } catch (const std::bad_alloc& error) {
        caught = std::strcmp(error.what(), "bad allocation") == 0;
    }
    SetMallocFails(false);
    return caught;
}

void CheckBadAlloc(FakeServiceClient& fake) {
    CheckCase("bad_alloc from the client's constructor");
    if (!QZ_CHECK(InstallFailingMalloc(kLoaderModule))) {
        return;
    }
    const unsigned int sessions = fake.CountCalls(FAKE_GetSession);
    QZ_CHECK(ClientThrowsBadAlloc());
    QZ_CHECK(RefusedMallocs() > 0);
    QZ_CHECK_EQ(fake.CountCalls(FAKE_GetSession), sessions);
    VeltoClient client;
    QZ_CHECK_EQ(client.GetInstallationErrorNum(), 0u);
}

int RunBound() {
    FakeServiceClient fake;
    if (!OpenFake(fake)) {
        return CheckResult();
    }
    fake.Reset();
    {
        VeltoClient client;
        CheckForwards(fake, client);
        CheckRequests(fake, client);
        CheckSavegameHandles(fake, client);
    }
    CheckLateAnswers(fake);
    CheckBadAlloc(fake);
    return CheckResult();
}

int RunFirstUseOutOfMemory() {
    CheckCase("bad_alloc on first use");
    // The loader is linked, so it is loaded before main, but has bound nothing yet.
    if (QZ_CHECK(InstallFailingMalloc(kLoaderModule))) {
        QZ_CHECK(ClientThrowsBadAlloc());
    }
    VeltoClient client;
    QZ_CHECK_EQ(client.GetInstallationErrorNum(), 0u);
    QZ_CHECK(client.GetRequestUniqueId() != 0xFFFFFFFFu);
    return CheckResult();
}

// Each failed installation: the error number for every client, inert clients, the error text.
int RunInstallationError(unsigned int error, const char* english, const char* german) {
    CheckCase("installation error");
    VeltoClient client;
    VeltoClient second;
    QZ_CHECK_EQ(client.GetInstallationErrorNum(), error);
    QZ_CHECK_EQ(second.GetInstallationErrorNum(), error);
    QZ_CHECK_EQ(client.GetRequestUniqueId(), 0xFFFFFFFFu);
    QZ_CHECK(!client.StartLauncher(1, 2, "game", "args"));
    QZ_CHECK(client.GetLocText(kText, "en-US") == kText);
    GameListeners game;
    client.GetLoginDetails(1, &game);
    client.Update();
    QZ_CHECK_EQ(game.login.calls, 0u);

    CheckCase("installation error text");
    QZ_CHECK(SameText(client.GetInstallationErrorString("en-US"), english));
    QZ_CHECK(SameText(second.GetInstallationErrorString("de-DE"), german));
    QZ_CHECK(SameText(client.GetInstallationErrorString(nullptr), "Vykaris Game Lancher: \n"));
    if (error == 3) {
        // The incomplete library stays loaded, and nothing in it was called.
        FakeServiceClient fake;
        if (OpenFake(fake)) {
            QZ_CHECK_EQ(fake.CallCount(), 0u);
        }
    }
    return CheckResult();
}

}  // namespace
}  // namespace qz::msvctest

int main() {
    using namespace qz::msvctest;
    const char* which = std::getenv("QZ_MSVC_CASE");
    which = which != nullptr ? which : "";
    if (std::strcmp(which, "bound") == 0) {
        return RunBound();
    }
    if (std::strcmp(which, "first-use-oom") == 0) {
        return RunFirstUseOutOfMemory();
    }
    if (std::strcmp(which, "error1") == 0) {
        return RunInstallationError(1, "Vykaris Game Lancher: \nError code 1.",
                                    "Vykaris Game Lancher: \nFehlercode 1.");
    }
    if (std::strcmp(which, "error2") == 0) {
        return RunInstallationError(2, "Vykaris Game Lancher: \nError code 2.",
                                    "Vykaris Game Lancher: \nFehlercode 2.");
    }
    if (std::strcmp(which, "error3") == 0) {
        return RunInstallationError(3, "Vykaris Game Lancher: \nError code 3.",
                                    "Vykaris Game Lancher: \nFehlercode 3.");
    }
    CheckCase(which);
    QZ_CHECK(!"unknown QZ_MSVC_CASE");
    return CheckResult();
}
