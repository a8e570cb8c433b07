// The call log: its lines as a developer reads them, and the same lines from two runs of the
// same game under the same faults. Each suite runs in a process of its own (CMakeLists.txt).

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <regex>
#include <string>
#include <vector>

#include "ChildModes.h"
#include "DevGame.h"

namespace qz::devservice::test {
namespace {

// The lines of a log, each without its time, which is the one member that differs by run.
std::vector<std::string> LinesWithoutTime(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    EXPECT_TRUE(file.good()) << path;
    const std::regex time("^\\{\"time\":[0-9]+,");
    std::vector<std::string> lines;
    for (std::string line; std::getline(file, line);) {
        EXPECT_TRUE(std::regex_search(line, time)) << line;
        EXPECT_EQ(line.back(), '}') << line;
        lines.push_back(std::regex_replace(line, time, "{"));
    }
    return lines;
}

std::size_t Count(const std::vector<std::string>& lines, const std::string& line) {
    return static_cast<std::size_t>(std::count(lines.begin(), lines.end(), line));
}

std::string Log() {
    const char* path = std::getenv("VYKARIS_DEVSERVICE_LOG");
    EXPECT_NE(path, nullptr) << "VYKARIS_DEVSERVICE_LOG is not set for this test";
    return path != nullptr ? path : "";
}

// VYKARIS_DEVSERVICE_LOG set, VYKARIS_DEVSERVICE_FAULTS=reader:1:never.
TEST(CallLog, OneLinePerCallAndPerAnswerAndPerFault) {
    DevGame game;
    const unsigned int writerId = game.client.GetRequestUniqueId();
    game.client.GetSavegameWriter(writerId, &game, 65, 3, false);
    const Answer writer = game.Await(writerId);
    ASSERT_EQ(writer.values[0], 0u);
    EXPECT_TRUE(writer.writer->SetName(Terminated(AsName("a \"quoted\" slot")).data()));
    const Bytes data = Pattern(12, 1);
    const unsigned int writeId = game.client.GetRequestUniqueId();
    writer.writer->Write(writeId, &game, const_cast<unsigned char*>(data.data()), 12);
    game.Await(writeId);
    writer.writer->Close(true);
    const unsigned int readerId = game.client.GetRequestUniqueId();
    game.client.GetSavegameReader(readerId, &game, 65, 3);
    game.client.Update();

    const std::vector<std::string> lines = LinesWithoutTime(Log());
    ASSERT_FALSE(lines.empty());
    EXPECT_EQ(lines[0].rfind("{\"event\":\"settings\",\"session\":null,\"request\":null,"
                             "\"operation\":null,\"settings\":{\"VYKARIS_DEVSERVICE_DIR\":",
                             0),
              0u)
        << lines[0];
    EXPECT_NE(lines[0].find("\"VYKARIS_DEVSERVICE_FAULTS\":[\"reader:1:never\"]"),
              std::string::npos);
    EXPECT_NE(lines[0].find("\"problems\":[]}"), std::string::npos) << lines[0];
    const std::string w = std::to_string(writerId);
    const std::string expected[] = {
        "{\"event\":\"call\",\"session\":1,\"request\":null,\"operation\":\"GetSession\","
        "\"arguments\":{},\"result\":true}",
        "{\"event\":\"call\",\"session\":1,\"request\":null,\"operation\":\"GetRequestUniqueId\","
        "\"arguments\":{},\"result\":" +
            w + "}",
        "{\"event\":\"call\",\"session\":1,\"request\":" + w +
            ",\"operation\":\"GetSavegameWriter\",\"arguments\":{\"listener\":true,"
            "\"productId\":65,\"savegameId\":3,\"overwrite\":false},\"result\":null}",
        "{\"event\":\"answer\",\"session\":1,\"request\":" + w +
            ",\"operation\":\"GetSavegameWriter\",\"result\":{\"code\":0,\"writer\":1}}",
        "{\"event\":\"call\",\"session\":1,\"request\":null,\"operation\":"
        "\"SaveGameWriterSetName\",\"arguments\":{\"writer\":1,"
        "\"name\":\"a \\\"quoted\\\" slot\"},\"result\":true}",
        "{\"event\":\"call\",\"session\":1,\"request\":" + std::to_string(writeId) +
            ",\"operation\":\"SaveGameWriterWrite\",\"arguments\":{\"writer\":1,"
            "\"listener\":true,\"buffer\":true,\"size\":12},\"result\":null}",
        "{\"event\":\"answer\",\"session\":1,\"request\":" + std::to_string(writeId) +
            ",\"operation\":\"SaveGameWriterWrite\",\"result\":{\"bytes\":12}}",
        "{\"event\":\"call\",\"session\":1,\"request\":null,\"operation\":"
        "\"SaveGameWriterClose\",\"arguments\":{\"writer\":1,\"commit\":true},\"result\":null}",
        "{\"event\":\"commit\",\"session\":1,\"request\":null,\"operation\":"
        "\"SaveGameWriterClose\",\"writer\":1,\"productId\":65,\"savegameId\":3,"
        "\"outcome\":\"committed\"}",
        "{\"event\":\"fault\",\"session\":1,\"request\":" + std::to_string(readerId) +
            ",\"operation\":\"GetSavegameReader\",\"rule\":\"reader:1:never\",\"code\":null}",
    };
    for (const std::string& line : expected) {
        EXPECT_EQ(Count(lines, line), 1u) << line;
    }
    // Lines come in the order of the calls, and the fault after the call that met it.
    const auto at = [&](const std::string& text) {
        return std::find_if(
                   lines.begin(), lines.end(),
                   [&](const std::string& line) { return line.find(text) != std::string::npos; }) -
               lines.begin();
    };
    EXPECT_LT(at("\"GetSession\""), at("\"operation\":\"GetSavegameWriter\""));
    EXPECT_LT(at("\"call\",\"session\":1,\"request\":" + std::to_string(readerId)),
              at("\"fault\""));
    EXPECT_EQ(Count(lines,
                    "{\"event\":\"call\",\"session\":1,\"request\":null,\"operation\":"
                    "\"Update\",\"arguments\":{},\"result\":null}"),
              3u);
    EXPECT_EQ(lines.size(), 17u) << "settings, session, 3 ids, 3 requests, name, close, "
                                    "commit, 3 updates, 2 answers, 1 fault";
}

// VYKARIS_DEVSERVICE_FAULTS with chances on most kinds; the parent has no log of its own.
TEST(Determinism, TwoRunsGiveTheSameLogButForTheTimes) {
    const std::filesystem::path storage = StorageDirectory();
    std::vector<std::string> logs[2];
    for (int run = 0; run < 2; ++run) {
        std::filesystem::remove_all(storage);
        const std::string log =
            (storage.parent_path() / ("determinism-" + std::to_string(run) + ".log")).string();
        ASSERT_TRUE(ScriptInFreshProcess(66, log));
        logs[run] = LinesWithoutTime(log);
    }
    EXPECT_GT(logs[0].size(), 300u);
    ASSERT_EQ(logs[0].size(), logs[1].size());
    // The first line, the settings, names each run's own log file.
    for (std::size_t i = 1; i < logs[0].size(); ++i) {
        ASSERT_EQ(logs[0][i], logs[1][i]) << "line " << i + 1;
    }
    // The faults did happen, of each kind the setting names.
    for (const char* rule : {"login:", "server:", "reader:", "write:", "commit:", "list:"}) {
        const bool found = std::any_of(logs[0].begin(), logs[0].end(), [&](const std::string& l) {
            return l.find(std::string("\"rule\":\"") + rule) != std::string::npos;
        });
        EXPECT_TRUE(found) << rule;
    }
}

}  // namespace
}  // namespace qz::devservice::test
