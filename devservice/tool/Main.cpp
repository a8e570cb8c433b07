// veltodev: the storage tool of the development service. It works on the storage directory
// with the service's own storage code, so what it lists, exports and imports is exactly what
// a game on the service sees.

#include <cstdio>
#include <cstring>
#include <exception>
#include <filesystem>
#include <string>
#include <system_error>

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
        "usage: veltodev [--dir <storage directory>] [--quiet] <command> [<arguments>]\n"
        "       veltodev <command> --help\n\n"
        "The storage directory is --dir (which must exist, but for import), else\n"
        "VYKARIS_DEVSERVICE_DIR, else the folder \"savegames\" beside this program (where the\n"
        "build puts the service library). A command that changes something says so in one\n"
        "line; --quiet leaves that line out. Exit codes: 0 done, 1 failed, 2 bad arguments.\n\n"
        "commands:\n");
    for (const Command& command : Commands()) {
        std::printf("  %s\n", command.usage);
    }
}

void PrintCommandHelp(const Command& command) {
    std::printf("usage: veltodev [--dir <storage directory>] [--quiet] %s\n\n%s\n", command.usage,
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

// Only import may fill a directory that is not there yet: for every other command a
// mistyped --dir would look like an empty storage, or make one where none was meant.
bool IsDirectory(const std::string& path) {
    std::error_code error;
    return std::filesystem::is_directory(std::filesystem::u8path(path), error);
}

}  // namespace

int main(int argc, char** argv) {
    Arguments arguments(argv + 1, argv + argc);
    std::string directory;
    bool quiet = false;
    while (!arguments.empty() && (arguments[0] == "--dir" || arguments[0] == "--quiet")) {
        if (arguments[0] == "--quiet") {
            quiet = true;
            arguments.erase(arguments.begin());
            continue;
        }
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
    if (!directory.empty() && std::strcmp(command->name, "import") != 0 &&
        !IsDirectory(directory)) {
        std::fprintf(stderr, "veltodev %s: no storage directory \"%s\"\n", command->name,
                     directory.c_str());
        return kFailed;
    }
    try {
        qz::devservice::Storage storage(
            directory.empty() ? qz::devservice::ConfiguredStorageDirectory() : directory);
        const std::string confirmation = command->run(storage, arguments);
        if (!quiet && !confirmation.empty()) {
            std::printf("%s\n", confirmation.c_str());
        }
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
