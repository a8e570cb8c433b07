#pragma once

// The loader's only contact with the operating system: reading one registry string, loading a
// library by path and finding an export in it. One implementation per OS, chosen by the build
// (PlatformWin32.cpp, PlatformPosix.cpp); the tests link a counting fake instead.

namespace qz::veltoclient::platform {

/// How the service library's path is composed from the install directory: the directory
/// exactly as read, one separator, the file name.
#if defined(_WIN32)
constexpr char kServiceLibraryPathFormat[] = "%s\\vykveltoapi_r2.dll";
#else
constexpr char kServiceLibraryPathFormat[] = "%s/vykveltoapi_r2.so";
/// The registry is a folder tree below this root, unless VYKARIS_REGISTRY_ROOT names another.
constexpr char kDefaultRegistryRoot[] = "/etc/vykaris/registry";
#endif

/// What reading a registry string found. On anything but kFound, the buffer holds zeros.
enum class RegistryRead {
    /// The buffer holds the value, terminated within its size.
    kFound,
    /// The key could not be opened (absent or unreadable).
    kKeyMissing,
    /// The key was opened but the value could not be read (absent, for one).
    kValueMissing,
    /// The value is not a string, or it and its terminator do not fit in the buffer.
    kUnusable,
};

/// Reads the string value `valueName` of key `keyName` (backslash-separated, such as
/// "SOFTWARE\\Vykaris\\Launcher") under the local machine into `buffer` of `size` bytes.
RegistryRead ReadLocalMachineString(const char* keyName, const char* valueName, char* buffer,
                                    unsigned int size);

/// The loaded library at `path`, or null when it can't be loaded. Never unloaded.
void* LoadLibraryAt(const char* path);

/// Any exported function, to be cast to its real type; void(*)(void) converts to every
/// function pointer type without a warning.
using ExportAddress = void (*)(void);

/// The export `name` of `library`, or null when it has none.
ExportAddress FindExport(void* library, const char* name);

}  // namespace qz::veltoclient::platform
