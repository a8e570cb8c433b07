// A 64 KiB savegame written and committed, listed and read back through the loader and the
// development service, against the same durable work by hand: write to a temporary file,
// fsync, rename, fsync the directory, read.

#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <veltoclient/VeltoClient.h>

#include <cstdlib>
#include <string>
#include <vector>

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
};

void BM_DevServiceRoundTrip(benchmark::State& state) {
    static Game* game = new Game;  // handles and client live as long as the process
    std::vector<unsigned char> data(kSize, 0x5A);
    std::vector<unsigned char> back(kSize);
    VeltoClient& client = game->client;
    for (auto _ : state) {
        client.GetSavegameWriter(client.GetRequestUniqueId(), game, kProduct, kSavegame, true);
        client.Update();
        game->writer->Write(client.GetRequestUniqueId(), game, data.data(), kSize);
        client.Update();
        game->writer->Close(true);
        client.GetSavegameList(client.GetRequestUniqueId(), game, kProduct);
        client.Update();
        client.GetSavegameReader(client.GetRequestUniqueId(), game, kProduct, kSavegame);
        client.Update();
        game->reader->Read(client.GetRequestUniqueId(), game, 0, back.data(), kSize);
        client.Update();
        game->reader->Close();
        if (game->bytes != kSize || game->count != 1) {
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

}  // namespace

int main(int argc, char** argv) {
    // The loader binds at the first client: point it and the service at the build's folders.
    setenv("VYKARIS_REGISTRY_ROOT", QZ_BENCH_REGISTRY_ROOT, 1);
    setenv("VYKARIS_DEVSERVICE_DIR", QZ_BENCH_STORAGE_DIR, 1);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) {
        return 1;
    }
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
