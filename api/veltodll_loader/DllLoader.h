#pragma once

#include <veltodll/VeltodllEntryPoints.h>

namespace qz::veltoclient {

/// The process-wide binding to the service library: created on first use, never destroyed.
/// Creation reads the install directory from the registry, loads the service library from it
/// and looks up all 21 entry points; the outcome is the installation error number, fixed for
/// the life of the process. Users fetch the object through GetInstance on every use and test
/// an entry pointer for null before calling it.
class DllLoader {
public:
    /// The binding, created (and the service library loaded) by the first call. When the
    /// allocation throws, the exception propagates and the next call tries again.
    static DllLoader* GetInstance();

    /// 0 bound; 1 registry key missing; 2 library not loadable; 3 an entry point missing.
    unsigned int GetInstallationErrorNum() const { return installationErrorNum; }

    unsigned int installationErrorNum = 0;
    // One entry pointer per entry point, named after it, in lookup order. Name is a member
    // name here, which parentheses would break.
#define QZ_VELTODLL_ENTRY(Result, Name, Parameters, Arguments) \
    decltype(&QzVeltodll##Name) Name = nullptr;  // NOLINT(bugprone-macro-parentheses)
#include <veltodll/VeltodllEntryPoints.def>

private:
    DllLoader();
    DllLoader(const DllLoader&) = delete;
    DllLoader& operator=(const DllLoader&) = delete;

    void Load();
};

}  // namespace qz::veltoclient
