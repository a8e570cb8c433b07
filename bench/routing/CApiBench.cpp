// One request and its answer through the C interface (veltoclient_c) against the same through
// the C++ classes, in the same run and against the same bench service, which answers each
// login-details request `pending - 1` requests later (from inside a later request call), so
// that `pending` requests are outstanding when one is answered. Both sides are written as a
// game writes them: the C++ game hands every request its one listener object, the C game its
// one callback and context; neither calls Update, which the bench service does not need.
//
// At the end a table gives the C layer's time over the C++ classes' time; the target is at
// most 1.10.

#include <benchmark/benchmark.h>
#include <dlfcn.h>

#include <cstdio>
#include <cstdlib>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include <veltoclient/VeltoClient.h>
#include <veltoclient/veltoclient_c.h>

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

BENCHMARK_TEMPLATE(BM_RoundTrip, CppPath)->ArgName("pending")->Arg(1)->Arg(16)->Arg(1024);
BENCHMARK_TEMPLATE(BM_RoundTrip, CPath)->ArgName("pending")->Arg(1)->Arg(16)->Arg(1024);

// Prints the usual console output, then the C layer's time over the C++ classes' time per
// round trip, in wall and CPU time, from the median and the mean over repetitions (from the
// fastest run when not repeated). The machine may be shared: use random interleaving.
class RatioReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs) {
            if (run.error_occurred) {
                continue;
            }
            const char* statistic = "fastest";
            if (run.run_type == Run::RT_Aggregate) {
                if (run.aggregate_name != "median" && run.aggregate_name != "mean") {
                    continue;
                }
                statistic = run.aggregate_name == "median" ? "median" : "mean";
            }
            // "BM_RoundTrip<CPath>" -> path "CPath"
            const std::string& name = run.run_name.function_name;
            const std::size_t open = name.find('<');
            const std::string path = name.substr(open + 1, name.size() - open - 2);
            Times& slot = times[{statistic, run.run_name.args}][path];
            const Times now{run.GetAdjustedRealTime(), run.GetAdjustedCPUTime()};
            if (run.run_type == Run::RT_Aggregate || slot.cpu == 0 || now.cpu < slot.cpu) {
                slot = now;
            }
        }
    }

    void PrintTable() const {
        std::printf(
            "\nns per round trip          wall: C++ classes  C layer  C/C++"
            "   CPU: C++ classes  C layer  C/C++\n");
        bool held = true;
        for (const auto& [row, byPath] : times) {
            const auto cpp = byPath.find("CppPath");
            const auto c = byPath.find("CPath");
            if (cpp == byPath.end() || c == byPath.end() || cpp->second.cpu <= 0 ||
                cpp->second.wall <= 0) {
                continue;
            }
            const double wallRatio = c->second.wall / cpp->second.wall;
            const double cpuRatio = c->second.cpu / cpp->second.cpu;
            held = held && wallRatio <= 1.10 && cpuRatio <= 1.10;
            std::printf("%-7s %-15s %17.1f %8.1f %6.2f %18.1f %8.1f %6.2f\n", row.first.c_str(),
                        row.second.c_str(), cpp->second.wall, c->second.wall, wallRatio,
                        cpp->second.cpu, c->second.cpu, cpuRatio);
        }
        std::printf("target C/C++ <= 1.10: %s\n", held ? "held everywhere" : "missed");
    }

private:
    struct Times {
        double wall = 0;
        double cpu = 0;
    };
    // ("median", "pending:16") -> path ("CppPath", "CPath") -> ns per round trip
    std::map<std::pair<std::string, std::string>, std::map<std::string, Times>> times;
};

}  // namespace

int main(int argc, char** argv) {
    // The registry the loader reads names the bench service library; set before the first
    // client binds it.
    setenv("VYKARIS_REGISTRY_ROOT", QZ_BENCH_REGISTRY_ROOT, 1);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) {
        return 1;
    }
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    reporter.PrintTable();
    benchmark::Shutdown();
    return 0;
}
