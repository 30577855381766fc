// Throughput of the C-mode line reader and lexer over real C text: the
// headers of /usr/include concatenated (a few MB), or a generated mix when
// they are missing.
#include <benchmark/benchmark.h>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "cmode/lex/logical_lines.h"
#include "cmode/lex/token.h"

namespace {

const std::string& sample_text() {
  static const std::string text = [] {
    std::string all;
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator("/usr/include", error)) {
      if (!entry.is_regular_file() || entry.path().extension() != ".h") continue;
      std::ifstream file(entry.path(), std::ios::binary);
      std::ostringstream bytes;
      bytes << file.rdbuf();
      all += bytes.str();
      if (all.size() > (8u << 20)) break;
    }
    if (all.size() < (1u << 20)) {
      const std::string unit =
          "/* A comment that runs on for a while */\nstatic int counter_value = 0x1f + MAX(a, b); // note\n"
          "#define NAME(x, y) ((x) * (y) + \"text \\\" here\")\nchar c = 'q'; double d = 1.5e-3;\n";
      while (all.size() < (4u << 20)) all += unit;
    }
    return all;
  }();
  return text;
}

void BM_LogicalLines(benchmark::State& state) {
  const std::string& text = sample_text();
  for (auto _ : state) {
    std::size_t lines = 0;
    for (std::size_t pos = 0; pos < text.size(); ++lines)
      pos = sornik::cmode::logical_line_end(text, pos).end;
    benchmark::DoNotOptimize(lines);
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * text.size()));
}
BENCHMARK(BM_LogicalLines);

void BM_LexLines(benchmark::State& state) {
  const std::string& text = sample_text();
  sornik::cmode::Lexer lexer;
  std::vector<sornik::cmode::Token> tokens;
  for (auto _ : state) {
    std::size_t count = 0;
    for (std::size_t pos = 0; pos < text.size();) {
      const std::size_t end = sornik::cmode::logical_line_end(text, pos).end;
      lexer.lex(std::string_view(text).substr(pos, end - pos), tokens);
      count += tokens.size();
      pos = end;
    }
    benchmark::DoNotOptimize(count);
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * text.size()));
}
BENCHMARK(BM_LexLines);

void BM_LexWhole(benchmark::State& state) {
  const std::string& text = sample_text();
  sornik::cmode::Lexer lexer;
  std::vector<sornik::cmode::Token> tokens;
  for (auto _ : state) {
    lexer.lex(text, tokens);
    benchmark::DoNotOptimize(tokens.data());
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * text.size()));
}
BENCHMARK(BM_LexWhole);

}  // namespace
