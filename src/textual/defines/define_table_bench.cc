// Lookup speed of def_check, and the cost of loading and sorting a table,
// for tables of a few thousand up to a million defines.
#include <benchmark/benchmark.h>
#include <random>
#include <string>
#include <vector>

#include "textual/defines/define_table.h"

namespace {

// Names of 10 to 30 bytes, unique by their number (from `first` on).
std::vector<std::string> generate_names(int count, std::uint32_t seed, int first = 0) {
  std::mt19937 random(seed);
  static constexpr std::string_view kLetters = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ_";
  std::vector<std::string> names;
  names.reserve(static_cast<std::size_t>(count));
  for (int i = first; i < first + count; ++i) {
    std::string name = "D";
    name += std::to_string(i);
    name += '_';
    const std::size_t size = 10 + random() % 21;
    while (name.size() < size) name += kLetters[random() % kLetters.size()];
    names.push_back(std::move(name));
  }
  return names;
}

// Fills `table` with `names` in the given order, as the reader does.
void load_table(sornik::DefineTable& table, const std::vector<std::string>& names) {
  for (int i = 0; i < static_cast<int>(names.size()); ++i) {
    sornik::DefineEntry& entry = table.add_define_record();
    table.keep_name(entry, names[static_cast<std::size_t>(i)]);
    table.keep_body(entry, "1");
    benchmark::DoNotOptimize(table.name_loaded_before(i));
  }
}

// Looks up defined names (hits) or identifiers that are not defined (misses)
// in random order.
void BM_DefCheck(benchmark::State& state, bool hits) {
  const int count = static_cast<int>(state.range(0));
  const std::vector<std::string> names = generate_names(count, 1);
  sornik::DefineTable table;
  load_table(table, names);
  table.sort_defines();
  // Misses have the shapes of the names, so they get past any cheap filter.
  std::vector<std::string> probes = hits ? names : generate_names(count, 2, count);
  std::shuffle(probes.begin(), probes.end(), std::mt19937(3));
  std::size_t next = 0;
  for (auto _ : state) {
    benchmark::DoNotOptimize(table.def_check(probes[next]));
    if (++next == probes.size()) next = 0;
  }
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK_CAPTURE(BM_DefCheck, hits, true)->Arg(10'000)->Arg(1'000'000);
BENCHMARK_CAPTURE(BM_DefCheck, misses, false)->Arg(10'000)->Arg(1'000'000);

// Loading the records with duplicate detection, then the sort.
void BM_LoadAndSort(benchmark::State& state) {
  const std::vector<std::string> names = generate_names(static_cast<int>(state.range(0)), 1);
  for (auto _ : state) {
    sornik::DefineTable table;
    load_table(table, names);
    table.sort_defines();
  }
  state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_LoadAndSort)->Arg(1'000'000)->Unit(benchmark::kMillisecond);

}  // namespace
