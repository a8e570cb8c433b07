#include <windows.h>

#include "Module.h"

// A DLL without a DllMain of its own gets this one.
BOOL WINAPI QzDefaultDllMain(HINSTANCE instance, DWORD reason, LPVOID reserved) {
    (void)instance;
    (void)reason;
    (void)reserved;
    return TRUE;
}
#pragma comment(linker, "/alternatename:DllMain=QzDefaultDllMain")

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
