// register: points the registry at a folder holding the service library, as a launcher
// would on a player's machine.

#include <cstdio>
#include <filesystem>
#include <string>
#include <system_error>

#include "storage/Platform.h"
#include "tool/Commands.h"
#include "tool/Registry.h"

namespace qz::devservice::tool {

namespace {

#ifdef _WIN32
const char kLibraryName[] = "vykveltoapi_r2.dll";
#else
const char kLibraryName[] = "vykveltoapi_r2.so";
#endif
// The loader reads the value into 255 bytes and refuses a library path of 260 or more.
constexpr std::size_t kMaxValueBytes = 254;
constexpr std::size_t kMaxPathBytes = 259;

// The folder as the loader will need it: absolute, so that the working directory of a game
// does not matter, and holding the service library.
std::string ServiceFolder(const std::string& argument) {
    namespace fs = std::filesystem;
    std::error_code error;
    fs::path folder = fs::absolute(fs::u8path(argument), error).lexically_normal();
    if (!folder.has_filename()) {
        folder = folder.parent_path();  // no trailing separator
    }
    std::string text = folder.u8string();
    if (error || !fs::is_regular_file(folder / kLibraryName, error)) {
        throw Failure("no " + std::string(kLibraryName) + " in \"" + text +
                      "\": register the folder that holds the service library");
    }
    if (text.size() > kMaxValueBytes || text.size() + 1 + sizeof kLibraryName - 1 > kMaxPathBytes) {
        throw Failure("\"" + text + "\" is too long for the loader (" +
                      std::to_string(kMaxValueBytes) + " bytes, and " +
                      std::to_string(kMaxPathBytes) + " with the library's name)");
    }
    return text;
}

}  // namespace

std::string RunRegister(Storage&, const Arguments& arguments) {
    Arguments rest = arguments;
    std::string root;
    if (rest.size() >= 2 && rest[0] == "--root") {
        root = rest[1];
        rest.erase(rest.begin(), rest.begin() + 2);
    }
    if (rest.size() != 1 || rest[0].empty() || (rest[0] == "--root")) {
        throw UsageError("expected a folder or --remove");
    }
    const InstallDirValue value(root);
    std::string error;
    if (rest[0] == "--remove") {
        bool existed = false;
        if (!value.Remove(existed, error)) {
            throw Failure(error);
        }
        return existed ? "removed " + value.Where() : "no " + value.Where() + ": nothing to remove";
    }
    const std::string folder = ServiceFolder(rest[0]);
    if (!value.Set(folder, error)) {
        throw Failure(error);
    }
    // What a shell needs to see the value, whether or not the confirmation is wanted.
    const std::string environment = value.EnvironmentLine();
    if (!environment.empty()) {
        std::printf("%s\n", environment.c_str());
    }
    return "registered \"" + folder + "\" in " + value.Where();
}

}  // namespace qz::devservice::tool
