#include "ChildProcess.h"

namespace qz::devservice::test {

ChildProcess::~ChildProcess() {
    if (native != nullptr) {
        Kill();
        Wait();
    }
}

int RunChild(const std::vector<std::string>& arguments) {
    ChildProcess child;
    return child.Start(arguments) ? child.Wait() : -1;
}

int RunProgram(const std::string& program, const std::vector<std::string>& arguments,
               const std::string& output) {
    ChildProcess child;
    return child.StartProgram(program, arguments, output) ? child.Wait() : -1;
}

}  // namespace qz::devservice::test
