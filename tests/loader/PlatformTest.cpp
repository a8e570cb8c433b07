// The real platform layer of the OS the tests run on: the registry read with its limits, and
// loading and looking up with null for failure. Registry cases use a scratch key of their own.

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <string>

#include "FakeServiceClient.h"
#include "platform/Platform.h"

#if defined(_WIN32)
#include <windows.h>
#else
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#endif

namespace {

namespace platform = qz::veltoclient::platform;
using platform::RegistryRead;

constexpr char kKey[] = "SOFTWARE\\QzLoaderPlatformTest\\Launcher";
constexpr char kValue[] = "InstallDir";
constexpr unsigned int kSize = 255;

// A registry key of the local machine that lives for one test.
class ScratchKey {
public:
#if defined(_WIN32)
    ScratchKey() {
        Remove();
    }
    ~ScratchKey() {
        Remove();
    }

    void Create() {
        HKEY key;
        ASSERT_EQ(RegCreateKeyExA(HKEY_LOCAL_MACHINE, kKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                                  &key, nullptr),
                  ERROR_SUCCESS);
        RegCloseKey(key);
    }
    // Stores `bytes` exactly, with no terminator added.
    void SetRaw(DWORD type, const std::string& bytes) {
        Create();
        HKEY key;
        ASSERT_EQ(RegOpenKeyExA(HKEY_LOCAL_MACHINE, kKey, 0, KEY_SET_VALUE, &key), ERROR_SUCCESS);
        ASSERT_EQ(RegSetValueExA(key, kValue, 0, type, reinterpret_cast<const BYTE*>(bytes.data()),
                                 static_cast<DWORD>(bytes.size())),
                  ERROR_SUCCESS);
        RegCloseKey(key);
    }
    void SetString(const std::string& text) {
        SetRaw(REG_SZ, text + '\0');
    }

private:
    static void Remove() {
        RegDeleteKeyA(HKEY_LOCAL_MACHINE, kKey);
        RegDeleteKeyA(HKEY_LOCAL_MACHINE, "SOFTWARE\\QzLoaderPlatformTest");
    }
#else
    ScratchKey()
        : root_(std::filesystem::path(::testing::TempDir()) /
                ("qz-registry-" + std::to_string(getpid()))) {
        std::filesystem::remove_all(root_);
        setenv("VYKARIS_REGISTRY_ROOT", root_.c_str(), 1);
    }
    ~ScratchKey() {
        unsetenv("VYKARIS_REGISTRY_ROOT");
        std::filesystem::remove_all(root_);
    }

