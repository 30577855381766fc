// The replacement text of one match: the to-part with its captures and
// case changes inserted.
#include "textual/replace/replacement_text.h"

#include "common/byte_search.h"
#include "common/diagnostics.h"
#include "common/fatal.h"

namespace sornik {

namespace {

void append_case_mapped(std::string& out, std::string_view text, bool upper) {
  const char from_low = upper ? 'a' : 'A';
  const char shift = upper ? 'A' - 'a' : 'a' - 'A';
  for (char c : text) {
    out.push_back(c >= from_low && c <= from_low + 25 ? static_cast<char>(c + shift) : c);
  }
}

[[noreturn]] void illegal_to_part(std::string_view to_part) {
  errmsg("illegal \"-r <replace>\" parameter: %s\n", to_part);
  fatal_stop();
}

// Length of the run of bytes from `pos` that are copied as they stand: up to
// the next dollar sign, backslash or two-byte character.
std::size_t plain_run(std::string_view to_part, std::size_t pos) {
  std::size_t end = pos;
  while (end < to_part.size() && to_part[end] != '$' && to_part[end] != '\\' &&
         !starts_two_byte_char(to_part, end)) {
    ++end;
  }
  return end - pos;
}

}  // namespace

std::size_t make_replacement(PatternMatcher& matcher, std::string_view matched, std::string& out,
                             std::string_view to_part) {
  const std::size_t start = out.size();
  std::size_t pos = 0;
  while (pos < to_part.size()) {
    const char c = to_part[pos];
    if (c == '$') {
      if (pos + 1 == to_part.size()) illegal_to_part(to_part);
      const char letter = to_part[pos + 1];
      if (letter == 'l' || letter == 'u') {
        append_case_mapped(out, matched, letter == 'u');
      } else if (letter == '$') {
        out.append(matcher.from_arg());
      } else if (const std::string* capture = matcher.capture_for(letter)) {
        out.append(*capture);
      } else {
        illegal_to_part(to_part);
      }
      pos += 2;
    } else if (c == '\\' && pos + 1 < to_part.size()) {
      out.push_back(to_part[pos + 1]);
      pos += 2;
    } else if (starts_two_byte_char(to_part, pos)) {
      out.append(to_part.substr(pos, 2));
      pos += 2;
    } else {
      // A backslash that ends the to-part is kept as it stands.
      const std::size_t run = c == '\\' ? 1 : plain_run(to_part, pos);
      out.append(to_part.substr(pos, run));
      pos += run;
    }
  }
  return out.size() - start;
}

bool inserts_match(std::string_view to_part) {
  for (std::size_t pos = 0; pos < to_part.size(); ++pos) {
    if (to_part[pos] == '$') return true;
    if ((to_part[pos] == '\\' && pos + 1 < to_part.size()) || starts_two_byte_char(to_part, pos)) ++pos;
  }
  return false;
}

}  // namespace sornik
