// veltodev log, in process: a known call log written by hand (every event, two sessions,
// latency, faults, failures, a lost and a waiting answer, damaged lines) folded into the
// expected numbers; hostile bytes and files; the page's self-containment.

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "KnownCallLog.h"
#include "control/JsonReader.h"
#include "tool/Commands.h"
#include "tool/LogModel.h"
#include "tool/LogPage.h"
#include "tool/LogSummary.h"

#ifndef _WIN32
#include <sys/stat.h>
#endif

namespace qz::devservice::tool {
namespace {

const LogModel& KnownModel() {
    static const LogModel model = FoldLog(kKnownCallLog);
    return model;
}

std::size_t Count(const std::string& text, const std::string& part) {
    std::size_t count = 0;
    for (auto at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) {
        ++count;
    }
    return count;
}

TEST(KnownLog, RequestsPerKindWithTheirLatency) {
    const struct {
        unsigned int session;
        const char* kind;
        unsigned long long requests, answered, failed, unanswered;
        Spread updates, microseconds;
    } cases[] = {
        {1, "list", 1, 0, 0, 1, {}, {}},
        {1, "reader", 1, 0, 0, 1, {}, {}},
        // Answered after 1, 3 and 0 Update calls (the last from inside its call).
        {1, "writer", 3, 3, 1, 0, {0, 1, 3}, {5, 101, 301}},
        {1, "write", 1, 1, 1, 0, {1, 1, 1}, {101, 101, 101}},
        {1, "remove", 1, 1, 1, 0, {1, 1, 1}, {101, 101, 101}},
        {1, "login", 1, 1, 0, 0, {2, 2, 2}, {205, 205, 205}},
        {2, "writer", 1, 1, 0, 0, {1, 1, 1}, {101, 101, 101}},
        {2, "server", 1, 0, 0, 1, {}, {}},
        {2, "traffic", 1, 1, 0, 0, {1, 1, 1}, {101, 101, 101}},
    };
    std::size_t kinds = 0;
    for (const auto& session : KnownModel().sessions) {
        kinds += KindStatisticsOf(session.second).size();
    }
    EXPECT_EQ(kinds, std::size(cases));
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.session) + " " + c.kind);
        bool found = false;
        for (const KindStatistics& kind : KindStatisticsOf(KnownModel().sessions.at(c.session))) {
            if (RequestKindName(kind.kind) != std::string(c.kind)) {
                continue;
            }
            found = true;
            EXPECT_EQ(kind.requests, c.requests);
            EXPECT_EQ(kind.answered, c.answered);
            EXPECT_EQ(kind.failed, c.failed);
            EXPECT_EQ(kind.unanswered, c.unanswered);
            EXPECT_EQ(kind.updates.minimum, c.updates.minimum);
            EXPECT_EQ(kind.updates.median, c.updates.median);
            EXPECT_EQ(kind.updates.maximum, c.updates.maximum);
            EXPECT_EQ(kind.microseconds.minimum, c.microseconds.minimum);
            EXPECT_EQ(kind.microseconds.median, c.microseconds.median);
            EXPECT_EQ(kind.microseconds.maximum, c.microseconds.maximum);
        }
        EXPECT_TRUE(found);
    }
}

