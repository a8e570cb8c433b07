#include <windows.h>

#include "ChildProcess.h"

namespace qz::devservice::test {

namespace {

// One argument quoted for the C runtime's parser; the arguments here hold no quotes.
std::string Quoted(const std::string& argument) {
    return "\"" + argument + "\"";
}

}  // namespace

struct ChildProcess::Native {
    PROCESS_INFORMATION process;
};

bool ChildProcess::Start(const std::vector<std::string>& arguments) {
    char self[MAX_PATH];
    const DWORD length = GetModuleFileNameA(nullptr, self, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) {
        return false;
    }
    return StartProgram(self, arguments, "");
}

bool ChildProcess::StartProgram(const std::string& program,
                                const std::vector<std::string>& arguments,
                                const std::string& output) {
    std::string commandLine = Quoted(program);
    for (const std::string& argument : arguments) {
        commandLine += " " + Quoted(argument);
    }
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    HANDLE file = INVALID_HANDLE_VALUE;
    if (!output.empty()) {
        SECURITY_ATTRIBUTES inherited{sizeof inherited, nullptr, TRUE};
        file = CreateFileA(output.c_str(), GENERIC_WRITE,
                           FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, &inherited,
                           CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file == INVALID_HANDLE_VALUE) {
            return false;
        }
        startup.dwFlags = STARTF_USESTDHANDLES;
        startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
        startup.hStdOutput = file;
        startup.hStdError = file;
    }
    PROCESS_INFORMATION process{};
    const bool started =
        CreateProcessA(program.c_str(), &commandLine[0], nullptr, nullptr,
                       file != INVALID_HANDLE_VALUE, 0, nullptr, nullptr, &startup, &process) != 0;
    if (file != INVALID_HANDLE_VALUE) {
        CloseHandle(file);
    }
    if (!started) {
        return false;
    }
    native = new Native{process};
    return true;
}

void ChildProcess::Kill() {
    if (native != nullptr) {
        TerminateProcess(native->process.hProcess, 0xDEAD);
    }
}

int ChildProcess::Wait() {
    if (native == nullptr) {
        return -1;
    }
    WaitForSingleObject(native->process.hProcess, INFINITE);
    DWORD code = 0;
    GetExitCodeProcess(native->process.hProcess, &code);
    CloseHandle(native->process.hThread);
    CloseHandle(native->process.hProcess);
    delete native;
    native = nullptr;
    return code == 0xDEAD ? -1 : static_cast<int>(code);
}

void SetEnvironment(const std::string& name, const std::string& value) {
    // The block that CreateProcess hands on, not the C runtime's copy.
    SetEnvironmentVariableA(name.c_str(), value.c_str());
}

}  // namespace qz::devservice::test
