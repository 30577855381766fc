// The definition-file reader: one record of the define table per define
// statement.
#include "textual/defines/define_reader.h"

#include <optional>
#include <string_view>

#include "common/byte_class.h"
#include "common/diagnostics.h"
#include "common/fatal.h"
#include "common/run_io.h"
#include "textual/defines/define_table.h"
#include "textual/scan/line_reader.h"
#include "textual/scan/source_scanner.h"

namespace sornik {

namespace {

constexpr std::string_view kKeyword = "define";
constexpr std::size_t kNone = std::string_view::npos;

bool is_space_or_tab(char byte) { return byte == ' ' || byte == '\t'; }

std::size_t skip_spaces_and_tabs(std::string_view line, std::size_t pos) {
  while (pos < line.size() && is_space_or_tab(line[pos])) ++pos;
  return pos;
}

// The position of the name of the define statement on `line`, or kNone when
// the line is no statement. The keyword follows the "#" directly or after
// spaces and tabs; any other text before it (as in "#if defined(X)") makes no
// statement.
std::size_t name_start(std::string_view line) {
  if (line.empty() || line[0] != '#') return kNone;
  const std::size_t keyword = skip_spaces_and_tabs(line, 1);
  if (line.substr(keyword, kKeyword.size()) != kKeyword) return kNone;
  std::size_t pos = keyword + kKeyword.size();
  if (keyword == 1) return skip_spaces_and_tabs(line, pos);
  while (pos < line.size() && is_blank(line[pos])) ++pos;
  return pos;
}

// A name runs up to a space, tab, newline, form feed or "("; any other byte,
// NUL included, belongs to it.
std::size_t name_end(std::string_view line, std::size_t pos) {
  while (pos < line.size() && !is_blank(line[pos]) && line[pos] != '(') ++pos;
  return pos;
}

// The value of a function-like define loses only a final newline.
std::string_view cut_function_value(std::string_view text) {
  if (!text.empty() && text.back() == '\n') text.remove_suffix(1);
  return text;
}

// The value of an object-like define ends after its last word: trailing
// blanks go, and so does a "/*" comment that follows a blank, with all after
// it. The first word is never taken for a comment.
std::string_view cut_object_value(std::string_view text) {
  std::size_t pos = 0;
  for (;;) {
    while (pos < text.size() && !is_blank(text[pos])) ++pos;
    const std::size_t word_end = pos;
    while (pos < text.size() && is_blank(text[pos])) ++pos;
    if (pos == text.size() || text.substr(pos, 2) == "/*") return text.substr(0, word_end);
  }
}

// The parameter list that follows the name, when it closes on the line, as
// a scratch text of the scanner. `value_start` becomes where the value starts:
// after the ")", else right after the name, so that an unclosed list starts
// an object-like value.
std::optional<std::string_view> take_params(SourceScanner& scanner, std::string& line, std::size_t after_name,
                                            std::size_t& value_start) {
  value_start = after_name;
  if (after_name == line.size() || line[after_name] != '(') return std::nullopt;
  // A list with no bracket, literal or comment in it closes at the first ")",
  // as the bracket scan would find.
  const std::size_t first_close = line.find(')', after_name);
  if (first_close != std::string::npos && line.find_first_of("('\"/", after_name + 1) > first_close) {
    value_start = first_close + 1;
    return std::string_view(line).substr(after_name + 1, first_close - after_name - 1);
  }
  const std::size_t close = scanner.get_braend(nullptr, line, after_name);
  if (close == kNotClosed) return std::nullopt;
  value_start = close + 1;
  return scanner.get_content(1);
}

// Takes the value with its continuation lines, which are read into `line`.
// False when the file ended while a continuation line was awaited.
bool take_value(SourceScanner& scanner, DefineTable& table, DefineEntry& entry, LineReader& reader,
                std::string& line, std::size_t start) {
  const std::size_t pos = skip_spaces_and_tabs(line, start);
  if (pos < line.size() && line[pos] == '\n') return true;
  std::string_view text = std::string_view(line).substr(pos);
  bool ended = true;
  // Only a line with a backslash may go on; any other is the whole value.
  if (text.find('\\') != std::string_view::npos) {
    ended = scanner.get_linend(&reader, line, pos) != kNotClosed;
    text = scanner.get_content(0);
  }
  table.keep_body(entry, table.params(entry) ? cut_function_value(text) : cut_object_value(text));
  return ended;
}

}  // namespace

int set_chgdata(SourceScanner& scanner, DefineTable& table, const std::string& file_name) {
  std::size_t size = 0;
  const InputFile file = open_input(file_name, size);
  if (file == nullptr) {
    errmsg("%s: not found\n", file_name);
    return -1;
  }
  table.expect_definition_file(size);
  LineReader reader(file.get(), LineEnds::kCrLfAsLf);
  std::string line;
  bool duplicate = false;
  bool file_ended_in_value = false;
  // Continuation lines, read by the scanner, are not measured.
  while (!file_ended_in_value && reader.read_checked_line(line)) {
    const std::size_t start = name_start(line);
    // A statement whose name would start at the end of its line has none; a
    // name that ends at once (at a "(" or a blank) is the empty name.
    if (start == kNone || start == line.size() || line[start] == '\n') continue;
    const std::size_t end = name_end(line, start);

    DefineEntry& entry = table.add_define_record();
    const int index = table.def_cnt() - 1;
    std::size_t value_start;
    const std::optional<std::string_view> params = take_params(scanner, line, end, value_start);
    table.keep_name(entry, std::string_view(line).substr(start, end - start), params);
    // The name is checked once the value is taken, which hides the wait for
    // the lookup; nothing is written in between, so the messages keep their order.
    table.prefetch_loaded_name(entry);
    file_ended_in_value = !take_value(scanner, table, entry, reader, line, value_start);
    if (table.name_loaded_before(index)) {
      // The run ends when the whole file has been read.
      errmsg("%s: dupricated name!\n", table.name(entry));
      duplicate = true;
    }
  }
  check_read_error(file.get(), file_name);
  if (duplicate) fatal_stop();
  return 0;
}

}  // namespace sornik
