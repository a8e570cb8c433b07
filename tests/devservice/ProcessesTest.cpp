// Other processes on the same storage: one sees what another committed, and a writer killed at
// any moment leaves the old or the new version, never a mix, and every other savegame intact.

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <thread>

#include "ChildModes.h"
#include "ChildProcess.h"

namespace qz::devservice::test {
namespace {

// Files of the test itself (markers, dumps), beside the storage directory.
std::string WorkFile(const std::string& name) {
    const std::filesystem::path directory = StorageDirectory() + "-work";
    std::filesystem::create_directories(directory);
    return (directory / name).string();
}

Dumped Expected(unsigned int savegameId, const Bytes& data) {
    return Dumped{savegameId, static_cast<unsigned int>(data.size()), Hash(data)};
}

bool operator==(const Dumped& a, const Dumped& b) {
    return a.savegameId == b.savegameId && a.size == b.size && a.hash == b.hash;
}

TEST(Processes, EachSeesWhatTheOtherCommitted) {
    DevGame game;
    const Bytes first = Pattern(1000, 1);
    const Bytes second = Pattern(70000, 2);
    ASSERT_TRUE(game.Save(60, 1, first));
    ASSERT_TRUE(game.Save(60, 2, second));
    std::vector<Dumped> dumped;
    ASSERT_TRUE(DumpInFreshProcess(60, WorkFile("dump-60"), dumped));
    ASSERT_EQ(dumped.size(), 2u);
    EXPECT_TRUE(dumped[0] == Expected(1, first));
    EXPECT_TRUE(dumped[1] == Expected(2, second));

    const std::string marker = WorkFile("marker-60");
    ASSERT_EQ(RunChild({"--child-write", "60", "3", "5000", "3", marker}), 0);
    const std::vector<Listed> listed = game.List(60);
    ASSERT_EQ(listed.size(), 3u);
    EXPECT_EQ(listed[2].name, AsName("version 3"));
    Bytes loaded;
    ASSERT_TRUE(game.Load(60, 3, loaded));
    EXPECT_TRUE(loaded == Pattern(5000, 3));
}

#if defined(_WIN32)
constexpr int kKillRounds = 12;  // a process start under Wine takes a good part of a second
#else
constexpr int kKillRounds = 40;
#endif
constexpr int kExtraRounds = 6;
constexpr unsigned int kProduct = 61;
constexpr unsigned int kTarget = 5;
constexpr std::size_t kTargetSize = 2 * 1024 * 1024 + 3;

TEST(Processes, KilledWriterLeavesTheOldOrTheNewVersion) {
    DevGame game;
    // Savegames committed before, which every kill must leave alone.
    std::vector<Dumped> others;
    for (unsigned int id = 1; id <= 3; ++id) {
        const Bytes data = Pattern(id * 3000, 100 + id);
        ASSERT_TRUE(game.Save(kProduct, id, data));
        others.push_back(Expected(id, data));
    }

    // One undisturbed run measures how long a writer lives, to spread the kills over it.
    const std::string marker = WorkFile("marker-61");
    std::filesystem::remove(marker);
    const auto started = std::chrono::steady_clock::now();
    ASSERT_EQ(RunChild({"--child-write", std::to_string(kProduct), std::to_string(kTarget),
                        std::to_string(kTargetSize), "0", marker}),
              0);
    const auto lifetime = std::chrono::steady_clock::now() - started;
    Dumped committed = Expected(kTarget, Pattern(kTargetSize, 0));

    int sawOld = 0;
    int sawNew = 0;
    // The kills are spread over the measured run; a machine that got busier or quieter since
    // may leave one outcome unseen, so a few more rounds then aim at it: a kill at once for the
    // old version, ever later ones for the new.
    for (int round = 1; round <= kKillRounds + kExtraRounds; ++round) {
        const int extra = round - kKillRounds;
        if (extra > 0 && sawOld > 0 && sawNew > 0) {
            break;
        }
        const auto delay = extra <= 0    ? lifetime * round * 3 / (2 * kKillRounds)
                           : sawOld == 0 ? lifetime * 0
                                         : lifetime * (2 + extra);
        std::filesystem::remove(marker);
        const Dumped fresh = Expected(kTarget, Pattern(kTargetSize, round));
        {
            ChildProcess writer;
            ASSERT_TRUE(
                writer.Start({"--child-write", std::to_string(kProduct), std::to_string(kTarget),
                              std::to_string(kTargetSize), std::to_string(round), marker}));
            std::this_thread::sleep_for(delay);
            writer.Kill();
            writer.Wait();
        }
        const bool closeReturned = std::filesystem::exists(marker);

        std::vector<Dumped> dumped;
        ASSERT_TRUE(DumpInFreshProcess(kProduct, WorkFile("dump-61"), dumped)) << round;
        ASSERT_EQ(dumped.size(), 4u) << "round " << round;
        for (std::size_t i = 0; i < others.size(); ++i) {
            EXPECT_TRUE(dumped[i] == others[i]) << "round " << round << ", savegame " << i + 1;
        }
        const Dumped& target = dumped[3];
        if (target == fresh) {
            ++sawNew;
            committed = fresh;
        } else {
            ASSERT_TRUE(target == committed) << "round " << round << ": neither old nor new";
            ASSERT_FALSE(closeReturned) << "round " << round << ": the commit was lost";
            ++sawOld;
        }
    }
    // Both outcomes must have happened, or the kills missed the commit.
    EXPECT_GT(sawOld, 0);
    EXPECT_GT(sawNew, 0);
    std::printf("%d kills left the old version, %d the new one\n", sawOld, sawNew);
}

// While another process has a writer open on a savegame, this one's writer answers 4; once
// that process is killed, its lock is gone and its leftover file is in nobody's way.
TEST(Processes, AWriterInAnotherProcessHoldsTheSavegameUntilItDies) {
    DevGame game;
    ASSERT_TRUE(game.Save(62, 1, Pattern(10, 1)));
    const std::string marker = WorkFile("marker-62");
    std::filesystem::remove(marker);
    ChildProcess holder;
    ASSERT_TRUE(holder.Start({"--child-hold", "62", "1", marker}));
    for (int wait = 0; wait < 600 && !std::filesystem::exists(marker); ++wait) {
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    ASSERT_TRUE(std::filesystem::exists(marker));
    EXPECT_EQ(game.OpenWriter(62, 1, true).values[0], 4u);
    EXPECT_TRUE(game.Save(62, 2, Pattern(10, 2))) << "other savegames are free";
    holder.Kill();
    holder.Wait();
    ASSERT_TRUE(game.Save(62, 1, Pattern(20, 3)));
    Bytes loaded;
    ASSERT_TRUE(game.Load(62, 1, loaded));
    EXPECT_TRUE(loaded == Pattern(20, 3));
}

}  // namespace
}  // namespace qz::devservice::test
