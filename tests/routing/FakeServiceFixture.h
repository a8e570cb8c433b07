#pragma once

// Fixtures for tests that run against the fake service library of their scenario: they bind
// the fake's control functions once per process and start every test from a reset fake.

#include <gtest/gtest.h>

#include <memory>

#include "FakeServiceClient.h"
#include "veltoclient/VeltoClient.h"

namespace qz::veltoclient::test {

class FakeServiceTest : public ::testing::Test {
protected:
    static fakeservice::FakeServiceClient& Fake() {
        static fakeservice::FakeServiceClient fake;
        return fake;
    }

    void SetUp() override {
        static const bool opened =
            Fake().Open(fakeservice::FakeServiceClient::ScenarioLibraryPath());
        ASSERT_TRUE(opened) << "the scenario's fake service library could not be opened";
        Fake().Reset();
    }
};

/// The same with a fresh client of the bound service for every test.
class BoundClientTest : public FakeServiceTest {
protected:
    void SetUp() override {
        FakeServiceTest::SetUp();
        client = std::make_unique<VeltoClient>();
        ASSERT_EQ(client->GetInstallationErrorNum(), 0u);
    }

    std::unique_ptr<VeltoClient> client;
};

}  // namespace qz::veltoclient::test
