// A storage directory that cannot be created (its parent is a regular file), and the default
// storage directory beside the library. Each suite runs in a process of its own.

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "DevGame.h"

namespace qz::devservice::test {
namespace {

// VYKARIS_DEVSERVICE_DIR names a directory below a regular file; VYKARIS_DEVSERVICE_LOG is set.
TEST(UnwritableStorage, IsReportedOnceWritersFailListsAreEmptyNothingCrashes) {
    testing::internal::CaptureStderr();
    DevGame game;
    DevGame second;
    const std::string reported = testing::internal::GetCapturedStderr();
    const std::string expected = "development service: the storage directory \"" +
                                 StorageDirectory() + "\" cannot be used (";
    EXPECT_EQ(reported.find(expected), 0u) << reported;
    EXPECT_EQ(reported.find('\n'), reported.size() - 1) << "one line: " << reported;
    // The call log's first line has it among the problems.
    std::ifstream log(std::getenv("VYKARIS_DEVSERVICE_LOG"));
    std::string settings;
    ASSERT_TRUE(std::getline(log, settings));
    EXPECT_NE(settings.find("\"event\":\"settings\""), std::string::npos) << settings;
    EXPECT_NE(settings.find("\"problems\":[\"the storage directory "), std::string::npos)
        << settings;
    const Answer writer = game.OpenWriter(50, 1, true);
    EXPECT_EQ(writer.values[0], 3u);
    ASSERT_NE(writer.writer, nullptr);
    writer.writer->Close(true);
    EXPECT_EQ(game.OpenWriter(50, 1, false).values[0], 3u);
    EXPECT_TRUE(game.List(50).empty());
    EXPECT_EQ(game.OpenReader(50, 1).values[0], 1u);
    EXPECT_EQ(game.Remove(50, 1), 1u);
    EXPECT_FALSE(std::filesystem::exists(StorageDirectory()));
}

// VYKARIS_DEVSERVICE_DIR is not set.
TEST(DefaultStorage, IsTheFolderSavegamesBesideTheLibrary) {
    const char* library = std::getenv("QZ_SERVICE_LIBRARY");
    ASSERT_NE(library, nullptr);
    const std::filesystem::path file =
        std::filesystem::path(library).parent_path() / "savegames" / "4242" / "4242.vsg";
    DevGame game;
    ASSERT_TRUE(game.Save(4242, 4242, Pattern(3, 1)));
    EXPECT_TRUE(std::filesystem::is_regular_file(file)) << file;
    EXPECT_EQ(game.Remove(4242, 4242), 0u);
    EXPECT_FALSE(std::filesystem::exists(file));
}

}  // namespace
}  // namespace qz::devservice::test
