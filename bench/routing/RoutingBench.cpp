// The cost of one request and its answer through the loader, against the same service
// answering a direct virtual call (the floor) and against a router of the same shape built on
// std::unordered_map. The service answers from inside the request call. Ids count up from 1,
// as GetRequestUniqueId gives them. Patterns of `pending` requests outstanding when an answer
// is routed:
//   Fixed:    ids 1 to pending - 1 are never answered; every later request is answered at
//             once (long waits while other requests come and go).
//   Window:   every request is answered `pending - 1` requests later, oldest first (a steady
//             stream).
//   FixedFar: as Fixed, but the waiting ids are 0x80000000 and up. The request table's size
//             follows how its displacement chains fall, and these ids leave 16 waiting
//             requests in a full 16-slot table, so every new request walks a long chain: the
//             table's worst case seen so far, kept here in view.
//
// At the end a ratio table compares each router's overhead over the direct path, in CPU time:
// the loader's overhead should be at most half of the std::unordered_map router's.

#include <benchmark/benchmark.h>
#include <dlfcn.h>

#include <cstdio>
#include <cstdlib>
#include <map>
#include <string>
#include <unordered_map>
#include <utility>

#include <veltodll/VeltodllEntryPoints.h>
#include "RatioReporter.h"
#include "veltoclient/VeltoClient.h"

namespace {

using qz::veltoclient::VeltoClient;

// First id of the requests FixedFar holds pending.
constexpr unsigned int kFarBase = 0x80000000u;

// The bench service library the registry points at, opened again to reach its hold switch
// and, for the direct path, its entry point.
struct BenchService {
    decltype(&QzVeltodllGetSession) getSession = nullptr;
    decltype(&QzVeltodllGetLoginDetails) getLoginDetails = nullptr;
    void (*hold)(int) = nullptr;
    void (*setLag)(unsigned int) = nullptr;
};

const BenchService& Service() {
    static const BenchService service = [] {
        BenchService opened;
        void* library = dlopen(QZ_BENCH_SERVICE_PATH, RTLD_NOW);
        if (library == nullptr) {
            std::fprintf(stderr, "cannot load %s\n", QZ_BENCH_SERVICE_PATH);
            std::exit(1);
        }
        opened.getSession =
            reinterpret_cast<decltype(opened.getSession)>(dlsym(library, "QzVeltodllGetSession"));
        opened.getLoginDetails = reinterpret_cast<decltype(opened.getLoginDetails)>(
            dlsym(library, "QzVeltodllGetLoginDetails"));
        opened.hold = reinterpret_cast<void (*)(int)>(dlsym(library, "BenchServiceHold"));
        opened.setLag =
            reinterpret_cast<void (*)(unsigned int)>(dlsym(library, "BenchServiceSetLag"));
        return opened;
    }();
    return service;
}

// What the game does with an answer.
class GameListener : public qz::veltoclient::IGetLoginDetailsListener {
public:
    unsigned int answered = 0;
    void OnGetLoginDetails(unsigned int, unsigned int, unsigned int, unsigned int) override {
        ++answered;
    }
};

// The floor: the service calls the game's listener itself.
class DirectListener : public qz::veltodll::IGetLoginDetailsListener {
public:
    unsigned int answered = 0;
    void OnGetLoginDetails(unsigned int, unsigned int, unsigned int, unsigned int) override {
        ++answered;
    }
};

// The loader's job done with std::unordered_map: store, call the entry point, find, take,
// erase, call the game.
class MapRouter : public qz::veltodll::IGetLoginDetailsListener {
public:
    void Request(unsigned int id, qz::veltoclient::IGetLoginDetailsListener* listener) {
        pending[id] = listener;
        Service().getLoginDetails(session, id, this);
    }
    void OnGetLoginDetails(unsigned int id, unsigned int a, unsigned int b,
                           unsigned int c) override {
        const auto found = pending.find(id);
        if (found == pending.end()) {
            return;
        }
        qz::veltoclient::IGetLoginDetailsListener* listener = found->second;
        pending.erase(found);
        listener->OnGetLoginDetails(id, a, b, c);
    }

    void* session = Service().getSession();
    std::unordered_map<unsigned int, qz::veltoclient::IGetLoginDetailsListener*> pending;
};

// The three ways from the game's request to the game's listener.

struct DirectPath {
    void Issue(unsigned int id) { Service().getLoginDetails(session, id, &listener); }
    void Hold(unsigned int id) { Issue(id); }
    unsigned int Answered() const { return listener.answered; }

    void* session = Service().getSession();
    DirectListener listener;
};

struct MapRouterPath {
    void Issue(unsigned int id) { router.Request(id, &listener); }
    void Hold(unsigned int id) { router.Request(id, &idle); }
    unsigned int Answered() const { return listener.answered; }

