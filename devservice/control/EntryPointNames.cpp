#include "control/EntryPointNames.h"

namespace qz::devservice {

namespace {

constexpr const char* kNames[] = {
#define QZ_VELTODLL_ENTRY(Result, Name, Parameters, Arguments) #Name,
#include <veltodll/VeltodllEntryPoints.def>
};

}  // namespace

const char* EntryPointName(EntryPoint entry) {
    return kNames[static_cast<int>(entry)];
}

}  // namespace qz::devservice
