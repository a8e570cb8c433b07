#pragma once

// The 21 plain C entry points of a service library, for service-library authors and for the
// loader that binds them. A service library defines VELTODLL_COMPILE_LIBRARY while it builds
// and exports each of these functions under exactly this name.
//
// Ownership: text and records a service library returns or passes to a callback stay its own
// and must stay valid while the game uses them. The listeners it is given must be answered at
// most once per request id, on the thread that drives the client, never while another call
// into the same client runs.

#include "VeltodllListeners.h"
#include "veltoclient/Listeners.h"

#if defined(VELTODLL_COMPILE_LIBRARY)
#if defined(_WIN32)
#define VELTODLL_API __declspec(dllexport)
#else
#define VELTODLL_API __attribute__((visibility("default")))
#endif
#else
#define VELTODLL_API
#endif

extern "C" {

VELTODLL_API void* QzVeltodllGetSession(void);
VELTODLL_API void QzVeltodllUpdate(void* session);
VELTODLL_API unsigned int QzVeltodllGetRequestUniqueId(void* session);
VELTODLL_API bool QzVeltodllStartLauncher(void* session, unsigned int, unsigned int, const char*,
                                          const char*);
VELTODLL_API void QzVeltodllGetLoginDetails(void* session, unsigned int id,
                                            qz::veltodll::IGetLoginDetailsListener* listener);
VELTODLL_API void QzVeltodllGetVeltoServer(void* session, unsigned int id,
                                           qz::veltodll::IGetVeltoServerListener* listener,
                                           unsigned int, unsigned int);
VELTODLL_API void QzVeltodllGetSavegameReader(void* session, unsigned int id,
                                              qz::veltodll::IGetSavegameReaderListener* listener,
                                              unsigned int productId, unsigned int savegameId);
VELTODLL_API void QzVeltodllGetSavegameWriter(void* session, unsigned int id,
                                              qz::veltodll::IGetSavegameWriterListener* listener,
                                              unsigned int productId, unsigned int savegameId,
                                              bool);
VELTODLL_API void QzVeltodllGetSavegameList(void* session, unsigned int id,
                                            qz::veltodll::IGetSavegameListListener* listener,
                                            unsigned int productId);
VELTODLL_API void QzVeltodllRemoveSavegame(void* session, unsigned int id,
                                           qz::veltodll::IRemoveSavegameListener* listener,
                                           unsigned int productId, unsigned int savegameId);
VELTODLL_API void QzVeltodllGetNetworkTraffic(void* session, unsigned int id,
                                              qz::veltodll::IGetNetworkTrafficListener* listener);
VELTODLL_API const unsigned short* QzVeltodllGetLocText(void* session, const unsigned short*,
                                                        const char*);
VELTODLL_API void QzVeltodllSaveGameReaderRead(void* reader, unsigned int id,
                                               qz::veltoclient::ISavegameReadListener* listener,
                                               unsigned int offset, void* buffer,
                                               unsigned int size);
VELTODLL_API void QzVeltodllSaveGameReaderClose(void* reader);
VELTODLL_API bool QzVeltodllSaveGameWriterSetName(void* writer, unsigned short* name);
VELTODLL_API void QzVeltodllSaveGameWriterWrite(void* writer, unsigned int id,
                                                qz::veltoclient::ISavegameWriteListener* listener,
                                                void* buffer, unsigned int size);
VELTODLL_API void QzVeltodllSaveGameWriterClose(void* writer, bool);
VELTODLL_API const unsigned short* QzVeltodllSaveGameInfoGetName(void* record);
VELTODLL_API unsigned int QzVeltodllSaveGameInfoGetProductId(void* record);
VELTODLL_API unsigned int QzVeltodllSaveGameInfoGetSavegameId(void* record);
VELTODLL_API unsigned int QzVeltodllSaveGameInfoGetSize(void* record);

}  // extern "C"
