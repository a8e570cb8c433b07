#pragma once

// The 21 plain C entry points of a service library, for service-library authors (installed as
// <veltodll/VeltodllEntryPoints.h>, target veltoclient::veltodll) and for the loader that binds
// them. A service library defines VELTODLL_COMPILE_LIBRARY while it builds and exports each of
// these functions under exactly this name, with the default calling convention. The list, with
// parameter names, is VeltodllEntryPoints.def.
//
// What the loader relies on:
// - It calls an entry point only with a non-null first argument: a session from
//   QzVeltodllGetSession, or a reader, writer or record handle that the service library gave.
// - Requests (GetLoginDetails to GetNetworkTraffic, SaveGameReaderRead, SaveGameWriterWrite)
//   are answered through the listener passed with them, at most once per request id, on the
//   thread that drives the client, never while another call into the same client runs; an
//   answer may come from inside the request call.
// - The read and write listeners are the game's own objects (qz::veltoclient), passed
//   through; the buffers of reads and writes are the game's and valid until that answer.
// - Text and records that the service library returns or passes to a callback stay its own:
//   the loader never copies or frees them, and the game may use them until the process ends
//   (GetLocText's text: for as long as the service library documents).
// - GetLocText's text and SetName's name are 0-terminated 16-bit units; the loader passes the
//   game's pointers through.

#include <veltoclient/Listeners.h>
#include <veltodll/VeltodllListeners.h>

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
#include <veltodll/VeltodllEntryPoints.def>

}  // extern "C"
