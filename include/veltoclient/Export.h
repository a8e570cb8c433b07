#pragma once

// VELTOCLIENT_API marks what the loader library exports: the qz::veltoclient classes alone.
// VELTOCLIENT_COMPILE_LIBRARY is defined while the loader itself is compiled;
// VELTOCLIENT_SHARED_LIBRARY by everything that links the shared loader.
#if defined(VELTOCLIENT_SHARED_LIBRARY)
#if defined(_WIN32)
#if defined(VELTOCLIENT_COMPILE_LIBRARY)
#define VELTOCLIENT_API __declspec(dllexport)
#else
#define VELTOCLIENT_API __declspec(dllimport)
#endif
#else
#if defined(VELTOCLIENT_COMPILE_LIBRARY)
#define VELTOCLIENT_API __attribute__((visibility("default")))
#else
#define VELTOCLIENT_API
#endif
#endif
#else
#define VELTOCLIENT_API
#endif
