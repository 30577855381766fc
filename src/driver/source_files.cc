#include "driver/source_files.h"

#include <cstring>
#include <string_view>

#include "expand/code_window.h"
#include "expand/line_passes.h"
#include "expand/output_format.h"
#include "scan/line_reader.h"
#include "services/diagnostics.h"
#include "services/fatal.h"
#include "services/line_buffers.h"
#include "services/run_io.h"

namespace sornik {

bool stream_plain_lines = true;

namespace {

// A line that the line loops take holds at most this many bytes, newline included.
constexpr std::size_t kLongestLine = 1022;

// The masks of the reader's current block, from where it was first looked at.
struct BlockMasks {
  CodeMasks masks;
  const char* start = nullptr;
  std::size_t block = 0;
};

// Takes the whole lines at the start of `unread` that need no pass and writes
// them out as they stand, in one piece. Returns how many bytes they hold.
std::size_t write_plain_lines(std::string_view unread, const BlockMasks& masks) {
  std::size_t pos = 0;
  while (pos < unread.size()) {
    const std::size_t wanted = std::min(unread.size() - pos, kLongestLine);
    const void* newline = std::memchr(unread.data() + pos, '\n', wanted);
    // A line that goes on in the next block, or that is too long, or the last
    // line without a newline, is read the ordinary way.
    if (newline == nullptr) break;
    const std::size_t end = static_cast<const char*>(newline) - unread.data() + 1;
    const std::string_view line = unread.substr(pos, end - pos);
    if (!line_needs_no_pass(line, masks.masks, line.data() - masks.start)) break;
    pos = end;
  }
  out_write(unread.substr(0, pos));
  return pos;
}

// Converts the lines of `reader`: runs of lines that need no pass are written
// straight from the reader's block, whose bytes are classified once; every
// other line is read into ibuf and goes through the passes.
void convert_lines(LineReader& reader) {
  static BlockMasks block_masks;
  block_masks.start = nullptr;
  for (std::string_view unread = reader.unread(); !unread.empty(); unread = reader.unread()) {
    if (block_masks.start == nullptr || reader.blocks_read() != block_masks.block) {
      block_masks.masks.classify(unread, false);
      block_masks.start = unread.data();
      block_masks.block = reader.blocks_read();
    }
    if (stream_plain_lines) reader.skip(write_plain_lines(unread, block_masks));
    if (!reader.read_checked_line(ibuf)) break;
    if (run_line_passes(reader) != 0) {
      print_chgdata();
    } else {
      out_write(obuf);
    }
  }
}

}  // namespace

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
    convert_lines(reader);
  } catch (const FatalStop&) {
    // An argument list cut short by a failed read stops the run; name the cause too.
    check_read_error(file.get(), name);
    throw;
  }
  check_read_error(file.get(), name);
}

}  // namespace sornik
