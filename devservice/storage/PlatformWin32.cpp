// Win32 file operations of the development service. MoveFileExW with MOVEFILE_WRITE_THROUGH
// returns only once the rename is on the disk, so there is no directory to flush.

#include <windows.h>

#include <cstdio>

#include "storage/Platform.h"

namespace qz::devservice::platform {

namespace {

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

bool IsDirectory(const std::wstring& path) {
    const DWORD attributes = GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

bool IsSeparator(char c) {
    return c == '\\' || c == '/';
}

}  // namespace

class PendingFile {
public:
    std::wstring finalPath;
    std::wstring tempPath;
    HANDLE handle = INVALID_HANDLE_VALUE;
};

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

bool CreateDirectories(const std::string& directory) {
    if (directory.empty()) {
        return false;
    }
    const std::wstring wide = Wide(directory);
    if (IsDirectory(wide)) {
        return true;
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
    return CreateDirectoryW(wide.c_str(), nullptr) != 0 || IsDirectory(wide);
}

namespace {

// The entries of `directory` that are directories (`directories`) or files, "." and ".."
// left out.
bool ListEntries(const std::string& directory, bool directories, std::vector<std::string>& names) {
    WIN32_FIND_DATAW data;
    const HANDLE search = FindFirstFileW(Wide(JoinPath(directory, "*")).c_str(), &data);
    if (search == INVALID_HANDLE_VALUE) {
        return false;
    }
    std::vector<std::string> found;
    do {
        const bool isDirectory = (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
        const std::string name = Narrow(data.cFileName, lstrlenW(data.cFileName));
        if (isDirectory == directories && name != "." && name != "..") {
            found.push_back(name);
        }
    } while (FindNextFileW(search, &data));
    FindClose(search);
    names.insert(names.end(), found.begin(), found.end());
    return true;
}

}  // namespace

bool ListFiles(const std::string& directory, std::vector<std::string>& names) {
    return ListEntries(directory, false, names);
}

bool ListDirectories(const std::string& directory, std::vector<std::string>& names) {
    return ListEntries(directory, true, names);
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

ReadResult ReadFile(const std::string& path, std::size_t limit,
                    std::vector<unsigned char>& contents, unsigned long long& fileSize) {
    // Sharing delete lets another process rename its new version over this one meanwhile.
    const HANDLE handle = CreateFileW(Wide(path).c_str(), GENERIC_READ,
                                      FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                      nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
        const DWORD error = GetLastError();
        // A directory under a savegame's name holds no savegame.
        return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND ||
                       IsDirectory(Wide(path))
                   ? ReadResult::kMissing
                   : ReadResult::kFailed;
    }
    LARGE_INTEGER size;
    if (!GetFileSizeEx(handle, &size)) {
        CloseHandle(handle);
        return ReadResult::kFailed;
    }
    fileSize = static_cast<unsigned long long>(size.QuadPart);
    const std::size_t wanted = fileSize < limit ? static_cast<std::size_t>(fileSize) : limit;
    contents.resize(wanted);
    std::size_t done = 0;
    while (done < wanted) {
        const std::size_t left = wanted - done;
        const DWORD chunk = left > 0x40000000u ? 0x40000000u : static_cast<DWORD>(left);
        DWORD got = 0;
        if (!::ReadFile(handle, contents.data() + done, chunk, &got, nullptr) || got == 0) {
            break;
        }
        done += got;
    }
    CloseHandle(handle);
    contents.resize(done);
    return ReadResult::kDone;
}

PendingFile* BeginFile(const std::string& directory, const std::string& name) {
    auto* file = new PendingFile;
    const std::string finalPath = JoinPath(directory, name);
    file->finalPath = Wide(finalPath);
    file->tempPath = Wide(TemporaryPath(finalPath, GetCurrentProcessId()));
    file->handle = CreateFileW(file->tempPath.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                               FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file->handle == INVALID_HANDLE_VALUE) {
        delete file;
        return nullptr;
    }
    return file;
}

bool AppendToFile(PendingFile* file, const void* data, std::size_t size) {
    const auto* bytes = static_cast<const unsigned char*>(data);
    while (size > 0) {
        const DWORD chunk = size > 0x40000000u ? 0x40000000u : static_cast<DWORD>(size);
        DWORD written = 0;
        if (!WriteFile(file->handle, bytes, chunk, &written, nullptr) || written == 0) {
            return false;
        }
        bytes += written;
        size -= written;
    }
    return true;
}

bool CommitFile(PendingFile* file) {
    bool done = FlushFileBuffers(file->handle) != 0;
    done = CloseHandle(file->handle) != 0 && done;
    done = done && MoveFileExW(file->tempPath.c_str(), file->finalPath.c_str(),
                               MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
    if (!done) {
        DeleteFileW(file->tempPath.c_str());
    }
    delete file;
    return done;
}

void AbandonFile(PendingFile* file) {
    CloseHandle(file->handle);
    DeleteFileW(file->tempPath.c_str());
    delete file;
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

}  // namespace qz::devservice::platform
