#pragma once

// Where the service library is: the registry value that names the install directory, and the
// library's path composed from it. The binding decides with this alone whether a load is tried,
// and veltodev doctor walks the same way, so that what it shows is what a game gets.

namespace qz::veltoclient {

constexpr char kLauncherKey[] = "SOFTWARE\\Vykaris\\Launcher";
constexpr char kInstallDirValue[] = "InstallDir";
/// Both the directory and the composed path live in buffers of the classic Windows path size.
constexpr unsigned int kPathSize = 260;
/// The registry value is read into a buffer of 255 bytes, terminator included.
constexpr unsigned int kValueSize = 255;

/// What locating the service library found.
enum class ServiceLocation {
    /// The path names the library to load.
    kFound,
    /// The launcher's key could not be opened: installation error 1.
    kKeyMissing,
    /// The key has no InstallDir value.
    kValueMissing,
    /// The value is no string, holds a 0, or does not fit its buffer.
    kValueUnusable,
    /// The value is empty: it would name a library at the root of the current drive, where any
    /// user may put one.
    kValueEmpty,
    /// The composed path does not fit in kPathSize bytes; a truncated one could name another
    /// file.
    kPathTooLong,
};

/// Reads the install directory into `directory` and composes the library's path into `path`,
/// both kPathSize bytes. `directory` holds the value as read only for kFound and kPathTooLong,
/// `path` a path only for kFound; each holds the empty string otherwise.
ServiceLocation LocateServiceLibrary(char* directory, char* path);

}  // namespace qz::veltoclient
