// veltodev doctor, in process: the loader's way to the service library on one registry setup
// after another, the development service's settings and its storage directory; and the
// command itself, run as a program, for its exit codes. Natively each case has a registry root
// of its own; under Wine the cases write the prefix's real registry, which the scenario holds
// for this program alone (CMakeLists.txt).

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#ifdef _WIN32
#include <windows.h>
#else
#include <sys/stat.h>
#endif

#include "ChildProcess.h"
#include "storage/SavegameFile.h"
#include "tool/Doctor.h"

namespace qz::devservice::test {
namespace {

namespace fs = std::filesystem;

#ifdef _WIN32
constexpr char kLibraryName[] = "vykveltoapi_r2.dll";
constexpr char kToolName[] = "veltodev.exe";
// The system's reason for refusing a text file, which the loader never shows.
constexpr char kLoadFailure[] = "(error 193)";
#else
constexpr char kLibraryName[] = "vykveltoapi_r2.so";
constexpr char kToolName[] = "veltodev";
constexpr char kLoadFailure[] = "/vykveltoapi_r2.so: ";
#endif

// A folder the scenario names in a variable (CMakeLists.txt), as this program sees it.
std::string Folder(const char* variable) {
    const char* value = std::getenv(variable);
    EXPECT_NE(value, nullptr) << variable;
    return value != nullptr ? value : "";
}

std::string Scratch(const std::string& name) {
    const fs::path path = fs::path(Folder("QZ_DOCTOR_SCRATCH")) / name;
    fs::create_directories(path.parent_path());
    return path.string();
}

void WriteFile(const std::string& path, const std::string& bytes) {
    fs::create_directories(fs::path(path).parent_path());
    std::ofstream(path, std::ios::binary) << bytes;
}

void SetVariable(const std::string& name, const char* value) {
#ifdef _WIN32
    SetEnvironmentVariableA(name.c_str(), value);
#else
    if (value != nullptr) {
        setenv(name.c_str(), value, 1);
    } else {
        unsetenv(name.c_str());
    }
#endif
}

// The launcher's key: missing, without InstallDir, or holding `bytes` (a string, unless
// `type` says otherwise on Windows).
enum class Key { kMissing, kEmpty, kValue };
void SetRegistry(const std::string& name, Key key, const std::string& bytes = "",
                 unsigned long type = 1) {
#ifdef _WIN32
    (void)name;
    RegDeleteKeyA(HKEY_LOCAL_MACHINE, "SOFTWARE\\Vykaris\\Launcher");
    if (key == Key::kMissing) {
        return;
    }
    HKEY handle = nullptr;
    ASSERT_EQ(RegCreateKeyExA(HKEY_LOCAL_MACHINE, "SOFTWARE\\Vykaris\\Launcher", 0, nullptr, 0,
                              KEY_SET_VALUE, nullptr, &handle, nullptr),
              ERROR_SUCCESS);
    if (key == Key::kValue) {
        // With the string's terminator, as the registry keeps strings.
        const std::string stored = bytes + '\0';
        RegSetValueExA(handle, "InstallDir", 0, type, reinterpret_cast<const BYTE*>(stored.data()),
                       static_cast<DWORD>(stored.size()));
    }
    RegCloseKey(handle);
#else
    (void)type;
    const std::string root = Scratch("registry-" + name);
    fs::remove_all(root);
    fs::create_directories(root);
    SetVariable("VYKARIS_REGISTRY_ROOT", root.c_str());
    const std::string folder = root + "/HKEY_LOCAL_MACHINE/SOFTWARE/Vykaris/Launcher";
    if (key != Key::kMissing) {
        fs::create_directories(folder);
    }
    if (key == Key::kValue) {
        WriteFile(folder + "/InstallDir", bytes);
    }
#endif
}

// The value as a person stores it: on Linux a file ending in a line feed.
std::string Stored(const std::string& folder) {
#ifdef _WIN32
    return folder;
#else
    return folder + "\n";
#endif
}

void ExpectLines(const std::string& text, const std::vector<std::string>& expected) {
    for (const std::string& line : expected) {
        EXPECT_NE(text.find(line), std::string::npos) << "no \"" << line << "\" in\n" << text;
    }
}

// Each registry setup a developer meets, with what the doctor must say about it.
TEST(Doctor, WalksTheLoadersWayAndNamesWhatStopsIt) {
    const std::string devservice = Folder("QZ_DOCTOR_DEVSERVICE");
    const std::string full = Folder("QZ_DOCTOR_FAKE_FULL");
    const std::string incomplete = Folder("QZ_DOCTOR_FAKE_MISSING_EXPORT");
    const std::string empty = Scratch("no-library");
    fs::create_directories(empty);
    const std::string notLoadable = Scratch("not-loadable");
    WriteFile((fs::path(notLoadable) / kLibraryName).string(), "not a library\n");
    const std::string relative = fs::relative(full).string();
#ifndef _WIN32
    const std::string fifo = Scratch("fifo");
    fs::create_directories(fifo);
    mkfifo((fifo + "/" + kLibraryName).c_str(), 0600);
#endif
    SetVariable("VYKARIS_DEVSERVICE_DIR", Scratch("walk-storage").c_str());

    const struct {
        const char* name;
        Key key;
        std::string bytes;
        bool healthy;
        std::vector<std::string> lines;
    } cases[] = {
        {"no-key",
         Key::kMissing,
         "",
         false,
         {"registry: no key: a game gets installation error 1", "advice: point the registry",
          "installation error: 1"}},
        {"no-value",
         Key::kEmpty,
         "",
         false,
         {"registry: key ", ": found", "no InstallDir value", "installation error: 2"}},
        {"empty", Key::kValue, "", false, {"value: empty", "installation error: 2"}},
        {"crlf",
         Key::kValue,
         devservice + "\r\n",
         false,
         {"\\r\\n\"", "holds a carriage return (\\r)", "advice: store the folder without it",
          "does not exist (there is no folder ", "installation error: 2"}},
        {"line-feeds",
         Key::kValue,
         devservice + "\n\n",
         false,
         {"holds a line feed (\\n)", "installation error: 2"}},
        {"zero",
         Key::kValue,
         devservice + std::string(1, '\0') + "x",
         false,
         {"holds a 0 at byte " + std::to_string(devservice.size()), "installation error: 2"}},
        {"too-long",
         Key::kValue,
         std::string(300, 'v'),
         false,
         {"more than the 254 the loader reads", "installation error: 2"}},
        {"no-library",
         Key::kValue,
         Stored(empty),
         false,
         {"\" holds no " + std::string(kLibraryName), "installation error: 2"}},
        {"not-loadable",
         Key::kValue,
         Stored(notLoadable),
         false,
         {"exists", "library: cannot be loaded: ", kLoadFailure, "installation error: 2"}},
#ifndef _WIN32
        // Neither the doctor nor a game's loader waits on it for a writer.
        {"fifo", Key::kValue, Stored(fifo), false, {"is not a file", "installation error 2"}},
#endif
        {"incomplete",
         Key::kValue,
         Stored(incomplete),
         false,
         {"entry point: QzVeltodllSaveGameInfoGetSize missing", "entry points: 20 of 21",
          "installation error: 3", "service: not the development service"}},
        {"relative",
         Key::kValue,
         Stored(relative),
         true,
         {"a relative path: ", "; the working directory is ", "entry points: 21 of 21",
          "installation error: 0", "1 warning"}},
        {"relative-missing",
         Key::kValue,
         Stored("no-such-folder"),
         false,
         {"is not in the working directory", "cannot be loaded: ", "installation error: 2"}},
        {"devservice",
         Key::kValue,
         Stored(devservice),
         true,
         {"library: loaded", "entry points: 21 of 21", "installation error: 0",
          "service: the development service", "storage: ", "0 problems, 0 warnings"}},
    };
    for (const auto& c : cases) {
        SetRegistry(c.name, c.key, c.bytes);
        const tool::doctor::DoctorReport report = tool::doctor::Diagnose();
        EXPECT_EQ(report.Healthy(), c.healthy) << c.name << "\n" << report.Text();
        SCOPED_TRACE(c.name);
        ExpectLines(report.Text(), c.lines);
    }
    SetVariable("VYKARIS_DEVSERVICE_DIR", nullptr);
}

#ifdef _WIN32
// An expandable string is no string to the loader.
TEST(Doctor, NamesAValueOfAnotherType) {
    SetRegistry("expand", Key::kValue, Folder("QZ_DOCTOR_DEVSERVICE"), REG_EXPAND_SZ);
    const tool::doctor::DoctorReport report = tool::doctor::Diagnose();
    EXPECT_FALSE(report.Healthy());
    ExpectLines(report.Text(), {"REG_EXPAND_SZ, not a string (REG_SZ)", "installation error: 2"});
}
#endif

// Every VYKARIS_DEVSERVICE_* variable goes through the service's own parser: one bad rule
// among good ones, a value of the wrong form, a misspelt name.
TEST(Doctor, ChecksEverySettingWithTheServicesParser) {
    SetRegistry("settings", Key::kValue, Stored(Folder("QZ_DOCTOR_DEVSERVICE")));
    const std::string storage = Scratch("settings-storage");
    const std::string logInStorage = storage + "/7.jsonl";
    const struct {
        const char* name;
        const char* value;
        bool healthy;
        std::string line;
    } cases[] = {
        {"VYKARIS_DEVSERVICE_FAULTS", "reader:1:3,write:2:never", true,
         "VYKARIS_DEVSERVICE_FAULTS=\"reader:1:3,write:2:never\": valid"},
        {"VYKARIS_DEVSERVICE_FAULTS", "comit:1:3,reader:1:3", false, "rule 1 \"comit:1:3\""},
        {"VYKARIS_DEVSERVICE_LATENCY", "2,login:0", true, "valid"},
        {"VYKARIS_DEVSERVICE_LATENCY", "soon", false, "item 1 \"soon\""},
        {"VYKARIS_DEVSERVICE_IMMEDIATE", "yes", false, "(expected 1 or 0)"},
        {"VYKARIS_DEVSERVICE_MAX_SAVEGAME_BYTES", "lots", false, "a decimal number"},
        {"VYKARIS_DEVSERVICE_FAULT", "reader:1:3", false,
         "no setting VYKARIS_DEVSERVICE_FAULT\nadvice: the service reads no such variable"},
        {"VYKARIS_DEVSERVICE_LOG", "/no/such/folder/log.jsonl", false,
         "so the service writes no call log"},
        {"VYKARIS_DEVSERVICE_LOG", logInStorage.c_str(), false,
         "lies inside the storage directory"},
        {"VYKARIS_DEVSERVICE_LOG", "", true, "VYKARIS_DEVSERVICE_LOG is empty: the default"},
    };
    for (const auto& c : cases) {
        SetVariable("VYKARIS_DEVSERVICE_DIR", storage.c_str());
        SetVariable(c.name, c.value);
        const tool::doctor::DoctorReport report = tool::doctor::Diagnose();
        SetVariable(c.name, nullptr);
        EXPECT_EQ(report.Healthy(), c.healthy) << c.name << "=" << c.value << "\n" << report.Text();
        ExpectLines(report.Text(), {c.line, "installation error: 0"});
    }
    SetVariable("VYKARIS_DEVSERVICE_DIR", nullptr);
}

// The storage directory as the service will find it: a file in its place is a problem; what
// the service skips (damaged savegames, files of killed writers) is worth a warning.
TEST(Doctor, ChecksTheStorageDirectory) {
    SetRegistry("storage", Key::kValue, Stored(Folder("QZ_DOCTOR_DEVSERVICE")));
    const std::string file = Scratch("storage-file");
    WriteFile(file, "a file where a folder should be\n");
    const std::string used = Scratch("storage-used");
    fs::remove_all(used);
    const fs::path product = fs::path(used) / "7";
    WriteFile((product / "2.vsg").string(), "VYKDEVSG but not a savegame");
    WriteFile((product / TemporaryFileName(3, 999999, 1)).string(), "half written");
    fs::create_directories(product / "4.vsg");
    const std::string missing = Scratch("storage-missing");
    fs::remove_all(missing);

    const struct {
        std::string directory;
        bool healthy;
        std::vector<std::string> lines;
    } cases[] = {
        {file, false, {"storage: the storage directory", "cannot be used", "advice: set "}},
        {used,
         true,
         {"damaged savegame: ", "2.vsg", "not a file: ", "4.vsg",
          "left by a killed writer: ", "3.vsg.999999-1.tmp",
          "products 1, savegames 0, damaged 2, left by killed writers 1", "3 warnings"}},
        {missing, true, {"created, as the service does; writable, ", " MiB free"}},
    };
    for (const auto& c : cases) {
        SetVariable("VYKARIS_DEVSERVICE_DIR", c.directory.c_str());
        const tool::doctor::DoctorReport report = tool::doctor::Diagnose();
        EXPECT_EQ(report.Healthy(), c.healthy) << c.directory << "\n" << report.Text();
        ExpectLines(report.Text(), c.lines);
    }
    SetVariable("VYKARIS_DEVSERVICE_DIR", nullptr);
}

// The command as a CI script runs it: registered with veltodev register, exit 0; with a bad
// setting or without the value, exit 1.
TEST(Doctor, CommandExitsWithTheVerdict) {
    const std::string devservice = Folder("QZ_DOCTOR_DEVSERVICE");
    const std::string tool = (fs::path(devservice) / kToolName).string();
    SetRegistry("command", Key::kEmpty);
    SetVariable("VYKARIS_DEVSERVICE_DIR", Scratch("command-storage").c_str());
    const struct {
        std::vector<std::string> setup;
        const char* faults;
        int code;
        const char* line;
    } cases[] = {
        {{"register", devservice}, nullptr, 0, "installation error: 0"},
        {{}, "reader:1:3,comit", 1, "rule 2 \"comit\""},
        {{"register", "--remove"}, nullptr, 1, "no InstallDir value"},
        {{}, nullptr, 1, "installation error: 2"},
    };
    int run = 0;
    for (const auto& c : cases) {
        const std::string output = Scratch("command-" + std::to_string(++run) + ".txt");
        if (!c.setup.empty()) {
            ASSERT_EQ(RunProgram(tool, c.setup, output), 0) << c.setup[0];
        }
        SetVariable("VYKARIS_DEVSERVICE_FAULTS", c.faults);
        EXPECT_EQ(RunProgram(tool, {"doctor"}, output), c.code) << run;
        std::ifstream file(output, std::ios::binary);
        ExpectLines(std::string(std::istreambuf_iterator<char>(file), {}), {c.line});
    }
    SetVariable("VYKARIS_DEVSERVICE_FAULTS", nullptr);
    EXPECT_EQ(RunProgram(tool, {"doctor", "extra"}, Scratch("command-usage.txt")), 2);
}

}  // namespace
}  // namespace qz::devservice::test
