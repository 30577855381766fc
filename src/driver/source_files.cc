#include "driver/source_files.h"

#include <cstdio>

#include "driver/line_buffers.h"
#include "expand/line_expansion.h"
#include "expand/output_format.h"
#include "scan/line_reader.h"
#include "services/diagnostics.h"
#include "services/fatal.h"
#include "services/run_io.h"

namespace sornik {

namespace {

// fgets-sized reads: a physical line holds at most 1022 bytes, newline included.
constexpr int kReadSize = 1024;
constexpr std::size_t kTooLong = 1023;
constexpr int kPasses = 3;

struct ScanState {
  int comm;
  int str;
  int print;
};

ScanState current_state() { return {comm_flag, str_flag, print_f}; }

void restore_state(const ScanState& state) {
  comm_flag = state.comm;
  str_flag = state.str;
  print_f = state.print;
}

// Expands the line in ibuf in up to three passes and prints it. Every pass
// starts from the state in which the line began; the next line starts from
// the state that the first pass, which reads only source text, leaves.
void expand_and_print_line(LineReader& reader) {
  const ScanState line_start = current_state();
  ScanState after_first_pass = line_start;
  int expanded = 0;
  for (int pass = 1; pass <= kPasses; ++pass) {
    if (pass > 1) restore_state(line_start);
    expanded |= edit_line(pass == 1 ? &reader : nullptr);
    if (pass == 1) after_first_pass = current_state();
    if (expanded == 0) break;
    if (pass < kPasses) copy_obuf_to_ibuf();
  }
  restore_state(after_first_pass);
  if (expanded != 0) {
    print_chgdata();
  } else {
    out_write(obuf);
  }
}

}  // namespace

void convert_source_file(const std::string& name, bool list_file_names) {
  std::FILE* file = open_input(name);
  if (file == nullptr) {
    errmsg("%s: not found\n", name);
    return;
  }
  struct Closer {
    std::FILE* file;
    ~Closer() { std::fclose(file); }
  } closer{file};

  if (list_file_names) {
    out_write("/* === ");
    out_write(name);
    out_write(" === */\n");
  }
  restore_state({0, 0, 1});
  LineReader reader(file);
  try {
    while (reader.read_line(ibuf, kReadSize)) {
      if (ibuf.size() >= kTooLong) {
        errmsg("%s \nError: too long line found\n", ibuf);
        fatal_stop();
      }
      expand_and_print_line(reader);
    }
  } catch (const FatalStop&) {
    // An argument list cut short by a failed read stops the run; name the cause too.
    check_read_error(file, name);
    throw;
  }
  check_read_error(file, name);
}

}  // namespace sornik
