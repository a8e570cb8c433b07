// Running out of memory while the binding or a client is created: the standard exception
// reaches the caller, nothing counts as created, and the next use tries again. Allocations are
// made to fail by replacing the global operator new of this program.

#include <gtest/gtest.h>

#include <cstdlib>
#include <new>

#include "DllLoader.h"
#include "FakePlatform.h"
#include "veltoclient/VeltoClient.h"

namespace {

// How many allocations succeed before one fails; negative: none fails.
int allocationsBeforeFailure = -1;

}  // namespace

void* operator new(std::size_t size) {
    if (allocationsBeforeFailure == 0) {
        allocationsBeforeFailure = -1;
        throw std::bad_alloc();
    }
    if (allocationsBeforeFailure > 0) {
        --allocationsBeforeFailure;
    }
    if (void* memory = std::malloc(size != 0 ? size : 1)) {
        return memory;
    }
    throw std::bad_alloc();
}

void operator delete(void* memory) noexcept {
    std::free(memory);
}

void operator delete(void* memory, std::size_t) noexcept {
    std::free(memory);
}

namespace {

using qz::loadertest::Platform;
using qz::veltoclient::DllLoader;
using qz::veltoclient::VeltoClient;

void InstallPlatform() {
    Platform().registryResult = qz::veltoclient::platform::RegistryRead::kFound;
    Platform().registryValue = "/opt/vykaris";
}

TEST(BindingAllocation, FailedCreationIsTriedAgain) {
    InstallPlatform();
    allocationsBeforeFailure = 0;
    EXPECT_THROW(DllLoader::GetInstance(), std::bad_alloc);
    EXPECT_EQ(Platform().registryReads, 0);

    DllLoader* loader = DllLoader::GetInstance();
    ASSERT_NE(loader, nullptr);
    EXPECT_EQ(loader->GetInstallationErrorNum(), 0u);
    EXPECT_EQ(Platform().registryReads, 1);
    EXPECT_EQ(DllLoader::GetInstance(), loader);
}

TEST(BindingAllocation, ClientConstructionPassesTheExceptionOn) {
    InstallPlatform();
    // The client's own part first, then the binding: both failures reach the game, and the
    // part already allocated is not leaked (the sanitizer build checks that).
    allocationsBeforeFailure = 0;
    EXPECT_THROW(VeltoClient client, std::bad_alloc);
    allocationsBeforeFailure = 1;
    EXPECT_THROW(VeltoClient client, std::bad_alloc);
    EXPECT_EQ(Platform().registryReads, 0);

    VeltoClient client;
    EXPECT_EQ(client.GetInstallationErrorNum(), 0u);
    EXPECT_EQ(Platform().registryReads, 1);
}

}  // namespace
