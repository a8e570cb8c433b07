#pragma once

// Makes the C runtime's malloc fail inside one loaded Windows module (the loader DLL), so that
// its operator new throws std::bad_alloc there and nowhere else: the module's import of malloc
// (from ucrtbase.dll in the MSVC ABI, msvcrt.dll with MinGW) is pointed at a stand-in while the
// failure is on.

namespace qz::testsupport {

/// Points `module`'s malloc import at the stand-in; false when the module or its import of
/// malloc is not found.
bool InstallFailingMalloc(const char* module);
/// While on, the stand-in returns null; otherwise it calls the real malloc.
void SetMallocFails(bool fails);
/// The stand-in returns null for the next `count` allocations only. With MinGW, throwing takes
/// blocks from malloc as well (the lock of libstdc++'s emergency pool, where winpthread is
/// linked in), which a failure of every allocation would refuse too.
void RefuseNextMallocs(unsigned int count);
/// How many allocations the stand-in refused.
unsigned int RefusedMallocs();

}  // namespace qz::testsupport
