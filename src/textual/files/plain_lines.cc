// The search for plain lines: whole lines of a source block that need no
// pass, found with byte masks.
#include "textual/files/plain_lines.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstring>

#include "common/byte_class.h"
#include "textual/defines/define_table.h"
#include "textual/defines/plain_value.h"
#include "textual/expand/bracket_list.h"
#include "textual/scan/byte_masks.h"

namespace sornik {

namespace {

// A line that the line loops take holds at most this many bytes, newline included.
constexpr std::size_t kLongestLine = 1022;

// The states within a line: those a line may start in, and a line comment.
enum class Mode : std::uint8_t { kCode, kComment, kString, kCharacter, kLineComment };

// The byte masks of at most so many pieces of 64 bytes are made at once.
constexpr std::size_t kPiecesAtOnce = 16;

// Makes the masks of the first pieces of `text`, at most `count`, into
// `pieces`. Returns how many it made.
std::size_t classify_pieces(const NameHeads& heads, std::string_view text, std::size_t count,
                            std::array<ByteMasks, kPiecesAtOnce>& pieces) {
  const std::size_t whole = std::min(text.size() / 64, count);
  classify_bytes(text.data(), whole, heads, pieces.data());
  if (whole == count || whole * 64 == text.size()) return whole;
  // The last, short piece: NUL padding is in no mask.
  char padded[64] = {};
  std::memcpy(padded, text.data() + whole * 64, text.size() - whole * 64);
  classify_bytes(padded, 1, heads, &pieces[whole]);
  return whole + 1;
}

// A line holds at most this many uses of plain values: more than 1022 bytes
// have room for.
constexpr std::size_t kMostUses = 512;

// Whether the first pass copies the names in code that begin at the
// `starts` bits of the 64 bytes at `base` of `text` (`names` marks their
// name bytes), at most with the value of a plain define after them. Such
// uses are added to `uses`; without `uses` none may be there.
bool names_plain(DefineTable& table, std::string_view text, std::size_t base, std::uint64_t starts,
                 std::uint64_t names, std::vector<PlainUse>* uses) {
  for (; starts != 0; starts &= starts - 1) {
    const int start = std::countr_zero(starts);
    const char* name = text.data() + base + start;
    std::size_t end = base + start + std::countr_one(names >> start);
    // A name that reaches the end of the 64 bytes may go on after them.
    if (end == base + 64) {
      while (end < text.size() && is_name_byte(text[end])) ++end;
    }
    const int index = table.def_check(std::string_view(name, end - base - start));
    if (index < 0) continue;
    DefineEntry& entry = table.chg_tbl(index);
    // Only a name directly followed by an opening bracket calls a function-like define.
    if (table.params(entry)) {
      if (end == text.size() || is_open_bracket(text[end])) return false;
      continue;
    }
    if (uses == nullptr || uses->size() == kMostUses || !has_plain_value(table, entry)) return false;
    uses->push_back(PlainUse{end, table.body(entry)});
  }
  return true;
}

// Where the scan goes on after the byte at `at` in a literal, a backslash or
// a byte from 0x80 on: an escaped byte never closes the literal, and a
// two-byte character counts as one. Beyond the end of `text` when the bytes
// taken go on past it.
std::size_t after_literal_byte(std::string_view text, std::size_t at) {
  std::size_t last = text[at] == '\\' ? at + 1 : at;
  // (A lead byte before a NUL is no pair, but that NUL changes nothing here either.)
  if (last < text.size() && is_lead_byte(text[last])) {
    if (last + 1 == text.size()) return last + 2;
    ++last;
  }
  return last + 1;
}

// The scan looks at 64 bytes at a time: their masks show the names and the
// few bytes that may change the state, and only those are looked at.
PlainLines find_lines(DefineTable& table, std::string_view text, LineStart state,
                      std::vector<PlainUse>* uses) {
  const std::size_t size = text.size();
  PlainLines found{0, state, false};
  Mode mode = static_cast<Mode>(state);
  // Lines that begin with "#" have no name looked up.
  bool names_on = size > 0 && text[0] != '#';
  std::size_t line_start = 0;
  // Where the present mode began: a "*" before it does not end a comment.
  std::size_t mode_start = 0;
  // The next byte to look at; may lie beyond the present 64 bytes.
  std::size_t pos = 0;
  // The line that ends with the newline at `newline` is plain; false when it
  // is too long for the line loops.
  const auto end_line = [&](std::size_t newline) {
    if (newline - line_start >= kLongestLine) return false;
    if (mode == Mode::kLineComment) mode = Mode::kCode;
    found.size = newline + 1;
    found.state = static_cast<LineStart>(mode);
    line_start = mode_start = pos = newline + 1;
    names_on = pos < size && text[pos] != '#';
    return true;
  };
  std::uint64_t name_before = 0;
  std::array<ByteMasks, kPiecesAtOnce> pieces;
  // The pieces whose masks are made start at `made_from` and end before
  // `made_to`. A scan that stops soon (before a line with a defined name) has
  // few made in vain: a first batch is small and each next one twice as large.
  std::size_t made_from = 0;
  std::size_t made_to = 0;
  std::size_t batch = 2;
  for (std::size_t base = 0; base < size; base += 64) {
    if (base == made_to) {
      made_from = base;
      made_to = base + 64 * classify_pieces(table.define_index().heads(), text.substr(base), batch, pieces);
      batch = std::min(2 * batch, kPiecesAtOnce);
    }
    const ByteMasks& masks = pieces[(base - made_from) / 64];
    // A name that goes on from the bytes before was looked up whole there.
    // Only names whose first byte begins a defined one are looked up.
    const std::uint64_t name_starts = masks.heads & ~(masks.names << 1 | name_before);
    name_before = masks.names >> 63;
    const std::uint64_t comment_stops = masks.newlines | masks.slashes;
    const std::uint64_t literal_stops = masks.newlines | masks.quotes | masks.escapes;
    const std::array<std::uint64_t, 5> stops_in = {comment_stops | masks.quotes, comment_stops, literal_stops,
                                                   literal_stops, comment_stops};
    while (pos < base + 64) {
      const std::uint64_t from = ~std::uint64_t{0} << (pos - base);
      const std::uint64_t stops = stops_in[static_cast<std::size_t>(mode)] & from;
      if (mode == Mode::kCode && names_on) {
        const std::uint64_t before_stop = (stops & -stops) - 1;
        const std::uint64_t starts = name_starts & from & before_stop;
        if (starts != 0 && !names_plain(table, text, base, starts, masks.names, uses)) return found;
      }
      if (stops == 0) {
        pos = base + 64;
        break;
      }
      const std::size_t at = base + std::countr_zero(stops);
      const char c = text[at];
      pos = at + 1;
      if (c == '\n') {
        if (!end_line(at)) return found;
        continue;
      }
      // The "/" of a "*/", which ends a comment and changes nothing in code.
      const bool closes = c == '/' && at > mode_start && text[at - 1] == '*';
      switch (mode) {
        case Mode::kCode:
          if (c != '/') {
            // A literal that closes in these 64 bytes with no byte to look
            // at before its quote is stepped over at once.
            const std::uint64_t inside = literal_stops & (~std::uint64_t{1} << (at - base));
            if (inside != 0 && text[base + std::countr_zero(inside)] == c) {
              pos = mode_start = base + std::countr_zero(inside) + 1;
            } else {
              mode = c == '"' ? Mode::kString : Mode::kCharacter;
            }
          } else if (!closes && at + 1 < size && (text[at + 1] == '/' || text[at + 1] == '*')) {
            mode = text[at + 1] == '/' ? Mode::kLineComment : Mode::kComment;
            pos = mode_start = at + 2;
          }
          break;
        case Mode::kComment:
          if (closes) {
            mode = Mode::kCode;
            mode_start = at + 1;
          }
          break;
        case Mode::kLineComment:
          if (closes) return found;
          break;
        case Mode::kString:
        case Mode::kCharacter:
          if (c != '"' && c != '\'') {
            pos = after_literal_byte(text, at);
            if (pos <= size && text[pos - 1] == '\n' && !end_line(pos - 1)) return found;
          } else if ((c == '"') == (mode == Mode::kString)) {
            mode = Mode::kCode;
            mode_start = at + 1;
          }
          break;
      }
    }
  }
  found.cut = size - line_start < kLongestLine;
  return found;
}

}  // namespace

PlainLines find_plain_lines(DefineTable& table, std::string_view text, LineStart state,
                            std::vector<PlainUse>* uses) {
  if (uses != nullptr) uses->clear();
  const PlainLines found = find_lines(table, text, state, uses);
  // Uses in the line the scan stopped in stay for the passes.
  while (uses != nullptr && !uses->empty() && uses->back().name_end > found.size) uses->pop_back();
  return found;
}

}  // namespace sornik
