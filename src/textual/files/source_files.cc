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
#include "textual/scan/line_buffers.h"
#include "textual/scan/line_reader.h"

namespace sornik {

bool stream_plain_lines = true;

namespace {

// The state in which the next line starts, when the search for plain lines follows it.
std::optional<LineStart> plain_line_start() {
  if (comm_flag == 0 && str_flag == 0) return print_f == 1 ? std::optional(LineStart::kCode) : std::nullopt;
  if (print_f != 0) return std::nullopt;
  if (comm_flag == 1 && str_flag == 0) return LineStart::kComment;
  if (comm_flag == 0 && str_flag == '"') return LineStart::kString;
  if (comm_flag == 0 && str_flag == '\'') return LineStart::kCharacter;
  return std::nullopt;
}

void set_line_start(LineStart state) {
  comm_flag = state == LineStart::kComment ? 1 : 0;
  str_flag = state == LineStart::kString ? '"' : state == LineStart::kCharacter ? '\'' : 0;
  print_f = state == LineStart::kCode ? 1 : 0;
}

// The uses of plain values in the lines found last; kept for its storage.
std::vector<PlainUse> plain_uses;

// Writes the lines at the start of the reader's unread bytes that need no
// pass straight from its block, in the default form with the value of each
// plain use after its name. False when the line after them must go through
// the passes; true when unread() holds more to look at.
bool write_plain_lines(LineReader& reader, bool default_form) {
  const std::optional<LineStart> start = plain_line_start();
  if (!start) return false;
  const std::string_view unread = reader.unread();
  // Other forms than the default leave every use to the passes.
  plain_uses.clear();
  const PlainLines plain = find_plain_lines(unread, *start, default_form ? &plain_uses : nullptr);
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
  set_line_start(plain.state);
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
void convert_lines(LineReader& reader, Renderer& renderer) {
  int uses_in_a_row = 0;
  while (!reader.unread().empty()) {
    if (stream_plain_lines && uses_in_a_row < kUsesBeforeNoSearch &&
        write_plain_lines(reader, renderer.default_form()))
      continue;
    if (!reader.read_checked_line(ibuf)) break;
    bool expanded = false;
    if (const std::optional<DirectLine> line =
            renderer.default_form() ? expand_line_directly(ibuf) : std::nullopt) {
      out_write(line->text);
      expanded = line->expanded;
    } else if (run_line_passes(reader) != 0) {
      out_write(renderer.render(obuf));
      expanded = true;
    } else {
      out_write(obuf);
    }
    uses_in_a_row = expanded ? uses_in_a_row + 1 : 0;
  }
}

}  // namespace

void convert_source_file(const std::string& name, bool list_file_names, Renderer& renderer) {
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
    convert_lines(reader, renderer);
  } catch (const FatalStop&) {
    // An argument list cut short by a failed read stops the run; name the cause too.
    check_read_error(file.get(), name);
    throw;
  }
  check_read_error(file.get(), name);
}

}  // namespace sornik
