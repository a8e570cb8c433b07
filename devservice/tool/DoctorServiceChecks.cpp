#include "tool/DoctorServiceChecks.h"

#include <filesystem>
#include <system_error>
#include <vector>

#include "control/CallLog.h"
#include "control/Settings.h"
#include "platform/Platform.h"
#include "service/Identity.h"
#include "storage/Platform.h"
#include "storage/Storage.h"
#include "storage/StorageCheck.h"
#include "tool/DoctorPlatform.h"

namespace qz::devservice::tool::doctor {

namespace {

namespace fs = std::filesystem;

// Below this a commit of an ordinary savegame may not fit.
constexpr unsigned long long kLowFreeBytes = 64ull << 20;

// The settings as the service reads them at its first session, every problem reported.
Settings CheckSettings(DoctorReport& report, const std::string& defaultDirectory) {
    Settings settings;
    settings.directory = defaultDirectory;
    const auto variables = DevServiceVariables();
    if (variables.empty()) {
        report.Line("settings", std::string("no ") + kVariablePrefix + "* variable: the defaults");
    }
    for (const auto& [name, value] : variables) {
        if (value.empty()) {
            report.Line("setting", name + " is empty: the default");
            continue;
        }
        std::vector<std::string> problems;
        if (ParseSetting(name, value, settings, problems)) {
            report.Line("setting", name + "=" + Quoted(value) + ": valid");
        }
        for (const std::string& problem : problems) {
            report.Problem("setting", Visible(problem),
                           problem.rfind("no setting ", 0) == 0
                               ? "the service reads no such variable: see the development "
                                 "service's README for their names"
                               : "correct or unset it: the service leaves out what it cannot "
                                 "parse, so a fault test would run without it");
        }
    }
    return settings;
}

// The log file's folder must be there: the service makes the file, not its folder; and it
// writes none where it could replace a savegame.
void CheckLog(DoctorReport& report, const std::string& logPath, const std::string& storage) {
    if (IsInside(logPath, storage)) {
        report.Problem("log",
                       Quoted(logPath) +
                           " lies inside the storage directory, so the service writes no call log",
                       "set VYKARIS_DEVSERVICE_LOG to a file outside " + Quoted(storage));
        return;
    }
    std::error_code error;
    const fs::path folder = fs::absolute(fs::u8path(logPath), error).parent_path();
    if (!fs::is_directory(folder, error)) {
        report.Problem("log",
                       Quoted(logPath) + ": there is no folder " + Quoted(folder.u8string()) +
                           ", so the service writes no call log",
                       "create the folder, or set VYKARIS_DEVSERVICE_LOG to a file in one");
        return;
    }
    report.Line("log", Quoted(logPath));
}

// Damaged savegames and files left by killed writers, product by product.
void ScanStorage(DoctorReport& report, const std::string& directory) {
    const Storage storage(directory);
    unsigned long long products = 0, savegames = 0, damaged = 0, temporary = 0;
    for (const unsigned int productId : storage.Products()) {
        ++products;
        const std::vector<SavegameHeader> listed = storage.List(productId);
        savegames += listed.size();
        std::size_t next = 0;
        for (const StoredFile& file : storage.Scan(productId)) {
            const std::string path = platform::JoinPath(
                platform::JoinPath(directory, std::to_string(productId)), file.name);
            if (file.kind == StoredFile::Kind::kTemporary) {
                ++temporary;
                report.Warning("storage", "left by a killed writer: " + Quoted(path),
                               "harmless, the service ignores it: delete it, or veltodev reset " +
                                   std::to_string(productId) +
                                   " removes it with the product's savegames");
                continue;
            }
            if (file.kind == StoredFile::Kind::kHeldTemporary) {
                continue;
            }
            while (next < listed.size() && listed[next].savegameId < file.savegameId) {
                ++next;
            }
            if (next < listed.size() && listed[next].savegameId == file.savegameId) {
                continue;
            }
            ++damaged;
            report.Warning(
                "storage",
                (file.kind == StoredFile::Kind::kNotAFile ? "not a file: " : "damaged savegame: ") +
                    Quoted(path) + ", which the service neither lists nor reads",
                "a game's next write of savegame " + std::to_string(file.savegameId) +
                    " replaces it; veltodev list shows it, veltodev reset " +
                    std::to_string(productId) + " removes it");
        }
    }
    report.Line("storage", "products " + std::to_string(products) + ", savegames " +
                               std::to_string(savegames) + ", damaged " + std::to_string(damaged) +
                               ", left by killed writers " + std::to_string(temporary));
}

void CheckStorage(DoctorReport& report, const std::string& directory, bool configured) {
    std::error_code error;
    const fs::path path = fs::u8path(directory);
    const std::string resolved = fs::absolute(path, error).lexically_normal().u8string();
    report.Line("storage", Quoted(directory) +
                               (configured ? " (VYKARIS_DEVSERVICE_DIR)"
                                           : " (the default: savegames beside the library)") +
                               (resolved != directory ? ", that is " + Quoted(resolved) : ""));
    if (!path.is_absolute()) {
        report.Warning("storage",
                       "a relative path: the service takes it relative to the game's working "
                       "directory",
                       "set VYKARIS_DEVSERVICE_DIR to an absolute path");
    }
    const bool existed = fs::exists(path, error);
    std::string problem;
    if (!CheckStorageDirectory(directory, problem)) {
        report.Problem("storage", problem,
                       "set VYKARIS_DEVSERVICE_DIR to a folder the game may write, or make this "
                       "one writable");
        return;
    }
    const fs::space_info space = fs::space(path, error);
    const unsigned long long freeMiB = error ? 0 : space.available >> 20;
    report.Line("storage",
                std::string(existed ? "" : "created, as the service does; ") + "writable, " +
                    (error ? "free space unknown" : std::to_string(freeMiB) + " MiB free"));
    if (!error && space.available < kLowFreeBytes) {
        report.Warning("storage", "less than 64 MiB free",
                       "free space on that disk: a commit that does not fit answers 3 (storage "
                       "failure)");
    }
    ScanStorage(report, directory);
}

}  // namespace

void CheckDevelopmentService(DoctorReport& report, void* library,
                             const std::string& installDirectory) {
    if (veltoclient::platform::FindExport(library, kIdentityExport) == nullptr) {
        report.Line("service", std::string("not the development service (no ") + kIdentityExport +
                                   " export): its settings and storage are its own");
        return;
    }
    report.Line("service", "the development service");
    const std::string defaultDirectory = platform::JoinPath(installDirectory, "savegames");
    const Settings settings = CheckSettings(report, defaultDirectory);
    if (!settings.logPath.empty()) {
        CheckLog(report, settings.logPath, settings.directory);
    }
    CheckStorage(report, settings.directory, settings.directory != defaultDirectory);
}

}  // namespace qz::devservice::tool::doctor
