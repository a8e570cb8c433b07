#include "StubBinding.h"

namespace qz::veltoclient {

DllLoader::DllLoader() {}

void DllLoader::Load() {}

DllLoader* DllLoader::GetInstance() {
    static DllLoader* const loader = new DllLoader;
    return loader;
}

namespace test {

void ResetBinding(unsigned int installationErrorNum) {
    DllLoader& b = Binding();
    b.installationErrorNum = installationErrorNum;
#define QZ_VELTODLL_ENTRY(Result, Name, Parameters, Arguments) b.Name = nullptr;
#include <veltodll/VeltodllEntryPoints.def>
}

}  // namespace test
}  // namespace qz::veltoclient
