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

#define QZ_VELTODLL_ENTRY(Result, Name, Parameters, Arguments) \
    VELTODLL_API Result QzVeltodll##Name Parameters;
#include "VeltodllEntryPoints.def"

}  // extern "C"
