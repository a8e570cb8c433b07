#include <fcntl.h>
#include <signal.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <unistd.h>

#include "ChildProcess.h"

namespace qz::devservice::test {

struct ChildProcess::Native {
    pid_t pid;
};

bool ChildProcess::Start(const std::vector<std::string>& arguments) {
    return StartProgram("/proc/self/exe", arguments, "");
}

bool ChildProcess::StartProgram(const std::string& program,
                                const std::vector<std::string>& arguments,
                                const std::string& output) {
    std::vector<std::string> copies = arguments;
    copies.insert(copies.begin(), program);
    std::vector<char*> argv;
    for (std::string& argument : copies) {
        argv.push_back(&argument[0]);
    }
    argv.push_back(nullptr);
    const pid_t pid = fork();
    if (pid < 0) {
        return false;
    }
    if (pid == 0) {
        if (!output.empty()) {
            const int fd = open(output.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0666);
            if (fd < 0 || dup2(fd, 1) < 0 || dup2(fd, 2) < 0) {
                _exit(126);
            }
        }
        execv(program.c_str(), argv.data());
        _exit(127);
    }
    native = new Native{pid};
    return true;
}

void ChildProcess::Kill() {
    if (native != nullptr) {
        kill(native->pid, SIGKILL);
    }
}

int ChildProcess::Wait() {
    if (native == nullptr) {
        return -1;
    }
    int status = 0;
    while (waitpid(native->pid, &status, 0) < 0 && errno == EINTR) {
    }
    delete native;
    native = nullptr;
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

void SetEnvironment(const std::string& name, const std::string& value) {
    setenv(name.c_str(), value.c_str(), 1);
}

}  // namespace qz::devservice::test
