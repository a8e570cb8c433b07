#ifndef QZ_TESTS_C_FAKE_SERVICE_BINDING_H
#define QZ_TESTS_C_FAKE_SERVICE_BINDING_H

/* The fake service's control functions (FakeServiceControl.h), bound in the very instance the
 * loader loaded, for C programs: opening a library file that is already loaded returns the
 * loaded module. The library is the one the scenario's registry names (QZ_SERVICE_LIBRARY). */

#include "FakeServiceControl.h"

typedef struct FakeService {
    void (*Reset)(void);
    unsigned int (*CallCount)(void);
    int (*GetCall)(unsigned int index, FakeServiceCall* out);
    const unsigned short* (*DefaultLocText)(void);
    void (*SetNextRequestId)(unsigned int id);
    void (*SetWriterSetNameResult)(int result);
    void (*SetInfoResults)(const unsigned short* name, unsigned int productId,
                           unsigned int savegameId, unsigned int size);
    void* (*ListenerOf)(int kind, unsigned int requestId);
    int (*Answer)(int kind, unsigned int requestId, const FakeServiceReply* answer);
    void (*SetAnswerImmediately)(int kind, const FakeServiceReply* answer);
    void (*QueueAnswer)(int kind, unsigned int requestId, const FakeServiceReply* answer);
} FakeService;

/* Binds every function of `fake`; 0 when the library or a function is missing. */
int fake_service_open(FakeService* fake);
/* The last recorded call of `entry`; a zeroed record (entry 0) when there is none. */
FakeServiceCall fake_service_last_call(const FakeService* fake, int entry);

#endif