TEST(KnownLog, UnansweredFailedAndDiscardedWithTheirReasons) {
    const struct {
        unsigned int session;
        unsigned int request;
        const char* text;
    } unanswered[] =
        {
            {1, 4, "lost by fault rule reader:1:never"},
            {1, 5, "asked without a listener"},
            {2, 10, "still waiting when the log ends"},
        },
      failed[] = {
          {1, 3, "injected fault write:1:3"},
          {1, 6, "code 1 (no such savegame)"},
          {1, 7, "code 3 (storage failure): quota: </script><script>alert(1)</script>"},
      };
    std::vector<std::string> seenUnanswered;
    std::vector<std::string> seenFailed;
    for (const auto& [number, session] : KnownModel().sessions) {
        for (const LoggedRequest& request : session.requests) {
            const std::string id = std::to_string(number) + "/" + std::to_string(request.id) + " ";
            if (request.fate != RequestFate::kAnswered) {
                seenUnanswered.push_back(id + UnansweredText(request));
            } else if (IsFailure(request)) {
                seenFailed.push_back(id + FailureText(request));
            }
        }
    }
    std::vector<std::string> expectedUnanswered;
    std::vector<std::string> expectedFailed;
    for (const auto& c : unanswered) {
        expectedUnanswered.push_back(std::to_string(c.session) + "/" + std::to_string(c.request) +
                                     " " + c.text);
    }
    for (const auto& c : failed) {
        expectedFailed.push_back(std::to_string(c.session) + "/" + std::to_string(c.request) + " " +
                                 c.text);
    }
    EXPECT_EQ(seenUnanswered, expectedUnanswered);
    EXPECT_EQ(seenFailed, expectedFailed);

    const SessionLog& first = KnownModel().sessions.at(1);
    ASSERT_EQ(first.faults.size(), 3u);
    EXPECT_FALSE(first.faults[1].code);     // the lost answer
    EXPECT_FALSE(first.faults[2].request);  // the commit's
    ASSERT_EQ(first.commits.size(), 2u);
    EXPECT_FALSE(first.commits[1].committed);
    EXPECT_EQ(first.commits[1].reason, "injected fault on the commit");
    EXPECT_TRUE(KnownModel().sessions.at(2).commits.at(0).committed);
}

TEST(KnownLog, SummaryFoldsCallsAndSaysWhatWasSkipped) {
    const LogModel& model = KnownModel();
    EXPECT_EQ(model.skipped.malformed, 1u);
    EXPECT_EQ(model.skipped.unknownEvent, 1u);
    EXPECT_TRUE(model.skipped.truncatedLast);
    EXPECT_EQ(model.callsWithoutSession, 1u);
    EXPECT_EQ(model.sessions.at(1).updates, 8u);

    const std::string text = SummaryText(Summarize(model));
    for (const char* part : {
             "settings problem: VYKARIS_DEVSERVICE_FAULTS=\"comit:1:3\"",
             "lines skipped 3: 1 not a log line, 1 of an unknown event, the last one cut short",
             "calls 19 (Update 8, GetSavegameWriter 3,",
             "commits 0 committed, 2 discarded",
             "writer  3         3         1       0           0 / 1 / 3     0.005 / 0.101 / 0.301",
         }) {
        EXPECT_NE(text.find(part), std::string::npos) << part << "\n" << text;
    }
    // Update calls are counted (once per session), never listed one by one.
    EXPECT_EQ(Count(text, "Update") - Count(text, "Update calls"), 2u) << text;
}

TEST(KnownLog, PageIsSelfContainedAndTheLogCannotEndItsData) {
    const std::string page = LogPage(KnownModel(), Summarize(KnownModel()), "call log");
    for (const char* outside : {"http:", "https:", "src=", "href=", "url(", "@import", "<link"}) {
        EXPECT_EQ(Count(page, outside), 0u) << outside;
    }
    // The three scripts of the page end where they should: the reason holding "</script>"
    // stays inside the data.
    EXPECT_EQ(Count(page, "</script>"), 3u);
    EXPECT_EQ(Count(page, "<script>alert"), 0u);
    EXPECT_NE(page.find("\\u003c/script\\u003e\\u003cscript\\u003ealert(1)"), std::string::npos);
}

TEST(LongLog, PageDrawsTheFirstRequestsAndCountsThemAll) {
    std::string log;
    for (std::size_t i = 0; i < kMaxDrawn + 7; ++i) {
        log += R"({"time":1,"event":"call","session":1,"request":)" + std::to_string(i) +
               R"(,"operation":"GetSavegameList","arguments":{"listener":true},"result":null})"
               "\n";
    }
    const LogModel model = FoldLog(log);
    const std::string page = LogPage(model, Summarize(model), "long");
    EXPECT_EQ(Count(page, "\"fate\":"), kMaxDrawn);
    EXPECT_NE(page.find("\"requestCount\":" + std::to_string(kMaxDrawn + 7)), std::string::npos);
    EXPECT_NE(page.find("\"rowCount\":" + std::to_string(kMaxDrawn + 7)), std::string::npos);
}

struct Hostile {
    const char* name;
    std::string bytes;
    unsigned long long events, malformed, tooLong, unknownEvent;
    bool truncatedLast;
};

const std::string kLine =
    R"({"time":5,"event":"call","session":1,"request":null,"operation":"Update","arguments":{},"result":null})";

