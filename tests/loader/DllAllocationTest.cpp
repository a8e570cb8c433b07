// Running out of memory inside the loader DLL: std::bad_alloc crosses from the DLL's copy of
// the C++ runtime into the game's and is caught there by type, before and after the binding
// is made. Windows only: allocations fail inside the DLL alone, through its import of malloc.

#include <gtest/gtest.h>
#include <veltoclient/VeltoClient.h>

#include <new>

#include "FailingMalloc.h"
#include "FakeServiceClient.h"

namespace {

using qz::fakeservice::FakeServiceClient;
using qz::veltoclient::VeltoClient;

const char kLoaderModule[] = "vykveltoapi_r2_loader.dll";

// Creates a client while the loader's next allocation fails; true when the game caught
// std::bad_alloc.
bool ClientThrowsBadAlloc() {
    qz::testsupport::RefuseNextMallocs(1);
    bool caught = false;
    try {
        VeltoClient client;
    } catch (const std::bad_alloc&) {
        caught = true;
    } catch (...) {
    }
    qz::testsupport::RefuseNextMallocs(0);
    return caught;
}

TEST(DllAllocation, FirstClientThrowsAndTheNextOneBinds) {
    ASSERT_TRUE(qz::testsupport::InstallFailingMalloc(kLoaderModule));
    EXPECT_TRUE(ClientThrowsBadAlloc());
    EXPECT_GT(qz::testsupport::RefusedMallocs(), 0u);

    VeltoClient client;
    EXPECT_EQ(client.GetInstallationErrorNum(), 0u);
    EXPECT_NE(client.GetRequestUniqueId(), 0xFFFFFFFFu);
}

TEST(DllAllocation, BoundClientThrowsWithoutAskingForASession) {
    FakeServiceClient fake;
    ASSERT_TRUE(fake.Open(FakeServiceClient::ScenarioLibraryPath()));
    {
        VeltoClient first;
        ASSERT_EQ(first.GetInstallationErrorNum(), 0u);
    }
    ASSERT_TRUE(qz::testsupport::InstallFailingMalloc(kLoaderModule));
    const unsigned int sessions = fake.CountCalls(FAKE_GetSession);
    EXPECT_TRUE(ClientThrowsBadAlloc());
    EXPECT_EQ(fake.CountCalls(FAKE_GetSession), sessions);

    VeltoClient client;
    EXPECT_EQ(client.GetInstallationErrorNum(), 0u);
}

}  // namespace
