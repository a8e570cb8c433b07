// A 64 KiB savegame written and committed, listed and read back through the loader and the
// development service, against the same durable work by hand: write to a temporary file,
// fsync, rename, fsync the directory, read. Then the write, the read and the list alone, in
// products that already hold 1, 100 or 10,000 savegames: a write and a read must cost the same
// in each, a list grow linearly. With QZ_BENCH_QUOTAS=1 in the environment the service runs
// with product quotas (never reached), so that the quota checks are measured too. The round
// trip's ratio to the work by hand is printed at the end.

#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <veltoclient/VeltoClient.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <utility>
#include <vector>

#include "RatioReporter.h"
#include "storage/SavegameFile.h"

namespace {

using namespace qz::veltoclient;

constexpr unsigned int kSize = 64 * 1024;
constexpr unsigned int kProduct = 1;
constexpr unsigned int kSavegame = 1;

class Game : public IGetSavegameWriterListener,
             public IGetSavegameReaderListener,
             public IGetSavegameListListener,
             public ISavegameWriteListener,
             public ISavegameReadListener {
public:
    VeltoClient client;
    SavegameWriter* writer = nullptr;
    SavegameReader* reader = nullptr;
    unsigned int count = 0;
    unsigned int bytes = 0;

    void OnGetSavegameWriter(unsigned int, unsigned int, SavegameWriter* w) override { writer = w; }
    void OnGetSavegameReader(unsigned int, unsigned int, SavegameReader* r) override { reader = r; }
    void OnGetSavegameList(unsigned int, SavegameInfo*, unsigned int n) override { count = n; }
    void OnSavegameWrite(unsigned int, unsigned int n) override { bytes = n; }
    void OnSavegameRead(unsigned int, unsigned int n) override { bytes = n; }

    bool Save(unsigned int productId, const std::vector<unsigned char>& data) {
        client.GetSavegameWriter(client.GetRequestUniqueId(), this, productId, kSavegame, true);
        client.Update();
        writer->Write(client.GetRequestUniqueId(), this, const_cast<unsigned char*>(data.data()),
                      kSize);
        client.Update();
        writer->Close(true);
        return bytes == kSize;
    }
    bool Load(unsigned int productId, std::vector<unsigned char>& back) {
        client.GetSavegameReader(client.GetRequestUniqueId(), this, productId, kSavegame);
        client.Update();
        reader->Read(client.GetRequestUniqueId(), this, 0, back.data(), kSize);
        client.Update();
        reader->Close();
        return bytes == kSize;
    }
    unsigned int List(unsigned int productId) {
        client.GetSavegameList(client.GetRequestUniqueId(), this, productId);
        client.Update();
        return count;
    }
};

Game& TheGame() {
    static Game* game = new Game;  // handles and client live as long as the process
    return *game;
}

// Product 1000 + n holds savegames 2 to n (small ones, written straight to the disk) beside
// savegame 1, the one measured.
unsigned int FilledProduct(unsigned int savegames) {
    const unsigned int productId = 1000 + savegames;
    const std::string directory =
        std::string(QZ_BENCH_STORAGE_DIR) + "/" + std::to_string(productId);
    mkdir(QZ_BENCH_STORAGE_DIR, 0777);
    mkdir(directory.c_str(), 0777);
    const unsigned char contents[16] = {};
    for (unsigned int id = 2; id <= savegames; ++id) {
        const std::string path = directory + "/" + qz::devservice::SavegameFileName(id);
        if (access(path.c_str(), F_OK) == 0) {
            continue;
        }
        const auto file = qz::devservice::EncodeSavegameFile(2, {0}, contents, sizeof contents);
        const int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0666);
        if (fd < 0 || write(fd, file.data(), file.size()) != static_cast<ssize_t>(file.size())) {
            std::abort();
        }
        close(fd);
    }
    return productId;
}

void BM_DevServiceRoundTrip(benchmark::State& state) {
    Game& game = TheGame();
    std::vector<unsigned char> data(kSize, 0x5A);
    std::vector<unsigned char> back(kSize);
    for (auto _ : state) {
        if (!game.Save(kProduct, data) || game.List(kProduct) != 1 || !game.Load(kProduct, back)) {
            state.SkipWithError("round trip failed");
            break;
        }
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * kSize);
}
BENCHMARK(BM_DevServiceRoundTrip)->Unit(benchmark::kMicrosecond);

