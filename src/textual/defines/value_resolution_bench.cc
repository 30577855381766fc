// Benchmarks of value resolution: the values of object-like defines rewritten with the
// values of the names they hold, after the definition files are read.
#include <benchmark/benchmark.h>
#include <cstdio>
#include <optional>
#include <random>
#include <string>

#include "textual/defines/define_table.h"
#include "textual/defines/value_resolution.h"
#include "textual/scan/line_buffers.h"

namespace sornik {
namespace {

// Fills `table` with `count` defines, sorted; every third value names another define.
void load_table(DefineTable& table, int count) {
  std::mt19937 random(7);
  char text[32];
  for (int i = 0; i < count; ++i) {
    DefineEntry& entry = table.add_define_record();
    std::snprintf(text, sizeof text, "D%07d", i);
    table.keep_name(entry, text);
    if (i % 3 == 0) {
      std::snprintf(text, sizeof text, "D%07d", static_cast<int>(random() % static_cast<unsigned>(count)));
    } else {
      std::snprintf(text, sizeof text, "(%d)", static_cast<int>(random() % 1000000));
    }
    table.keep_body(entry, text);
  }
  table.sort_defines();
}

void BM_ResolveDefines(benchmark::State& state) {
  for (auto _ : state) {
    state.PauseTiming();
    std::optional<DefineTable> table;
    load_table(table.emplace(), static_cast<int>(state.range(0)));
    state.ResumeTiming();
    LineBuffers buffers;
    benchmark::DoNotOptimize(set_value(*table, buffers));
  }
  state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_ResolveDefines)->Arg(250000)->Arg(500000)->Arg(1000000)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace sornik