TEST(HostileLog, EveryInputIsReadToItsEndAndCounted) {
    const std::string huge(kMaxLogLineBytes + 10, 'x');
    const Hostile cases[] = {
        {"empty", "", 0, 0, 0, 0, false},
        {"blank lines", "\n\n\r\n", 0, 0, 0, 0, false},
        {"CR LF", kLine + "\r\n" + kLine + "\r\n", 2, 0, 0, 0, false},
        {"last line without line feed", kLine + "\n" + kLine, 2, 0, 0, 0, false},
        {"cut short", kLine + "\n" + kLine.substr(0, 30), 1, 0, 0, 0, true},
        {"unknown event",
         R"({"time":1,"event":"nap","session":1,"request":null})"
         "\n",
         0, 0, 0, 1, false},
        {"huge line, then a good one", huge + "\n" + kLine + "\n", 1, 0, 1, 0, false},
        {"huge last line", kLine + "\n" + huge, 1, 0, 1, 0, false},
        {"deep nesting", std::string(100000, '[') + "\n" + kLine + "\n", 1, 1, 0, 0, false},
        {"NUL bytes", std::string("\0\0{}\0\n", 6) + kLine + "\n", 1, 1, 0, 0, false},
        {"bad UTF-8",
         R"({"time":1,"event":"call","session":1,"request":null,"operation":")"
         "\xff\xc0\xed\xa0\x80\"}\n",
         1, 0, 0, 0, false},
        {"no object", "[1,2]\n\"call\"\n", 0, 2, 0, 0, false},
        {"session beyond 32 bits",
         R"({"time":1,"event":"call","session":4294967296,"request":null})"
         "\n",
         0, 1, 0, 0, false},
        {"negative time",
         R"({"time":-1,"event":"call","session":1,"request":null})"
         "\n",
         0, 1, 0, 0, false},
        {"event not a string",
         R"({"time":1,"event":7,"session":1,"request":null})"
         "\n",
         0, 1, 0, 0, false},
        {"answers to nothing",
         R"({"time":1,"event":"answer","session":1,"request":9,"operation":"GetSavegameList","result":{}})"
         "\n",
         1, 0, 0, 0, false},
    };
    for (const Hostile& c : cases) {
        SCOPED_TRACE(c.name);
        // In one piece and byte by byte: a line cut between reads is the same line.
        for (const std::size_t piece : {c.bytes.size() + 1, std::size_t{1}}) {
            if (piece == 1 && c.bytes.size() > 200000) {
                continue;
            }
            unsigned long long events = 0;
            std::string operations;
            LogLineReader reader([&](const LogEvent& event) {
                ++events;
                operations += event.operation;
            });
            for (std::size_t at = 0; at < c.bytes.size(); at += piece) {
                reader.Feed(c.bytes.data() + at, std::min(piece, c.bytes.size() - at));
            }
            const SkippedLines skipped = reader.Finish();
            EXPECT_EQ(events, c.events);
            EXPECT_EQ(skipped.malformed, c.malformed);
            EXPECT_EQ(skipped.tooLong, c.tooLong);
            EXPECT_EQ(skipped.unknownEvent, c.unknownEvent);
            EXPECT_EQ(skipped.truncatedLast, c.truncatedLast);
            JsonValue check;
            // Whatever the bytes, the texts taken from them are valid UTF-8.
            EXPECT_TRUE(ParseJson("\"" + operations + "\"", check) || operations.empty());
            EXPECT_EQ(operations.find('\xff'), std::string::npos);
        }
        // The whole way to the summary and the page, without a crash.
        const LogModel model = FoldLog(c.bytes);
        EXPECT_FALSE(LogPage(model, Summarize(model), "hostile").empty());
    }
}

