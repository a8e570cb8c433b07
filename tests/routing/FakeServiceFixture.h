#pragma once

// A fixture for tests that run against the fake service library of their scenario: it binds
// the fake's control functions once per process and starts every test from a reset fake.

#include <gtest/gtest.h>

#include "FakeServiceClient.h"

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

}  // namespace qz::veltoclient::test
