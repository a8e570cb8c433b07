// Win32 file operations of the development service. MoveFileExW with MOVEFILE_WRITE_THROUGH
// returns only once the rename is on the disk, so there is no directory to flush. Reparse
// points (links, junctions) are opened as themselves and refused.

#include <windows.h>

#include <cstdio>

#include "storage/Platform.h"

namespace qz::devservice::platform {

std::wstring Wide(const std::string& text) {
    if (text.empty()) {
        return std::wstring();
    }
    const int length =
        MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(length), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), &wide[0], length);
    return wide;
}

std::string Narrow(const wchar_t* text, int length) {
    if (length <= 0) {
        return std::string();
    }
    const int bytes = WideCharToMultiByte(CP_UTF8, 0, text, length, nullptr, 0, nullptr, nullptr);
    std::string narrow(static_cast<std::size_t>(bytes), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text, length, &narrow[0], bytes, nullptr, nullptr);
    return narrow;
}

namespace {

bool IsSeparator(char c) {
    return c == '\\' || c == '/';
}

HANDLE Handle(const File& file) {
    // NOLINTNEXTLINE(performance-no-int-to-ptr)
    return reinterpret_cast<HANDLE>(file.native);
}

constexpr DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;

// Takes an opened handle into `file` when it is a regular file on the disk: not a directory,
// a reparse point, a pipe or a device.
OpenResult Adopt(HANDLE handle, File& file) {
    BY_HANDLE_FILE_INFORMATION information;
    const bool known = GetFileInformationByHandle(handle, &information) != 0;
    const bool regular = known && GetFileType(handle) == FILE_TYPE_DISK &&
                         (information.dwFileAttributes &
                          (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT)) == 0;
    if (!regular) {
        CloseHandle(handle);
        return known ? OpenResult::kNotAFile : OpenResult::kFailed;
    }
    file.Close();
    file.native = reinterpret_cast<std::intptr_t>(handle);
    return OpenResult::kOpened;
}

OpenResult Open(const std::string& path, DWORD access, DWORD disposition, File& file) {
    const HANDLE handle =
        CreateFileW(Wide(path).c_str(), access, kShareAll, nullptr, disposition,
                    FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
        switch (GetLastError()) {
            case ERROR_FILE_EXISTS:
            case ERROR_ALREADY_EXISTS:
                return OpenResult::kExists;
            case ERROR_FILE_NOT_FOUND:
            case ERROR_PATH_NOT_FOUND:
            case ERROR_ACCESS_DENIED:  // what a directory answers
                return OpenResult::kNotAFile;
            default:
                return OpenResult::kFailed;
        }
    }
    return Adopt(handle, file);
}

bool ByteRange(File& file, unsigned long long offset, OVERLAPPED& overlapped) {
    overlapped = OVERLAPPED();
    overlapped.Offset = static_cast<DWORD>(offset);
    overlapped.OffsetHigh = static_cast<DWORD>(offset >> 32);
    return file.IsOpen();
}

}  // namespace

void File::Close() {
    if (native != kClosed) {
        CloseHandle(Handle(*this));
        native = kClosed;
    }
}

bool GetEnvironment(const char* name, std::string& value) {
    const std::wstring wideName = Wide(name);
    const DWORD length = GetEnvironmentVariableW(wideName.c_str(), nullptr, 0);
    if (length == 0) {
        // Set but empty reads as 0 too; both mean "use the default" to the callers.
        return false;
    }
    std::wstring wide(length, L'\0');
    const DWORD copied = GetEnvironmentVariableW(wideName.c_str(), &wide[0], length);
    value = Narrow(wide.c_str(), static_cast<int>(copied));
    return true;
}

std::string LibraryDirectory() {
    HMODULE module = nullptr;
    if (!GetModuleHandleExW(
            GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
            reinterpret_cast<LPCWSTR>(&LibraryDirectory), &module)) {
        return std::string();
    }
    wchar_t path[32768];
    const DWORD length = GetModuleFileNameW(module, path, 32768);
    if (length == 0 || length >= 32768) {
        return std::string();
    }
    std::string file = Narrow(path, static_cast<int>(length));
    const std::size_t slash = file.find_last_of("\\/");
    return slash == std::string::npos ? "." : file.substr(0, slash);
}

std::string JoinPath(const std::string& directory, const std::string& name) {
    if (!directory.empty() && IsSeparator(directory.back())) {
        return directory + name;
    }
    return directory + "\\" + name;
}

std::string LastErrorText() {
    const DWORD error = GetLastError();
    char text[512] = {};
    const DWORD length = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                                        nullptr, error, 0, text, sizeof text, nullptr);
    std::string message(text, length);
    while (!message.empty() && (message.back() == '\n' || message.back() == '\r' ||
                                message.back() == ' ' || message.back() == '.')) {
        message.pop_back();
    }
    return message.empty() ? "Windows error " + std::to_string(error) : message;
}

std::string ErrorText(long code) {
    SetLastError(static_cast<DWORD>(code));
    return LastErrorText();
}