TEST(HostileLog, TheTerminalGetsNoControlCharacter) {
    const std::string log = std::string(kKnownCallLog).substr(0, 40) + "\n" +
                            R"({"time":1,"event":"commit","session":1,"request":null,)"
                            R"("operation":"SaveGameWriterClose","outcome":"discarded",)"
                            R"("reason":"\u001b[2J\u009b31m\u0007gone"})"
                            "\n";
    const std::string text = SummaryText(Summarize(FoldLog(log)));
    EXPECT_NE(text.find("\\u001b[2J\\u009b31m\\u0007gone"), std::string::npos) << text;
    for (const char c : text) {
        EXPECT_TRUE(c == '\n' || static_cast<unsigned char>(c) >= 0x20) << static_cast<int>(c);
    }
}

TEST(JsonReader, TakesJsonAndRefusesTheRest) {
    const struct {
        const char* text;
        bool valid;
        const char* string;  // the string's value, for string cases
    } cases[] = {
        {R"("a\"b\\c\/\n\u00e9\ud83d\ude00")", true, "a\"b\\c/\n\xc3\xa9\xf0\x9f\x98\x80"},
        {R"("lone \ud800 surrogate")", true, "lone \xef\xbf\xbd surrogate"},
        {R"("\udc00\ud800")", true, "\xef\xbf\xbd\xef\xbf\xbd"},
        {" { \"a\" : [ 1 , -2.5e3 , true , null , { } ] } ", true, nullptr},
        {"18446744073709551615", true, nullptr},
        {"", false, nullptr},
        {"{\"a\":1,}", false, nullptr},
        {"[1,]", false, nullptr},
        {"01", false, nullptr},
        {"1.", false, nullptr},
        {"-", false, nullptr},
        {"\"tab\tinside\"", false, nullptr},
        {R"("\x")", false, nullptr},
        {R"("\u12")", false, nullptr},
        {"\"open", false, nullptr},
        {"{} {}", false, nullptr},
        {"tru", false, nullptr},
        {"[[[[[[[[[[[[[[[[1]]]]]]]]]]]]]]]]", false, nullptr},  // one level too deep
        {"[[[[[[[[[[[[[[[1]]]]]]]]]]]]]]]", true, nullptr},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        JsonValue value;
        EXPECT_EQ(ParseJson(c.text, value), c.valid);
        if (c.string != nullptr) {
            EXPECT_EQ(value.text, c.string);
        }
    }
    JsonValue number;
    ASSERT_TRUE(ParseJson("18446744073709551615", number));
    EXPECT_TRUE(number.isInteger);
    EXPECT_EQ(number.integer, ~0ull);
    ASSERT_TRUE(ParseJson("18446744073709551616", number));
    EXPECT_FALSE(number.isInteger);
}

class LogFile : public ::testing::Test {
protected:
    void SetUp() override {
        directory = std::filesystem::temp_directory_path() /
                    ("veltodev-log-test-" +
                     std::to_string(::testing::UnitTest::GetInstance()->random_seed()));
        std::filesystem::remove_all(directory);
        std::filesystem::create_directories(directory);
    }
    void TearDown() override { std::filesystem::remove_all(directory); }

    std::string Path(const char* name) const { return (directory / name).u8string(); }

    std::filesystem::path directory;
};

TEST_F(LogFile, ReadsTheLogAndRefusesWhatIsNoFileWithoutBlocking) {
    std::ofstream(Path("log.jsonl"), std::ios::binary) << kKnownCallLog;
    EXPECT_EQ(ReadLogModel(Path("log.jsonl")).events, KnownModel().events);

    std::vector<std::string> refused = {Path("missing.jsonl"), directory.u8string()};
#ifndef _WIN32
    ASSERT_EQ(mkfifo(Path("fifo").c_str(), 0600), 0);
    refused.push_back(Path("fifo"));
    std::filesystem::create_symlink(Path("log.jsonl"), Path("link.jsonl"));
    EXPECT_EQ(ReadLogModel(Path("link.jsonl")).events, KnownModel().events);
#endif
    // A sparse file of zeros is read only as far as it takes to see that it is no log.
    { std::ofstream(Path("sparse"), std::ios::binary) << kLine << "\n"; }
    std::filesystem::resize_file(Path("sparse"), 1ull << 30);
    const LogModel sparse = ReadLogModel(Path("sparse"));
    EXPECT_EQ(sparse.events, 1u);
    EXPECT_EQ(sparse.skipped.tooLong, 1u);
    EXPECT_GT(sparse.skipped.gaveUpAt, kGiveUpLineBytes);
    EXPECT_LT(sparse.skipped.gaveUpAt, kGiveUpLineBytes + (1 << 20));

    for (const std::string& path : refused) {
        EXPECT_THROW(ReadLogModel(path), Failure) << path;
    }
}

}  // namespace
}  // namespace qz::devservice::tool
