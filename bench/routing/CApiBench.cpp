// One request and its answer through the C interface (veltoclient_c) against the same through
// the C++ classes, in the same run and against the same bench service, which answers each
// login-details request `pending - 1` requests later (from inside a later request call), so
// that `pending` requests are outstanding when one is answered. Both sides are written as a
// game writes them: the C++ game hands every request its one listener object, the C game its
// one callback and context; neither calls Update, which the bench service does not need.
//
// At the end a table gives the C layer's time over the C++ classes' time per round trip, in wall
// and CPU time; the target, judged by the median wall time of repetitions, is at most 1.10. The
// machine may be shared: use random interleaving.
//
// --round_trips=N runs every benchmark exactly N round trips, for instruction counts: under
// callgrind, the difference between the totals of two such runs of one benchmark, divided by
// the difference of their N, is its instructions per round trip.

#include <benchmark/benchmark.h>
#include <dlfcn.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <utility>

#include <veltoclient/VeltoClient.h>
#include <veltoclient/veltoclient_c.h>

#include "RatioReporter.h"

namespace {

using qz::veltoclient::VeltoClient;

void SetServiceLag(unsigned int lag) {
    static const auto setLag = [] {
        void* library = dlopen(QZ_BENCH_SERVICE_PATH, RTLD_NOW);
        void* function = library != nullptr ? dlsym(library, "BenchServiceSetLag") : nullptr;
        if (function == nullptr) {
            std::fprintf(stderr, "cannot bind BenchServiceSetLag in %s\n", QZ_BENCH_SERVICE_PATH);
            std::exit(1);
        }
        return reinterpret_cast<void (*)(unsigned int)>(function);
    }();
    setLag(lag);
}

class CppListener : public qz::veltoclient::IGetLoginDetailsListener {
public:
    unsigned int answered = 0;
    void OnGetLoginDetails(unsigned int, unsigned int, unsigned int, unsigned int) override {
        ++answered;
    }
};

struct CppPath {
    void Issue(unsigned int id) { client.GetLoginDetails(id, &listener); }
    unsigned int Answered() const { return listener.answered; }

    VeltoClient client;
    CppListener listener;
};

void OnLoginDetails(void* context, uint32_t, uint32_t, uint32_t, uint32_t) {
    ++*static_cast<unsigned int*>(context);
}

struct CPath {
    CPath() : client(veltoclient_create()) {}
    ~CPath() { veltoclient_destroy(client); }
    CPath(const CPath&) = delete;
    CPath& operator=(const CPath&) = delete;

    void Issue(unsigned int id) {
        veltoclient_get_login_details(client, id, OnLoginDetails, &answered);
    }
    unsigned int Answered() const { return answered; }

    veltoclient_client* client;
    unsigned int answered = 0;
};

template <typename Path>
void BM_RoundTrip(benchmark::State& state) {
    const unsigned int others = static_cast<unsigned int>(state.range(0)) - 1;
    Path path;
    SetServiceLag(others);
    unsigned int id = 1;
    while (id <= others) {
        path.Issue(id++);
    }
    const unsigned int answered = path.Answered();
    for (auto _ : state) {
        path.Issue(id++);
    }
    if (path.Answered() - answered != state.iterations()) {
        state.SkipWithError("answers lost");
    }
    SetServiceLag(0);
    state.SetItemsProcessed(state.iterations());
}

// Registers BM_RoundTrip<path> for both paths; `roundTrips` fixes their iterations when not 0.
void RegisterRoundTrips(benchmark::IterationCount roundTrips) {
    const std::pair<const char*, void (*)(benchmark::State&)> paths[] = {
        {"BM_RoundTrip<CppPath>", &BM_RoundTrip<CppPath>},
        {"BM_RoundTrip<CPath>", &BM_RoundTrip<CPath>}};
    for (const auto& [name, function] : paths) {
        benchmark::internal::Benchmark* const benchmark =
            benchmark::RegisterBenchmark(name, function)
                ->ArgName("pending")
                ->Arg(1)
                ->Arg(16)
                ->Arg(1024);
        if (roundTrips != 0) {
            benchmark->Iterations(roundTrips);
        }
    }
}

// Takes --round_trips=N out of the arguments; 0 when absent.
benchmark::IterationCount TakeRoundTrips(int& argc, char** argv) {
    static const char kFlag[] = "--round_trips=";
    benchmark::IterationCount roundTrips = 0;
    int kept = 1;
    for (int i = 1; i < argc; ++i) {
        if (std::strncmp(argv[i], kFlag, sizeof kFlag - 1) == 0) {
            roundTrips = std::strtoll(argv[i] + sizeof kFlag - 1, nullptr, 10);
        } else {
            argv[kept++] = argv[i];
        }
    }
    argc = kept;
    return roundTrips;
}

// "BM_RoundTrip<CPath>" -> path "CPath", rows by arguments alone.
std::pair<std::string, std::string> SplitRunName(const std::string& name) {
    const std::size_t open = name.find('<');
    return {name.substr(open + 1, name.size() - open - 2), ""};
}

void PrintTable(const qz::bench::RatioReporter& reporter) {
    std::printf(
        "\nns per round trip          wall: C++ classes  C layer  C/C++"
        "   CPU: C++ classes  C layer  C/C++\n");
    std::string missed;
    bool judged = false;
    for (const auto& [key, byPath] : reporter.GetTable()) {
        const auto& [statistic, row] = key;
        const auto cpp = byPath.find("CppPath");
        const auto c = byPath.find("CPath");
        if (cpp == byPath.end() || c == byPath.end() || cpp->second.cpu <= 0 ||
            cpp->second.wall <= 0) {
            continue;
        }
        const double wallRatio = c->second.wall / cpp->second.wall;
        const double cpuRatio = c->second.cpu / cpp->second.cpu;
        if (statistic == reporter.GetMainStatistic()) {
            judged = true;
            if (wallRatio > 1.10) {
                missed += "  " + row;
            }
        }
        std::printf("%-7s %-15s %17.1f %8.1f %6.2f %18.1f %8.1f %6.2f\n", statistic.c_str(),
                    row.c_str(), cpp->second.wall, c->second.wall, wallRatio, cpp->second.cpu,
                    c->second.cpu, cpuRatio);
    }
    const char* verdict = !judged          ? "nothing to compare"
                          : missed.empty() ? "held everywhere"
                                           : "missed in";
    std::printf("target C/C++ <= 1.10 (%s wall): %s%s\n", reporter.GetMainStatistic(), verdict,
                missed.c_str());
}

}  // namespace

int main(int argc, char** argv) {
    // The registry the loader reads names the bench service library; set before the first
    // client binds it.
    setenv("VYKARIS_REGISTRY_ROOT", QZ_BENCH_REGISTRY_ROOT, 1);
    RegisterRoundTrips(TakeRoundTrips(argc, argv));
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