EntryType TypeOf(const std::string& path) {
    const DWORD attributes = GetFileAttributesW(Wide(path).c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) {
        const DWORD error = GetLastError();
        return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND ? EntryType::kMissing
                                                                              : EntryType::kFailed;
    }
    if ((attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0) {
        return EntryType::kOther;
    }
    return (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0 ? EntryType::kDirectory : EntryType::kFile;
}

EntryType TypeOf(const std::string& path, FileIdentity& identity) {
    const EntryType type = TypeOf(path);
    if (type == EntryType::kDirectory) {
        File directory;
        return OpenDirectory(path, directory, identity) ? type : EntryType::kFailed;
    }
    if (type != EntryType::kFile) {
        return type;
    }
    // The identity needs a handle; one without access rights cannot disturb anyone.
    File file;
    switch (Open(path, 0, OPEN_EXISTING, file)) {
        case OpenResult::kOpened:
            return IdentityOf(file, identity) ? EntryType::kFile : EntryType::kFailed;
        case OpenResult::kFailed:
            return EntryType::kFailed;
        default:
            return EntryType::kOther;
    }
}

bool MakeDirectory(const std::string& directory) {
    return CreateDirectoryW(Wide(directory).c_str(), nullptr) != 0 ||
           TypeOf(directory) == EntryType::kDirectory;
}

bool CreateDirectories(const std::string& directory) {
    if (directory.empty()) {
        return false;
    }
    const DWORD attributes = GetFileAttributesW(Wide(directory).c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES) {
        return (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
    }
    std::size_t end = directory.size();
    while (end > 0 && IsSeparator(directory[end - 1])) {
        --end;
    }
    std::size_t parentEnd = end;
    while (parentEnd > 0 && !IsSeparator(directory[parentEnd - 1])) {
        --parentEnd;
    }
    // Stop at a drive ("C:\") or the start.
    if (parentEnd > 1 && directory[parentEnd - 2] != ':') {
        CreateDirectories(directory.substr(0, parentEnd - 1));
    }
    return CreateDirectoryW(Wide(directory).c_str(), nullptr) != 0 ||
           (GetFileAttributesW(Wide(directory).c_str()) & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

bool ListNames(const std::string& directory, std::vector<std::string>& names) {
    WIN32_FIND_DATAW data;
    const HANDLE search = FindFirstFileW(Wide(JoinPath(directory, "*")).c_str(), &data);
    if (search == INVALID_HANDLE_VALUE) {
        return false;
    }
    do {
        const std::string name = Narrow(data.cFileName, lstrlenW(data.cFileName));
        if (name != "." && name != "..") {
            names.push_back(name);
        }
    } while (FindNextFileW(search, &data));
    FindClose(search);
    return true;
}

bool ListFolderNames(const std::string& folder, std::vector<std::string>& names) {
    // A search would follow a reparse point standing for the folder.
    return TypeOf(folder) == EntryType::kDirectory && ListNames(folder, names);
}

bool ModifiedTime(const std::string& path, long long& seconds) {
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!GetFileAttributesExW(Wide(path).c_str(), GetFileExInfoStandard, &data)) {
        return false;
    }
    // FILETIME counts 100 ns from 1601; 11644473600 seconds lie between 1601 and 1970.
    const unsigned long long ticks =
        static_cast<unsigned long long>(data.ftLastWriteTime.dwHighDateTime) << 32 |
        data.ftLastWriteTime.dwLowDateTime;
    seconds = static_cast<long long>(ticks / 10000000ull) - 11644473600ll;
    return true;
}

OpenResult OpenForReading(const std::string& path, File& file, FileIdentity* identity) {
    // Sharing delete lets another process rename its new version over this one meanwhile.
    const OpenResult opened = Open(path, GENERIC_READ, OPEN_EXISTING, file);
    if (opened == OpenResult::kOpened && identity != nullptr && !IdentityOf(file, *identity)) {
        file.Close();
        return OpenResult::kFailed;
    }
    return opened;
}

OpenResult CreateNew(const std::string& path, File& file) {
    return Open(path, GENERIC_READ | GENERIC_WRITE, CREATE_NEW, file);
}

OpenResult OpenOrCreate(const std::string& path, File& file) {
    return Open(path, GENERIC_READ | GENERIC_WRITE, OPEN_ALWAYS, file);
}

bool SizeOf(File& file, unsigned long long& size) {
    LARGE_INTEGER value;
    if (!GetFileSizeEx(Handle(file), &value)) {
        return false;
    }
    size = static_cast<unsigned long long>(value.QuadPart);
    return true;
}

bool IdentityOf(File& file, FileIdentity& identity) {
    BY_HANDLE_FILE_INFORMATION information;
    if (!GetFileInformationByHandle(Handle(file), &information)) {
        return false;
    }
    const auto join = [](DWORD high, DWORD low) {
        return static_cast<unsigned long long>(high) << 32 | low;
    };
    // The write time counts 100 ns steps.
    const unsigned long long written =
        join(information.ftLastWriteTime.dwHighDateTime, information.ftLastWriteTime.dwLowDateTime);
    identity.device = information.dwVolumeSerialNumber;
    identity.inode = join(information.nFileIndexHigh, information.nFileIndexLow);
    identity.size = join(information.nFileSizeHigh, information.nFileSizeLow);
    identity.modifiedSeconds = static_cast<long long>(written / 10000000);
    identity.modifiedNanoseconds = static_cast<long long>(written % 10000000 * 100);
    return true;
}

bool ReadAt(File& file, unsigned long long offset, void* buffer, std::size_t size,
            std::size_t& got) {
    got = 0;
    auto* bytes = static_cast<unsigned char*>(buffer);
    while (got < size) {
        const std::size_t left = size - got;
        const DWORD chunk = left > 0x40000000u ? 0x40000000u : static_cast<DWORD>(left);
        OVERLAPPED at;
        ByteRange(file, offset + got, at);
        DWORD read = 0;
        if (!::ReadFile(Handle(file), bytes + got, chunk, &read, &at)) {
            if (GetLastError() == ERROR_HANDLE_EOF) {
                break;
            }
            return false;
        }
        if (read == 0) {
            break;
        }
        got += read;
    }
    return true;
}

bool WriteAt(File& file, unsigned long long offset, const void* data, std::size_t size) {
    const auto* bytes = static_cast<const unsigned char*>(data);
    while (size > 0) {
        const DWORD chunk = size > 0x40000000u ? 0x40000000u : static_cast<DWORD>(size);
        OVERLAPPED at;
        ByteRange(file, offset, at);
        DWORD written = 0;
        if (!WriteFile(Handle(file), bytes, chunk, &written, &at) || written == 0) {
            return false;
        }
        bytes += written;
        offset += written;
        size -= written;
    }
    return true;
}

bool TryLockFile(File& file) {
    OVERLAPPED at;
    ByteRange(file, 0, at);
    return LockFileEx(Handle(file), LOCKFILE_EXCLUSIVE_LOCK | LOCKFILE_FAIL_IMMEDIATELY, 0,
                      MAXDWORD, MAXDWORD, &at) != 0;
}

bool IdentityOf(File& file, const std::string&, FileIdentity& identity, bool& named) {
    // Nobody renames the file but its writer. A file deleted while open may keep its name
    // until its last handle closes, but is marked as going.
    FILE_STANDARD_INFO standard;
    if (!IdentityOf(file, identity) ||
        !GetFileInformationByHandleEx(Handle(file), FileStandardInfo, &standard, sizeof standard)) {
        return false;
    }
    named = standard.DeletePending == FALSE && standard.NumberOfLinks > 0;
    return true;
}

bool LockByte(File& file, unsigned long long offset, bool wait) {
    OVERLAPPED at;
    ByteRange(file, offset, at);
    const DWORD flags = LOCKFILE_EXCLUSIVE_LOCK | (wait ? 0 : LOCKFILE_FAIL_IMMEDIATELY);
    return LockFileEx(Handle(file), flags, 0, 1, 0, &at) != 0;
}

void UnlockByte(File& file, unsigned long long offset) {
    OVERLAPPED at;
    ByteRange(file, offset, at);
    UnlockFileEx(Handle(file), 0, 1, 0, &at);
}

void UnlockBytes(File& file, unsigned long long first, unsigned long long last) {
    // Windows releases only ranges exactly as they were locked.
    UnlockByte(file, first);
    UnlockByte(file, last);
}

bool CommitFile(File& file, const std::string& temporaryPath, const std::string& finalPath,
                const std::string&) {
    bool done = FlushFileBuffers(Handle(file)) != 0;
    file.Close();
    done = done && MoveFileExW(Wide(temporaryPath).c_str(), Wide(finalPath).c_str(),
                               MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
    if (!done) {
        const DWORD error = GetLastError();
        DeleteFileW(Wide(temporaryPath).c_str());
        SetLastError(error);
    }
    return done;
}

bool OpenDirectory(const std::string& path, File&, FileIdentity& identity) {
    // Not kept open: a held directory could not be made again under its name once deleted.
    const HANDLE handle =
        CreateFileW(Wide(path).c_str(), 0, kShareAll, nullptr, OPEN_EXISTING,
                    FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
        return false;
    }
    File directory;
    directory.native = reinterpret_cast<std::intptr_t>(handle);
    BY_HANDLE_FILE_INFORMATION information;
    return GetFileInformationByHandle(handle, &information) != 0 &&
           (information.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0 &&
           (information.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) == 0 &&
           IdentityOf(directory, identity);
}

bool CommitFile(File& file, const std::string& temporaryPath, const std::string& finalPath, File&) {
    return CommitFile(file, temporaryPath, finalPath, std::string());
}

RemoveResult RemoveFile(const std::string& directory, const std::string& name) {
    if (!DeleteFileW(Wide(JoinPath(directory, name)).c_str())) {
        const DWORD error = GetLastError();
        return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND
                   ? RemoveResult::kMissing
                   : RemoveResult::kFailed;
    }
    return RemoveResult::kRemoved;
}

std::FILE* CreateTextFile(const std::string& path) {
    return _wfopen(Wide(path).c_str(), L"wb");
}

unsigned long ProcessId() {
    return GetCurrentProcessId();
}

}  // namespace qz::devservice::platform
