#include <intrin.h>
#include <stdint.h>
#include <windows.h>

#include "Module.h"

// The value functions compiled with /GS keep on their stack and check before returning. The
// default is replaced at start-up, before any such function runs.
#define QZ_DEFAULT_COOKIE 0x00002B992DDFA232ull
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
    uintptr_t cookie = ((uintptr_t)time.dwHighDateTime << 32) ^ time.dwLowDateTime;
    cookie ^= (uintptr_t)GetCurrentThreadId() ^ ((uintptr_t)GetCurrentProcessId() << 16);
    cookie ^= ((uintptr_t)counter.QuadPart << 32) ^ (uintptr_t)counter.QuadPart;
    cookie ^= (uintptr_t)&cookie;
    // The top 16 bits stay clear, as in the value a debugger expects; never the default.
    cookie &= 0x0000FFFFFFFFFFFFull;
    if (cookie == QZ_DEFAULT_COOKIE) {
        ++cookie;
    }
    __security_cookie = cookie;
    __security_cookie_complement = ~cookie;
}

// An overwritten cookie means a smashed stack: end the process at once, without unwinding.
void __cdecl __security_check_cookie(uintptr_t cookie) {
    if (cookie != __security_cookie) {
        __fastfail(FAST_FAIL_STACK_COOKIE_CHECK_FAILURE);
    }
}
