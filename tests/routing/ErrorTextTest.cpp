// The installation error text, run once per installation state: a working service library
// (error 0), no registry key (1), no loadable library (2), a library missing an entry point
// (3). The scenario names the number it sets up in QZ_EXPECTED_INSTALLATION_ERROR and runs
// the suite of its state.

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "ExpectedMessages.h"
#include "FakeServiceClient.h"
#include "Requests.h"

namespace qz::veltoclient::test {
namespace {

unsigned int ExpectedError() {
    const char* value = std::getenv("QZ_EXPECTED_INSTALLATION_ERROR");
    return value == nullptr ? 0xFFFFFFFF : static_cast<unsigned int>(std::atoi(value));
}

Units Prefix() {
    return ToUnits(u"Vykaris Game Lancher: \n");
}

// The prefix and the locale's message with the number in place of the placeholder.
Units Composed(const char16_t* message, unsigned int number) {
    Units text = ToUnits(message);
    const Units placeholder = ToUnits(u"__REPLACE__");
    const std::string digits = std::to_string(number);
    text.replace(text.find(placeholder), placeholder.size(), Units(digits.begin(), digits.end()));
    return Prefix() + text;
}

class ErrorTextTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_NE(ExpectedError(), 0xFFFFFFFFu) << "QZ_EXPECTED_INSTALLATION_ERROR not set";
        ASSERT_EQ(client.GetInstallationErrorNum(), ExpectedError());
    }

    Units Text(const char* locale) { return Units(client.GetInstallationErrorString(locale)); }

    VeltoClient client;
};

// Error 0, and 1 to 3: each scenario runs the cases of its own state.
using WorkingInstallationText = ErrorTextTest;
using BrokenInstallationText = ErrorTextTest;

TEST_F(WorkingInstallationText, IsEmptyForAnyLocale) {
    for (const char* locale : {"en-US", "de-DE", "", "xx", static_cast<const char*>(nullptr)}) {
        const unsigned short* text = client.GetInstallationErrorString(locale);
        ASSERT_NE(text, nullptr);
        EXPECT_EQ(text[0], 0);
    }
}

TEST_F(BrokenInstallationText, EveryLocaleGetsItsMessageWithTheNumber) {
    for (const ExpectedMessage& expected : kExpectedMessages) {
        SCOPED_TRACE(expected.locale);
        EXPECT_EQ(Text(expected.locale), Composed(expected.message, ExpectedError()));
    }
}

TEST_F(BrokenInstallationText, UnknownLocaleGetsTheFirstLineAlone) {
    for (const char* locale : kUnknownLocales) {
        EXPECT_EQ(Text(locale), Prefix()) << '"' << locale << '"';
    }
    // Malformed UTF-8 names no locale either.
    EXPECT_EQ(Text("en-U\xC3"), Prefix());
}

TEST_F(BrokenInstallationText, NullLocaleGetsTheFirstLineAlone) {
    EXPECT_EQ(Text(nullptr), Prefix());
    // And the next call composes normally again.
    EXPECT_EQ(Text("en-US"), Composed(u"Error code __REPLACE__.", ExpectedError()));
}

TEST_F(BrokenInstallationText, EachCallHoldsOnlyItsOwnLocalesMessage) {
    const Units first = Text("zh-CN");
    EXPECT_EQ(first, Composed(u"\u9519\u8BEF\u4EE3\u7801 __REPLACE__\u3002", ExpectedError()));
    EXPECT_EQ(Text("it-IT"), Composed(u"Codice errore__REPLACE__.", ExpectedError()));
    EXPECT_EQ(Text("xx-XX"), Prefix());
}

TEST_F(BrokenInstallationText, RepeatedCallsGiveTheSameText) {
    const Units expected = Composed(u"Fehlercode __REPLACE__.", ExpectedError());
    for (int i = 0; i < 20; ++i) {
        ASSERT_EQ(Text("de-DE"), expected) << "call " << i;
    }
}

TEST_F(BrokenInstallationText, ABrokenInstallationDropsEveryRequest) {
    RecordingListener listener;
    for (int kind = 0; kind < kKindCount; ++kind) {
        Request(client, static_cast<Kind>(kind), 1, &listener);
    }
    client.Update();
    EXPECT_TRUE(listener.received.empty());

    // With the library loaded but incomplete, it must not have been asked anything.
    const char* path = fakeservice::FakeServiceClient::ScenarioLibraryPath();
    if (path != nullptr && fakeservice::FakeServiceClient::IsLoaded(path)) {
        fakeservice::FakeServiceClient fake;
        ASSERT_TRUE(fake.Open(path));
        for (int kind = 0; kind < kKindCount; ++kind) {
            EXPECT_EQ(fake.CountCalls(EntryOf(static_cast<Kind>(kind))), 0u);
        }
    }
}

}  // namespace
}  // namespace qz::veltoclient::test
