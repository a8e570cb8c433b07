#pragma once

namespace qz::devservice {

/// The 21 entry points, in the order of their list.
enum class EntryPoint {
#define QZ_VELTODLL_ENTRY(Result, Name, Parameters, Arguments) k##Name,
#include <veltodll/VeltodllEntryPoints.def>
};

/// The entry point's name without the "QzVeltodll" prefix: "GetSession", "Update", ...
const char* EntryPointName(EntryPoint entry);

}  // namespace qz::devservice
