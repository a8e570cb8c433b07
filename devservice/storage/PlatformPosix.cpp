// POSIX file operations of the development service.

#include <dirent.h>
#include <dlfcn.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>

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

bool IsDirectory(const std::string& path) {
    struct stat status;
    return stat(path.c_str(), &status) == 0 && S_ISDIR(status.st_mode);
}

}  // namespace

class PendingFile {
public:
    std::string directory;
    std::string finalPath;
    std::string tempPath;
    int fd = -1;
};

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
    const std::string file = info.dli_fname;
    const std::size_t slash = file.rfind('/');
    if (slash == std::string::npos) {
        return ".";
    }
    return slash == 0 ? "/" : file.substr(0, slash);
}

std::string JoinPath(const std::string& directory, const std::string& name) {
    if (!directory.empty() && directory.back() == '/') {
        return directory + name;
    }
    return directory + "/" + name;
}

bool CreateDirectories(const std::string& directory) {
    if (directory.empty()) {
        return false;
    }
    if (IsDirectory(directory)) {
        return true;
    }
    const std::size_t slash = directory.find_last_not_of('/');
    const std::size_t parentEnd =
        slash == std::string::npos ? std::string::npos : directory.rfind('/', slash);
    if (parentEnd != std::string::npos && parentEnd != 0) {
        CreateDirectories(directory.substr(0, parentEnd));
    }
    // Another process may create it at the same moment.
    return mkdir(directory.c_str(), 0777) == 0 || IsDirectory(directory);
}

namespace {

// The entries of `directory` whose type `wanted` accepts (S_ISREG, S_ISDIR), "." and ".."
// left out.
template <typename Wanted>
bool ListEntries(const std::string& directory, Wanted wanted, std::vector<std::string>& names) {
    DIR* stream = opendir(directory.c_str());
    if (stream == nullptr) {
        return false;
    }
    std::vector<std::string> found;
    while (const dirent* entry = readdir(stream)) {
        const std::string name = entry->d_name;
        if (name == "." || name == "..") {
            continue;
        }
        struct stat status;
        if (stat(JoinPath(directory, name).c_str(), &status) == 0 && wanted(status.st_mode)) {
            found.push_back(name);
        }
    }
    closedir(stream);
    names.insert(names.end(), found.begin(), found.end());
    return true;
}

}  // namespace

bool ListFiles(const std::string& directory, std::vector<std::string>& names) {
    return ListEntries(
        directory, [](mode_t mode) { return S_ISREG(mode); }, names);
}

bool ListDirectories(const std::string& directory, std::vector<std::string>& names) {
    return ListEntries(
        directory, [](mode_t mode) { return S_ISDIR(mode); }, names);
}

bool ModifiedTime(const std::string& path, long long& seconds) {
    struct stat status;
    if (stat(path.c_str(), &status) != 0) {
        return false;
    }
    seconds = static_cast<long long>(status.st_mtime);
    return true;
}

ReadResult ReadFile(const std::string& path, std::size_t limit,
                    std::vector<unsigned char>& contents, unsigned long long& fileSize) {
    const int fd = Retry([&] { return open(path.c_str(), O_RDONLY | O_CLOEXEC); });
    if (fd < 0) {
        return errno == ENOENT || errno == ENOTDIR ? ReadResult::kMissing : ReadResult::kFailed;
    }
    struct stat status;
    if (fstat(fd, &status) != 0) {
        close(fd);
        return ReadResult::kFailed;
    }
    if (!S_ISREG(status.st_mode)) {
        // A directory or device under a savegame's name holds no savegame.
        close(fd);
        return ReadResult::kMissing;
    }
    fileSize = static_cast<unsigned long long>(status.st_size);
    const std::size_t wanted = fileSize < limit ? static_cast<std::size_t>(fileSize) : limit;
    contents.resize(wanted);
    std::size_t done = 0;
    while (done < wanted) {
        const ssize_t got = Retry([&] { return read(fd, contents.data() + done, wanted - done); });
        if (got <= 0) {
            break;
        }
        done += static_cast<std::size_t>(got);
    }
    close(fd);
    // A file that shrank under us reads short; the caller checks the sizes.
    contents.resize(done);
    return ReadResult::kDone;
}

PendingFile* BeginFile(const std::string& directory, const std::string& name) {
    auto* file = new PendingFile;
    file->directory = directory;
    file->finalPath = JoinPath(directory, name);
    file->tempPath = TemporaryPath(file->finalPath, static_cast<unsigned long>(getpid()));
    file->fd = Retry([&] {
        return open(file->tempPath.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    });
    if (file->fd < 0) {
        delete file;
        return nullptr;
    }
    return file;
}

bool AppendToFile(PendingFile* file, const void* data, std::size_t size) {
    const auto* bytes = static_cast<const unsigned char*>(data);
    while (size > 0) {
        const ssize_t written = Retry([&] { return write(file->fd, bytes, size); });
        if (written <= 0) {
            return false;
        }
        bytes += written;
        size -= static_cast<std::size_t>(written);
    }
    return true;
}

bool CommitFile(PendingFile* file) {
    bool done = Retry([&] { return fsync(file->fd); }) == 0;
    done = close(file->fd) == 0 && done;
    file->fd = -1;
    done = done && rename(file->tempPath.c_str(), file->finalPath.c_str()) == 0;
    if (!done) {
        unlink(file->tempPath.c_str());
        delete file;
        return false;
    }
    // The rename is durable only once the directory is flushed.
    done = SyncDirectory(file->directory);
    delete file;
    return done;
}

void AbandonFile(PendingFile* file) {
    close(file->fd);
    unlink(file->tempPath.c_str());
    delete file;
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

}  // namespace qz::devservice::platform
