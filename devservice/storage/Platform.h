#pragma once

// The few operating-system services the development service needs, one implementation file
// per OS. Paths are UTF-8 throughout; the Windows file converts them at the system call.

#include <cstddef>
#include <cstdio>
#include <string>
#include <vector>

namespace qz::devservice::platform {

/// The value of environment variable `name`; false when it is not set.
bool GetEnvironment(const char* name, std::string& value);

/// The directory holding this library's file, without a trailing separator; empty when it
/// cannot be found.
std::string LibraryDirectory();

/// `directory` followed by the OS's separator and `name`.
std::string JoinPath(const std::string& directory, const std::string& name);

/// Creates `directory` and its missing parents; true when it exists as a directory afterwards.
bool CreateDirectories(const std::string& directory);

/// The names of the regular files in `directory`; false (and nothing added) when it cannot be
/// read.
bool ListFiles(const std::string& directory, std::vector<std::string>& names);

/// The names of the subdirectories of `directory`; false (and nothing added) when it cannot
/// be read.
bool ListDirectories(const std::string& directory, std::vector<std::string>& names);

/// The time the file was last written, in seconds since 1970 UTC; false when there is no such
/// file.
bool ModifiedTime(const std::string& path, long long& seconds);

enum class ReadResult { kDone, kMissing, kFailed };

/// Reads at most `limit` bytes from the start of the file into `contents` and reports the
/// file's full size. The file is opened so that other processes may replace or delete it
/// meanwhile.
ReadResult ReadFile(const std::string& path, std::size_t limit,
                    std::vector<unsigned char>& contents, unsigned long long& fileSize);

/// A file being written under a temporary name beside the file it will replace.
class PendingFile;

/// The temporary name of a new version of `finalPath`, unique among processes (`processId`)
/// and among the versions this process writes (a counter). Shared by both implementations, as
/// the README documents the form.
std::string TemporaryPath(const std::string& finalPath, unsigned long processId);

/// Creates a new temporary file in `directory` for the final name `name`; null when that
/// fails.
PendingFile* BeginFile(const std::string& directory, const std::string& name);
/// Appends `size` bytes; false on any failure (disk full, I/O error).
bool AppendToFile(PendingFile* file, const void* data, std::size_t size);
/// Flushes the contents to the disk, renames the file over its final name and flushes the
/// directory, so that the new contents survive a crash once this returns true. On false the
/// final name still has its previous file (or none). Frees `file` either way.
bool CommitFile(PendingFile* file);
/// Closes and deletes the temporary file. Frees `file`.
void AbandonFile(PendingFile* file);

enum class RemoveResult { kRemoved, kMissing, kFailed };

/// Deletes the file and flushes its directory.
RemoveResult RemoveFile(const std::string& directory, const std::string& name);

/// Creates (or empties) a file for writing text, such as the call log; null when that fails.
std::FILE* CreateTextFile(const std::string& path);

}  // namespace qz::devservice::platform
