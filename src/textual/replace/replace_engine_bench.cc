// Speed of substituting arguments into function-like bodies: one call of
// convert_str (template building plus the engine) or of replace_all per
// iteration. The allocs_per_call counter shows that warm buffers allocate nothing.
#include <atomic>
#include <benchmark/benchmark.h>
#include <cstdlib>
#include <new>
#include <string>
#include <vector>

#include "textual/expand/argument_substitution.h"
#include "textual/replace/replace_engine.h"

namespace {

std::atomic<long> allocations{0};

}  // namespace

// Counts every allocation of the process; kept out of line so that the
// compiler does not pair malloc and free across the replaced operators.
[[gnu::noinline]] void* operator new(std::size_t size) {
  allocations.fetch_add(1, std::memory_order_relaxed);
  if (void* block = std::malloc(size == 0 ? 1 : size)) return block;
  throw std::bad_alloc();
}
[[gnu::noinline]] void operator delete(void* block) noexcept { std::free(block); }
[[gnu::noinline]] void operator delete(void* block, std::size_t) noexcept { std::free(block); }

namespace {

struct Use {
  const char* params;
  const char* args;
  const char* templ;  // what convert_str builds from params and args
  std::string body;
};

// Typical function-like defines: 1 to 4 parameters, bodies of 20 to 200 bytes.
const std::vector<Use>& uses() {
  static const std::vector<Use> list = {
      {"x", "value + 1", "(x):value + 1,", "((x) * (x) + (x)) / 2"},
      {"a,b", "left, right[i]", "(a):left,(b):right[i],",
       "(((a) > (b)) ? (a) : (b)) /* larger of a and b */"},
      {"p, n, v", "buffer, count * 2, 0xff", "(p):buffer,(n):count * 2,(v):0xff,",
       "do { for (int i_ = 0; i_ < (n); ++i_) (p)[i_] = (v); } while (0) /* fill n items of p with v */"},
      {"fmt, file, line, ...", "\"%s:%d\", __FILE__, __LINE__, args",
       "(fmt):\"%s\\:%d\",(file):__FILE__,(line):__LINE__,(...):args,",
       "do { if (log_enabled) { fprintf(stderr, \"[%s:%d] \", file, line); fprintf(stderr, fmt, ...); "
       "fputc('\\n', stderr); } } while (0) /* log with the place of the call; fmt as in printf */ "
       "(void)0"},
  };
  return list;
}

// Runs `substitute` once to warm the buffers, then times it and reports the
// allocations per call.
template <typename Substitute>
void time_substitution(benchmark::State& state, Substitute substitute) {
  substitute();
  const long before = allocations.load();
  for (auto _ : state) benchmark::DoNotOptimize(substitute());
  state.counters["allocs_per_call"] = benchmark::Counter(static_cast<double>(allocations.load() - before) /
                                                         static_cast<double>(state.iterations()));
}

void BM_ConvertStr(benchmark::State& state) {
  const Use& use = uses()[static_cast<std::size_t>(state.range(0))];
  sornik::ArgumentSubstitution substitution;
  time_substitution(state, [&] {
    return substitution.convert_str(1, use.params, use.args, use.body);
  });
  state.counters["body_bytes"] = static_cast<double>(use.body.size());
}
BENCHMARK(BM_ConvertStr)->DenseRange(0, 3)->ArgName("params_minus_1");

void BM_ReplaceAll(benchmark::State& state) {
  const Use& use = uses()[static_cast<std::size_t>(state.range(0))];
  sornik::ReplaceEngine engine;
  time_substitution(state, [&] {
    return engine.replace_all(use.templ, use.body);
  });
}
BENCHMARK(BM_ReplaceAll)->DenseRange(0, 3)->ArgName("params_minus_1");

}  // namespace
