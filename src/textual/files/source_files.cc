// The conversion of one source file: plain lines streamed, the others
// expanded directly or through the passes, then written.
#include "textual/files/source_files.h"

#include <optional>
#include <string_view>
#include <vector>

#include "common/diagnostics.h"
#include "common/fatal.h"
#include "common/run_io.h"
#include "render/renderer.h"
#include "textual/expand/direct_expansion.h"
#include "textual/expand/line_expansion.h"
#include "textual/expand/line_passes.h"
#include "textual/files/plain_lines.h"
#include "textual/scan/line_reader.h"

namespace sornik {

namespace {

// The state in which the next line starts, when the search for plain lines follows it.
std::optional<LineStart> plain_line_start(const ScanState& state) {
  if (state.comm_flag == 0 && state.str_flag == 0)
    return state.print_f == 1 ? std::optional(LineStart::kCode) : std::nullopt;
  if (state.print_f != 0) return std::nullopt;
  if (state.comm_flag == 1 && state.str_flag == 0) return LineStart::kComment;
  if (state.comm_flag == 0 && state.str_flag == '"') return LineStart::kString;
  if (state.comm_flag == 0 && state.str_flag == '\'') return LineStart::kCharacter;
  return std::nullopt;
}

ScanState scan_state_at(LineStart start) {
  return {.comm_flag = start == LineStart::kComment ? 1 : 0,
          .str_flag = start == LineStart::kString      ? '"'
                      : start == LineStart::kCharacter ? '\''
                                                       : 0,
          .print_f = start == LineStart::kCode ? 1 : 0};
}

// Writes the lines at the start of the reader's unread bytes that need no
// pass straight from its block, in the default form with the value of each
// plain use after its name. False when the line after them must go through
// the passes; true when unread() holds more to look at.
bool write_plain_lines(TextualRun& run, LineReader& reader) {
  ScanState& state = run.expansion.state;
  const std::optional<LineStart> start = plain_line_start(state);
  if (!start) return false;
  const std::string_view unread = reader.unread();
  // Other forms than the default leave every use to the passes.
  std::vector<PlainUse>& plain_uses = run.plain_uses;
  plain_uses.clear();
  const PlainLines plain =
      find_plain_lines(run.defines, unread, *start, run.renderer.default_form() ? &plain_uses : nullptr);
  std::size_t written = 0;
  for (const PlainUse& use : plain_uses) {
    out_write(unread.substr(written, use.name_end - written));
    out_write("`");
    out_write(use.value);
    out_write("'");
    written = use.name_end;
  }
  out_write(unread.substr(written, plain.size - written));
  reader.skip(plain.size);
  state = scan_state_at(plain.state);
  // A line cut by the block's end is looked at again with the bytes after it.
  if (plain.cut) return reader.read_more();
  return plain.size == unread.size();
}

// After this many lines with uses in a row, the search for plain lines is
// left out until a line has none: on dense code it would stop at every line.
constexpr int kUsesBeforeNoSearch = 2;

// Converts the lines of `reader`: runs of lines that need no pass are written
// straight from the reader's block; every other line is read into ibuf and
// expanded directly or goes through the passes.
void convert_lines(TextualRun& run, LineReader& reader) {
  const TextualOptions& options = run.options;
  const bool default_form = run.renderer.default_form();
  int uses_in_a_row = 0;
  while (!reader.unread().empty()) {
    if (options.stream_plain_lines && uses_in_a_row < kUsesBeforeNoSearch && write_plain_lines(run, reader))
      continue;
    if (!reader.read_checked_line(run.buffers.ibuf)) break;
    bool expanded = false;
    std::optional<DirectLine> line;
    if (options.expand_lines_directly && default_form)
      line = run.direct.expand_line_directly(run.expansion.state, run.buffers.ibuf);
    if (line) {
      out_write(line->text);
      expanded = line->expanded;
    } else if (run_line_passes(run.expansion, reader) != 0) {
      out_write(run.renderer.render(run.buffers.obuf));
      expanded = true;
    } else {
      out_write(run.buffers.obuf);
    }
    uses_in_a_row = expanded ? uses_in_a_row + 1 : 0;
  }
}

}  // namespace

void convert_source_file(TextualRun& run, const std::string& name, bool list_file_names) {
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
  run.expansion.state = {};
  LineReader reader(file.get());
  try {
    convert_lines(run, reader);
  } catch (const FatalStop&) {
    // An argument list cut short by a failed read stops the run; name the cause too.
    check_read_error(file.get(), name);
    throw;
  }
  check_read_error(file.get(), name);
}

}  // namespace sornik
