#define VELTODLL_COMPILE_LIBRARY
#include <veltodll/VeltodllEntryPoints.h>

// A service-library author's build: the installed service-side headers compile on their own.
extern "C" void* QzVeltodllGetSession(void) {
    return nullptr;
}
