#pragma once

// The one export of the development service beyond the 21 entry points. Its presence tells
// veltodev doctor that the library the registry names is this service, whose settings and
// storage directory it can check; the loader never looks it up.

#include <veltodll/VeltodllEntryPoints.h>

namespace qz::devservice {

constexpr char kIdentityExport[] = "QzDevServiceIdentity";

}  // namespace qz::devservice

extern "C" {

/// "development service".
VELTODLL_API const char* QzDevServiceIdentity(void);

}  // extern "C"
