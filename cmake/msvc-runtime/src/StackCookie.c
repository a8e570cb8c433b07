#include <intrin.h>
#include <stdint.h>
#include <windows.h>

#include "Module.h"

// The value functions compiled with /GS keep on their stack and check before returning. The
// default is replaced at start-up, before any such function runs; on 32-bit x86 it is
// Microsoft's, which the Windows loader also replaces when the load configuration names it.
#if defined(_M_IX86)
#define QZ_DEFAULT_COOKIE 0xBB40E64Eu
#define QZ_COOKIE_CHECK_CALL __fastcall
#else
#define QZ_DEFAULT_COOKIE 0x00002B992DDFA232ull
#define QZ_COOKIE_CHECK_CALL __cdecl
#endif
uintptr_t __security_cookie = QZ_DEFAULT_COOKIE;
uintptr_t __security_cookie_complement = ~QZ_DEFAULT_COOKIE;

void __security_init_cookie(void) {
    if (__security_cookie != QZ_DEFAULT_COOKIE) {
        return;
    }
    FILETIME time;
    GetSystemTimeAsFileTime(&time);
    LARGE_INTEGER counter;
    QueryPerformanceCounter(&counter);
    uint64_t mixed = ((uint64_t)time.dwHighDateTime << 32) ^ time.dwLowDateTime;
    mixed ^= (uint64_t)GetCurrentThreadId() ^ ((uint64_t)GetCurrentProcessId() << 16);
    mixed ^= ((uint64_t)counter.QuadPart << 32) ^ (uint64_t)counter.QuadPart;
    mixed ^= (uintptr_t)&mixed;
#if defined(_M_IX86)
    uintptr_t cookie = (uintptr_t)(mixed ^ (mixed >> 32));
#else
    // The top 16 bits stay clear, as in the value a debugger expects; never the default.
    uintptr_t cookie = mixed & 0x0000FFFFFFFFFFFFull;
#endif
    if (cookie == QZ_DEFAULT_COOKIE) {
        ++cookie;
    }
    __security_cookie = cookie;
    __security_cookie_complement = ~cookie;
}

// An overwritten cookie means a smashed stack: end the process at once, without unwinding.
void QZ_COOKIE_CHECK_CALL __security_check_cookie(uintptr_t cookie) {
    if (cookie != __security_cookie) {
        __fastfail(FAST_FAIL_STACK_COOKIE_CHECK_FAILURE);
    }
}
