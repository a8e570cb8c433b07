#pragma once

#include <string>
#include <vector>

namespace qz::devservice::test {

/// A copy of this test program started with other arguments, for what needs a process of its
/// own: a fresh look at the storage, or a writer to kill. Only this process's own children are
/// ever killed, by their id or handle.
class ChildProcess {
public:
    ChildProcess() = default;
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;
    /// Kills the child if it still runs, and waits for it.
    ~ChildProcess();

    /// Starts this program with `arguments`, inheriting the environment; false on failure.
    bool Start(const std::vector<std::string>& arguments);
    /// Starts `program` with `arguments`; its standard output and error go to the file
    /// `output` unless that is empty.
    bool StartProgram(const std::string& program, const std::vector<std::string>& arguments,
                      const std::string& output);
    /// Ends the child at once: SIGKILL, or TerminateProcess on Windows.
    void Kill();
    /// Waits for the child's end; its exit code, or -1 when it was killed or never started.
    int Wait();

private:
    struct Native;
    Native* native = nullptr;
};

/// Sets a variable of this process's environment, for the children started after.
void SetEnvironment(const std::string& name, const std::string& value);

/// Starts this program with `arguments` and waits; its exit code.
int RunChild(const std::vector<std::string>& arguments);

/// Runs `program` with `arguments`, its output into the file `output`, and waits; its exit
/// code, or -1 when it could not start.
int RunProgram(const std::string& program, const std::vector<std::string>& arguments,
               const std::string& output);

}  // namespace qz::devservice::test
