// Line expansion and output formatting over fuzzer-chosen sources with a
// fuzzer-chosen definition set. Input sections: options (first byte: bit 0
// asks for -l, bit 1 for -f with the rest of the section as the format),
// definitions (one per line; each line is given the "#define " keyword), then
// two source files. A fatal stop is a normal outcome; the properties of every
// run are checked (fuzz_support.h).
#include <cstdint>
#include <string>

#include "fuzz_support.h"

namespace {

std::string definition_file(std::string_view lines) {
  std::string file;
  for (const std::string_view line : sornik::fuzzing::split_lines(lines)) {
    file.append("#define ").append(line).append("\n");
  }
  return file;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const auto sections = sornik::fuzzing::split_sections(data, size, 4);
  const std::string_view options = sections[0];
  sornik::fuzzing::RunSetup setup;
  if (!options.empty()) {
    setup.list_file_names = (options[0] & 1) != 0;
    if ((options[0] & 2) != 0) setup.format = std::string(options.substr(1));
  }
  if (setup.format && sornik::fuzzing::is_costly_format(*setup.format)) return -1;

  setup.files = {{"defs.h", definition_file(sections[1])},
                 {"a.c", std::string(sections[2])},
                 {"b.c", std::string(sections[3])}};
  setup.define_files = {"defs.h"};
  setup.source_files = {"a.c", "b.c"};
  sornik::fuzzing::check_run_properties(setup);
  return 0;
}
