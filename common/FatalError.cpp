#include "common/FatalError.h"

#include <cstdlib>

#ifdef _WIN32
#include <windows.h>
#endif

namespace qz::common {

void FatalError() {
#ifdef _WIN32
    // abort() in the Windows C runtime prints a message first; ending the process directly
    // keeps it silent.
    TerminateProcess(GetCurrentProcess(), 3);
#endif
    std::abort();
}

}  // namespace qz::common
