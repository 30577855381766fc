// Direct expansion: a line in plain code expanded once, recursively, straight
// into the default form, where that is provably what the passes would write.
#include "textual/expand/direct_expansion.h"

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "common/byte_class.h"
#include "common/byte_search.h"
#include "textual/defines/define_table.h"
#include "textual/expand/bracket_list.h"
#include "textual/expand/direct_substitution.h"
#include "textual/expand/line_expansion.h"
#include "textual/scan/source_scanner.h"

namespace sornik {

namespace {

// The passes expand the source line, then the texts of its uses, then the
// texts of those; the texts of the third level are not scanned again.
constexpr int kDeepestScan = 3;
// A line that grows beyond this is left to the passes, whose buffers
// handle any size.
constexpr std::size_t kLongestLine = std::size_t{1} << 18;

// How a scanned text's byte is treated: copied, the start of a name, a star
// (with a slash after it a comment closer, which takes the slash along), a
// slash (a comment opener with the byte after it), a quote, or a byte the
// passes treat apart (backslash, "$", NUL, marks, lead bytes).
enum TextByte : std::uint8_t { kCopied, kNameStart, kStar, kSlash, kQuote, kRefused };

constexpr std::array<TextByte, 256> kTextBytes = [] {
  std::array<TextByte, 256> bytes{};
  for (int c = 0; c < 256; ++c) {
    if ((kByteClass[c] & kNameByte) != 0) bytes[c] = kNameStart;
    if ((kByteClass[c] & kLeadByte) != 0 || (c >= 0x01 && c <= 0x04)) bytes[c] = kRefused;
  }
  for (const unsigned char c : {'\0', '\\', '$'}) bytes[c] = kRefused;
  bytes['"'] = bytes['\''] = kQuote;
  bytes['*'] = kStar;
  bytes['/'] = kSlash;
  return bytes;
}();

// Where the literal whose quote is at `pos` of a source line closes, as the
// passes step through it (an escaped byte, and the second byte of a
// two-byte character, never close it); kNotClosed when the line ends
// first or a mark byte or NUL comes, which the passes treat apart.
std::size_t literal_close(std::string_view text, std::size_t pos) {
  const char quote = text[pos];
  for (++pos; pos < text.size(); ++pos) {
    const char c = text[pos];
    if (c == quote) return pos;
    if (static_cast<unsigned char>(c) <= 0x04) return kNotClosed;
    if (c == '\\' && ++pos == text.size()) return kNotClosed;
    if (static_cast<unsigned char>(text[pos]) <= 0x04) return kNotClosed;
    if (starts_two_byte_char(text, pos) && static_cast<unsigned char>(text[++pos]) <= 0x04) return kNotClosed;
  }
  return kNotClosed;
}

// Where the scan of a source line goes on after the comment whose "/" is at
// `pos`; kNotClosed when the state it leaves differs from plain code: a
// block comment still open at the line's end, or a "*/" after "//", which
// would let names be looked up again.
std::size_t comment_end(std::string_view text, std::size_t pos) {
  const std::size_t close = text.find("*/", pos + 2);
  if (text[pos + 1] == '/') return close == std::string_view::npos ? text.size() : kNotClosed;
  return close == std::string_view::npos ? kNotClosed : close + 2;
}

// The defines' cut bodies, one slot for every kCutSlots-th table index; a
// run's table does not change while its sources are expanded.
constexpr std::size_t kCutSlots = 4096;

struct KeptCut {
  int index = -1;
  CutBody cut;
};

class LineExpander {
 public:
  LineExpander(const DefineTable& table, const ReplaceLimits& limits) : table_(table), limits_(limits) {}

  // Renders `line`; false when the passes must take it.
  bool expand(std::string_view line) {
    out_.clear();
    expanded_ = false;
    if (!line.empty() && line[0] == '#') return false;
    return expand_text(line, 1);
  }

  std::string_view rendered() const { return out_; }
  bool expanded() const { return expanded_; }

 private:
  bool expand_text(std::string_view text, int level);
  bool expand_call(const DefineEntry& entry, int index, std::string_view args, int level);
  const CutBody& cut_of(const DefineEntry& entry, int index);

