// The request tables' hash table against std::unordered_map and absl::flat_hash_map, all
// keyed by unsigned int and storing pointers, measured in the same run.
//
//   BM_Routing/k            with k ids pending: Set a new id, Find the oldest, Remove it
//   BM_FindPresent/n        lookups of keys that are in a table of n random keys
//   BM_FindAbsent/n         lookups of keys that are not
//   BM_InsertSequential/n   a new table filled with the keys 1..n
//   BM_InsertRandom/n       a new table filled with n distinct random keys
//
// Every benchmark reports slots_per_item: slots (buckets for std::unordered_map) per item.
// bench/containers/ratio_table.py turns the JSON output into ratios against the baselines.

#include <absl/container/flat_hash_map.h>
#include <benchmark/benchmark.h>

#include <cstddef>
#include <cstdint>
#include <unordered_map>
#include <vector>

#include "common/HashTable.h"

namespace {

using qz::common::HashTable;
using qz::common::StandardHashHelper;

void* ValueFor(unsigned int key) {
    // A distinct, never dereferenced stand-in for a listener pointer.
    // NOLINTNEXTLINE(performance-no-int-to-ptr)
    return reinterpret_cast<void*>(static_cast<std::uintptr_t>(key) * 16 + 16);
}

// A bijection of the 32-bit integers (the murmur3 finaliser): distinct inputs give distinct,
// well spread keys, so key sets built from disjoint index ranges never share a key.
unsigned int Scramble(unsigned int x) {
    x ^= x >> 16;
    x *= 0x85EBCA6Bu;
    x ^= x >> 13;
    x *= 0xC2B2AE35u;
    x ^= x >> 16;
    return x;
}

// The three tables behind one interface, the way the loader uses its request tables.
class QzTable {
public:
    void Set(unsigned int key, void* value) { table.Set(key, value); }
    void* Find(unsigned int key) {
        Table::KeyItem* item;
        return table.Find(key, item) ? item->value : nullptr;
    }
    void Remove(unsigned int key) { table.Remove(key); }
    double SlotsPerItem() const {
        return table.GetCount() == 0 ? 0.0
                                     : static_cast<double>(table.GetSlotCount()) / table.GetCount();
    }

private:
    using Table = HashTable<unsigned int, void*, StandardHashHelper<unsigned int>>;
    Table table;
};

using StdUnorderedMap = std::unordered_map<unsigned int, void*>;
using AbslFlatHashMap = absl::flat_hash_map<unsigned int, void*>;

std::size_t Slots(const StdUnorderedMap& map) {
    return map.bucket_count();
}
std::size_t Slots(const AbslFlatHashMap& map) {
    return map.capacity();
}

// The two baselines share their interface; only what counts as a slot differs.
template <typename Map>
class BaselineMap {
public:
    void Set(unsigned int key, void* value) { map[key] = value; }
    void* Find(unsigned int key) {
        const auto it = map.find(key);
        return it != map.end() ? it->second : nullptr;
    }
    void Remove(unsigned int key) { map.erase(key); }
    double SlotsPerItem() const {
        return map.empty() ? 0.0 : static_cast<double>(Slots(map)) / map.size();
    }

private:
    Map map;
};

using StdMap = BaselineMap<StdUnorderedMap>;
using AbslMap = BaselineMap<AbslFlatHashMap>;

void ReportSlots(benchmark::State& state, double slotsPerItem) {
    state.counters["slots_per_item"] = slotsPerItem;
}

template <typename Map>
void BM_Routing(benchmark::State& state) {
    const auto pending = static_cast<unsigned int>(state.range(0));
    Map map;
    // Ids come from a counter, as the client's unique request ids do; answers come in order.
    unsigned int next = 1;
    unsigned int oldest = 1;
    while (next < pending) {
        map.Set(next, ValueFor(next));
        ++next;
    }
    for (auto _ : state) {
        map.Set(next, ValueFor(next));
        ++next;
        benchmark::DoNotOptimize(map.Find(oldest));
        map.Remove(oldest);
        ++oldest;
    }
    map.Set(next, ValueFor(next));  // back to `pending` items for the slot count
    ReportSlots(state, map.SlotsPerItem());
    state.SetItemsProcessed(state.iterations());
}

template <typename Map>
void Fill(Map& map, const std::vector<unsigned int>& keys) {
    for (unsigned int key : keys) {
        map.Set(key, ValueFor(key));
    }
}

std::vector<unsigned int> RandomKeys(unsigned int first, unsigned int count) {
    std::vector<unsigned int> keys(count);
    for (unsigned int i = 0; i < count; ++i) {
        keys[i] = Scramble(first + i);
    }
    return keys;
}

// Lookups walk a fixed list of this many keys.
constexpr unsigned int kProbes = 1 << 20;

template <typename Map>
void Lookups(benchmark::State& state, const std::vector<unsigned int>& stored,
             const std::vector<unsigned int>& probes) {
    Map map;
    Fill(map, stored);
    std::size_t i = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(map.Find(probes[i]));
        if (++i == probes.size()) {
            i = 0;
        }
    }
    ReportSlots(state, map.SlotsPerItem());
    state.SetItemsProcessed(state.iterations());
}

