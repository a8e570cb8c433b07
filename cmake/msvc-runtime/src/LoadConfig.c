#include <stdint.h>
#include <windows.h>

// 32-bit x86 only. Without a load configuration naming the module's table of exception
// handlers, the linker marks a 32-bit image NO_SEH, and Windows then refuses to dispatch any
// exception through its frames: C++ exceptions would not even reach a catch in the same DLL.
// lld-link fills the table and its count from the objects' handler lists; 64-bit images
// unwind through their .pdata tables and need none of this.
#if defined(_M_IX86)

extern uintptr_t __security_cookie;
// Made by the linker: the handler table and, as the address of this symbol, its length.
extern const void* __safe_se_handler_table[];
extern const char __safe_se_handler_count;

const IMAGE_LOAD_CONFIG_DIRECTORY32 _load_config_used = {
    .Size = sizeof(IMAGE_LOAD_CONFIG_DIRECTORY32),
    .SecurityCookie = (DWORD)(uintptr_t)&__security_cookie,
    .SEHandlerTable = (DWORD)(uintptr_t)__safe_se_handler_table,
    .SEHandlerCount = (DWORD)(uintptr_t)&__safe_se_handler_count,
};

#endif
