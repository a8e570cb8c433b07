// veltodev, the storage tool, on the storage directory of a game that uses the service in the
// same process: what the tool changes, the game sees at its next request, and the other way
// round. Runs in a process of its own (CMakeLists.txt).

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "ChildModes.h"
#include "ChildProcess.h"
#include "DevGame.h"

namespace qz::devservice::test {
namespace {

namespace fs = std::filesystem;

// The tool is built beside the service library.
std::string ToolPath() {
    const char* library = std::getenv("QZ_SERVICE_LIBRARY");
    EXPECT_NE(library, nullptr);
#ifdef _WIN32
    const char* name = "veltodev.exe";
#else
    const char* name = "veltodev";
#endif
    return (fs::path(library != nullptr ? library : "").parent_path() / name).string();
}

std::string Scratch(const std::string& name) {
    return (fs::path(StorageDirectory()).parent_path() / ("tool-" + name)).string();
}

std::string ReadText(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

// Runs the tool on the storage directory `storage`; its exit code, its output in `output`.
int ToolIn(const std::string& storage, std::vector<std::string> arguments,
           std::string* output = nullptr) {
    arguments.insert(arguments.begin(), {"--dir", storage});
    // A file per run: under Wine a finished child's handle may linger for a moment.
    static int runs;
    const std::string file = Scratch("output-" + std::to_string(++runs) + ".txt");
    const int code = RunProgram(ToolPath(), arguments, file);
    if (output != nullptr) {
        // Lines as the program wrote them, whatever the system's line ends.
        *output = ReadText(file);
        output->erase(std::remove(output->begin(), output->end(), '\r'), output->end());
    }
    return code;
}

// Runs the tool on this test's storage directory.
int Tool(const std::vector<std::string>& arguments, std::string* output = nullptr) {
    return ToolIn(StorageDirectory(), arguments, output);
}

Bytes Contents(DevGame& game, unsigned int productId, unsigned int savegameId) {
    Bytes data;
    EXPECT_TRUE(game.Load(productId, savegameId, data)) << productId << "/" << savegameId;
    return data;
}

// A name beyond ASCII: e with acute accent and a character outside the basic plane.
const Name kWideName = {'s', 0xE9, 'v', 0xD83D, 0xDE00};

TEST(Tool, ExportImportRoundTripsProductsAndSavegamesByteForByte) {
    DevGame game;
    ASSERT_TRUE(game.Save(80, 1, Pattern(5000, 1), kWideName));
    ASSERT_TRUE(game.Save(80, 7, Pattern(0, 2)));
    ASSERT_TRUE(game.Save(80, 9, Pattern(70000, 3), AsName("nine")));
    const std::string first = Scratch("export-1");
    const std::string second = Scratch("export-2");
    fs::remove_all(first);
    fs::remove_all(second);
    ASSERT_EQ(Tool({"export", "80", first}), 0);
    ASSERT_EQ(Tool({"reset", "80"}), 0);
    EXPECT_TRUE(game.List(80).empty());
    ASSERT_EQ(Tool({"import", "81", first}), 0);
    ASSERT_EQ(Tool({"export", "81", second}), 0);
    for (const char* file : {"1.vsg", "7.vsg", "9.vsg"}) {
        const std::string exported = ReadText((fs::path(first) / file).string());
        EXPECT_FALSE(exported.empty());
        EXPECT_EQ(exported, ReadText((fs::path(second) / file).string())) << file;
    }
    const std::vector<Listed> listed = game.List(81);
    ASSERT_EQ(listed.size(), 3u);
    EXPECT_EQ(listed[0].name, kWideName);
    EXPECT_TRUE(Contents(game, 81, 9) == Pattern(70000, 3));

    // One savegame, under another id: the same file.
    const std::string single = Scratch("single.vsg");
    ASSERT_EQ(Tool({"export", "81", "1", single}), 0);
    ASSERT_EQ(Tool({"import", "82", "4", single}), 0);
    EXPECT_EQ(ReadText(SavegamePath(82, 4)), ReadText((fs::path(first) / "1.vsg").string()));
    EXPECT_TRUE(Contents(game, 82, 4) == Pattern(5000, 1));
}

TEST(Tool, ImportRefusesFilesThatAreNotSavegamesAndImportsNothing) {
    DevGame game;
    const std::string directory = Scratch("bad-import");
    fs::remove_all(directory);
    ASSERT_TRUE(game.Save(83, 1, Pattern(10, 1)));
    ASSERT_EQ(Tool({"export", "83", directory}), 0);
    WriteRawFile(directory, "2.vsg", Pattern(40, 2));
    std::string output;
    EXPECT_EQ(Tool({"import", "84", directory}, &output), 1);
    EXPECT_NE(output.find("not a savegame file"), std::string::npos) << output;
    EXPECT_TRUE(game.List(84).empty());
    EXPECT_EQ(Tool({"import", "84", "1", (fs::path(directory) / "2.vsg").string()}), 1);
    EXPECT_EQ(Tool({"export", "84", "1", Scratch("missing.vsg")}), 1);
}

// Names that are no savegame's, or two files for one savegame: nothing is imported.
TEST(Tool, ImportRefusesAFolderWhoseNamesDoNotNameOneSavegameEach) {
    DevGame game;
    const std::string directory = Scratch("ambiguous-import");
    ASSERT_TRUE(game.Save(85, 1, Pattern(10, 1)));
    const struct {
        const char* extra;
        const char* message;
    } cases[] = {{"01.vsg", "name savegame 1"}, {"notes.vsg", "not named as a savegame"}};
    for (const auto& c : cases) {
        fs::remove_all(directory);
        ASSERT_EQ(Tool({"export", "85", directory}), 0);
        fs::copy_file(fs::path(directory) / "1.vsg", fs::path(directory) / c.extra);
        std::string output;
        EXPECT_EQ(Tool({"import", "86", directory}, &output), 1) << c.extra;
        EXPECT_NE(output.find(c.message), std::string::npos) << output;
        EXPECT_TRUE(game.List(86).empty()) << c.extra;
    }
}

TEST(Tool, ListShowsSavegamesNamesSizesAndDamagedFiles) {
    DevGame game;
    ASSERT_TRUE(game.Save(85, 3, Pattern(123, 1), AsName("third slot")));
    ASSERT_TRUE(game.Save(85, 4, Pattern(10, 2)));
    ASSERT_EQ(Tool({"damage", "85", "4", "flip", "0"}), 0);
    std::string output;
    ASSERT_EQ(Tool({"list", "85"}, &output), 0);
    EXPECT_NE(output.find("85          3        123"), std::string::npos) << output;
    EXPECT_NE(output.find("third slot"), std::string::npos) << output;
    EXPECT_NE(output.find("85          4          -"), std::string::npos) << output;
    EXPECT_NE(output.find("damaged"), std::string::npos) << output;
    ASSERT_EQ(Tool({"list"}, &output), 0);
    EXPECT_NE(output.find("third slot"), std::string::npos) << output;
}

TEST(Tool, RemoveAndResetAreSeenByTheGame) {
    DevGame game;
    ASSERT_TRUE(game.Save(86, 1, Pattern(1, 1)));
    ASSERT_TRUE(game.Save(86, 2, Pattern(2, 2)));
    ASSERT_TRUE(game.Save(87, 1, Pattern(3, 3)));
    ASSERT_EQ(Tool({"remove", "86", "1"}), 0);
    EXPECT_EQ(game.List(86).size(), 1u);
    std::string output;
    EXPECT_EQ(Tool({"remove", "86", "1"}, &output), 1);
    EXPECT_NE(output.find("no savegame 1"), std::string::npos) << output;
    ASSERT_EQ(Tool({"damage", "86", "2", "truncate"}), 0);
    WriteRawFile(fs::path(SavegamePath(86, 2)).parent_path().string(), "notes.txt", Pattern(5, 1));
    ASSERT_EQ(Tool({"reset"}), 0);
    EXPECT_TRUE(game.List(86).empty());
    EXPECT_TRUE(game.List(87).empty());
    EXPECT_FALSE(fs::exists(SavegamePath(86, 2))) << "damaged files go too";
    EXPECT_TRUE(fs::exists(fs::path(SavegamePath(86, 2)).parent_path() / "notes.txt"));
}

TEST(Tool, BadArgumentsExitWithTwoAndEveryCommandHasHelp) {
    std::string output;
    EXPECT_EQ(Tool({}, &output), 2);
    EXPECT_EQ(Tool({"frobnicate"}, &output), 2);
    EXPECT_NE(output.find("no command \"frobnicate\""), std::string::npos) << output;
    EXPECT_EQ(Tool({"--help"}, &output), 0);
    EXPECT_NE(output.find("development service"), std::string::npos) << output;
    for (const char* command :
         {"list", "export", "import", "remove", "reset", "damage", "register", "doctor", "log"}) {
        EXPECT_EQ(Tool({command, "--help"}, &output), 0) << command;
        EXPECT_NE(
            output.find(std::string("usage: veltodev [--dir <storage directory>] [--quiet] ") +
                        command),
            std::string::npos)
            << output;
    }
    const std::vector<std::vector<std::string>> wrong = {
        {"list", "x"},
        {"list", "1", "2"},
        {"export", "1"},
        {"export", "1", "3"},  // the file forgotten, not a directory named 3
        {"export", "1", "4294967295", "file"},
        {"import", "1"},
        {"import", "-1", "dir"},
        {"remove", "1"},
        {"remove", "1", "2", "3"},
        {"reset", "1", "2"},
        {"damage", "1", "2"},
        {"damage", "1"},
    };
    for (const std::vector<std::string>& arguments : wrong) {
        EXPECT_EQ(Tool(arguments, &output), 2) << arguments[0] << " " << arguments[1];
        EXPECT_NE(output.find("usage: veltodev " + arguments[0]), std::string::npos) << output;
    }
    DevGame game;
    ASSERT_TRUE(game.Save(88, 1, Pattern(10, 1)));
    EXPECT_EQ(Tool({"damage", "88", "1", "melt"}), 2);
    EXPECT_EQ(Tool({"damage", "88", "1", "truncate", "1000"}), 2) << "no longer than it was";
    EXPECT_EQ(Tool({"damage", "88", "1", "flip", "34"}), 2) << "past the end";
    EXPECT_EQ(Tool({"damage", "88", "2", "flip", "0"}), 1) << "no such savegame";
    EXPECT_TRUE(Contents(game, 88, 1) == Pattern(10, 1)) << "refused damage changes nothing";
}

// Each command that changes something says what it did in one line; --quiet silences it.
TEST(Tool, ChangesAreConfirmedInOneLineUnlessQuiet) {
    DevGame game;
    ASSERT_TRUE(game.Save(95, 1, Pattern(40, 1)));
    const std::string storage = Scratch("confirmed");
    const std::string file = Scratch("confirmed.vsg");
    const std::string folder = Scratch("confirmed-export");
    for (const bool quiet : {false, true}) {
        fs::remove_all(storage);
        fs::remove_all(folder);
        fs::create_directories(storage);
        ASSERT_EQ(Tool({"export", "95", "1", file}), 0);
        const struct {
            std::vector<std::string> arguments;
            std::string said;
        } cases[] = {
            {{"import", "7", "1", file}, "imported \"" + file + "\" as savegame 1 of product 7"},
            {{"import", "7", "2", file}, "imported \"" + file + "\" as savegame 2 of product 7"},
            {{"export", "7", "2", file}, "exported savegame 2 of product 7 to \"" + file + "\""},
            {{"export", "7", folder}, "exported 2 savegames of product 7 to \"" + folder + "\""},
            {{"import", "8", folder},
             "imported 2 savegames from \"" + folder + "\" into product 8"},
            {{"damage", "8", "1", "truncate", "10"},
             "cut the file of savegame 1 of product 8 from 64 to 10 bytes"},
            {{"damage", "8", "2", "flip", "3", "2"},
             "inverted 2 bytes from byte 3 of the file of savegame 2 of product 8"},
            {{"remove", "7", "1"}, "removed savegame 1 of product 7"},
            {{"reset", "8"}, "removed 2 files of product 8"},
            {{"reset"}, "removed 1 file of 2 products"},
            {{"list"}, ""},
        };
        for (const auto& c : cases) {
            std::vector<std::string> arguments = c.arguments;
            if (quiet) {
                arguments.insert(arguments.begin(), "--quiet");
            }
            std::string output;
            EXPECT_EQ(ToolIn(storage, arguments, &output), 0) << c.said;
            if (c.arguments[0] != "list") {
                EXPECT_EQ(output, quiet ? "" : c.said + "\n");
            }
        }
    }
}

// A --dir that is not there is a mistake for every command but import, which makes it; so is
// a missing argument.
TEST(Tool, AStorageDirectoryThatIsNotThereIsAnError) {
    const std::string missing = Scratch("missing-storage");
    fs::remove_all(missing);
    const std::vector<std::vector<std::string>> commands = {
        {"list"},
        {"export", "1", "1", Scratch("never.vsg")},
        {"export", "1", Scratch("never")},
        {"remove", "1", "1"},
        {"reset"},
        {"damage", "1", "1", "truncate"},
    };
    for (const std::vector<std::string>& arguments : commands) {
        std::string output;
        EXPECT_EQ(ToolIn(missing, arguments, &output), 1) << arguments[0];
        EXPECT_EQ(output,
                  "veltodev " + arguments[0] + ": no storage directory \"" + missing + "\"\n");
        EXPECT_FALSE(fs::exists(missing)) << arguments[0];
    }
    std::ofstream(Scratch("not-a-folder.txt")) << "a file";
    EXPECT_EQ(ToolIn(Scratch("not-a-folder.txt"), {"list"}), 1);
    DevGame game;
    ASSERT_TRUE(game.Save(96, 1, Pattern(5, 1)));
    ASSERT_EQ(Tool({"export", "96", "1", Scratch("imported.vsg")}), 0);
    EXPECT_EQ(ToolIn(missing, {"import", "1", "1", Scratch("imported.vsg")}), 0);
    EXPECT_EQ(ToolIn(missing, {"list", "1"}), 0);
}

// register points games at the service from any working directory, and --remove undoes it.
// Runs on the registry the scenario prepared: natively a tree named by VYKARIS_REGISTRY_ROOT,
// under Wine the prefix's own.
TEST(Register, GamesFindTheRegisteredServiceAndNotTheRemovedOne) {
    const std::string service = fs::path(ToolPath()).parent_path().string();
    const fs::path elsewhere = fs::path(Scratch("register-cwd"));
    fs::create_directories(elsewhere);
    fs::create_directories(StorageDirectory());
    // A relative folder is stored as an absolute one.
    const fs::path relative = fs::path(service).lexically_relative(fs::current_path());
    const struct {
        std::vector<std::string> arguments;
        int code;
        std::string said;
        int installationError;
    } cases[] = {
        // The key stays, for the other values a launcher may keep there: error 2, not 1.
        {{"register", "--remove"}, 0, "removed ", 2},
        {{"register", "--remove"}, 0, "no ", 2},
        {{"register", relative.string()}, 0, "registered \"" + service + "\" in ", 0},
        {{"register", elsewhere.string()}, 1, "veltodev register: no vykveltoapi_r2.", 0},
        {{"register"}, 2, "veltodev register: expected a folder or --remove", 0},
    };
    for (const auto& c : cases) {
        std::string output;
        EXPECT_EQ(Tool(c.arguments, &output), c.code) << output;
#ifndef _WIN32
        if (c.code == 0 && c.arguments[1] != "--remove") {
            const std::string environment =
                std::string("export VYKARIS_REGISTRY_ROOT=") + std::getenv("VYKARIS_REGISTRY_ROOT");
            EXPECT_EQ(output.rfind(environment + "\n", 0), 0u) << output;
            output.erase(0, environment.size() + 1);
        }
#endif
        EXPECT_EQ(output.rfind(c.said, 0), 0u) << output;
        const fs::path start = fs::current_path();
        fs::current_path(elsewhere);
        EXPECT_EQ(InstallationErrorInFreshProcess(), c.installationError) << output;
        fs::current_path(start);
    }
}

// Each way of damaging a file, on the middle one of three savegames: the service answers,
// has the savegame missing (the checksum covers the contents too), keeps the others and lets
// the game write the damaged one anew.
TEST(Tool, TheServiceSurvivesEveryKindOfDamage) {
    // The file of Save(.., Pattern(40), "slot"): a 24-byte header, 4 name bytes, 40 bytes.
    const std::vector<std::vector<std::string>> damages = {
        {"truncate", "0"},    {"truncate", "10"}, {"truncate", "30"},  {"truncate"},
        {"flip", "0"},        {"flip", "8"},      {"flip", "12"},      {"flip", "16"},
        {"flip", "20"},       {"flip", "24"},     {"flip", "0", "68"}, {"flip", "67"},
        {"flip", "28", "40"},
    };
    DevGame game;
    unsigned int productId = 90;
    for (const std::vector<std::string>& damage : damages) {
        std::string what;
        for (const std::string& part : damage) {
            what += part + " ";
        }
        SCOPED_TRACE(what);
        for (unsigned int savegameId = 1; savegameId <= 3; ++savegameId) {
            ASSERT_TRUE(game.Save(productId, savegameId, Pattern(40, savegameId), AsName("slot")));
        }
        std::vector<std::string> arguments = {"damage", std::to_string(productId), "2"};
        arguments.insert(arguments.end(), damage.begin(), damage.end());
        ASSERT_EQ(Tool(arguments), 0);

        ASSERT_EQ(game.List(productId).size(), 2u);
        EXPECT_EQ(game.OpenReader(productId, 2).values[0], 1u);
        EXPECT_EQ(game.Remove(productId, 2), 1u);
        EXPECT_TRUE(Contents(game, productId, 1) == Pattern(40, 1));
        EXPECT_TRUE(Contents(game, productId, 3) == Pattern(40, 3));
        ASSERT_TRUE(game.Save(productId, 2, Pattern(41, 9)));
        EXPECT_TRUE(Contents(game, productId, 2) == Pattern(41, 9));
        ++productId;
    }
}

}  // namespace
}  // namespace qz::devservice::test
