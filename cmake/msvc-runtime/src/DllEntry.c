#include <windows.h>

#include "Module.h"

// A DLL without a DllMain of its own gets this one.
BOOL WINAPI QzDefaultDllMain(HINSTANCE instance, DWORD reason, LPVOID reserved) {
    (void)instance;
    (void)reason;
    (void)reserved;
    return TRUE;
}
// The names as the linker sees them: decorated as __stdcall on 32-bit x86.
#if defined(_M_IX86)
#pragma comment(linker, "/alternatename:_DllMain@12=_QzDefaultDllMain@12")
#else
#pragma comment(linker, "/alternatename:DllMain=QzDefaultDllMain")
#endif

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID reserved);

// The linker's default entry point of a DLL.
BOOL WINAPI _DllMainCRTStartup(HINSTANCE instance, DWORD reason, LPVOID reserved) {
    if (reason == DLL_PROCESS_ATTACH) {
        __security_init_cookie();
        if (QzModuleStart() != 0) {
            return FALSE;
        }
    }
    const BOOL result = DllMain(instance, reason, reserved);
    // A failed attach is followed by no detach, so the module ends here as well.
    if (reason == DLL_PROCESS_DETACH || (reason == DLL_PROCESS_ATTACH && !result)) {
        QzModuleStop();
    }
    return result;
}
