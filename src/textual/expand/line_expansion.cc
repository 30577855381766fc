// One expansion pass (edit_line): the scan of ibuf that writes each use of a
// defined name into obuf as a marker group.
#include "textual/expand/line_expansion.h"

#include <array>
#include <bit>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "common/byte_class.h"
#include "common/byte_search.h"
#include "common/diagnostics.h"
#include "common/fatal.h"
#include "render/marker.h"
#include "textual/defines/define_table.h"
#include "textual/expand/argument_substitution.h"
#include "textual/expand/bracket_list.h"
#include "textual/expand/code_window.h"
#include "textual/scan/line_buffers.h"
#include "textual/scan/source_scanner.h"

namespace sornik {

namespace {

// Bytes that no scan rule looks at, where names are looked up and where they
// are not; outside plain code the scan steps over runs of them at once.
constexpr std::array<bool, 256> quiet_bytes(bool names_matter) {
  std::array<bool, 256> quiet{};
  for (int c = 0; c < 256; ++c) {
    const bool marked = c >= 0x01 && c <= 0x04;
    const std::uint8_t byte_class = kByteClass[c];
    quiet[c] = !(c == '/' || c == '*' || c == '"' || c == '\'' || c == '\\' || marked ||
                 (byte_class & kLeadByte) || (names_matter && (byte_class & kNameByte)));
  }
  return quiet;
}
constexpr std::array<bool, 256> kQuietWithNames = quiet_bytes(true);
constexpr std::array<bool, 256> kQuietWithoutNames = quiet_bytes(false);

[[noreturn]] void cannot_develop() {
  errmsg("cannot develop, so exit!\n");
  fatal_stop();
}

// A call as expand_call writes it: its name and bracketed list as they stand
// in the text, the arguments in the list as convert_str takes them (a
// re-scan's with every escape pair turned back into its byte), and where the
// scan goes on after the list.
struct CallList {
  std::string_view name;
  std::string_view text;
  std::string_view arguments;
  std::size_t resume;
};

// One call of edit_line: scans ibuf from its first byte and builds obuf.
// Text that is copied unchanged is not written byte by byte: `pending_`
// marks the start of the ibuf text not yet in obuf, which is appended in one
// piece before a group and at the end.
class LineScan {
 public:
  LineScan(ScanState& state, LineExpansion::Scratch& scratch, const DefineTable& table,
           SourceScanner& scanner, LineBuffers& buffers, ArgumentSubstitution& substitution, LineReader* fp)
      : table_(table),
        buffers_(buffers),
        ibuf(buffers.ibuf),
        obuf(buffers.obuf),
        saved_state_(state),
        state_(state),
        scratch_(scratch),
        scanner_(scanner),
        substitution_(substitution),
        fp_(fp),
        first_pass_(fp != nullptr),
        text_(buffers.ibuf) {}

  // Scans the whole text; returns 1 when a group was written.
  int run();

 private:
  void scan();
  bool in_code() const;
  std::size_t scan_code(std::size_t pos);
  std::size_t step(std::size_t pos);
  std::size_t skip_marks(std::size_t pos) const;
  std::size_t literal_byte(std::size_t pos) const;
  std::size_t expand_name(std::size_t pos);
  std::size_t expand_defined(std::size_t pos, std::size_t name_end, int index);
  std::size_t expand_call(std::size_t pos, std::size_t name_end, const DefineEntry& entry);
  CallList source_call_list(std::size_t pos, std::size_t name_end);
  std::optional<CallList> bounded_call_list(std::size_t pos, std::size_t name_end);
  void copy_source(std::size_t upto);
  void write_group(std::string_view name, std::string_view list, std::string_view expansion);

