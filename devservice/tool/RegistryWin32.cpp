#include <windows.h>

#include <filesystem>

#include "storage/Platform.h"
#include "tool/Registry.h"

namespace qz::devservice::tool {

namespace {

const wchar_t kKey[] = L"SOFTWARE\\Vykaris\\Launcher";
const wchar_t kValue[] = L"InstallDir";

}  // namespace

InstallDirValue::InstallDirValue(const std::string& chosen)
    : root(chosen), where("HKEY_LOCAL_MACHINE\\SOFTWARE\\Vykaris\\Launcher InstallDir") {}

std::string InstallDirValue::EnvironmentLine() const {
    return "";
}

bool InstallDirValue::Set(const std::string& folder, std::string& error) const {
    if (!root.empty()) {
        error = "the Windows registry has no root to choose: leave out --root";
        return false;
    }
    HKEY key = nullptr;
    LSTATUS status = RegCreateKeyExW(HKEY_LOCAL_MACHINE, kKey, 0, nullptr, 0, KEY_SET_VALUE,
                                     nullptr, &key, nullptr);
    if (status == ERROR_SUCCESS) {
        const std::wstring text = std::filesystem::u8path(folder).wstring();
        status = RegSetValueExW(key, kValue, 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                                static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t)));
        RegCloseKey(key);
    }
    if (status != ERROR_SUCCESS) {
        error = "cannot set " + where + ": " + platform::ErrorText(status);
        return false;
    }
    return true;
}

bool InstallDirValue::Remove(bool& existed, std::string& error) const {
    HKEY key = nullptr;
    LSTATUS status = RegOpenKeyExW(HKEY_LOCAL_MACHINE, kKey, 0, KEY_SET_VALUE, &key);
    if (status == ERROR_SUCCESS) {
        status = RegDeleteValueW(key, kValue);
        RegCloseKey(key);
    }
    existed = status == ERROR_SUCCESS;
    if (status == ERROR_SUCCESS || status == ERROR_FILE_NOT_FOUND) {
        return true;
    }
    error = "cannot delete " + where + ": " + platform::ErrorText(status);
    return false;
}

}  // namespace qz::devservice::tool
