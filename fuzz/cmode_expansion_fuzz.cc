// C-mode expansion over a fuzzer-chosen source with its own definitions.
// Input sections: options (first byte: bit 0 asks for -f with the rest of
// the section as the format, bit 1 for the HTML page too, bits 2 to 4 the
// dialect: C++17, C++20, C++98, gnu17, C90, C99, C++11 or GNU C90, the ISO
// ones with trigraphs, bit 5 for comments kept as tokens, -C), then the source, a.cc in C++ and
// a.c in C. Every run must give the same bytes twice, the default rendering must
// equal the format "$n`$x'", the format "$n" must give back the source byte
// for byte, the page must be well-formed, and every line of the --json
// output one object of a use's members.
#include <cctype>
#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "fuzz_support.h"
#include "html_check.h"
#include "json_check.h"

namespace {

// An upper bound of how much one use can grow: the product over the
// definitions of the names each replacement list holds. Chains of doubling
// definitions grow a use exponentially, as the C preprocessor's would; such
// inputs are not worth a fuzzer's time.
double growth_bound(std::string_view source) {
  double bound = 1;
  for (const std::string_view line : sornik::fuzzing::split_lines(source)) {
    if (line.find("define") == std::string_view::npos) continue;
    double names = 0;
    bool in_name = false;
    for (char c : line) {
      const auto byte = static_cast<unsigned char>(c);
      const bool name_byte = c == '_' || std::isalpha(byte) != 0 || byte >= 0x80;
      if (name_byte && !in_name) ++names;
      in_name = name_byte || (in_name && c >= '0' && c <= '9');
    }
    bound *= names > 1 ? names : 1;
  }
  return bound;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const auto sections = sornik::fuzzing::split_sections(data, size, 2);
  const std::string source(sections[1]);
  if (growth_bound(source) > 1e5) return -1;
  const std::string_view options = sections[0];
  // The dialect: its file name and -std= (read by every run below).
  static const struct {
    const char* standard;
    bool c;
  } kDialects[] = {{"-std=gnu17", false}, {"-std=c++20", false}, {"-std=c++98", false}, {"-std=gnu17", true},
                   {"-std=c90", true},    {"-std=c99", true},    {"-std=c++11", false}, {"-std=gnu90", true}};
  const auto& dialect = kDialects[options.empty() ? 3 : (options[0] >> 2) & 7];
  const std::string name = dialect.c ? "a.c" : "a.cc";
  const std::map<std::string, std::string> files = {{name, source}};
  // The options of every run below.
  std::vector<std::string> common = {"--cpp", "-undef", "-nostdinc", dialect.standard};
  if (!options.empty() && (options[0] & 32) != 0) common.emplace_back("-C");
  const auto with = [&common](std::initializer_list<std::string> more) {
    std::vector<std::string> args = common;
    args.insert(args.end(), more);
    return args;
  };
  std::vector<std::string> args = common;
  if (!options.empty() && (options[0] & 1) != 0) {
    const std::string format(options.substr(1));
    if (sornik::fuzzing::is_costly_format(format)) return -1;
    args.insert(args.end(), {"-f", format});
  }
  args.push_back(name);

  const sornik::fuzzing::RunOutcome first = sornik::fuzzing::run_in_memory(args, files);
  if (sornik::fuzzing::slow(first)) return 0;
  const sornik::fuzzing::RunOutcome again = sornik::fuzzing::run_in_memory(args, files);
  sornik::fuzzing::require_equal("a second run", first.out, again.out);

  const std::vector<std::string> plain = with({name});
  const std::vector<std::string> spelled = with({"-f", "$n`$x'", name});
  const std::vector<std::string> names = with({"-f", "$n", name});
  sornik::fuzzing::require_equal("the default rendering against $n`$x'",
                                 sornik::fuzzing::run_in_memory(plain, files).out,
                                 sornik::fuzzing::run_in_memory(spelled, files).out);
  sornik::fuzzing::require_equal("-f '$n' against the source", source,
                                 sornik::fuzzing::run_in_memory(names, files).out);
  const std::vector<std::string> json = with({"--json", name});
  sornik::fuzzing::require_equal(
      "the JSON lines' problems", "",
      sornik::testing::json_lines_problem(sornik::fuzzing::run_in_memory(json, files).out));
  if (!options.empty() && (options[0] & 2) != 0) {
    const std::vector<std::string> page = with({"--html", name});
    sornik::fuzzing::require_equal(
        "the page's problems", "",
        sornik::testing::html_problem(sornik::fuzzing::run_in_memory(page, files).out));
  }
  return 0;
}
