// veltodev: the storage tool of the development service. It works on the storage directory
// with the service's own storage code, so what it lists, exports and imports is exactly what
// a game on the service sees.

#include <cstdio>
#include <cstring>
#include <exception>
#include <string>

#include "tool/Commands.h"

namespace {

using qz::devservice::tool::Arguments;
using qz::devservice::tool::Command;
using qz::devservice::tool::Commands;

constexpr int kDone = 0;
constexpr int kFailed = 1;
constexpr int kBadArguments = 2;

void PrintHelp() {
    std::printf(
        "veltodev: the storage tool of the development service\n\n"
        "usage: veltodev [--dir <storage directory>] <command> [<arguments>]\n"
        "       veltodev <command> --help\n\n"
        "The storage directory is --dir, else VYKARIS_DEVSERVICE_DIR, else the folder\n"
        "\"savegames\" beside this program (where the build puts the service library).\n\n"
        "commands:\n");
    for (const Command& command : Commands()) {
        std::printf("  %s\n", command.usage);
    }
}

void PrintCommandHelp(const Command& command) {
    std::printf("usage: veltodev [--dir <storage directory>] %s\n\n%s\n", command.usage,
                command.help);
}

const Command* FindCommand(const std::string& name) {
    for (const Command& command : Commands()) {
        if (name == command.name) {
            return &command;
        }
    }
    return nullptr;
}

bool IsHelp(const std::string& argument) {
    return argument == "--help" || argument == "-h";
}

}  // namespace

int main(int argc, char** argv) {
    Arguments arguments(argv + 1, argv + argc);
    std::string directory;
    if (arguments.size() >= 1 && arguments[0] == "--dir") {
        if (arguments.size() < 2 || arguments[1].empty()) {
            std::fprintf(stderr, "veltodev: --dir needs a directory\n");
            return kBadArguments;
        }
        directory = arguments[1];
        arguments.erase(arguments.begin(), arguments.begin() + 2);
    }
    if (arguments.empty()) {
        PrintHelp();
        return kBadArguments;
    }
    if (IsHelp(arguments[0])) {
        PrintHelp();
        return kDone;
    }
    const Command* command = FindCommand(arguments[0]);
    if (command == nullptr) {
        std::fprintf(stderr, "veltodev: no command \"%s\"; veltodev --help lists them\n",
                     arguments[0].c_str());
        return kBadArguments;
    }
    arguments.erase(arguments.begin());
    for (const std::string& argument : arguments) {
        if (IsHelp(argument)) {
            PrintCommandHelp(*command);
            return kDone;
        }
    }
    try {
        qz::devservice::Storage storage(
            directory.empty() ? qz::devservice::ConfiguredStorageDirectory() : directory);
        command->run(storage, arguments);
        return kDone;
    } catch (const qz::devservice::tool::UsageError& error) {
        std::fprintf(stderr, "veltodev %s: %s\nusage: veltodev %s\n", command->name, error.what(),
                     command->usage);
        return kBadArguments;
    } catch (const std::exception& error) {
        std::fprintf(stderr, "veltodev %s: %s\n", command->name, error.what());
        return kFailed;
    }
}
