#pragma once

// The few operating-system services the development service needs, one implementation file
// per OS. Paths are UTF-8 throughout; the Windows file converts them at the system call.
// Nothing here follows a symbolic link (or a reparse point) below the storage directory, and
// nothing opens a file before its type is known without blocking: a FIFO or a device under a
// savegame's name must not hang the game.

#include <cstddef>
#include <cstdint>
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

/// The operating system's text for its last error, for the call log and the tool.
std::string LastErrorText();

/// What a path names, without following a link.
enum class EntryType { kMissing, kFile, kDirectory, kOther, kFailed };
EntryType TypeOf(const std::string& path);

/// Creates `directory` and its missing parents, each made durable by flushing its parent;
/// true when it exists as a directory afterwards (a link to one included: the storage
/// directory itself may be a link).
bool CreateDirectories(const std::string& directory);
/// Creates one directory, durably; true when it exists as a real directory (not a link)
/// afterwards.
bool MakeDirectory(const std::string& directory);

/// The names in `directory`, "." and ".." left out; false when it cannot be read.
bool ListNames(const std::string& directory, std::vector<std::string>& names);
/// The same for a folder below the storage directory: false, with nothing read, when a link
/// or anything but a directory stands under its name.
bool ListFolderNames(const std::string& folder, std::vector<std::string>& names);

/// The time the file was last written, in seconds since 1970 UTC; false when there is no such
/// file.
bool ModifiedTime(const std::string& path, long long& seconds);

/// What tells one version of a file from another: a new file (a rename puts one in place)
/// has another identity, and so has one written in place, through its modification time.
struct FileIdentity {
    unsigned long long device = 0;
    unsigned long long inode = 0;
    unsigned long long size = 0;
    long long modifiedSeconds = 0;
    long long modifiedNanoseconds = 0;
    /// The same file or directory, whatever its contents.
    bool SameObject(const FileIdentity& other) const {
        return device == other.device && inode == other.inode;
    }
    bool operator==(const FileIdentity& other) const {
        return device == other.device && inode == other.inode && size == other.size &&
               modifiedSeconds == other.modifiedSeconds &&
               modifiedNanoseconds == other.modifiedNanoseconds;
    }
};
/// What a path names, without following a link, and a file's or a directory's identity; on
/// POSIX nothing is opened, so that nothing under a savegame's name can block.
EntryType TypeOf(const std::string& path, FileIdentity& identity);

/// An open file; closed by its destructor.
class File {
public:
    File() = default;
    File(const File&) = delete;
    File& operator=(const File&) = delete;
    ~File() { Close(); }
    bool IsOpen() const { return native != kClosed; }
    void Close();

    static constexpr std::intptr_t kClosed = -1;
    std::intptr_t native = kClosed;
};

enum class OpenResult { kOpened, kNotAFile, kExists, kFailed };

/// Opens a regular file for reading, so that other processes may replace or delete it
/// meanwhile; kNotAFile when there is none, or a link, directory, FIFO, socket or device
/// stands under that name (never opened in a way that could block). `identity`, when not
/// null, receives the opened file's.
OpenResult OpenForReading(const std::string& path, File& file, FileIdentity* identity = nullptr);
/// Creates a new file for writing; kExists when the name is taken.
OpenResult CreateNew(const std::string& path, File& file);
/// Opens or creates a file for reading and writing, never through a link.
OpenResult OpenOrCreate(const std::string& path, File& file);

/// The file's size in bytes; false on failure.
bool SizeOf(File& file, unsigned long long& size);

/// The open file's identity now; false on failure.
bool IdentityOf(File& file, FileIdentity& identity);
/// The same, and whether `path`, under which the file was created, still names it: false once
/// someone deleted it. Meant for files that no one else renames.
bool IdentityOf(File& file, const std::string& path, FileIdentity& identity, bool& named);
/// Reads up to `size` bytes at `offset`; `got` < `size` only at the end of the file.
bool ReadAt(File& file, unsigned long long offset, void* buffer, std::size_t size,
            std::size_t& got);
/// Writes all `size` bytes at `offset`; false on any failure (disk full, I/O error).
bool WriteAt(File& file, unsigned long long offset, const void* data, std::size_t size);

/// An advisory lock on the whole file for as long as this handle keeps it, without waiting;
/// false when another open file holds one. Released when the file is closed or the process
/// dies.
bool TryLockFile(File& file);

/// A lock on one byte of a lock file, `offset` beyond anything the file holds: one handle's
/// locks exclude every other handle's, in this process or another, and vanish with the
/// process. `wait`: waits for a lock held elsewhere rather than failing.
bool LockByte(File& file, unsigned long long offset, bool wait);
void UnlockByte(File& file, unsigned long long offset);
/// Releases the locks on `first` and `last` at once (one system call where the OS allows);
/// this handle must hold no lock between them.
void UnlockBytes(File& file, unsigned long long first, unsigned long long last);

/// Flushes the file to the disk, closes it, renames it to `finalPath` over what was there
/// and flushes `directory`, so that the new file survives a crash once this returns true. On
/// false (the reason in LastErrorText) the final name keeps its previous file.
bool CommitFile(File& file, const std::string& temporaryPath, const std::string& finalPath,
                const std::string& directory);

/// Opens a directory (not a link) to flush it after commits, into `directory`, and takes its
/// identity; false when that fails. Where a directory needs no flush of its own (Windows),
/// nothing stays open.
bool OpenDirectory(const std::string& path, File& directory, FileIdentity& identity);
/// CommitFile flushing a directory opened by OpenDirectory, which holds both paths.
bool CommitFile(File& file, const std::string& temporaryPath, const std::string& finalPath,
                File& directory);

enum class RemoveResult { kRemoved, kMissing, kFailed };

/// Deletes the file (a link itself, never what it points to) and flushes its directory.
RemoveResult RemoveFile(const std::string& directory, const std::string& name);

/// Creates (or empties) a file for writing text, such as the call log; null when that fails.
std::FILE* CreateTextFile(const std::string& path);

/// This process's id, for temporary names.
unsigned long ProcessId();

#ifdef _WIN32
/// Windows only: UTF-8 to and from the UTF-16 of the system's wide functions, and the text of
/// an error code that a function returned rather than set (the registry's).
std::wstring Wide(const std::string& text);
std::string Narrow(const wchar_t* text, int length);
std::string ErrorText(long code);
#endif

}  // namespace qz::devservice::platform
