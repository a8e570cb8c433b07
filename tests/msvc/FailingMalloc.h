#pragma once

// Makes the C runtime's malloc fail inside one loaded module (the loader DLL), so that its
// operator new throws std::bad_alloc there: the module's import of ucrtbase.dll's malloc is
// pointed at a stand-in while the failure is on.

namespace qz::msvctest {

/// Points `module`'s malloc import at the stand-in; false when the module or its import of
/// malloc is not found.
bool InstallFailingMalloc(const char* module);
/// While on, the stand-in returns null; otherwise it calls the real malloc.
void SetMallocFails(bool fails);
/// How many allocations the stand-in refused.
unsigned int RefusedMallocs();

}  // namespace qz::msvctest
