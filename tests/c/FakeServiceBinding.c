#include "FakeServiceBinding.h"

#include <stdlib.h>
#include <string.h>

#if defined(_WIN32)
#include <windows.h>
typedef FARPROC Address;
static void* open_library(const char* path) {
    return (void*)LoadLibraryA(path);
}
static Address find_function(void* library, const char* name) {
    return GetProcAddress((HMODULE)library, name);
}
#else
#include <dlfcn.h>
typedef void* Address;
static void* open_library(const char* path) {
    return dlopen(path, RTLD_NOW | RTLD_LOCAL);
}
static Address find_function(void* library, const char* name) {
    return dlsym(library, name);
}
#endif

/* Copies a found function's address into a function pointer of any type. */
static int bind_function(void* library, const char* name, void* function_pointer) {
    const Address address = find_function(library, name);
    memcpy(function_pointer, &address, sizeof address);
    return address != NULL;
}

int fake_service_open(FakeService* fake) {
    const char* const path = getenv("QZ_SERVICE_LIBRARY");
    void* const library = path != NULL && path[0] != '\0' ? open_library(path) : NULL;
    if (library == NULL) {
        return 0;
    }
    return bind_function(library, "FakeServiceReset", &fake->Reset) &&
           bind_function(library, "FakeServiceCallCount", &fake->CallCount) &&
           bind_function(library, "FakeServiceGetCall", &fake->GetCall) &&
           bind_function(library, "FakeServiceDefaultLocText", &fake->DefaultLocText) &&
           bind_function(library, "FakeServiceSetNextRequestId", &fake->SetNextRequestId) &&
           bind_function(library, "FakeServiceSetWriterSetNameResult",
                         &fake->SetWriterSetNameResult) &&
           bind_function(library, "FakeServiceSetInfoResults", &fake->SetInfoResults) &&
           bind_function(library, "FakeServiceListenerOf", &fake->ListenerOf) &&
           bind_function(library, "FakeServiceAnswer", &fake->Answer) &&
           bind_function(library, "FakeServiceSetAnswerImmediately", &fake->SetAnswerImmediately) &&
           bind_function(library, "FakeServiceQueueAnswer", &fake->QueueAnswer);
}

FakeServiceCall fake_service_last_call(const FakeService* fake, int entry) {
    FakeServiceCall call;
    unsigned int index = fake->CallCount();
    while (index-- > 0) {
        if (fake->GetCall(index, &call) && call.entry == entry) {
            return call;
        }
    }
    memset(&call, 0, sizeof call);
    return call;
}