    void Create() {
        std::filesystem::create_directories(KeyDir());
    }
    // The value file holds `bytes` exactly.
    void SetRaw(const std::string& bytes) {
        Create();
        std::ofstream(KeyDir() / kValue, std::ios::binary) << bytes;
    }
    void SetString(const std::string& text) {
        SetRaw(text);
    }
    std::filesystem::path KeyDir() const {
        return root_ / "HKEY_LOCAL_MACHINE" / "SOFTWARE" / "QzLoaderPlatformTest" / "Launcher";
    }

private:
    std::filesystem::path root_;
#endif
};

struct Read {
    RegistryRead result;
    std::string text;
    bool zeroed;  // every byte of the buffer is 0
};

Read ReadValue() {
    char buffer[kSize];
    std::memset(buffer, 'z', sizeof buffer);
    Read read;
    read.result = platform::ReadLocalMachineString(kKey, kValue, buffer, kSize);
    read.text.assign(buffer, strnlen(buffer, kSize));
    read.zeroed = std::string(buffer, kSize) == std::string(kSize, '\0');
    return read;
}

// --- What every platform agrees on

TEST(RegistryRead, AbsentKey) {
    ScratchKey key;
    const Read read = ReadValue();
    EXPECT_EQ(read.result, RegistryRead::kKeyMissing);
    EXPECT_TRUE(read.zeroed);
}

TEST(RegistryRead, KeyWithoutValue) {
    ScratchKey key;
    key.Create();
    const Read read = ReadValue();
    EXPECT_EQ(read.result, RegistryRead::kValueMissing);
    EXPECT_TRUE(read.zeroed);
}

TEST(RegistryRead, StringValues) {
    ScratchKey key;
    for (const std::string& text : {std::string("C:\\Games\\Vykaris Launcher"), std::string(),
                                    std::string(" spaced "), std::string(254, 'a')}) {
        key.SetString(text);
        const Read read = ReadValue();
        EXPECT_EQ(read.result, RegistryRead::kFound) << text.size() << " characters";
        EXPECT_EQ(read.text, text);
    }
}

TEST(RegistryRead, ValueOneCharacterTooLongForItsBuffer) {
    ScratchKey key;
    key.SetString(std::string(255, 'a'));
    const Read read = ReadValue();
    EXPECT_EQ(read.result, RegistryRead::kUnusable);
    EXPECT_TRUE(read.zeroed);
}

// --- Platform-specific storage

#if defined(_WIN32)
TEST(RegistryRead, OnlyPlainStringsAreStrings) {
    ScratchKey key;
    const DWORD number = 7;
    key.SetRaw(REG_DWORD, std::string(reinterpret_cast<const char*>(&number), sizeof number));
    EXPECT_EQ(ReadValue().result, RegistryRead::kUnusable);
    key.SetRaw(REG_EXPAND_SZ, std::string("%ProgramFiles%\\Vykaris") + '\0');
    EXPECT_EQ(ReadValue().result, RegistryRead::kUnusable);
    key.SetRaw(REG_BINARY, std::string("C:\\Games") + '\0');
    EXPECT_EQ(ReadValue().result, RegistryRead::kUnusable);
}

TEST(RegistryRead, StringStoredWithoutTerminator) {
    ScratchKey key;
    key.SetRaw(REG_SZ, "C:\\Games");
    Read read = ReadValue();
    EXPECT_EQ(read.result, RegistryRead::kFound);
    EXPECT_EQ(read.text, "C:\\Games");
    // Filling the whole buffer leaves no room for the terminator.
    key.SetRaw(REG_SZ, std::string(255, 'a'));
    read = ReadValue();
    EXPECT_EQ(read.result, RegistryRead::kUnusable);
    EXPECT_TRUE(read.zeroed);
}

TEST(RegistryRead, ZeroInsideAStringIsNotCutThere) {
    ScratchKey key;
    key.SetRaw(REG_SZ, std::string("C:\\Games\0\\Evil\0", 15));
    Read read = ReadValue();
    EXPECT_EQ(read.result, RegistryRead::kUnusable);
    EXPECT_TRUE(read.zeroed);
    // Terminators stored twice cut nothing off.
    key.SetRaw(REG_SZ, std::string("C:\\Games\0\0", 10));
    read = ReadValue();
    EXPECT_EQ(read.result, RegistryRead::kFound);
    EXPECT_EQ(read.text, "C:\\Games");
}
#else
TEST(RegistryRead, OneTrailingLineFeedIsNotPartOfTheValue) {
    ScratchKey key;
    const struct {
        std::string file;
        std::string value;
    } cases[] = {
        {"/opt/vykaris\n", "/opt/vykaris"},
        {"/opt/vykaris\n\n", "/opt/vykaris\n"},
        {"\n", ""},
        {"/opt/\nvykaris", "/opt/\nvykaris"},
        {std::string(254, 'a') + '\n', std::string(254, 'a')},
    };
    for (const auto& c : cases) {
        key.SetRaw(c.file);
        const Read read = ReadValue();
        EXPECT_EQ(read.result, RegistryRead::kFound) << c.file.size() << " bytes";
        EXPECT_EQ(read.text, c.value);
    }
}

TEST(RegistryRead, TooLongEvenWithoutTheLineFeed) {
    ScratchKey key;
    for (const std::string& file :
         {std::string(255, 'a') + '\n', std::string(256, 'a'), std::string(4000, 'a')}) {
        key.SetRaw(file);
        const Read read = ReadValue();
        EXPECT_EQ(read.result, RegistryRead::kUnusable) << file.size() << " bytes";
        EXPECT_TRUE(read.zeroed);
    }
}

TEST(RegistryRead, ZeroByteMeansNotAString) {
    ScratchKey key;
    key.SetRaw(std::string("/opt\0/vykaris", 13));
    EXPECT_EQ(ReadValue().result, RegistryRead::kUnusable);
}

// A Unix socket at `path`, left behind when its descriptor closes.
void BindSocket(const std::filesystem::path& path) {
    const int fd = socket(AF_UNIX, SOCK_STREAM, 0);
    ASSERT_GE(fd, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    ASSERT_LT(path.native().size(), sizeof address.sun_path);
    std::memcpy(address.sun_path, path.c_str(), path.native().size());
    EXPECT_EQ(bind(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address), 0);
    close(fd);
}

void MakeFifo(const std::filesystem::path& path) {
    ASSERT_EQ(mkfifo(path.c_str(), 0600), 0);
}

TEST(RegistryRead, OnlyDirectoriesAreKeys) {
    ScratchKey key;
    std::filesystem::create_directories(key.KeyDir().parent_path());
    std::ofstream(key.KeyDir()) << "not a key";
    EXPECT_EQ(ReadValue().result, RegistryRead::kKeyMissing);
    std::filesystem::remove(key.KeyDir());
    MakeFifo(key.KeyDir());
    alarm(10);
    EXPECT_EQ(ReadValue().result, RegistryRead::kKeyMissing);
    alarm(0);
}

// Anything but a regular file is no value, and is refused at once: opening a FIFO would wait
// for a writer forever, so a read that blocks ends the program.
TEST(RegistryRead, OnlyRegularFilesAreValues) {
    namespace fs = std::filesystem;
    ScratchKey key;
    key.Create();
    const fs::path dir = key.KeyDir();
    std::ofstream(dir / "file") << "/opt/vykaris\n";
    MakeFifo(dir / "fifo");
    const struct {
        const char* kind;
        void (*make)(const fs::path& value);
        RegistryRead expected;
    } cases[] = {
        {"FIFO", MakeFifo, RegistryRead::kValueMissing},
        {"socket", BindSocket, RegistryRead::kValueMissing},
        {"directory", [](const fs::path& v) { fs::create_directory(v); },
         RegistryRead::kValueMissing},
        {"link to a device", [](const fs::path& v) { fs::create_symlink("/dev/null", v); },
         RegistryRead::kValueMissing},
        {"link to a FIFO", [](const fs::path& v) { fs::create_symlink("fifo", v); },
         RegistryRead::kValueMissing},
        {"dangling link", [](const fs::path& v) { fs::create_symlink("nowhere", v); },
         RegistryRead::kValueMissing},
        // How such trees are often kept.
        {"link to a regular file", [](const fs::path& v) { fs::create_symlink("file", v); },
         RegistryRead::kFound},
    };
    for (const auto& c : cases) {
        fs::remove(dir / kValue);
        c.make(dir / kValue);
        alarm(10);
        const Read read = ReadValue();
        alarm(0);
        EXPECT_EQ(read.result, c.expected) << c.kind;
        EXPECT_EQ(read.text, c.expected == RegistryRead::kFound ? "/opt/vykaris" : "") << c.kind;
    }
}
#endif

// --- Loading

TEST(ServiceLibrary, LoadFailureIsNull) {
#if defined(_WIN32)
    EXPECT_EQ(platform::LoadLibraryAt("Z:\\no\\such\\dir\\vykveltoapi_r2.dll"), nullptr);
#else
    EXPECT_EQ(platform::LoadLibraryAt("/no/such/dir/vykveltoapi_r2.so"), nullptr);
    // Anything but a regular file is refused before the dynamic loader would wait on it; a
    // load that blocks ends the program.
    ScratchKey scratch;
    scratch.Create();
    const auto fifo = scratch.KeyDir() / "vykveltoapi_r2.so";
    MakeFifo(fifo);
    alarm(10);
    EXPECT_EQ(platform::LoadLibraryAt(fifo.c_str()), nullptr);
    EXPECT_EQ(platform::LoadLibraryAt(scratch.KeyDir().c_str()), nullptr);
    alarm(0);
#endif
}

TEST(ServiceLibrary, ExportsFoundByNameAndAbsentOnesNull) {
    const char* path = qz::fakeservice::FakeServiceClient::ScenarioLibraryPath();
    ASSERT_NE(path, nullptr);
    void* library = platform::LoadLibraryAt(path);
    ASSERT_NE(library, nullptr);
    EXPECT_NE(platform::FindExport(library, "QzVeltodllGetSession"), nullptr);
    EXPECT_NE(platform::FindExport(library, "QzVeltodllSaveGameInfoGetSize"), nullptr);
    EXPECT_EQ(platform::FindExport(library, "QzVeltodllNoSuchEntry"), nullptr);
}

}  // namespace
