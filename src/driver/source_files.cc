#include "driver/source_files.h"

#include "expand/line_passes.h"
#include "expand/output_format.h"
#include "scan/line_reader.h"
#include "services/diagnostics.h"
#include "services/fatal.h"
#include "services/line_buffers.h"
#include "services/run_io.h"

namespace sornik {

void convert_source_file(const std::string& name, bool list_file_names) {
  const InputFile file = open_input(name);
  if (file == nullptr) {
    errmsg("%s: not found\n", name);
    return;
  }
  if (list_file_names) {
    out_write("/* === ");
    out_write(name);
    out_write(" === */\n");
  }
  start_scan_state();
  LineReader reader(file.get());
  try {
    while (reader.read_checked_line(ibuf)) {
      if (run_line_passes(reader) != 0) {
        print_chgdata();
      } else {
        out_write(obuf);
      }
    }
  } catch (const FatalStop&) {
    // An argument list cut short by a failed read stops the run; name the cause too.
    check_read_error(file.get(), name);
    throw;
  }
  check_read_error(file.get(), name);
}

}  // namespace sornik
