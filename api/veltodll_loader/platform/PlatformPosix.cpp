// The POSIX platform layer. The registry is a directory tree: key K of the local machine is
// the directory <root>/HKEY_LOCAL_MACHINE/<K with each backslash as a slash>, and value V of it
// is the regular file V in that directory (or a link to one), whose bytes are the string less
// one trailing line feed. <root> is $VYKARIS_REGISTRY_ROOT when set and not empty, else
// /etc/vykaris/registry.

#include <dirent.h>
#include <dlfcn.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "platform/Platform.h"

namespace qz::veltoclient::platform {

namespace {

constexpr unsigned int kFileNameSize = 4096;

// Composes <root>/HKEY_LOCAL_MACHINE/<key>[/<value>] into `out`; false when it does not fit.
bool RegistryPath(const char* key, const char* value, char* out, unsigned int size) {
    const char* root = std::getenv("VYKARIS_REGISTRY_ROOT");
    if (root == nullptr || root[0] == '\0') {
        root = kDefaultRegistryRoot;
    }
    const int length =
        value != nullptr ? std::snprintf(out, size, "%s/HKEY_LOCAL_MACHINE/%s/%s", root, key, value)
                         : std::snprintf(out, size, "%s/HKEY_LOCAL_MACHINE/%s", root, key);
    if (length < 0 || static_cast<unsigned int>(length) >= size) {
        return false;
    }
    const std::size_t rootLength = std::strlen(root);
    for (char* c = out + rootLength; *c != '\0'; ++c) {
        if (*c == '\\') {
            *c = '/';
        }
    }
    return true;
}

// Reads up to `size` bytes, retrying short reads; -1 on a read error.
long ReadFully(int fd, char* buffer, unsigned int size) {
    unsigned int done = 0;
    while (done < size) {
        const ssize_t got = read(fd, buffer + done, size - done);
        if (got < 0) {
            if (errno == EINTR) {
                continue;
            }
            return -1;
        }
        if (got == 0) {
            break;
        }
        done += static_cast<unsigned int>(got);
    }
    return static_cast<long>(done);
}

// Opens `path` for reading when it is, or links to, a regular file; -1 for anything else.
// Opening a FIFO blocks until a writer comes, and opening a device may act on it, so the type
// is checked first; the open itself never blocks, and the file opened is checked again in case
// another was put in its place in between.
int OpenRegularFile(const char* path) {
    struct stat named;
    if (stat(path, &named) != 0 || !S_ISREG(named.st_mode)) {
        return -1;
    }
    const int fd = open(path, O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
    if (fd < 0) {
        return -1;
    }
    struct stat opened;
    if (fstat(fd, &opened) != 0 || !S_ISREG(opened.st_mode)) {
        close(fd);
        return -1;
    }
    return fd;
}

}  // namespace

RegistryRead ReadLocalMachineString(const char* keyName, const char* valueName, char* buffer,
                                    unsigned int size) {
    std::memset(buffer, 0, size);
    char path[kFileNameSize];
    if (!RegistryPath(keyName, nullptr, path, sizeof path)) {
        return RegistryRead::kKeyMissing;
    }
    // Opening a key means the directory exists and can be read.
    DIR* key = opendir(path);
    if (key == nullptr) {
        return RegistryRead::kKeyMissing;
    }
    closedir(key);
    if (size == 0 || !RegistryPath(keyName, valueName, path, sizeof path)) {
        return RegistryRead::kValueMissing;
    }

    const int fd = OpenRegularFile(path);
    if (fd < 0) {
        return RegistryRead::kValueMissing;
    }
    // One byte more than the buffer holds tells a value that fills it from one that overflows.
    long length = ReadFully(fd, buffer, size);
    char extra = 0;
    const long more = length == static_cast<long>(size) ? ReadFully(fd, &extra, 1) : 0;
    close(fd);
    if (length < 0 || more < 0) {
        std::memset(buffer, 0, size);
        return RegistryRead::kValueMissing;
    }

    // More bytes than the buffer holds are too many even without a trailing line feed.
    if (length > 0 && buffer[length - 1] == '\n' && more == 0) {
        --length;
    }
    const bool fits = more == 0 && length < static_cast<long>(size);
    // A zero byte would cut the text short: not a string value.
    if (!fits || std::memchr(buffer, '\0', static_cast<std::size_t>(length)) != nullptr) {
        std::memset(buffer, 0, size);
        return RegistryRead::kUnusable;
    }
    buffer[length] = '\0';
    return RegistryRead::kFound;
}

void* LoadLibraryAt(const char* path) {
    // The dynamic loader opens the file as it is: a FIFO in the library's place would hold the
    // game in dlopen until a writer came. Only a regular file (or a link to one) is a library.
    struct stat file;
    if (stat(path, &file) != 0 || !S_ISREG(file.st_mode)) {
        return nullptr;
    }
    return dlopen(path, RTLD_NOW | RTLD_LOCAL);
}

ExportAddress FindExport(void* library, const char* name) {
    return reinterpret_cast<ExportAddress>(dlsym(library, name));
}

}  // namespace qz::veltoclient::platform
