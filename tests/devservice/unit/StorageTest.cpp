// The storage directory on the disk, in process: hostile files, temporary files, locks between
// two storages on one directory (as two processes would hold them), and a disk that fills.

#include <gtest/gtest.h>

#include <chrono>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <thread>
#include <vector>

#include "storage/Platform.h"
#include "storage/SavegameFile.h"
#include "storage/Storage.h"

#ifndef _WIN32
#include <fcntl.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>
#endif

namespace qz::devservice {
namespace {

namespace fs = std::filesystem;
using Bytes = std::vector<unsigned char>;

// A fresh storage directory per test, under a short path (a socket's name must fit 108 bytes).
class StorageTest : public ::testing::Test {
protected:
    void SetUp() override {
        root = fs::temp_directory_path() / ("qz-ds-" + std::to_string(platform::ProcessId())) /
               ::testing::UnitTest::GetInstance()->current_test_info()->name();
        fs::remove_all(root);
        fs::create_directories(root);
    }

    void TearDown() override { fs::remove_all(root.parent_path()); }

    std::string Directory() const { return root.u8string(); }
    fs::path Product(unsigned int productId) const { return root / std::to_string(productId); }

    static void WriteFile(const fs::path& path, const Bytes& bytes) {
        fs::create_directories(path.parent_path());
        std::ofstream file(path, std::ios::binary);
        file.write(reinterpret_cast<const char*>(bytes.data()),
                   static_cast<std::streamsize>(bytes.size()));
    }

