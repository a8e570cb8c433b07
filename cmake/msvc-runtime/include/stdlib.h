#pragma once

// atexit belongs to each module's static runtime part (src/Module.c), as in Microsoft's own
// header, but Wine's header declares it imported from a DLL. A caller compiled against that
// declaration reaches atexit through an import pointer that the linker makes up locally
// (LNK4217); without /DEBUG the linker then also drops atexit as unreferenced and leaves that
// pointer holding the image base, so the first call crashes. Wine's declaration is renamed out
// of the way and atexit declared as what it is.
#define atexit qz_wine_imported_atexit
#include_next <stdlib.h>
#undef atexit

#ifdef __cplusplus
extern "C" {
#endif
int __cdecl atexit(void(__cdecl* function)(void));
#ifdef __cplusplus
}
#endif
