#pragma once

// A stand-in for the process-wide binding, for tests that link the loader's routing sources
// directly instead of loading a service library: the test sets the entry pointers itself.

#include "DllLoader.h"

namespace qz::veltoclient::test {

/// The binding every loader source in this program sees: error 0 and every entry pointer
/// null until the test fills them in.
inline DllLoader& Binding() {
    return *DllLoader::GetInstance();
}

/// Clears every entry pointer and sets the error number.
void ResetBinding(unsigned int installationErrorNum);

}  // namespace qz::veltoclient::test
