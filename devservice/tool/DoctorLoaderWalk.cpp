#include "tool/DoctorLoaderWalk.h"

#include <filesystem>
#include <system_error>

#include "ServiceLocation.h"
#include "platform/Platform.h"
#include "tool/DoctorPlatform.h"

namespace qz::devservice::tool::doctor {

namespace {

namespace fs = std::filesystem;
using veltoclient::ServiceLocation;

const char kRegisterAdvice[] =
    "point the registry at the folder that holds the service library: veltodev register "
    "<folder>";
const char kRewriteAdvice[] = "store the folder without it: veltodev register <folder>";

const char* const kEntryPointNames[] = {
#define QZ_VELTODLL_ENTRY(Result, Name, Parameters, Arguments) "QzVeltodll" #Name,
#include <veltodll/VeltodllEntryPoints.def>
};

const char* Meaning(unsigned int installationError) {
    switch (installationError) {
        case 0:
            return "the service library is bound";
        case 1:
            return "the registry key cannot be opened";
        case 2:
            return "no service library can be loaded";
        default:
            return "the service library lacks entry points";
    }
}

LoaderOutcome Outcome(DoctorReport& report, unsigned int installationError) {
    report.Line("installation error",
                std::to_string(installationError) + " (" + Meaning(installationError) + ")");
    LoaderOutcome outcome;
    outcome.installationError = installationError;
    return outcome;
}

void ShowStoredValue(DoctorReport& report, const StoredValue& stored) {
    if (!stored.root.empty()) {
        report.Line("registry", "root " + stored.root);
    }
    if (stored.state == StoredValue::State::kKeyMissing) {
        report.Line("registry", "key " + stored.key + ": cannot be opened (" + stored.reason + ")");
        return;
    }
    report.Line("registry", "key " + stored.key + ": found");
    if (stored.state == StoredValue::State::kValueMissing) {
        report.Line("registry", "value " + stored.value + ": not read (" + stored.reason + ")");
        return;
    }
    report.Line("registry", "value " + stored.value + ": " + stored.type + ", " +
                                std::to_string(stored.bytes.size()) + " bytes " +
                                Quoted(stored.bytes));
}

// Why the loader refuses a value it could read.
std::string UnusableReason(const StoredValue& stored) {
    if (!stored.isString) {
        return "the value is " + stored.type + ", not a string (REG_SZ): the loader reads none";
    }
    const std::size_t zero = stored.bytes.find('\0');
    if (zero != std::string::npos) {
        return "the value holds a 0 at byte " + std::to_string(zero) +
               ", which would cut the path short: the loader reads none";
    }
    return "the value has " + std::to_string(stored.bytes.size()) + " bytes, more than the " +
           std::to_string(veltoclient::kValueSize - 1) + " the loader reads";
}

// Characters that are part of the path though nobody meant them: each kind once, at its first
// place.
void WarnUnusual(DoctorReport& report, const std::string& value) {
    const struct {
        char character;
        const char* what;
    } kinds[] = {
        {'\r', "a carriage return (\\r), the line end of a file edited on Windows,"},
        {'\n', "a line feed (\\n): only one at the very end is dropped, and this one is"},
        {'\t', "a tab (\\t),"},
    };
    for (const auto& kind : kinds) {
        const std::size_t at = value.find(kind.character);
        if (at != std::string::npos) {
            report.Warning("value",
                           std::string("holds ") + kind.what + " at byte " + std::to_string(at) +
                               ": it is part of the path",
                           kRewriteAdvice);
        }
    }
    if (value.front() == ' ' || value.back() == ' ') {
        report.Warning("value", "starts or ends with a space: it is part of the path",
                       kRewriteAdvice);
    }
    std::error_code error;
    const fs::path path = fs::u8path(value);
    if (!path.is_absolute()) {
        const fs::path cwd = fs::current_path(error);
        report.Warning("value",
                       std::string("a relative path: ") + kRelativeLibraryPaths +
                           "; the working directory is " + Quoted(cwd.u8string()) +
                           " here, which makes it " +
                           Quoted((cwd / path).lexically_normal().u8string()),
                       "store an absolute path, so that a game started from another folder finds "
                       "the library too: veltodev register stores one");
    }
}

void ShowValue(DoctorReport& report, const StoredValue& stored, const std::string& value) {
    std::string note;
    if (stored.bytes.size() == value.size() + 1 && stored.bytes.back() == '\n') {
        note = " (one trailing line feed dropped, as the loader does)";
    }
    report.Line("value", Quoted(value) + " as the loader reads it" + note);
    WarnUnusual(report, value);
}

// Whether the loader's attempt may find a library at the path; a problem reported when not.
bool LibraryFileExists(DoctorReport& report, const std::string& path) {
    std::error_code error;
    const fs::path library = fs::u8path(path);
    const fs::file_status status = fs::status(library, error);
    if (fs::is_regular_file(status)) {
        report.Line("library", Quoted(path) + " exists");
        return true;
    }
    if (fs::exists(status)) {
        report.Problem("library", Quoted(path) + " is not a file: a game gets installation error 2",
                       std::string("remove what stands there, or ") + kRegisterAdvice);
        return false;
    }
    // The system may find a relative path elsewhere: its load decides.
    if (!library.is_absolute()) {
        report.Line("library", Quoted(path) + " is not in the working directory");
        return true;
    }
    const fs::path folder = library.parent_path();
    const std::string where = fs::is_directory(folder, error)
                                  ? "the folder " + Quoted(folder.u8string()) + " holds no " +
                                        library.filename().u8string()
                                  : "there is no folder " + Quoted(folder.u8string());
    report.Problem(
        "library",
        Quoted(path) + " does not exist (" + where + "): a game gets installation error 2",
        kRegisterAdvice);
    return false;
}

// Looks up every entry point, as the loader does after a miss too.
unsigned int BindEntryPoints(DoctorReport& report, void* library) {
    unsigned int found = 0;
    for (const char* name : kEntryPointNames) {
        if (veltoclient::platform::FindExport(library, name) != nullptr) {
            ++found;
        } else {
            report.Line("entry point", std::string(name) + " missing");
        }
    }
    const std::string count =
        std::to_string(found) + " of " + std::to_string(std::size(kEntryPointNames));
    if (found == std::size(kEntryPointNames)) {
        report.Line("entry points", count);
        return 0;
    }
    report.Problem("entry points", count + ": a game gets installation error 3",
                   "the library is not a complete service library of this interface: register "
                   "the folder of one that is, such as the development service's");
    return 3;
}

}  // namespace

LoaderOutcome WalkLoaderWay(DoctorReport& report) {
    const StoredValue stored = ReadStoredInstallDir();
    ShowStoredValue(report, stored);

    char directory[veltoclient::kPathSize];
    char path[veltoclient::kPathSize];
    switch (veltoclient::LocateServiceLibrary(directory, path)) {
        case ServiceLocation::kKeyMissing:
            report.Problem("registry", "no key: a game gets installation error 1", kRegisterAdvice);
            return Outcome(report, 1);
        case ServiceLocation::kValueMissing:
            report.Problem("registry", "no InstallDir value: a game gets installation error 2",
                           kRegisterAdvice);
            return Outcome(report, 2);
        case ServiceLocation::kValueUnusable:
            report.Problem("value", UnusableReason(stored) + ": a game gets installation error 2",
                           kRegisterAdvice);
            return Outcome(report, 2);
        case ServiceLocation::kValueEmpty:
            report.Problem("value",
                           "empty: the loader loads no library from the root of the drive, and a "
                           "game gets installation error 2",
                           kRegisterAdvice);
            return Outcome(report, 2);
        case ServiceLocation::kPathTooLong:
            ShowValue(report, stored, directory);
            report.Problem("library",
                           "the path would have more than the " +
                               std::to_string(veltoclient::kPathSize - 1) +
                               " bytes the loader allows: a game gets installation error 2",
                           "move the service library to a folder with a shorter path and register "
                           "that: veltodev register <folder>");
            return Outcome(report, 2);
        case ServiceLocation::kFound:
            break;
    }
    ShowValue(report, stored, directory);
    report.Line("library", Quoted(path) + " formed from the value");
    if (!LibraryFileExists(report, path)) {
        return Outcome(report, 2);
    }
    void* library = veltoclient::platform::LoadLibraryAt(path);
    if (library == nullptr) {
        report.Problem(
            "library",
            "cannot be loaded: " + LoadFailureReason(path) + ": a game gets installation error 2",
            "the file must be a service library built for this system and processor, "
            "such as the development service's: rebuild it, or register the folder of "
            "one that is");
        return Outcome(report, 2);
    }
    report.Line("library", "loaded");
    LoaderOutcome outcome = Outcome(report, BindEntryPoints(report, library));
    outcome.library = library;
    outcome.directory = directory;
    return outcome;
}

}  // namespace qz::devservice::tool::doctor