    MapRouter router;
    GameListener listener;
    GameListener idle;
};

struct LoaderPath {
    void Issue(unsigned int id) { client.GetLoginDetails(id, &listener); }
    void Hold(unsigned int id) { client.GetLoginDetails(id, &idle); }
    unsigned int Answered() const { return listener.answered; }

    VeltoClient client;
    GameListener listener;
    GameListener idle;
};

enum Pattern { kFixed, kWindow, kFixedFar };

template <typename Path>
void RoundTrips(benchmark::State& state, Pattern pattern) {
    Path path;
    const unsigned int others = static_cast<unsigned int>(state.range(0)) - 1;
    unsigned int id = 1;
    if (pattern == kFixed || pattern == kFixedFar) {
        Service().setLag(0);
        Service().hold(1);
        for (unsigned int i = 0; i < others; ++i) {
            path.Hold(pattern == kFixed ? id++ : kFarBase + i);
        }
        Service().hold(0);
    } else {
        Service().setLag(others);
        while (id <= others) {
            path.Issue(id++);
        }
    }
    const unsigned int answered = path.Answered();
    for (auto _ : state) {
        path.Issue(id++);
    }
    if (path.Answered() - answered != state.iterations()) {
        state.SkipWithError("answers lost");
    }
    // The requests still waiting belong to this run's path, about to be destroyed.
    Service().setLag(0);
    state.SetItemsProcessed(state.iterations());
}

// Registers BM_<path>_<pattern> for every pattern and path, in that order.
void RegisterRoundTrips() {
    const std::pair<const char*, Pattern> patterns[] = {
        {"Fixed", kFixed}, {"FixedFar", kFixedFar}, {"Window", kWindow}};
    const std::pair<const char*, void (*)(benchmark::State&, Pattern)> paths[] = {
        {"Direct", &RoundTrips<DirectPath>},
        {"MapRouter", &RoundTrips<MapRouterPath>},
        {"Loader", &RoundTrips<LoaderPath>}};
    for (const auto& [patternName, pattern] : patterns) {
        for (const auto& [pathName, function] : paths) {
            const std::string name = std::string("BM_") + pathName + "_" + patternName;
            benchmark::RegisterBenchmark(name.c_str(), function, pattern)
                ->ArgName("pending")
                ->Arg(1)
                ->Arg(16)
                ->Arg(1024);
        }
    }
}

// "BM_Loader_Window" -> path "Loader", row "Window".
std::pair<std::string, std::string> SplitRunName(const std::string& name) {
    const std::size_t split = name.rfind('_');
    return {name.substr(3, split - 3), name.substr(split + 1)};
}

double CpuTime(const std::map<std::string, qz::bench::RatioReporter::Times>& byPath,
               const char* path) {
    const auto found = byPath.find(path);
    return found == byPath.end() ? 0 : found->second.cpu;
}

// Each router's overhead over the direct path, in CPU time (the machine is shared), from the
// median when repeated.
void PrintTable(const qz::bench::RatioReporter& reporter) {
    std::printf(
        "\nCPU ns per round trip       direct  unordered_map  loader  |  overhead:"
        "  map  loader  loader/map\n");
    std::string missed;
    for (const auto& [key, byPath] : reporter.GetTable()) {
        const auto& [statistic, row] = key;
        const double direct = CpuTime(byPath, "Direct");
        const double map = CpuTime(byPath, "MapRouter");
        const double loader = CpuTime(byPath, "Loader");
        if (statistic != reporter.GetMainStatistic() || direct <= 0 || map <= 0 || loader <= 0) {
            continue;
        }
        const double ratio = (loader - direct) / (map - direct);
        if (ratio > 0.5) {
            missed += "  " + row;
        }
        std::printf("%-24s %9.1f %14.1f %7.1f  | %15.1f %7.1f %11.2f\n", row.c_str(), direct, map,
                    loader, map - direct, loader - direct, ratio);
    }
    std::printf("target loader/map <= 0.50: %s%s\n",
                missed.empty() ? "held everywhere" : "missed in", missed.c_str());
}

}  // namespace

int main(int argc, char** argv) {
    // The registry the loader reads names the bench service library; set before the first
    // client binds it.
    setenv("VYKARIS_REGISTRY_ROOT", QZ_BENCH_REGISTRY_ROOT, 1);
    RegisterRoundTrips();
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) {
        return 1;
    }
    qz::bench::RatioReporter reporter(SplitRunName);
    benchmark::RunSpecifiedBenchmarks(&reporter);
    PrintTable(reporter);
    benchmark::Shutdown();
    return 0;
}
