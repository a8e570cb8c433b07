// End to end through the shared loader: each scenario runs in a process of its own on the
// registry qz_add_service_scenario prepared, with the fake service library where it points.

#include <gtest/gtest.h>
#include <veltoclient/VeltoClient.h>

#include "FakeServiceClient.h"

#if !defined(_WIN32)
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <string>
#endif

namespace {

using qz::fakeservice::FakeServiceClient;
using qz::veltoclient::VeltoClient;

const unsigned short kText[] = {'H', 'e', 'l', 'l', 'o', 0};

// An inert client gives every neutral result and passes nothing on.
void ExpectInert(VeltoClient& client) {
    EXPECT_EQ(client.GetRequestUniqueId(), 0xFFFFFFFFu);
    EXPECT_FALSE(client.StartLauncher(1, 2, "game", "args"));
    EXPECT_EQ(client.GetLocText(kText, "de-DE"), kText);
    EXPECT_EQ(client.GetLocText(nullptr, "de-DE"), nullptr);
    client.Update();
}

const char* ScenarioLibrary() {
    const char* path = FakeServiceClient::ScenarioLibraryPath();
    EXPECT_NE(path, nullptr) << "QZ_SERVICE_LIBRARY is not set for this scenario";
    return path != nullptr ? path : "";
}

// --- Binding failures: the error number, fixed for the process, and inert clients.

// Two clients of the process: both report `error`, and both are inert.
void ExpectErrorForEveryClient(unsigned int error) {
    VeltoClient client;
    EXPECT_EQ(client.GetInstallationErrorNum(), error);
    ExpectInert(client);
    VeltoClient second;
    EXPECT_EQ(second.GetInstallationErrorNum(), error);
    ExpectInert(second);
    EXPECT_EQ(client.GetInstallationErrorNum(), error);
}

TEST(RegistryKeyMissing, ErrorOneAndEveryClientInert) {
    ExpectErrorForEveryClient(1);
}

// Registered for a key without value, a directory without the library, a value too long for
// its buffer and a directory too long for the path.
TEST(ServiceLibraryNotLoadable, ErrorTwoAndEveryClientInert) {
    ExpectErrorForEveryClient(2);
}

#if !defined(_WIN32)
// Registered for a key whose InstallDir is made a FIFO here, before the first client: opening
// one for reading waits for a writer, so a client that blocks ends the program.
TEST(RegistryValueIsFifo, ErrorTwoAtOnce) {
    const char* root = std::getenv("VYKARIS_REGISTRY_ROOT");
    ASSERT_NE(root, nullptr) << "VYKARIS_REGISTRY_ROOT is not set for this scenario";
    const std::string value =
        std::string(root) + "/HKEY_LOCAL_MACHINE/SOFTWARE/Vykaris/Launcher/InstallDir";
    unlink(value.c_str());
    ASSERT_EQ(mkfifo(value.c_str(), 0600), 0);
    alarm(10);
    ExpectErrorForEveryClient(2);
    alarm(0);
    unlink(value.c_str());
}
#endif

TEST(ServiceLibraryIncomplete, ErrorThreeWithoutAskingForASession) {
    const char* library = ScenarioLibrary();
    ASSERT_FALSE(FakeServiceClient::IsLoaded(library));
    VeltoClient client;
    EXPECT_EQ(client.GetInstallationErrorNum(), 3u);
    // The incomplete library stays loaded, but nothing in it is called.
    ASSERT_TRUE(FakeServiceClient::IsLoaded(library));
    FakeServiceClient fake;
    ASSERT_TRUE(fake.Open(library));
    ExpectInert(client);
    EXPECT_EQ(fake.CallCount(), 0u);
}

TEST(NullSession, ErrorZeroButEveryClientInert) {
    FakeServiceClient fake;
    ASSERT_TRUE(fake.Open(ScenarioLibrary()));
    fake.Reset();
    fake.SetSession(nullptr);
    VeltoClient client;
    EXPECT_EQ(client.GetInstallationErrorNum(), 0u);
    ExpectInert(client);
    EXPECT_EQ(fake.CallCount(), 1u);
    EXPECT_EQ(fake.Call(0).entry, FAKE_GetSession);
}

// --- A bound service library.

TEST(ServiceBound, FirstClientLoadsOnceAndEachClientGetsItsOwnSession) {
    const char* library = ScenarioLibrary();
    ASSERT_FALSE(FakeServiceClient::IsLoaded(library));
    VeltoClient first;
    ASSERT_TRUE(FakeServiceClient::IsLoaded(library));
    EXPECT_EQ(first.GetInstallationErrorNum(), 0u);

    FakeServiceClient fake;
    ASSERT_TRUE(fake.Open(library));
    EXPECT_EQ(fake.CountCalls(FAKE_GetSession), 1u);
    char otherSession;
    fake.SetSession(&otherSession);
    VeltoClient second;
    EXPECT_EQ(second.GetInstallationErrorNum(), 0u);
    EXPECT_EQ(fake.CountCalls(FAKE_GetSession), 2u);

    first.Update();
    EXPECT_EQ(fake.LastCall(FAKE_Update).handle, fake.DefaultSession());
    second.Update();
    EXPECT_EQ(fake.LastCall(FAKE_Update).handle, &otherSession);
}

TEST(ServiceBound, ForwardsEveryArgumentAndResultUnchanged) {
    FakeServiceClient fake;
    ASSERT_TRUE(fake.Open(ScenarioLibrary()));
    fake.Reset();
    char session;
    fake.SetSession(&session);
    VeltoClient client;
    ASSERT_EQ(client.GetInstallationErrorNum(), 0u);

    client.Update();
    EXPECT_EQ(fake.LastCall(FAKE_Update).handle, &session);

    fake.SetNextRequestId(0xFFFFFFFEu);
    EXPECT_EQ(client.GetRequestUniqueId(), 0xFFFFFFFEu);
    EXPECT_EQ(client.GetRequestUniqueId(), 0xFFFFFFFFu);
    EXPECT_EQ(fake.LastCall(FAKE_GetRequestUniqueId).handle, &session);

    const char* game = "game-7";
    const char* arguments = "--fullscreen";
    EXPECT_TRUE(client.StartLauncher(7u, 0x80000001u, game, arguments));
    FakeServiceCall launch = fake.LastCall(FAKE_StartLauncher);
    EXPECT_EQ(launch.handle, &session);
    EXPECT_EQ(launch.values[0], 7u);
    EXPECT_EQ(launch.values[1], 0x80000001u);
    EXPECT_EQ(launch.text8[0], game);
    EXPECT_EQ(launch.text8[1], arguments);
    fake.SetStartLauncherResult(0);
    EXPECT_FALSE(client.StartLauncher(0, 0, nullptr, nullptr));
    launch = fake.LastCall(FAKE_StartLauncher);
    EXPECT_EQ(launch.text8[0], nullptr);
    EXPECT_EQ(launch.text8[1], nullptr);

    const char* locale = "pt-BR";
    EXPECT_EQ(client.GetLocText(kText, locale), fake.DefaultLocText());
    const FakeServiceCall text = fake.LastCall(FAKE_GetLocText);
    EXPECT_EQ(text.handle, &session);
    EXPECT_EQ(text.text16, kText);
    EXPECT_EQ(text.text8[0], locale);
    // The service library's answer is passed on even when it is null.
    fake.SetLocTextResult(nullptr);
    EXPECT_EQ(client.GetLocText(kText, locale), nullptr);

    // One service call per forward, nothing more.
    EXPECT_EQ(fake.CallCount(), 8u);
}

TEST(ServiceBound, DestroyingAClientCallsNothing) {
    FakeServiceClient fake;
    ASSERT_TRUE(fake.Open(ScenarioLibrary()));
    fake.Reset();
    {
        VeltoClient client;
        EXPECT_EQ(fake.CallCount(), 1u);
    }
    EXPECT_EQ(fake.CallCount(), 1u);
    // The binding outlives its clients.
    VeltoClient later;
    EXPECT_EQ(later.GetInstallationErrorNum(), 0u);
    EXPECT_EQ(fake.CountCalls(FAKE_GetSession), 2u);
}

}  // namespace
