#include "FakeServiceClient.h"

#include <cstdlib>

#if defined(_WIN32)
#include <windows.h>
#else
#include <dlfcn.h>
#endif

namespace qz::fakeservice {

namespace {

using Address = void (*)(void);

#if defined(_WIN32)
void* OpenLibrary(const char* path) {
    return LoadLibraryA(path);
}
Address FindFunction(void* library, const char* name) {
    return reinterpret_cast<Address>(GetProcAddress(static_cast<HMODULE>(library), name));
}
#else
void* OpenLibrary(const char* path) {
    return dlopen(path, RTLD_NOW | RTLD_LOCAL);
}
Address FindFunction(void* library, const char* name) {
    return reinterpret_cast<Address>(dlsym(library, name));
}
#endif

template <typename Function>
bool Bind(void* library, const char* name, Function& function) {
    function = reinterpret_cast<Function>(FindFunction(library, name));
    return function != nullptr;
}

}  // namespace

const char* FakeServiceClient::ScenarioLibraryPath() {
    const char* path = std::getenv("QZ_SERVICE_LIBRARY");
    return path != nullptr && path[0] != '\0' ? path : nullptr;
}

bool FakeServiceClient::IsLoaded(const char* path) {
#if defined(_WIN32)
    return GetModuleHandleA(path) != nullptr;
#else
    void* library = dlopen(path, RTLD_NOW | RTLD_NOLOAD);
    if (library == nullptr) {
        return false;
    }
    dlclose(library);  // only drops the reference RTLD_NOLOAD added
    return true;
#endif
}

bool FakeServiceClient::Open(const char* path) {
    void* library = path != nullptr ? OpenLibrary(path) : nullptr;
    if (library == nullptr) {
        return false;
    }
    bool ok = true;
    ok &= Bind(library, "FakeServiceReset", Reset);
    ok &= Bind(library, "FakeServiceCallCount", CallCount);
    ok &= Bind(library, "FakeServiceGetCall", GetCall);
    ok &= Bind(library, "FakeServiceCountCalls", CountCalls);
    ok &= Bind(library, "FakeServiceDefaultSession", DefaultSession);
    ok &= Bind(library, "FakeServiceSetSession", SetSession);
    ok &= Bind(library, "FakeServiceSetNextRequestId", SetNextRequestId);
    ok &= Bind(library, "FakeServiceSetStartLauncherResult", SetStartLauncherResult);
    ok &= Bind(library, "FakeServiceDefaultLocText", DefaultLocText);
    ok &= Bind(library, "FakeServiceSetLocTextResult", SetLocTextResult);
    ok &= Bind(library, "FakeServiceSetWriterSetNameResult", SetWriterSetNameResult);
    ok &= Bind(library, "FakeServiceSetInfoResults", SetInfoResults);
    ok &= Bind(library, "FakeServiceListenerCount", ListenerCount);
    ok &= Bind(library, "FakeServiceListenerOf", ListenerOf);
    ok &= Bind(library, "FakeServiceAnswer", Answer);
    ok &= Bind(library, "FakeServiceAnswerVia", AnswerVia);
    ok &= Bind(library, "FakeServiceSetAnswerImmediately", SetAnswerImmediately);
    ok &= Bind(library, "FakeServiceQueueAnswer", QueueAnswer);
    ok &= Bind(library, "FakeServiceQueuedAnswerCount", QueuedAnswerCount);
    return ok;
}

FakeServiceCall FakeServiceClient::Call(unsigned int index) const {
    FakeServiceCall call{};
    if (GetCall(index, &call) == 0) {
        call = FakeServiceCall{};
    }
    return call;
}

FakeServiceCall FakeServiceClient::LastCall(int entry) const {
    FakeServiceCall last{};
    const unsigned int count = CallCount();
    for (unsigned int index = 0; index < count; ++index) {
        FakeServiceCall call = Call(index);
        if (call.entry == entry) {
            last = call;
        }
    }
    return last;
}

}  // namespace qz::fakeservice
