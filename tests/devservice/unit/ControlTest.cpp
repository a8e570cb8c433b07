// What the settings control, in process: parsing each setting, faults, latency, quotas and the
// call log's JSON.

#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "control/CallLog.h"
#include "control/Json.h"
#include "control/Quotas.h"
#include "control/Settings.h"
#include "control/SettingsEvent.h"
#include "service/AnswerQueue.h"

namespace qz::devservice {
namespace {

Settings Parse(const std::map<std::string, std::string>& variables,
               std::vector<std::string>& problems) {
    return ReadSettings(
        [&](const char* name, std::string& value) {
            const auto found = variables.find(name);
            if (found == variables.end()) {
                return false;
            }
            value = found->second;
            return true;
        },
        "default", problems);
}

TEST(Settings, EachValueIsTakenOrReportedAndIgnored) {
    const struct {
        const char* name;
        const char* value;
        bool accepted;
    } cases[] = {
        {"VYKARIS_DEVSERVICE_MAX_SAVEGAME_BYTES", "18446744073709551615", true},
        {"VYKARIS_DEVSERVICE_MAX_SAVEGAME_BYTES", "18446744073709551616", false},
        {"VYKARIS_DEVSERVICE_MAX_PRODUCT_BYTES", "99999999999999999999", false},
        {"VYKARIS_DEVSERVICE_MAX_PRODUCT_SAVEGAMES", "00000000000000000000001", true},
        {"VYKARIS_DEVSERVICE_MAX_PRODUCT_SAVEGAMES", "-1", false},
        {"VYKARIS_DEVSERVICE_MAX_PRODUCT_SAVEGAMES", "1 ", false},
        {"VYKARIS_DEVSERVICE_IMMEDIATE", "1", true},
        {"VYKARIS_DEVSERVICE_IMMEDIATE", "yes", false},
        {"VYKARIS_DEVSERVICE_LATENCY", "4,read:0,list:10", true},
        {"VYKARIS_DEVSERVICE_LATENCY", "commit:1", false},
        {"VYKARIS_DEVSERVICE_LATENCY", "soon", false},
        {"VYKARIS_DEVSERVICE_FAULTS", "reader:p0.5@18446744073709551615:3", true},
        {"VYKARIS_DEVSERVICE_FAULTS", "reader:0:3", false},
        {"VYKARIS_DEVSERVICE_FAULTS", "reader:1:0", false},
        {"VYKARIS_DEVSERVICE_FAULTS", "nothing:1:3", false},
        {"VYKARIS_DEVSERVICE_FAULTS", "read:p1.5@1:3", false},
    };
    for (const auto& c : cases) {
        Settings settings;
        std::vector<std::string> problems;
        EXPECT_EQ(ParseSetting(c.name, c.value, settings, problems), c.accepted)
            << c.name << "=" << c.value;
        ASSERT_EQ(problems.size(), c.accepted ? 0u : 1u) << c.name << "=" << c.value;
        if (!c.accepted) {
            EXPECT_NE(problems[0].find(c.value), std::string::npos) << problems[0];
        }
    }
    std::vector<std::string> problems;
    const Settings settings =
        Parse({{"VYKARIS_DEVSERVICE_DIR", ""},
               {"VYKARIS_DEVSERVICE_MAX_SAVEGAME_BYTES", "18446744073709551615"},
               {"VYKARIS_DEVSERVICE_MAX_PRODUCT_BYTES", "lots"},
               {"VYKARIS_DEVSERVICE_LATENCY", "3,login:0"}},
              problems);
    EXPECT_EQ(settings.directory, "default") << "empty means the default";
    EXPECT_EQ(settings.quotas.maxSavegameBytes, 18446744073709551615ull);
    EXPECT_EQ(settings.quotas.maxProductBytes, kNoLimit);
    EXPECT_EQ(settings.latency[Index(RequestKind::kLogin)], 0u);
    EXPECT_EQ(settings.latency[Index(RequestKind::kList)], 3u);
    ASSERT_EQ(problems.size(), 1u);
}

// A mistyped rule or item is named by its position with the form expected; the others stay
// in effect, so that a fault test still meets the faults it asked for.
TEST(Settings, BadItemsOfAListAreNamedAndTheRestKept) {
    const struct {
        const char* name;
        const char* value;
        std::vector<std::string> kept;  // fault rules, or "<kind>=<latency>"
        std::vector<std::string> reported;
    } cases[] = {
        {"VYKARIS_DEVSERVICE_FAULTS",
         "comit:1:3,commit:2:3",
         {"commit:2:3"},
         {"rule 1 \"comit:1:3\" left out (expected <kind>:<when>:<answer>, <kind> one of list, "
          "reader, read, writer, write, commit, remove, login, server or traffic)"}},
        {"VYKARIS_DEVSERVICE_FAULTS",
         "read:1:3,write:0:3,write:2:ok,,read:p2@1:3",
         {"read:1:3"},
         {"rule 2 \"write:0:3\" left out (expected <when> as <N> (1 or more)",
          "rule 3 \"write:2:ok\" left out (expected <answer> as a result code from 1 or never)",
          "rule 4 \"\" left out", "rule 5 \"read:p2@1:3\" left out (expected <when>"}},
        {"VYKARIS_DEVSERVICE_FAULTS", "login:1:never:7", {}, {"rule 1 \"login:1:never:7\""}},
        {"VYKARIS_DEVSERVICE_LATENCY",
         "5,lsit:9,commit:1,read:2",
         {"list=5", "read=2"},
         {"item 2 \"lsit:9\" left out (expected <number> of Update calls, or <kind>:<number> "
          "with <kind> one of list, reader, read, writer, write, remove, login, server or "
          "traffic)",
          "item 3 \"commit:1\" left out"}},
        {"VYKARIS_DEVSERVICE_LATENCY", "list:-1,2", {"list=2", "login=2"}, {"item 1 \"list:-1\""}},
    };
    for (const auto& c : cases) {
        Settings settings;
        std::vector<std::string> problems;
        EXPECT_EQ(ParseSetting(c.name, c.value, settings, problems), c.reported.empty());
        ASSERT_EQ(problems.size(), c.reported.size()) << c.value;
        for (std::size_t i = 0; i < problems.size(); ++i) {
            const std::string prefix = std::string(c.name) + "=\"" + c.value + "\": ";
            EXPECT_EQ(problems[i].rfind(prefix + c.reported[i], 0), 0u) << problems[i];
        }
        if (std::string(c.name) == "VYKARIS_DEVSERVICE_FAULTS") {
            std::vector<std::string> rules;
            for (const FaultRule& rule : settings.faults) {
                rules.push_back(rule.text);
            }
            EXPECT_EQ(rules, c.kept);
            continue;
        }
        for (const std::string& kept : c.kept) {
            const std::size_t equals = kept.find('=');
            RequestKind kind;
            ASSERT_TRUE(ParseRequestKind(kept.substr(0, equals), kind));
            EXPECT_EQ(std::to_string(settings.latency[Index(kind)]), kept.substr(equals + 1))
                << c.value << ": " << kept;
        }
    }
}

TEST(Settings, TheLogsFirstLineShowsEverySettingInEffectAndEveryProblem) {
    std::vector<std::string> problems;
    const Settings settings = Parse({{"VYKARIS_DEVSERVICE_DIR", "C:\\saves \"1\""},
                                     {"VYKARIS_DEVSERVICE_LATENCY", "1,list:4"},
                                     {"VYKARIS_DEVSERVICE_FAULTS", "commit:1:3,comit:1:3"},
                                     {"VYKARIS_DEVSERVICE_MAX_PRODUCT_SAVEGAMES", "7"}},
                                    problems);
    ASSERT_EQ(problems.size(), 1u);
    EXPECT_EQ(SettingsEvent(settings, problems).Json(),
              "{\"settings\":{\"VYKARIS_DEVSERVICE_DIR\":\"C:\\\\saves \\\"1\\\"\","
              "\"VYKARIS_DEVSERVICE_LATENCY\":{\"list\":4,\"reader\":1,\"read\":1,"
              "\"writer\":1,\"write\":1,\"remove\":1,\"login\":1,\"server\":1,\"traffic\":1},"
              "\"VYKARIS_DEVSERVICE_IMMEDIATE\":false,"
              "\"VYKARIS_DEVSERVICE_FAULTS\":[\"commit:1:3\"],\"VYKARIS_DEVSERVICE_LOG\":\"\","
              "\"VYKARIS_DEVSERVICE_MAX_SAVEGAME_BYTES\":null,"
              "\"VYKARIS_DEVSERVICE_MAX_PRODUCT_BYTES\":null,"
              "\"VYKARIS_DEVSERVICE_MAX_PRODUCT_SAVEGAMES\":7},"
              "\"problems\":[\"VYKARIS_DEVSERVICE_FAULTS=\\\"commit:1:3,comit:1:3\\\": rule 2 "
              "\\\"comit:1:3\\\" left out (expected <kind>:<when>:<answer>, <kind> one of list, "
              "reader, read, writer, write, commit, remove, login, server or traffic)\"]}");
}

TEST(Faults, RulesFireOnTheirCallsAndEachDrawsItsOwnSequence) {
    std::vector<FaultRule> rules;
    std::vector<std::string> problems;
    ParseFaultRules("write:2:3,write:3+:never,read:p0.5@7:4,read:p1@1:5", rules, problems);
    ASSERT_TRUE(problems.empty());
    FaultInjector injector(rules);
    // write: call 1 passes, 2 answers 3, every later one is lost.
    const struct {
        bool injected;
        bool never;
        unsigned int code;
    } writes[] = {{false, false, 0}, {true, false, 3}, {true, true, 0}, {true, true, 0}};
    for (const auto& expected : writes) {
        const Fault fault = injector.Next(RequestKind::kWrite);
        EXPECT_EQ(fault.injected, expected.injected);
        EXPECT_EQ(fault.neverAnswers, expected.never);
        EXPECT_EQ(fault.code, expected.code);
    }
    // The second read rule always fires; the first, drawn all the same, wins when it does.
    FaultInjector again(rules);
    unsigned int fours = 0;
    for (int call = 0; call < 200; ++call) {
        const Fault fault = injector.Next(RequestKind::kRead);
        const Fault repeated = again.Next(RequestKind::kRead);
        ASSERT_TRUE(fault.injected);
        EXPECT_EQ(fault.code, repeated.code) << "the same calls fail the same way";
        fours += fault.code == 4 ? 1 : 0;
    }
    EXPECT_GT(fours, 60u);
    EXPECT_LT(fours, 140u);
    EXPECT_FALSE(injector.Next(RequestKind::kList).injected);
}

TEST(Quotas, ReplacementsCountInPlaceOfTheOldVersion) {
    ProductUsage usage;
    usage.sizes = {{1, 100}, {2, 50}};
    usage.bytes = 150;
    Quotas quotas;
    quotas.maxSavegameBytes = 100;
    quotas.maxProductBytes = 250;
    quotas.maxProductSavegames = 3;
    const struct {
        unsigned int savegameId;
        unsigned long long size;
        bool fits;
    } cases[] = {
        {1, 100, true}, {1, 101, false}, {3, 100, true}, {2, 100, true}, {3, 0, true},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(FitsQuotas(quotas, usage, c.savegameId, c.size), c.fits)
            << c.savegameId << ": " << c.size;
    }
    usage.sizes[3] = 100;
    usage.bytes = 250;
    EXPECT_FALSE(FitsQuotas(quotas, usage, 4, 0)) << "a fourth savegame";
    EXPECT_FALSE(FitsQuotas(quotas, usage, 2, 51)) << "past the product's bytes";
    EXPECT_TRUE(FitsQuotas(Quotas(), usage, 4, ~0ull));
}

TEST(Json, TextIsUtf8ThatStrictParsersAccept) {
    const struct {
        const char* text;
        const char* json;
    } narrow[] = {
        {"plain", "\"plain\""},
        {"\xC3\xA9t\xC3\xA9", "\"\xC3\xA9t\xC3\xA9\""},                // é stays é
        {"\xF0\x9F\x98\x80", "\"\xF0\x9F\x98\x80\""},                  // U+1F600
        {"a\xFFz", "\"a\xEF\xBF\xBDz\""},                              // a stray byte
        {"\xED\xA0\x80", "\"\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD\""},  // an encoded surrogate
        {"\xC3", "\"\xEF\xBF\xBD\""},                                  // cut short
        {"q\"\\\n", "\"q\\\"\\\\\\u000a\""},
    };
    for (const auto& c : narrow) {
        JsonObject object;
        object.Text("t", c.text);
        EXPECT_EQ(object.Json(), std::string("{\"t\":") + c.json + "}") << c.text;
    }
    const struct {
        std::vector<unsigned short> text;
        const char* json;
    } wide[] = {
        {{'a', 0xE9, 0}, "\"a\xC3\xA9\""},
        {{0xD83D, 0xDE00, 0}, "\"\xF0\x9F\x98\x80\""},
        {{0xD83D, 'x', 0}, "\"\xEF\xBF\xBDx\""},  // a lone high surrogate
        {{0xDE00, 0}, "\"\xEF\xBF\xBD\""},        // a lone low surrogate
    };
    for (const auto& c : wide) {
        JsonObject object;
        object.Utf16("t", c.text.data());
        EXPECT_EQ(object.Json(), std::string("{\"t\":") + c.json + "}");
    }
}

TEST(CallLog, APathInsideTheStorageDirectoryIsRefused) {
    namespace fs = std::filesystem;
    const fs::path storage = fs::current_path() / "devservice-unit-log" / "storage";
    fs::create_directories(storage / "1");
    const struct {
        fs::path path;
        bool inside;
    } cases[] = {
        {storage / "1" / "1.vsg", true},
        {storage / "log.jsonl", true},
        {storage / "missing" / ".." / "1" / "2.vsg", true},
        {storage / ".." / "log.jsonl", false},
        {storage.parent_path() / "storage-log.jsonl", false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(IsInside(c.path.u8string(), storage.u8string()), c.inside) << c.path;
    }
    const CallLog refused((storage / "1" / "1.vsg").u8string(), storage.u8string());
    EXPECT_FALSE(refused.IsOpen());
    EXPECT_FALSE(fs::exists(storage / "1" / "1.vsg"));
}

// Answers wait their latency in Update calls; a due answer overtakes a slower earlier one, and
// an answer pushed by a callback waits for a later Update.
TEST(Latency, AnswersComeAtTheirUpdateInRequestOrder) {
    AnswerQueue queue(false);
    std::vector<std::string> delivered;
    const auto answer = [&](const std::string& name) {
        return [&delivered, name] { delivered.push_back(name); };
    };
    queue.Push(2, answer("slow"));
    queue.Push(0, answer("fast"));
    queue.Push(0, [&] {
        delivered.push_back("chained");
        queue.Push(0, answer("from a callback"));
    });
    const std::vector<std::vector<std::string>> expected = {
        {"fast", "chained"}, {"from a callback"}, {"slow"}, {}};
    for (const std::vector<std::string>& update : expected) {
        delivered.clear();
        queue.Update();
        EXPECT_EQ(delivered, update);
    }
    AnswerQueue immediate(true);
    delivered.clear();
    immediate.Push(5, answer("at once"));
    EXPECT_EQ(delivered, std::vector<std::string>{"at once"});
}

}  // namespace
}  // namespace qz::devservice