template <typename Map>
void BM_FindPresent(benchmark::State& state) {
    const auto n = static_cast<unsigned int>(state.range(0));
    const std::vector<unsigned int> keys = RandomKeys(0, n);
    // Probe in a different order than the keys were stored, and in a sequence too long for
    // a branch predictor to learn.
    std::vector<unsigned int> probes(kProbes);
    for (unsigned int i = 0; i < kProbes; ++i) {
        probes[i] = keys[Scramble(i ^ 0x5BD1E995u) % n];
    }
    Lookups<Map>(state, keys, probes);
}

template <typename Map>
void BM_FindAbsent(benchmark::State& state) {
    const auto n = static_cast<unsigned int>(state.range(0));
    Lookups<Map>(state, RandomKeys(0, n), RandomKeys(n, n > kProbes ? n : kProbes));
}

template <typename Map>
void Insertions(benchmark::State& state, const std::vector<unsigned int>& keys) {
    double slotsPerItem = 0;
    for (auto _ : state) {
        Map map;
        Fill(map, keys);
        slotsPerItem = map.SlotsPerItem();
        benchmark::DoNotOptimize(map);
    }
    ReportSlots(state, slotsPerItem);
    state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(keys.size()));
}

template <typename Map>
void BM_InsertSequential(benchmark::State& state) {
    std::vector<unsigned int> keys(static_cast<std::size_t>(state.range(0)));
    for (std::size_t i = 0; i < keys.size(); ++i) {
        keys[i] = static_cast<unsigned int>(i + 1);
    }
    Insertions<Map>(state, keys);
}

template <typename Map>
void BM_InsertRandom(benchmark::State& state) {
    Insertions<Map>(state, RandomKeys(0, static_cast<unsigned int>(state.range(0))));
}

// `args` is a chain of calls on the registered benchmark, so it cannot be parenthesised.
// NOLINTBEGIN(bugprone-macro-parentheses)
#define QZ_BENCH_ALL_MAPS(function, args)       \
    BENCHMARK_TEMPLATE(function, QzTable) args; \
    BENCHMARK_TEMPLATE(function, StdMap) args;  \
    BENCHMARK_TEMPLATE(function, AbslMap) args
// NOLINTEND(bugprone-macro-parentheses)

QZ_BENCH_ALL_MAPS(BM_Routing, ->Arg(1)->Arg(16)->Arg(1024));
QZ_BENCH_ALL_MAPS(BM_FindPresent, ->RangeMultiplier(4)->Range(1 << 10, 1 << 20));
QZ_BENCH_ALL_MAPS(BM_FindAbsent, ->RangeMultiplier(4)->Range(1 << 10, 1 << 20));
QZ_BENCH_ALL_MAPS(BM_InsertSequential, ->RangeMultiplier(4)
                                           ->Range(1 << 10, 1 << 20)
                                           ->Unit(benchmark::kMicrosecond));
QZ_BENCH_ALL_MAPS(
    BM_InsertRandom, ->RangeMultiplier(4)->Range(1 << 10, 1 << 20)->Unit(benchmark::kMicrosecond));

}  // namespace

BENCHMARK_MAIN();