  const DefineTable& table_;
  // The engine's limits, within which every substitution must stay.
  ReplaceLimits limits_;
  ArgumentWords words_;
  std::string out_;
  bool expanded_ = false;
  // The expansion texts being scanned at the second and third levels: the
  // substitution overwrites its result with each call.
  std::array<std::string, kDeepestScan - 1> scanned_;
  // Made at the first use, so that a run without direct expansion (C mode)
  // does not fill them at start.
  std::vector<std::unique_ptr<KeptCut>> cuts_;
};

// Appends `text`, scanned as the pass of `level` scans it, with each use
// rendered and the texts of its uses expanded at the next level.
bool LineExpander::expand_text(std::string_view text, int level) {
  // Held in a register rather than read again after each write to out_.
  const DefineTable& table = table_;
  std::size_t copied = 0;
  std::size_t pos = 0;
  while (pos < text.size()) {
    const TextByte kind = kTextBytes[static_cast<std::uint8_t>(text[pos])];
    if (kind == kCopied) {
      ++pos;
      continue;
    }
    if (kind == kRefused) return false;
    if (kind == kStar) {
      // A "*/" in plain code changes nothing, but its slash opens no comment.
      pos += pos + 1 < text.size() && text[pos + 1] == '/' ? 2 : 1;
      continue;
    }
    if (kind == kSlash && (pos + 1 == text.size() || (text[pos + 1] != '/' && text[pos + 1] != '*'))) {
      ++pos;
      continue;
    }
    if (kind != kNameStart) {
      // Comments and literals of the source line: every pass steps over
      // them alike, since no group lies in them and code comes after them.
      // A later pass scans expansion texts, which must leave the state alone.
      if (level > 1) return false;
      pos = kind == kQuote ? literal_close(text, pos) : comment_end(text, pos);
      if (pos == kNotClosed) return false;
      if (kind == kQuote) ++pos;
      continue;
    }
    const std::size_t start = pos;
    while (++pos < text.size() && is_name_byte(text[pos])) {
    }
    const int index = table.def_check(text.substr(start, pos - start));
    if (index < 0) continue;
    const DefineEntry& entry = table.chg_tbl(index);
    if (!table.params(entry)) {
      // An object-like define's value lies in the table, which stays as it is.
      const std::string_view body = table.body(entry);
      if (body.empty()) return false;
      out_.append(text.substr(copied, pos - copied));
      out_.push_back('`');
      if (level == kDeepestScan) {
        out_.append(body);
      } else if (!expand_text(body, level + 1)) {
        return false;
      }
    } else {
      if (pos == text.size() || !is_open_bracket(text[pos])) continue;
      const std::size_t close = close_by_brackets(text.substr(pos));
      // A first pass reads further lines for an open list; a later one
      // leaves the name as it is and scans on after it.
      if (close == kNotClosed && level > 1) continue;
      if (close == kNotClosed || close == kUndecided) return false;
      const std::string_view args = text.substr(pos + 1, close - 1);
      pos += close + 1;
      out_.append(text.substr(copied, pos - copied));
      out_.push_back('`');
      if (!expand_call(entry, index, args, level)) return false;
    }
    out_.push_back('\'');
    expanded_ = true;
    if (out_.size() > kLongestLine) return false;
    copied = pos;
  }
  out_.append(text.substr(copied));
  return true;
}

// Appends the expansion of a call of `entry` (at table `index`) with `args`,
// expanded further below the deepest level.
bool LineExpander::expand_call(const DefineEntry& entry, int index, std::string_view args, int level) {
  const CutBody& cut = cut_of(entry, index);
  if (level == kDeepestScan) {
    const std::size_t start = out_.size();
    return substitute_cut(cut, args, limits_, words_, out_) && out_.size() > start;
  }
  std::string& scanned = scanned_[level - 1];
  scanned.clear();
  return substitute_cut(cut, args, limits_, words_, scanned) && !scanned.empty() &&
         scanned.size() <= kLongestLine && expand_text(scanned, level + 1);
}

const CutBody& LineExpander::cut_of(const DefineEntry& entry, int index) {
  if (cuts_.empty()) cuts_.resize(kCutSlots);
  std::unique_ptr<KeptCut>& kept = cuts_[static_cast<std::size_t>(index) % kCutSlots];
  if (!kept) kept = std::make_unique<KeptCut>();
  if (kept->index != index) {
    cut_body(*table_.params(entry), table_.body(entry), kept->cut);
    kept->index = index;
  }
  return kept->cut;
}

}  // namespace

// Kept apart from the header so that the expander's steps stay local to
// this file, where the compiler inlines them into one another.
struct DirectExpansion::Expander {
  Expander(const DefineTable& table, const ReplaceLimits& limits) : line(table, limits) {}
  LineExpander line;
};

DirectExpansion::DirectExpansion(const DefineTable& table, const ReplaceLimits& limits)
    : expander_(std::make_unique<Expander>(table, limits)) {}
DirectExpansion::~DirectExpansion() = default;

std::optional<DirectLine> DirectExpansion::expand_line_directly(const ScanState& state,
                                                                std::string_view line) {
  const bool in_code = state.comm_flag == 0 && state.str_flag == 0 && state.print_f == 1;
  LineExpander& expander = expander_->line;
  if (!in_code || !expander.expand(line)) return std::nullopt;
  return DirectLine{expander.rendered(), expander.expanded()};
}

}  // namespace sornik