void BM_ByHandRoundTrip(benchmark::State& state) {
    const std::string directory = std::string(QZ_BENCH_STORAGE_DIR) + "/by-hand";
    mkdir(QZ_BENCH_STORAGE_DIR, 0777);
    mkdir(directory.c_str(), 0777);
    const std::string path = directory + "/1.vsg";
    const std::string temp = path + ".tmp";
    std::vector<unsigned char> data(kSize, 0x5A);
    std::vector<unsigned char> back(kSize);
    for (auto _ : state) {
        int fd = open(temp.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0666);
        bool done = write(fd, data.data(), kSize) == kSize && fsync(fd) == 0;
        close(fd);
        done = done && rename(temp.c_str(), path.c_str()) == 0;
        const int dir = open(directory.c_str(), O_RDONLY | O_DIRECTORY);
        done = done && fsync(dir) == 0;
        close(dir);
        fd = open(path.c_str(), O_RDONLY);
        done = done && read(fd, back.data(), kSize) == kSize;
        close(fd);
        if (!done) {
            state.SkipWithError("file operations failed");
            break;
        }
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * kSize);
}
BENCHMARK(BM_ByHandRoundTrip)->Unit(benchmark::kMicrosecond);

// Argument: the savegames in the product.
void BM_Write(benchmark::State& state) {
    const unsigned int productId = FilledProduct(static_cast<unsigned int>(state.range(0)));
    std::vector<unsigned char> data(kSize, 0x5A);
    // The first write with quotas reads the product's sizes once; the measure is of the rest.
    TheGame().Save(productId, data);
    for (auto _ : state) {
        if (!TheGame().Save(productId, data)) {
            state.SkipWithError("write failed");
            break;
        }
    }
}
BENCHMARK(BM_Write)->Arg(1)->Arg(100)->Arg(10000)->Unit(benchmark::kMicrosecond);

void BM_Read(benchmark::State& state) {
    const unsigned int productId = FilledProduct(static_cast<unsigned int>(state.range(0)));
    std::vector<unsigned char> data(kSize, 0x5A);
    std::vector<unsigned char> back(kSize);
    TheGame().Save(productId, data);
    for (auto _ : state) {
        if (!TheGame().Load(productId, back)) {
            state.SkipWithError("read failed");
            break;
        }
    }
}
BENCHMARK(BM_Read)->Arg(1)->Arg(100)->Arg(10000)->Unit(benchmark::kMicrosecond);

void BM_List(benchmark::State& state) {
    const auto savegames = static_cast<unsigned int>(state.range(0));
    const unsigned int productId = FilledProduct(savegames);
    std::vector<unsigned char> data(kSize, 0x5A);
    TheGame().Save(productId, data);
    for (auto _ : state) {
        if (TheGame().List(productId) != savegames) {
            state.SkipWithError("list failed");
            break;
        }
    }
    state.SetItemsProcessed(static_cast<int64_t>(state.iterations()) * savegames);
}
BENCHMARK(BM_List)->Arg(1)->Arg(100)->Arg(10000)->Unit(benchmark::kMicrosecond);

// "BM_DevServiceRoundTrip" -> path "DevService", row "round trip"; the rest by their names.
std::pair<std::string, std::string> SplitRunName(const std::string& name) {
    const std::string suffix = "RoundTrip";
    if (name.size() > 3 + suffix.size() &&
        name.compare(name.size() - suffix.size(), suffix.size(), suffix) == 0) {
        return {name.substr(3, name.size() - 3 - suffix.size()), "round trip"};
    }
    return {name, ""};
}

// The round trip against the same work by hand in this run, from the median when repeated.
void PrintRatio(const qz::bench::RatioReporter& reporter) {
    for (const auto& [key, byPath] : reporter.GetTable()) {
        const auto service = byPath.find("DevService");
        const auto byHand = byPath.find("ByHand");
        if (key.first != reporter.GetMainStatistic() || service == byPath.end() ||
            byHand == byPath.end() || byHand->second.wall <= 0 || byHand->second.cpu <= 0) {
            continue;
        }
        const double wall = service->second.wall / byHand->second.wall;
        std::printf(
            "\nround trip, service / by hand (%s): wall %.3f, CPU %.3f; target wall <= 1.15: %s\n",
            key.first.c_str(), wall, service->second.cpu / byHand->second.cpu,
            wall <= 1.15 ? "held" : "missed");
    }
}

}  // namespace

int main(int argc, char** argv) {
    // The loader binds at the first client: point it and the service at the build's folders.
    setenv("VYKARIS_REGISTRY_ROOT", QZ_BENCH_REGISTRY_ROOT, 1);
    setenv("VYKARIS_DEVSERVICE_DIR", QZ_BENCH_STORAGE_DIR, 1);
    const char* quotas = std::getenv("QZ_BENCH_QUOTAS");
    if (quotas != nullptr && std::string(quotas) == "1") {
        setenv("VYKARIS_DEVSERVICE_MAX_PRODUCT_BYTES", "1000000000000", 1);
        setenv("VYKARIS_DEVSERVICE_MAX_PRODUCT_SAVEGAMES", "1000000", 1);
    }
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) {
        return 1;
    }
    qz::bench::RatioReporter reporter(SplitRunName);
    benchmark::RunSpecifiedBenchmarks(&reporter);
    PrintRatio(reporter);
    benchmark::Shutdown();
    return 0;
}
