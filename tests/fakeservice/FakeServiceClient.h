#pragma once

#include "FakeServiceControl.h"

namespace qz::fakeservice {

/// The control functions of the fake service library, bound in the very instance the loader
/// loaded. Opening a library file that is already loaded returns the loaded module (dlopen and
/// LoadLibraryA both do), so a test that opens the file the registry points at controls what
/// the loader calls. A test may open it before the first client exists, to choose results
/// (such as a null session) before the loader binds it.
///
///     qz::fakeservice::FakeServiceClient fake;
///     ASSERT_TRUE(fake.Open(qz::fakeservice::FakeServiceClient::ScenarioLibraryPath()));
///     fake.Reset();
///     fake.SetSession(nullptr);
struct FakeServiceClient {
    /// The service library of the running scenario: the environment variable
    /// QZ_SERVICE_LIBRARY, set by qz_add_service_scenario to the path the loader composes, in
    /// the convention of the platform the test runs on. Null when not set.
    static const char* ScenarioLibraryPath();
    /// Whether the library file at `path` is loaded in this process; never loads it.
    static bool IsLoaded(const char* path);

    /// Loads the library at `path` (or finds it loaded) and binds every control function.
    /// False when it can't be loaded or lacks one; the library stays loaded either way.
    bool Open(const char* path);

    decltype(&::FakeServiceReset) Reset = nullptr;
    decltype(&::FakeServiceCallCount) CallCount = nullptr;
    decltype(&::FakeServiceGetCall) GetCall = nullptr;
    decltype(&::FakeServiceCountCalls) CountCalls = nullptr;
    decltype(&::FakeServiceDefaultSession) DefaultSession = nullptr;
    decltype(&::FakeServiceSetSession) SetSession = nullptr;
    decltype(&::FakeServiceSetNextRequestId) SetNextRequestId = nullptr;
    decltype(&::FakeServiceSetStartLauncherResult) SetStartLauncherResult = nullptr;
    decltype(&::FakeServiceDefaultLocText) DefaultLocText = nullptr;
    decltype(&::FakeServiceSetLocTextResult) SetLocTextResult = nullptr;
    decltype(&::FakeServiceSetWriterSetNameResult) SetWriterSetNameResult = nullptr;
    decltype(&::FakeServiceSetInfoResults) SetInfoResults = nullptr;
    decltype(&::FakeServiceListenerCount) ListenerCount = nullptr;
    decltype(&::FakeServiceListenerOf) ListenerOf = nullptr;
    decltype(&::FakeServiceAnswer) Answer = nullptr;
    decltype(&::FakeServiceAnswerVia) AnswerVia = nullptr;
    decltype(&::FakeServiceSetAnswerImmediately) SetAnswerImmediately = nullptr;
    decltype(&::FakeServiceQueueAnswer) QueueAnswer = nullptr;
    decltype(&::FakeServiceQueuedAnswerCount) QueuedAnswerCount = nullptr;

    /// The recorded call at `index`; a zeroed record (entry 0) when there is none.
    FakeServiceCall Call(unsigned int index) const;
    /// The last recorded call of `entry`; a zeroed record (entry 0) when there is none.
    FakeServiceCall LastCall(int entry) const;
};

}  // namespace qz::fakeservice