  const DefineTable& table_;
  LineBuffers& buffers_;
  std::string& ibuf;
  std::string& obuf;
  // The run's scan state, written back at the end; the scan works on a copy.
  ScanState& saved_state_;
  ScanState state_;
  LineExpansion::Scratch& scratch_;
  SourceScanner& scanner_;
  ArgumentSubstitution& substitution_;
  LineReader* fp_;
  // The first pass reads source text; a re-scan reads the marked text of the pass before.
  bool first_pass_;
  // The text scanned: ibuf, which a first pass may replace with further lines.
  std::string_view text_;
  bool line_comment_ = false;
  int print_before_line_comment_ = 0;
  int result_ = 0;
  std::size_t pending_ = 0;
};

int LineScan::run() {
  obuf.clear();
  scratch_.code_masks.classify(ibuf, !first_pass_);
  scan();
  saved_state_ = state_;
  if (result_ == 0) {
    // Nothing expanded: the text stays exactly as it was read. ibuf counts
    // as used up after a call, so its text may simply change places.
    buffers_.obuf_take_ibuf();
  } else {
    copy_source(ibuf.size());
    buffers_.obuf_make_room(1);
  }
  return result_;
}

// Applies the scan rules from the first byte of the text to its end.
void LineScan::scan() {
  std::size_t pos = 0;
  while (pos < text_.size()) {
    if (in_code()) {
      pos = scan_code(pos);
      continue;
    }
    const std::string_view text = text_;
    const auto& quiet = state_.print_f == 1 && text[0] != '#' ? kQuietWithNames : kQuietWithoutNames;
    while (pos < text.size() && quiet[static_cast<std::uint8_t>(text[pos])]) ++pos;
    if (pos < text.size()) pos = step(pos);
  }
  if (line_comment_) state_.print_f = print_before_line_comment_;
}

// In plain code, where names are looked up and only "/", "*", quotes (and
// marks) can change the state.
bool LineScan::in_code() const {
  return state_.print_f == 1 && state_.comm_flag == 0 && state_.str_flag == 0 && !line_comment_ &&
         text_[0] != '#';
}

// Scans plain code to the end of its 64-byte block: looks up every name
// before the first byte that may change the state, then applies the rules to
// that byte.
std::size_t LineScan::scan_code(std::size_t pos) {
  const std::string_view text = text_;
  const CodeWindow window = scratch_.code_masks.window(pos, text.size());
  const std::size_t stop = window.stops != 0 ? std::countr_zero(window.stops) : window.width;
  std::uint64_t names = stop == 64 ? window.names : window.names & ((std::uint64_t{1} << stop) - 1);
  while (names != 0) {
    const int start = std::countr_zero(names);
    const int length = std::countr_one(names >> start);
    const std::size_t name_start = pos + start;
    const std::size_t name_end = name_start + length;
    // A name that reaches the end of the block may go on in the next one.
    if (name_end == pos + window.width) return expand_name(name_start);
    const int index = table_.def_check(text.substr(name_start, length));
    if (index >= 0) return expand_defined(name_start, name_end, index);
    names &= ~std::uint64_t{0} << (start + length);
  }
  return stop < window.width ? step(pos + stop) : pos + window.width;
}

// Applies the first scan rule that holds at `pos`; returns where the scan goes on.
std::size_t LineScan::step(std::size_t pos) {
  const std::string_view text = text_;
  const char c = text[pos];
  const char next = pos + 1 < text.size() ? text[pos + 1] : '\0';
  if (!first_pass_ && is_mark_byte(c)) return skip_marks(pos);
  if (state_.str_flag == 0) {
    if (state_.comm_flag == 0 && c == '/' && next == '/') {
      if (!line_comment_) print_before_line_comment_ = state_.print_f;
      state_.print_f = 0;
      line_comment_ = true;
      return pos + 2;
    }
    if (state_.comm_flag == 0 && !line_comment_ && c == '/' && next == '*') {
      state_.print_f = 0;
      state_.comm_flag = 1;
      return pos + 2;
    }
    if (c == '*' && next == '/') {
      // A "*/" ends the comment state even where no block comment is open.
      state_.print_f = 1;
      state_.comm_flag = 0;
      return pos + 2;
    }
  }
  if (state_.comm_flag == 0 && !line_comment_ && (c == '"' || c == '\'')) {
    if (state_.str_flag == 0) {
      state_.str_flag = static_cast<unsigned char>(c);
      state_.print_f = 0;
    } else if (state_.str_flag == c) {
      state_.str_flag = 0;
      state_.print_f = 1;
    }
    return pos + 1;
  }
  if (state_.str_flag != 0) return literal_byte(pos);
  if (state_.print_f == 1 && is_name_byte(c) && text[0] != '#') return expand_name(pos);
  return pos + 1;
}

// In a re-scan: an escape pair is one ordinary byte, and the name text of a
// group is copied through its separator without being looked at, so that no
// group ever lands inside a name text.
std::size_t LineScan::skip_marks(std::size_t pos) const {
  const std::string_view text = text_;
  if (text[pos] == kEscapeMark) return std::min(pos + 2, text.size());
  if (text[pos] != kStartMark) return pos + 1;
  const std::size_t separator = find_mark(text, pos + 1);
  return separator < text.size() && text[separator] == kSeparatorMark ? separator + 1 : separator;
}

// Steps over one character of a literal: an escaped byte never closes it, and
// a two-byte character counts as one. A mark is never taken into either.
std::size_t LineScan::literal_byte(std::size_t pos) const {
  const std::string_view text = text_;
  if (text[pos] == '\\') {
    if (++pos == text.size()) return pos;
    if (!first_pass_ && is_mark_byte(text[pos])) return pos;
  }
  if (starts_two_byte_char(text, pos) && (first_pass_ || !is_mark_byte(text[pos + 1]))) ++pos;
  return pos + 1;
}

std::size_t LineScan::expand_name(std::size_t pos) {
  const std::string_view text = text_;
  std::size_t end = pos + 1;
  while (end < text.size() && is_name_byte(text[end])) ++end;
  const int index = table_.def_check(text.substr(pos, end - pos));
  return index < 0 ? end : expand_defined(pos, end, index);
}

// A use of the define at `index` whose name runs from `pos` to `name_end`.
std::size_t LineScan::expand_defined(std::size_t pos, std::size_t name_end, int index) {
  const DefineEntry& entry = table_.chg_tbl(index);
  if (table_.params(entry)) return expand_call(pos, name_end, entry);
  const std::string_view body = table_.body(entry);
  if (body.empty()) cannot_develop();
  copy_source(pos);
  write_group(text_.substr(pos, name_end - pos), {}, body);
  pending_ = name_end;
  return name_end;
}

// A use of a function-like define at `pos`. Only a name directly followed by
// an opening bracket is a call; any other use is copied like an unknown name.
std::size_t LineScan::expand_call(std::size_t pos, std::size_t name_end, const DefineEntry& entry) {
  if (name_end == ibuf.size() || !is_open_bracket(ibuf[name_end])) return name_end;
  std::optional<CallList> list;
  if (first_pass_) {
    copy_source(pos);
    list = source_call_list(pos, name_end);
  } else {
    list = bounded_call_list(pos, name_end);
    if (!list) return name_end;
    copy_source(pos);
  }
  const std::optional<std::string_view> expansion =
      substitution_.convert_str(1, *table_.params(entry), list->arguments, table_.body(entry));
  if (!expansion || expansion->empty()) cannot_develop();
  write_group(list->name, list->text, *expansion);
  pending_ = list->resume;
  return list->resume;
}

// The list of the call whose name runs from `pos` to `name_end` in a source
// line. A list that does not close on the line is read on from the file;
// ibuf may then hold other lines.
CallList LineScan::source_call_list(std::size_t pos, std::size_t name_end) {
  const std::size_t close = close_by_brackets(text_.substr(name_end));
  if (close < text_.size()) {
    return CallList{text_.substr(pos, name_end - pos), text_.substr(name_end, close + 1),
                    text_.substr(name_end + 1, close - 1), name_end + close + 1};
  }
  scratch_.call_name.assign(ibuf, pos, name_end - pos);
  const std::size_t end = scanner_.get_braend(fp_, ibuf, name_end);
  if (end == kNotClosed) cannot_develop();
  text_ = ibuf;
  scratch_.code_masks.classify(ibuf, false);
  scratch_.raw_arguments.assign(scanner_.get_content(1));
  return CallList{scratch_.call_name, scanner_.get_content(0), scratch_.raw_arguments, end + 1};
}

// The list of the call whose name runs from `pos` to `name_end` in a
// re-scan; nullopt when it does not close before the next mark, which ends
// the text that holds the name or begins a group nested in it. Escaped
// arguments are handed on unescaped.
std::optional<CallList> LineScan::bounded_call_list(std::size_t pos, std::size_t name_end) {
  const std::string_view name = text_.substr(pos, name_end - pos);
  const std::string_view region = text_.substr(name_end, find_mark(text_, name_end) - name_end);
  const std::size_t close = close_by_brackets(region);
  if (close == kNotClosed) return std::nullopt;
  if (close != kUndecided) {
    const std::string_view arguments = region.substr(1, close - 1);
    const std::size_t resume = name_end + close + 1;
    if (arguments.find(kEscapeMark) == std::string_view::npos)
      return CallList{name, region.substr(0, close + 1), arguments, resume};
    scratch_.raw_arguments.clear();
    append_unescaped(scratch_.raw_arguments, arguments);
    return CallList{name, region.substr(0, close + 1), scratch_.raw_arguments, resume};
  }
  scratch_.bounded_list.assign(region);
  const std::size_t end = scanner_.get_braend(nullptr, scratch_.bounded_list, 0);
  if (end == kNotClosed) return std::nullopt;
  scratch_.raw_arguments.clear();
  append_unescaped(scratch_.raw_arguments, scanner_.get_content(1));
  return CallList{name, scanner_.get_content(0), scratch_.raw_arguments, name_end + end + 1};
}

// Appends the ibuf text from `pending_` to `upto` to obuf; source text is
// escaped on its way in, a re-scan's text already is.
void LineScan::copy_source(std::size_t upto) {
  const std::string_view text = text_.substr(pending_, upto - pending_);
  if (first_pass_) {
    buffers_.obuf_append_escaped(text);
  } else {
    buffers_.obuf_append(text);
  }
  pending_ = upto;
}

// Writes a group whose name text is `name` and `list` (the bracketed argument
// list as read from ibuf, empty for an object-like define).
void LineScan::write_group(std::string_view name, std::string_view list, std::string_view expansion) {
  // Room for the whole group is made at once; a text escaped on its way in
  // is copied as it is when it holds nothing to escape.
  const std::size_t list_size = first_pass_ ? escaped_size(list) : list.size();
  const std::size_t expansion_size = escaped_size(expansion);
  buffers_.obuf_make_room(3 + name.size() + list_size + expansion_size);
  obuf.push_back(kStartMark);
  obuf.append(name);
  if (list_size == list.size()) {
    obuf.append(list);
  } else {
    append_escaped(obuf, list);
  }
  obuf.push_back(kSeparatorMark);
  if (expansion_size == expansion.size()) {
    obuf.append(expansion);
  } else {
    append_escaped(obuf, expansion);
  }
  obuf.push_back(kEndMark);
  result_ = 1;
}

}  // namespace

int LineExpansion::edit_line(LineReader* fp) {
  return LineScan(state, scratch_, table_, scanner_, buffers_, substitution_, fp).run();
}

}  // namespace sornik
