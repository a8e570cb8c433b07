#include <corecrt_startup.h>
#include <stdlib.h>

#include "Module.h"

// ucrtbase.dll exports these; Wine's headers do not declare them.
__declspec(dllimport) void __cdecl _initterm(_PVFV* first, _PVFV* last);
__declspec(dllimport) int __cdecl _initterm_e(_PIFV* first, _PIFV* last);

// The compiler puts pointers to C initializers in .CRT$XIU and to C++ static constructors in
// .CRT$XCU; the linker sorts .CRT$ sections by name, so these markers bound each list.
#pragma section(".CRT$XIA", long, read)
#pragma section(".CRT$XIZ", long, read)
#pragma section(".CRT$XCA", long, read)
#pragma section(".CRT$XCZ", long, read)
__declspec(allocate(".CRT$XIA")) static _PIFV firstCInitializer[] = {0};
__declspec(allocate(".CRT$XIZ")) static _PIFV lastCInitializer[] = {0};
__declspec(allocate(".CRT$XCA")) static _PVFV firstCppInitializer[] = {0};
__declspec(allocate(".CRT$XCZ")) static _PVFV lastCppInitializer[] = {0};

// Each module has its own table, so that a DLL's static destructors run when the DLL is
// unloaded, not at the end of the program that loaded it.
static _onexit_table_t moduleExitTable;

int __cdecl atexit(_PVFV function) {
    return _register_onexit_function(&moduleExitTable, (_onexit_t)function) == 0 ? 0 : -1;
}

int QzModuleStart(void) {
    if (_initialize_onexit_table(&moduleExitTable) != 0) {
        return -1;
    }
    if (_initterm_e(firstCInitializer, lastCInitializer) != 0) {
        return -1;
    }
    _initterm(firstCppInitializer, lastCppInitializer);
    return 0;
}

void QzModuleStop(void) {
    _execute_onexit_table(&moduleExitTable);
}
