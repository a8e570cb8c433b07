// The binding above the platform layer, on a counting fake platform. The binding is made once
// per process, so each case runs in a process of its own (see CMakeLists.txt).

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "DllLoader.h"
#include "FakePlatform.h"
#include "FakeServiceControl.h"
#include "veltoclient/VeltoClient.h"

namespace {

using qz::loadertest::Platform;
using qz::veltoclient::DllLoader;
using qz::veltoclient::VeltoClient;
using qz::veltoclient::platform::RegistryRead;

// The lookups in the order the binding must make them.
const std::vector<std::string> kEntryPoints = {
#define QZ_VELTODLL_ENTRY(Result, Name, Parameters, Arguments) "QzVeltodll" #Name,
#include <veltodll/VeltodllEntryPoints.def>
};

// Which of the 21 entry pointers are set, in field order.
std::vector<bool> BoundPointers(const DllLoader& loader) {
    return {
#define QZ_VELTODLL_ENTRY(Result, Name, Parameters, Arguments) loader.Name != nullptr,
#include <veltodll/VeltodllEntryPoints.def>
    };
}

// The separator and file name the binding appends to the install directory on this platform.
std::string PathSuffix() {
    char path[64];
    std::snprintf(path, sizeof path, qz::veltoclient::platform::kServiceLibraryPathFormat, "");
    return path;
}

// The longest directory whose path still fits in 260 bytes with its terminator.
std::size_t LongestDirectory() {
    return 259 - PathSuffix().size();
}

void SetInstallDir(const std::string& dir) {
    Platform().registryResult = RegistryRead::kFound;
    Platform().registryValue = dir;
}

// Every case needs the binding still unmade: run alone, it is.
class FreshBinding : public ::testing::Test {
protected:
    void SetUp() override {
        if (Platform().registryReads != 0) {
            GTEST_SKIP() << "the binding is made once per process; run this case alone";
        }
        FakeServiceReset();
    }
};

// --- Registry

TEST_F(FreshBinding, KeyMissingIsErrorOneWithoutLoading) {
    Platform().registryResult = RegistryRead::kKeyMissing;
    DllLoader* loader = DllLoader::GetInstance();
    EXPECT_EQ(loader->GetInstallationErrorNum(), 1u);
    EXPECT_EQ(Platform().keyRead, "SOFTWARE\\Vykaris\\Launcher");
    EXPECT_EQ(Platform().valueRead, "InstallDir");
    EXPECT_EQ(Platform().bufferSize, 255u);
    EXPECT_TRUE(Platform().loadedPaths.empty());
    EXPECT_TRUE(Platform().lookups.empty());
    EXPECT_EQ(BoundPointers(*loader), std::vector<bool>(21, false));
}

// A missing or empty directory would load the file name from the root of the current drive.
TEST_F(FreshBinding, ValueMissingIsErrorTwoWithoutLoading) {
    Platform().registryResult = RegistryRead::kValueMissing;
    EXPECT_EQ(DllLoader::GetInstance()->GetInstallationErrorNum(), 2u);
    EXPECT_TRUE(Platform().loadedPaths.empty());
    EXPECT_TRUE(Platform().lookups.empty());
}

TEST_F(FreshBinding, EmptyValueIsErrorTwoWithoutLoading) {
    SetInstallDir("");
    EXPECT_EQ(DllLoader::GetInstance()->GetInstallationErrorNum(), 2u);
    EXPECT_TRUE(Platform().loadedPaths.empty());
}

TEST_F(FreshBinding, UnusableValueIsErrorTwoWithoutLoading) {
    Platform().registryResult = RegistryRead::kUnusable;
    EXPECT_EQ(DllLoader::GetInstance()->GetInstallationErrorNum(), 2u);
    EXPECT_TRUE(Platform().loadedPaths.empty());
}

// --- The composed path

TEST_F(FreshBinding, DirectoryIsUsedExactlyAsRead) {
    const std::string dir = "C:\\Program Files (x86)\\Vykaris Launcher";
    SetInstallDir(dir);
    EXPECT_EQ(DllLoader::GetInstance()->GetInstallationErrorNum(), 0u);
    EXPECT_EQ(Platform().loadedPaths, std::vector<std::string>{dir + PathSuffix()});
}

TEST_F(FreshBinding, TrailingSeparatorIsDoubled) {
    const std::string dir = std::string("/opt/vykaris") + PathSuffix()[0];
    SetInstallDir(dir);
    DllLoader::GetInstance();
    ASSERT_EQ(Platform().loadedPaths.size(), 1u);
    EXPECT_EQ(Platform().loadedPaths[0], dir + PathSuffix());
    EXPECT_EQ(Platform().loadedPaths[0].substr(dir.size() - 1, 2), std::string(2, PathSuffix()[0]));
}

TEST_F(FreshBinding, LongestDirectoryStillFits) {
    const std::string dir(LongestDirectory(), 'd');
    SetInstallDir(dir);
    EXPECT_EQ(DllLoader::GetInstance()->GetInstallationErrorNum(), 0u);
    ASSERT_EQ(Platform().loadedPaths.size(), 1u);
    EXPECT_EQ(Platform().loadedPaths[0], dir + PathSuffix());
    EXPECT_EQ(Platform().loadedPaths[0].size(), 259u);
}

TEST_F(FreshBinding, OneCharacterMoreIsErrorTwoWithoutLoading) {
    SetInstallDir(std::string(LongestDirectory() + 1, 'd'));
    EXPECT_EQ(DllLoader::GetInstance()->GetInstallationErrorNum(), 2u);
    EXPECT_TRUE(Platform().loadedPaths.empty());
    EXPECT_TRUE(Platform().lookups.empty());
}

TEST_F(FreshBinding, LoadFailureIsErrorTwoWithoutLookups) {
    SetInstallDir("/nowhere");
    Platform().loadSucceeds = false;
    DllLoader* loader = DllLoader::GetInstance();
    EXPECT_EQ(loader->GetInstallationErrorNum(), 2u);
    EXPECT_EQ(Platform().loadedPaths.size(), 1u);
    EXPECT_TRUE(Platform().lookups.empty());
    EXPECT_EQ(BoundPointers(*loader), std::vector<bool>(21, false));
}

// --- Lookups

TEST_F(FreshBinding, CompleteLibraryIsErrorZeroWithAllPointersBound) {
    SetInstallDir("/opt/vykaris");
    DllLoader* loader = DllLoader::GetInstance();
    EXPECT_EQ(loader->GetInstallationErrorNum(), 0u);
    EXPECT_EQ(Platform().lookups, kEntryPoints);
    EXPECT_EQ(BoundPointers(*loader), std::vector<bool>(21, true));
}

TEST_F(FreshBinding, LastExportMissingIsErrorThreeWithTheOtherTwentyBound) {
    SetInstallDir("/opt/vykaris");
    Platform().missingExports = {"QzVeltodllSaveGameInfoGetSize"};
    DllLoader* loader = DllLoader::GetInstance();
    EXPECT_EQ(loader->GetInstallationErrorNum(), 3u);
    std::vector<bool> expected(21, true);
    expected[20] = false;
    EXPECT_EQ(BoundPointers(*loader), expected);
}

TEST_F(FreshBinding, EveryLookupIsMadeInOrderAfterAMiss) {
    SetInstallDir("/opt/vykaris");
    Platform().missingExports = {"QzVeltodllGetSession", "QzVeltodllGetLocText"};
    DllLoader* loader = DllLoader::GetInstance();
    EXPECT_EQ(loader->GetInstallationErrorNum(), 3u);
    EXPECT_EQ(Platform().lookups, kEntryPoints);
    std::vector<bool> expected(21, true);
    expected[0] = false;
    expected[11] = false;
    EXPECT_EQ(BoundPointers(*loader), expected);
}

// --- When the binding is made, and how often

TEST_F(FreshBinding, ErrorNumberAskedFirstMakesTheBinding) {
    SetInstallDir("/opt/vykaris");
    EXPECT_EQ(Platform().loadedPaths.size(), 0u);
    EXPECT_EQ(DllLoader::GetInstance()->GetInstallationErrorNum(), 0u);
    EXPECT_EQ(Platform().registryReads, 1);
    EXPECT_EQ(Platform().loadedPaths.size(), 1u);
    // No client exists, so no session was asked for.
    EXPECT_EQ(FakeServiceCountCalls(FAKE_GetSession), 0u);
}

TEST_F(FreshBinding, TwoClientsShareOneReadAndOneLoad) {
    SetInstallDir("/opt/vykaris");
    {
        VeltoClient first;
        EXPECT_EQ(first.GetInstallationErrorNum(), 0u);
    }
    VeltoClient second;
    EXPECT_EQ(second.GetInstallationErrorNum(), 0u);
    EXPECT_EQ(Platform().registryReads, 1);
    EXPECT_EQ(Platform().loadedPaths.size(), 1u);
    EXPECT_EQ(Platform().lookups.size(), 21u);
    EXPECT_EQ(FakeServiceCountCalls(FAKE_GetSession), 2u);
}

TEST_F(FreshBinding, FailureStaysForTheProcess) {
    Platform().registryResult = RegistryRead::kKeyMissing;
    VeltoClient first;
    EXPECT_EQ(first.GetInstallationErrorNum(), 1u);
    // Installing the platform now changes nothing: there is no second attempt.
    SetInstallDir("/opt/vykaris");
    VeltoClient second;
    EXPECT_EQ(second.GetInstallationErrorNum(), 1u);
    EXPECT_EQ(first.GetInstallationErrorNum(), 1u);
    EXPECT_EQ(Platform().registryReads, 1);
    EXPECT_TRUE(Platform().loadedPaths.empty());
    EXPECT_EQ(FakeServiceCallCount(), 0u);
}

}  // namespace
