#include "render/output_format.h"

#include <algorithm>
#include <string>

#include "common/run_io.h"
#include "render/marker.h"
#include "textual/scan/line_buffers.h"

namespace sornik {

std::string_view format;
int format_flag = 0;

namespace {

// The rendered line as it is printed, every escape pair turned back into its byte.
std::string printed_line;

}  // namespace

void print_chgdata() {
  printed_line.clear();
  if (format_flag == 0) {
    // The default form is rendered in one pass on the way out.
    append_default_rendering(printed_line, obuf);
  } else {
    copy_obuf_to_ibuf();
    edit_chgdata2();
    append_unescaped(printed_line, obuf);
  }
  out_write(printed_line);
}

void format_edit(std::size_t& in) {
  const GroupParts group = split_group(ibuf, in);
  std::size_t pos = 0;
  while (pos < format.size()) {
    if (format[pos] == '$') {
      // "$" and the byte after it are consumed together; only "$n" and "$x" write.
      if (pos + 1 < format.size() && format[pos + 1] == 'n') obuf_append(group.name_text);
      if (pos + 1 < format.size() && format[pos + 1] == 'x') obuf_append(group.expansion_text);
      pos += 2;
      continue;
    }
    const std::size_t run_end = std::min(format.find('$', pos), format.size());
    obuf_append_escaped(format.substr(pos, run_end - pos));
    pos = run_end;
  }
  in = group.end;
}

int edit_chgdata2() {
  for (bool rendered = true; rendered;) {
    rendered = false;
    const std::string_view text = ibuf;
    obuf.clear();
    std::size_t from = 0;
    for (std::size_t pos = find_mark(text, 0); pos < text.size(); pos = find_mark(text, pos + 1)) {
      if (text[pos] != kStartMark) continue;
      obuf_append(text.substr(from, pos - from));
      format_edit(pos);
      rendered = true;
      from = std::min(pos + 1, text.size());
    }
    obuf_append(text.substr(from));
    if (rendered) copy_obuf_to_ibuf();
  }
  return 0;
}

}  // namespace sornik
