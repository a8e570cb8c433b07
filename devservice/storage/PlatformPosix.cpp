// POSIX file operations of the development service.

#include <dirent.h>
#include <dlfcn.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "storage/Platform.h"

namespace qz::devservice::platform {

namespace {

// Retries the call while a signal interrupts it.
template <typename Call>
auto Retry(Call call) {
    decltype(call()) result;
    do {
        result = call();
    } while (result == -1 && errno == EINTR);
    return result;
}

// Reading a file or listing a folder stamps its access time otherwise, which dirties its
// inode: a product folder listed between two commits then costs one more write to the disk at
// the next flush. Only the owner may open so; anyone else opens the usual way.
int OpenWithoutAccessTime(const char* path, int flags) {
#ifdef O_NOATIME
    const int fd = Retry([&] { return open(path, flags | O_NOATIME); });
    if (fd >= 0 || errno != EPERM) {
        return fd;
    }
#endif
    return Retry([&] { return open(path, flags); });
}

int Fd(const File& file) {
    return static_cast<int>(file.native);
}

bool SyncDirectory(const std::string& directory) {
    const int fd =
        Retry([&] { return open(directory.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC); });
    if (fd < 0) {
        return false;
    }
    const bool synced = Retry([&] { return fsync(fd); }) == 0;
    close(fd);
    return synced;
}

std::string Parent(const std::string& path) {
    const std::size_t end = path.find_last_not_of('/');
    const std::size_t slash = end == std::string::npos ? std::string::npos : path.rfind('/', end);
    if (slash == std::string::npos) {
        return ".";
    }
    return slash == 0 ? "/" : path.substr(0, slash);
}

// Whole-file byte locks that conflict between open files, not only between processes (open
// file description locks), so that two storages in one process exclude each other as two
// processes do, and closing one file never drops the locks of another.
#ifdef F_OFD_SETLK
constexpr int kSetLock = F_OFD_SETLK;
constexpr int kSetLockWait = F_OFD_SETLKW;
#else
constexpr int kSetLock = F_SETLK;
constexpr int kSetLockWait = F_SETLKW;
#endif

bool ByteLock(File& file, unsigned long long offset, short type, bool wait,
              unsigned long long length = 1) {
    struct flock lock = {};
    lock.l_type = type;
    lock.l_whence = SEEK_SET;
    lock.l_start = static_cast<off_t>(offset);
    lock.l_len = static_cast<off_t>(length);
    return Retry([&] { return fcntl(Fd(file), wait ? kSetLockWait : kSetLock, &lock); }) == 0;
}

FileIdentity IdentityFrom(const struct stat& status) {
    FileIdentity identity;
    identity.device = static_cast<unsigned long long>(status.st_dev);
    identity.inode = static_cast<unsigned long long>(status.st_ino);
    identity.size = static_cast<unsigned long long>(status.st_size);
    identity.modifiedSeconds = static_cast<long long>(status.st_mtim.tv_sec);
    identity.modifiedNanoseconds = static_cast<long long>(status.st_mtim.tv_nsec);
    return identity;
}

// Takes an opened descriptor into `file` when it is a regular file; its identity comes from
// the same look at its type.
OpenResult Adopt(int fd, File& file, FileIdentity* identity = nullptr) {
    struct stat status;
    if (fstat(fd, &status) != 0) {
        close(fd);
        return OpenResult::kFailed;
    }
    if (!S_ISREG(status.st_mode)) {
        close(fd);
        return OpenResult::kNotAFile;
    }
    if (identity != nullptr) {
        *identity = IdentityFrom(status);
    }
    file.Close();
    file.native = fd;
    return OpenResult::kOpened;
}

}  // namespace

void File::Close() {
    if (native != kClosed) {
        close(Fd(*this));
        native = kClosed;
    }
}

bool GetEnvironment(const char* name, std::string& value) {
    const char* text = std::getenv(name);
    if (text == nullptr) {
        return false;
    }
    value = text;
    return true;
}

std::string LibraryDirectory() {
    Dl_info info;
    if (dladdr(reinterpret_cast<void*>(&LibraryDirectory), &info) == 0 ||
        info.dli_fname == nullptr) {
        return std::string();
    }
    return Parent(info.dli_fname);
}

std::string JoinPath(const std::string& directory, const std::string& name) {
    if (!directory.empty() && directory.back() == '/') {
        return directory + name;
    }
    return directory + "/" + name;
}

std::string LastErrorText() {
    return std::strerror(errno);
}

namespace {

EntryType TypeFrom(const std::string& path, struct stat& status) {
    if (lstat(path.c_str(), &status) != 0) {
        return errno == ENOENT || errno == ENOTDIR ? EntryType::kMissing : EntryType::kFailed;
    }
    if (S_ISREG(status.st_mode)) {
        return EntryType::kFile;
    }
    return S_ISDIR(status.st_mode) ? EntryType::kDirectory : EntryType::kOther;
}

}  // namespace

EntryType TypeOf(const std::string& path) {
    struct stat status;
    return TypeFrom(path, status);
}

EntryType TypeOf(const std::string& path, FileIdentity& identity) {
    struct stat status;
    const EntryType type = TypeFrom(path, status);
    if (type == EntryType::kFile || type == EntryType::kDirectory) {
        identity = IdentityFrom(status);
    }
    return type;
}

bool MakeDirectory(const std::string& directory) {
    if (mkdir(directory.c_str(), 0777) == 0) {
        // A new directory survives a crash only once its parent is flushed.
        SyncDirectory(Parent(directory));
        return true;
    }
    // Another process may have created it at the same moment.
    return errno == EEXIST && TypeOf(directory) == EntryType::kDirectory;
}

bool CreateDirectories(const std::string& directory) {
    struct stat status;
    if (directory.empty()) {
        return false;
    }
    if (stat(directory.c_str(), &status) == 0) {
        return S_ISDIR(status.st_mode);
    }
    const std::string parent = Parent(directory);
    if (parent != directory && parent != "/" && parent != ".") {
        CreateDirectories(parent);
    }
    return mkdir(directory.c_str(), 0777) == 0
               ? (SyncDirectory(parent), true)
               : stat(directory.c_str(), &status) == 0 && S_ISDIR(status.st_mode);
}

namespace {

// `linkFlag`: O_NOFOLLOW to refuse a link, which then costs no look of its own.
bool ListOpened(const std::string& directory, int linkFlag, std::vector<std::string>& names) {
    const int fd = OpenWithoutAccessTime(
        directory.c_str(), O_RDONLY | O_DIRECTORY | O_NONBLOCK | O_CLOEXEC | linkFlag);
    if (fd < 0) {
        return false;
    }
    const auto add = [&](const char* name) {
        if (std::strcmp(name, ".") != 0 && std::strcmp(name, "..") != 0) {
            names.emplace_back(name);
        }
    };
#ifdef __linux__
    // Read straight from the descriptor: a directory stream would check it again first.
    alignas(dirent64) char buffer[32 * 1024];
    for (;;) {
        const ssize_t got = Retry([&] { return getdents64(fd, buffer, sizeof buffer); });
        if (got <= 0) {
            close(fd);
            return got == 0;
        }
        for (ssize_t at = 0; at < got;) {
            const auto* entry = reinterpret_cast<const dirent64*>(buffer + at);
            add(entry->d_name);
            at += entry->d_reclen;
        }
    }
#else
    DIR* stream = fdopendir(fd);
    if (stream == nullptr) {
        close(fd);
        return false;
    }
    while (const dirent* entry = readdir(stream)) {
        add(entry->d_name);
    }
    closedir(stream);
    return true;
#endif
}

}  // namespace

bool ListNames(const std::string& directory, std::vector<std::string>& names) {
    return ListOpened(directory, 0, names);
}

bool ListFolderNames(const std::string& folder, std::vector<std::string>& names) {
    return ListOpened(folder, O_NOFOLLOW, names);
}

bool ModifiedTime(const std::string& path, long long& seconds) {
    struct stat status;
    if (lstat(path.c_str(), &status) != 0) {
        return false;
    }
    seconds = static_cast<long long>(status.st_mtime);
    return true;
}

OpenResult OpenForReading(const std::string& path, File& file, FileIdentity* identity) {
    // Not blocking on a FIFO, and not following a link; the type is checked on what was
    // opened, so a file swapped in meanwhile is checked too.
    const int fd =
        OpenWithoutAccessTime(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0) {
        return errno == ENOENT || errno == ENOTDIR || errno == ELOOP || errno == ENXIO ||
                       errno == EISDIR
                   ? OpenResult::kNotAFile
                   : OpenResult::kFailed;
    }
    return Adopt(fd, file, identity);
}

namespace {

OpenResult OpenForWriting(const std::string& path, File& file, int flags) {
    const bool created = (flags & O_EXCL) != 0;
    const int fd = Retry([&] {
        return open(path.c_str(), O_RDWR | O_NONBLOCK | O_NOFOLLOW | O_CLOEXEC | flags, 0666);
    });
    if (fd < 0) {
        if (errno == EEXIST) {
            return OpenResult::kExists;
        }
        return errno == ELOOP || errno == ENXIO || errno == EISDIR ? OpenResult::kNotAFile
                                                                   : OpenResult::kFailed;
    }
    if (created) {
        // Nothing stood under the name, so this is a new regular file.
        file.Close();
        file.native = fd;
        return OpenResult::kOpened;
    }
    return Adopt(fd, file);
}

}  // namespace

OpenResult CreateNew(const std::string& path, File& file) {
    return OpenForWriting(path, file, O_CREAT | O_EXCL);
}

OpenResult OpenOrCreate(const std::string& path, File& file) {
    return OpenForWriting(path, file, O_CREAT);
}

bool SizeOf(File& file, unsigned long long& size) {
    struct stat status;
    if (fstat(Fd(file), &status) != 0) {
        return false;
    }
    size = static_cast<unsigned long long>(status.st_size);
    return true;
}

bool IdentityOf(File& file, FileIdentity& identity) {
    struct stat status;
    if (fstat(Fd(file), &status) != 0) {
        return false;
    }
    identity = IdentityFrom(status);
    return true;
}

bool IdentityOf(File& file, const std::string&, FileIdentity& identity, bool& named) {
    // Nobody renames the file but its writer, so a link left is the one it was created under.
    struct stat status;
    if (fstat(Fd(file), &status) != 0) {
        return false;
    }
    identity = IdentityFrom(status);
    named = status.st_nlink > 0;
    return true;
}

bool ReadAt(File& file, unsigned long long offset, void* buffer, std::size_t size,
            std::size_t& got) {
    got = 0;
    auto* bytes = static_cast<unsigned char*>(buffer);
    while (got < size) {
        const ssize_t read = Retry([&] {
            return pread(Fd(file), bytes + got, size - got, static_cast<off_t>(offset + got));
        });
        if (read < 0) {
            return false;
        }
        if (read == 0) {
            break;
        }
        got += static_cast<std::size_t>(read);
    }
    return true;
}

bool WriteAt(File& file, unsigned long long offset, const void* data, std::size_t size) {
    const auto* bytes = static_cast<const unsigned char*>(data);
    while (size > 0) {
        const ssize_t written =
            Retry([&] { return pwrite(Fd(file), bytes, size, static_cast<off_t>(offset)); });
        if (written <= 0) {
            if (written == 0) {
                errno = ENOSPC;
            }
            return false;
        }
        bytes += written;
        offset += static_cast<unsigned long long>(written);
        size -= static_cast<std::size_t>(written);
    }
    return true;
}

bool TryLockFile(File& file) {
    return Retry([&] { return flock(Fd(file), LOCK_EX | LOCK_NB); }) == 0;
}

bool LockByte(File& file, unsigned long long offset, bool wait) {
    return ByteLock(file, offset, F_WRLCK, wait);
}

void UnlockByte(File& file, unsigned long long offset) {
    ByteLock(file, offset, F_UNLCK, false);
}

void UnlockBytes(File& file, unsigned long long first, unsigned long long last) {
    ByteLock(file, first, F_UNLCK, false, last - first + 1);
}

namespace {

// Flushes and closes the file, then renames it; on failure the temporary file is deleted.
bool FlushAndRename(File& file, const std::string& temporaryPath, const std::string& finalPath) {
    // Renamed while still open and locked, so that no reset can take it meanwhile.
    if (Retry([&] { return fsync(Fd(file)); }) != 0 ||
        rename(temporaryPath.c_str(), finalPath.c_str()) != 0) {
        const int error = errno;
        unlink(temporaryPath.c_str());
        file.Close();
        errno = error;
        return false;
    }
    file.Close();
    return true;
}

}  // namespace

bool CommitFile(File& file, const std::string& temporaryPath, const std::string& finalPath,
                const std::string& directory) {
    // The rename is durable only once the directory is flushed.
    return FlushAndRename(file, temporaryPath, finalPath) && SyncDirectory(directory);
}

bool OpenDirectory(const std::string& path, File& directory, FileIdentity& identity) {
    const int fd = OpenWithoutAccessTime(
        path.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    struct stat status;
    if (fd < 0 || fstat(fd, &status) != 0) {
        if (fd >= 0) {
            close(fd);
        }
        return false;
    }
    identity = IdentityFrom(status);
    directory.Close();
    directory.native = fd;
    return true;
}

bool CommitFile(File& file, const std::string& temporaryPath, const std::string& finalPath,
                File& directory) {
    return FlushAndRename(file, temporaryPath, finalPath) &&
           Retry([&] { return fsync(Fd(directory)); }) == 0;
}

RemoveResult RemoveFile(const std::string& directory, const std::string& name) {
    if (unlink(JoinPath(directory, name).c_str()) != 0) {
        return errno == ENOENT || errno == ENOTDIR ? RemoveResult::kMissing : RemoveResult::kFailed;
    }
    SyncDirectory(directory);
    return RemoveResult::kRemoved;
}

std::FILE* CreateTextFile(const std::string& path) {
    return std::fopen(path.c_str(), "we");
}

unsigned long ProcessId() {
    return static_cast<unsigned long>(getpid());
}

}  // namespace qz::devservice::platform