    static Bytes ReadFile(const fs::path& path) {
        std::ifstream file(path, std::ios::binary);
        return Bytes(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
    }

    static bool Save(Storage& storage, unsigned int productId, unsigned int savegameId,
                     const Bytes& data) {
        std::string reason;
        return storage.Write(productId, savegameId, {'n', 0}, data.data(), data.size(), reason);
    }

    fs::path root;
};

const Bytes kData = {1, 2, 3, 4, 5};

TEST_F(StorageTest, CommitsVersionTwoAndReadsVersionOne) {
    Storage storage(Directory());
    ASSERT_TRUE(Save(storage, 1, 1, kData));
    EXPECT_EQ(ReadFile(Product(1) / "1.vsg"), EncodeSavegameFile(2, {'n', 0}, kData.data(), 5));
    WriteFile(Product(1) / "2.vsg", EncodeSavegameFile(1, {0}, kData.data(), kData.size()));
    const std::vector<SavegameHeader> listed = storage.List(1);
    ASSERT_EQ(listed.size(), 2u);
    EXPECT_EQ(listed[1].savegameId, 2u);
    SavegameContents contents;
    std::string reason;
    ASSERT_EQ(storage.Read(1, 2, contents, reason), ResultCode::kDone);
    EXPECT_EQ(Bytes(contents.data.begin(), contents.data.end()), kData);
    EXPECT_EQ(contents.version, 1u);
    // Replaced, it becomes version 2.
    ASSERT_TRUE(Save(storage, 1, 2, kData));
    ASSERT_EQ(storage.Read(1, 2, contents, reason), ResultCode::kDone);
    EXPECT_EQ(contents.version, 2u);
}

// A name that changes its length after the contents were written moves them; the expected
// name keeps them in place.
TEST_F(StorageTest, ContentsStayWholeWhateverTheNameTurnsOutToBe) {
    Storage storage(Directory());
    const Utf16Name names[] = {{0}, {'a', 0}, {'l', 'o', 'n', 'g', 'e', 'r', 0}};
    for (const Utf16Name& expected : names) {
        for (const Utf16Name& final : names) {
            PendingVersion pending;
            std::string reason;
            ASSERT_EQ(storage.Begin(3, 1, expected, pending, reason), ResultCode::kDone) << reason;
            ASSERT_TRUE(storage.Append(*pending, kData.data(), 2, reason));
            ASSERT_TRUE(storage.Append(*pending, kData.data() + 2, 3, reason));
            ASSERT_EQ(storage.Commit(std::move(pending), final, nullptr, reason),
                      CommitOutcome::kCommitted);
            SavegameContents contents;
            ASSERT_EQ(storage.Read(3, 1, contents, reason), ResultCode::kDone);
            EXPECT_EQ(Bytes(contents.data.begin(), contents.data.end()), kData);
            EXPECT_EQ(contents.header.name, final);
        }
    }
    // Nothing but the savegame and the lock file stays behind.
    EXPECT_EQ(std::distance(fs::directory_iterator(Product(3)), fs::directory_iterator()), 2);
}

#ifndef _WIN32
// Whatever stands under a savegame's name, the answer comes at once and nothing outside the
// storage directory is read, changed or deleted.
TEST_F(StorageTest, HostileFilesAreNoSavegamesAndNeverBlock) {
    Storage storage(Directory());
    const fs::path outside = root / ".." / (root.filename().string() + "-outside");
    fs::create_directories(outside);
    const Bytes valid = EncodeSavegameFile(2, {0}, kData.data(), kData.size());
    WriteFile(outside / "1.vsg", valid);
    fs::create_directories(Product(1));
    ASSERT_EQ(mkfifo((Product(1) / "1.vsg").c_str(), 0666), 0);
    fs::create_symlink(outside / "1.vsg", Product(1) / "2.vsg");
    fs::create_directories(Product(1) / "3.vsg");
    const int sock = socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un address = {};
    address.sun_family = AF_UNIX;
    const std::string socketPath = (Product(1) / "4.vsg").string();
    ASSERT_LT(socketPath.size(), sizeof address.sun_path);
    std::strcpy(address.sun_path, socketPath.c_str());
    ASSERT_EQ(bind(sock, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
    // A 64 GiB sparse file: its zeros are no header, and it must not be read.
    { std::ofstream(Product(1) / "5.vsg"); }
    fs::resize_file(Product(1) / "5.vsg", 64ull << 30);
    // A product folder that is a link leads out of the storage directory.
    fs::create_directories(outside / "7");
    WriteFile(outside / "7" / "1.vsg", valid);
    fs::create_directory_symlink(outside / "7", Product(7));

    const auto start = std::chrono::steady_clock::now();
    const struct {
        unsigned int productId;
        unsigned int savegameId;
    } cases[] = {{1, 1}, {1, 2}, {1, 3}, {1, 4}, {1, 5}, {7, 1}};
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.productId) + "/" + std::to_string(c.savegameId));
        SavegameContents contents;
        SavegameHeader header;
        std::string reason;
        EXPECT_EQ(storage.Read(c.productId, c.savegameId, contents, reason),
                  ResultCode::kNoSuchSavegame);
        EXPECT_EQ(storage.ReadHeader(c.productId, c.savegameId, header, reason),
                  ResultCode::kNoSuchSavegame);
        EXPECT_EQ(storage.Remove(c.productId, c.savegameId, reason), ResultCode::kNoSuchSavegame);
    }
    EXPECT_TRUE(storage.List(1).empty());
    EXPECT_TRUE(storage.List(7).empty());
    EXPECT_EQ(storage.Products(), std::vector<unsigned int>{1});
    std::string reason;
    unsigned long long removed = 0;
    ASSERT_TRUE(storage.Reset(1, removed, reason)) << reason;
    ASSERT_TRUE(storage.Reset(7, removed, reason)) << reason;
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(2));
    // Writing through the linked product is refused; everything outside is as it was.
    PendingVersion pending;
    EXPECT_EQ(storage.Begin(7, 2, {0}, pending, reason), ResultCode::kStorageFailure);
    EXPECT_EQ(ReadFile(outside / "1.vsg"), valid);
    EXPECT_EQ(ReadFile(outside / "7" / "1.vsg"), valid);
    EXPECT_FALSE(fs::exists(outside / "7" / "2.vsg"));
    for (const char* name : {"1.vsg", "2.vsg", "3.vsg", "4.vsg"}) {
        EXPECT_TRUE(fs::exists(fs::symlink_status(Product(1) / name))) << name;
    }
    close(sock);
    fs::remove_all(outside);
}

// RLIMIT_FSIZE makes the disk look full to this process alone.
TEST_F(StorageTest, AFullDiskFailsTheWriteAndKeepsTheCommittedVersion) {
    Storage storage(Directory());
    ASSERT_TRUE(Save(storage, 2, 1, kData));
    PendingVersion pending;
    std::string reason;
    ASSERT_EQ(storage.Begin(2, 1, {'n', 0}, pending, reason), ResultCode::kDone);
    const Bytes large(256 * 1024, 7);
    rlimit old;
    getrlimit(RLIMIT_FSIZE, &old);
    const rlimit small = {64 * 1024, old.rlim_max};
    signal(SIGXFSZ, SIG_IGN);
    setrlimit(RLIMIT_FSIZE, &small);
    const bool written = storage.Append(*pending, large.data(), large.size(), reason);
    setrlimit(RLIMIT_FSIZE, &old);
    EXPECT_FALSE(written);
    EXPECT_NE(reason.find("cannot write"), std::string::npos) << reason;
    storage.Discard(std::move(pending));
    SavegameContents contents;
    ASSERT_EQ(storage.Read(2, 1, contents, reason), ResultCode::kDone);
    EXPECT_EQ(Bytes(contents.data.begin(), contents.data.end()), kData);
}

// A reset may delete a writer's file in the moment before the writer locks it, and a user at
// any time: the version is still whole in the open file, and is committed all the same. (Wine
// keeps a deleted open file's name and shows no pending delete: the moment cannot be made there.)
TEST_F(StorageTest, AVersionWhoseFileWasDeletedIsCommittedAllTheSame) {
    Storage storage(Directory());
    std::string reason;
    PendingVersion pending;
    ASSERT_EQ(storage.Begin(3, 1, {0}, pending, reason), ResultCode::kDone);
    ASSERT_TRUE(storage.Append(*pending, kData.data(), kData.size(), reason));
    std::vector<fs::path> temporary;
    for (const auto& entry : fs::directory_iterator(Product(3))) {
        if (entry.path().extension() == ".tmp") {
            temporary.push_back(entry.path());
        }
    }
    ASSERT_EQ(temporary.size(), 1u);
    ASSERT_TRUE(fs::remove(temporary[0]));
    ASSERT_EQ(storage.Commit(std::move(pending), {0}, nullptr, reason), CommitOutcome::kCommitted)
        << reason;
    SavegameContents contents;
    ASSERT_EQ(Storage(Directory()).Read(3, 1, contents, reason), ResultCode::kDone);
    EXPECT_EQ(Bytes(contents.data.begin(), contents.data.end()), kData);
    EXPECT_EQ(std::distance(fs::directory_iterator(Product(3)), fs::directory_iterator()), 2)
        << "the savegame and the lock file";
}

// An operation looks a product's folder up once; the next one looks again, and finds a link.
TEST_F(StorageTest, AFolderLookedUpForAnOperationIsLookedUpAgainForTheNext) {
    Storage storage(Directory());
    ASSERT_TRUE(Save(storage, 2, 1, kData));
    SavegameHeader header;
    std::string reason;
    {
        const Storage::Operation operation(storage);
        ASSERT_EQ(storage.ReadHeader(2, 1, header, reason), ResultCode::kDone);
        ASSERT_EQ(storage.ReadHeader(2, 1, header, reason), ResultCode::kDone);
    }
    fs::rename(Product(2), Product(3));
    fs::create_directory_symlink(Product(3), Product(2));
    EXPECT_EQ(storage.ReadHeader(2, 1, header, reason), ResultCode::kNoSuchSavegame);
    PendingVersion pending;
    EXPECT_EQ(storage.Begin(2, 1, {0}, pending, reason), ResultCode::kStorageFailure);
}
#endif

#ifndef _WIN32
// Lists and reads leave access times alone: a stamp on the product's folder between two
// commits would cost one more write to the disk at the next flush.
TEST_F(StorageTest, ListsAndReadsLeaveAccessTimesAlone) {
    Storage first(Directory());
    ASSERT_TRUE(Save(first, 3, 1, kData));
    const fs::path paths[] = {Product(3), Product(3) / SavegameFileName(1)};
    // Older than the last change, so that even relative access times would be stamped.
    const timespec old[2] = {{1000000000, 0}, {0, UTIME_OMIT}};
    for (const fs::path& path : paths) {
        ASSERT_EQ(utimensat(AT_FDCWD, path.c_str(), old, 0), 0);
    }
    Storage second(Directory());  // checks the file whole
    std::string reason;
    for (Storage* storage : {&first, &second}) {
        EXPECT_EQ(storage->List(3).size(), 1u);
        SavegameContents contents;
        EXPECT_EQ(storage->Read(3, 1, contents, reason), ResultCode::kDone);
    }
    for (const fs::path& path : paths) {
        struct stat status;
        ASSERT_EQ(lstat(path.c_str(), &status), 0);
        EXPECT_EQ(status.st_atim.tv_sec, old[0].tv_sec) << path;
    }
}

// A product's folder deleted and made again: the locks are the new folder's, so storages
// still exclude each other, and a version begun in the old folder is not committed.
TEST_F(StorageTest, AFolderMadeAgainHasLocksOfItsOwn) {
    Storage first(Directory());
    ASSERT_TRUE(Save(first, 9, 1, kData));
    std::string reason;
    PendingVersion begunBefore;
    ASSERT_EQ(first.Begin(9, 2, {0}, begunBefore, reason), ResultCode::kDone);
    fs::remove_all(Product(9));
    fs::create_directories(Product(9));
    PendingVersion pending;
    ASSERT_EQ(first.Begin(9, 1, {0}, pending, reason), ResultCode::kDone);
    Storage second(Directory());
    PendingVersion refused;
    EXPECT_EQ(second.Begin(9, 1, {0}, refused, reason), ResultCode::kInUse);
    EXPECT_EQ(first.Commit(std::move(begunBefore), {0}, nullptr, reason), CommitOutcome::kFailed);
    EXPECT_EQ(first.Commit(std::move(pending), {0}, nullptr, reason), CommitOutcome::kCommitted)
        << reason;
    EXPECT_EQ(second.List(9).size(), 1u);
}
#endif

// Two storages on one directory hold their locks as two processes do.
TEST_F(StorageTest, AWriterHoldsItsSavegameAndItsTemporaryFile) {
    Storage first(Directory());
    Storage second(Directory());
    PendingVersion pending;
    std::string reason;
    ASSERT_EQ(first.Begin(4, 1, {0}, pending, reason), ResultCode::kDone);
    PendingVersion refused;
    EXPECT_EQ(second.Begin(4, 1, {0}, refused, reason), ResultCode::kInUse);
    ASSERT_TRUE(first.Append(*pending, kData.data(), kData.size(), reason));

    // A leftover of a killed writer, a user's file and a link: reset takes only the leftover
    // and the savegame files.
    WriteFile(Product(4) / "9.vsg.1-1.tmp", kData);
    WriteFile(Product(4) / "notes.vsg", kData);
    WriteFile(Product(4) / "2.vsg", kData);  // damaged
    unsigned long long removed = 0;
    ASSERT_TRUE(second.Reset(4, removed, reason)) << reason;
    EXPECT_EQ(removed, 2u);
    EXPECT_FALSE(fs::exists(Product(4) / "9.vsg.1-1.tmp"));
    EXPECT_FALSE(fs::exists(Product(4) / "2.vsg"));
    EXPECT_TRUE(fs::exists(Product(4) / "notes.vsg"));

    // The live writer's file survived the reset, and its commit keeps the savegame.
    ASSERT_EQ(first.Commit(std::move(pending), {0}, nullptr, reason), CommitOutcome::kCommitted)
        << reason;
    SavegameContents contents;
    ASSERT_EQ(second.Read(4, 1, contents, reason), ResultCode::kDone);
    EXPECT_EQ(Bytes(contents.data.begin(), contents.data.end()), kData);
    EXPECT_EQ(second.Begin(4, 1, {0}, refused, reason), ResultCode::kDone);
}

// A commit gives up its savegame and the product however it ends, and nothing more: another
// writer's savegame stays held.
TEST_F(StorageTest, ACommitReleasesItsOwnLocksOnly) {
    Storage first(Directory());
    Storage second(Directory());
    std::string reason;
    PendingVersion one;
    PendingVersion three;
    PendingVersion refused;
    ASSERT_EQ(first.Begin(8, 1, {0}, one, reason), ResultCode::kDone);
    ASSERT_EQ(first.Begin(8, 3, {0}, three, reason), ResultCode::kDone);
    ASSERT_EQ(first.Commit(std::move(three), {0}, nullptr, reason), CommitOutcome::kCommitted);
    EXPECT_EQ(second.Begin(8, 1, {0}, refused, reason), ResultCode::kInUse);
    const auto refuse = [](const ProductUsage&) { return false; };
    EXPECT_EQ(first.Commit(std::move(one), {0}, refuse, reason), CommitOutcome::kRefused);
    for (unsigned int savegameId : {1u, 3u}) {
        PendingVersion pending;
        ASSERT_EQ(second.Begin(8, savegameId, {0}, pending, reason), ResultCode::kDone);
        EXPECT_EQ(second.Commit(std::move(pending), {0}, nullptr, reason),
                  CommitOutcome::kCommitted);
    }
}

// Leftovers of a killed process with this very process id (common in containers) are
// skipped, and a reset deletes them.
TEST_F(StorageTest, TemporaryNamesSkipLeftovers) {
    for (unsigned long long counter = 1; counter <= 3; ++counter) {
        WriteFile(Product(5) / TemporaryFileName(1, platform::ProcessId(), counter), kData);
    }
    Storage storage(Directory());
    ASSERT_TRUE(Save(storage, 5, 1, kData));
    std::string reason;
    unsigned long long removed = 0;
    ASSERT_TRUE(storage.Reset(5, removed, reason));
    EXPECT_EQ(removed, 4u) << "three leftovers and the savegame";
    EXPECT_EQ(std::distance(fs::directory_iterator(Product(5)), fs::directory_iterator()), 1)
        << "only the lock file";
}

// The product lock spans the quota's decision and the commit; a storage sees the other's
// commits in its usage.
TEST_F(StorageTest, UsageFollowsCommitsOfEveryStorage) {
    Storage first(Directory());
    Storage second(Directory());
    ASSERT_TRUE(Save(first, 6, 1, Bytes(10)));
    EXPECT_EQ(second.Usage(6).bytes, 10u);
    ASSERT_TRUE(Save(second, 6, 2, Bytes(20)));
    ASSERT_TRUE(Save(second, 6, 1, Bytes(5)));
    const ProductUsage usage = first.Usage(6);
    EXPECT_EQ(usage.bytes, 25u);
    EXPECT_EQ(usage.sizes.size(), 2u);
    std::string reason;
    ASSERT_EQ(first.Remove(6, 2, reason), ResultCode::kDone);
    EXPECT_EQ(second.Usage(6).bytes, 5u);

    PendingVersion pending;
    ASSERT_EQ(second.Begin(6, 3, {0}, pending, reason), ResultCode::kDone);
    const auto refuse = [](const ProductUsage& seen) { return seen.sizes.size() < 1; };
    EXPECT_EQ(second.Commit(std::move(pending), {0}, refuse, reason), CommitOutcome::kRefused);
    EXPECT_EQ(first.List(6).size(), 1u);
}

// A storage does not read again a file it checked or committed, while that file is unchanged:
// a change by another storage, or in place at the same size, must still be seen.
TEST_F(StorageTest, FilesCheckedBeforeAreCheckedAgainOnceChanged) {
    Storage first(Directory());
    Storage second(Directory());
    ASSERT_TRUE(Save(first, 7, 1, Bytes(100, 1)));
    ASSERT_EQ(first.List(7).size(), 1u);
    std::string reason;
    ASSERT_TRUE(second.Write(7, 1, {'m', 0}, Bytes(100, 2).data(), 100, reason));
    SavegameContents contents;
    ASSERT_EQ(first.Read(7, 1, contents, reason), ResultCode::kDone);
    EXPECT_EQ(Bytes(contents.data.begin(), contents.data.end()), Bytes(100, 2));
    EXPECT_EQ(contents.header.name, Utf16Name({'m', 0}));

    // Damaged in place, same size, until the file system's clock shows it.
    const fs::path path = Product(7) / SavegameFileName(1);
    const auto before = fs::last_write_time(path);
    for (int attempt = 0; attempt < 500 && fs::last_write_time(path) == before; ++attempt) {
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
        std::fstream file(path, std::ios::in | std::ios::out | std::ios::binary);
        file.seekp(-1, std::ios::end);
        file.put(static_cast<char>(attempt));
    }
    ASSERT_NE(fs::last_write_time(path), before);
    EXPECT_TRUE(first.List(7).empty());
    EXPECT_EQ(first.Read(7, 1, contents, reason), ResultCode::kNoSuchSavegame);
    SavegameHeader header;
    EXPECT_EQ(second.ReadHeader(7, 1, header, reason), ResultCode::kNoSuchSavegame);
}

}  // namespace
}  // namespace qz::devservice
