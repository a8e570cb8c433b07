#pragma once

// VELTOCLIENT_API marks what the loader library exports: the qz::veltoclient classes alone.
// VELTOCLIENT_COMPILE_LIBRARY is defined while the loader itself is compiled;
// VELTOCLIENT_SHARED_LIBRARY by everything that links the shared loader (the CMake target
// veltoclient::veltoclient defines it for the game).
//
// A game whose build needs another marking (attributes of its own, or none at all) defines
// VELTOCLIENT_API itself before the first of these headers is included; this header then leaves
// it alone. The override is the game's side alone: the loader is built with the marking below.
#if !defined(VELTOCLIENT_API)
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
#endif  // !defined(VELTOCLIENT_API)
