// The warnings about a logical line's bytes themselves rather than its
// tokens: white space between a splice's backslash and its newline, C90's
// `//` comments, form feeds and vertical tabs in directives, directives
// among a use's arguments, and trigraphs (which are converted here).
#include <algorithm>
#include <cstring>

#include "cmode/lex/dialect.h"
#include "cmode/lex/logical_lines.h"
#include "cmode/lex/trigraphs.h"
#include "cmode/pp/preprocessor.h"

namespace sornik::cmode {

namespace {

// Walks a logical line that starts on physical line `line`, outside its
// comments: calls on_splice(pos, line) at each splice and on_blank(byte,
// line) at each byte between tokens that is no space, tab or newline.
template <typename OnSplice, typename OnBlank>
void walk_line(std::string_view bytes, std::uint32_t line, OnSplice on_splice, OnBlank on_blank) {
  char quote = 0;  // of the literal being read
  for (std::size_t pos = 0; pos < bytes.size();) {
    const char c = bytes[pos];
    if (c == '\\') {
      const std::size_t splice = splice_length(bytes, pos);
      if (splice == 0) {
        // An escape in a literal takes the byte after it along.
        pos += quote != 0 ? 2 : 1;
        continue;
      }
      on_splice(pos, line);
      pos += splice;
      ++line;
      continue;
    }
    if (c == '\n') ++line;
    if (quote != 0) {
      if (c == quote || c == '\n') quote = 0;
      ++pos;
      continue;
    }
    if (c == '"' || c == '\'') {
      quote = c;
    } else if (c == '/' && pos + 1 < bytes.size() && (bytes[pos + 1] == '*' || bytes[pos + 1] == '/')) {
      std::uint32_t spliced = 0;
      const std::size_t end = bytes[pos + 1] == '*' ? block_comment_end(bytes, pos + 2)
                                                    : line_comment_end(bytes, pos + 2, spliced);
      const std::size_t stop = end == std::string_view::npos ? bytes.size() : end;
      line += static_cast<std::uint32_t>(std::count(bytes.begin() + static_cast<std::ptrdiff_t>(pos),
                                                    bytes.begin() + static_cast<std::ptrdiff_t>(stop), '\n'));
      pos = stop;
      continue;
    } else if (c == '\f' || c == '\v') {
      on_blank(c, line);
    }
    ++pos;
  }
}

}  // namespace

void Preprocessor::check_line_bytes(std::string_view bytes, std::uint32_t first_line) {
  // The scan of the line noted whether it may have passed such a splice.
  if (!line_checks_due) return;
  line_checks_due = false;
  walk_line(
      bytes, first_line,
      [&](std::size_t pos, std::uint32_t line) {
        // As the compiler does, only outside comments.
        if (is_splice_blank(bytes[pos + 1]))
          report_on(line, Severity::warning, "backslash and newline separated by space");
      },
      [](char, std::uint32_t) {});
}

void Preprocessor::check_pedantic(const FileFrame& frame, std::string_view line) {
  // The standard leaves a directive among the arguments of a use undefined;
  // the compiler acts on it, as here, and warns.
  if (expander_.reading_arguments())
    report(Severity::pedwarn, "embedding a directive within macro arguments is not portable");
  // The standard allows only spaces and tabs between a directive's tokens
  // (its `#` is the first of them).
  const std::size_t hash = line.find_first_of("#%");
  walk_line(
      line.substr(hash),
      frame.line + static_cast<std::uint32_t>(
                       std::count(line.begin(), line.begin() + static_cast<std::ptrdiff_t>(hash), '\n')),
      [](std::size_t, std::uint32_t) {},
      [&](char blank, std::uint32_t at) {
        report_on(at, Severity::pedwarn,
                  blank == '\f' ? "form feed in preprocessing directive"
                                : "vertical tab in preprocessing directive");
      });
}

void Preprocessor::check_c90_comment(FileFrame& frame, std::string_view bytes, LineKind kind) {
  // ISO C90 reads a `//` in a directive as two divisions, and says nothing.
  const bool error = c90_comments_ == C90Comments::error;
  // A system header may hold them in any dialect.
  if ((error && kind == LineKind::directive) || frame.system_header) return;
  const std::size_t start = line_comment_start(bytes, error);
  if (start == std::string_view::npos) return;
  frame.line_comment_reported = true;
  const auto newlines = std::count(bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(start), '\n');
  report_on(frame.line + static_cast<std::uint32_t>(newlines), error ? Severity::error : Severity::pedwarn,
            "C++ style comments are not allowed in ISO C90");
}

std::string_view Preprocessor::read_trigraphs(FileFrame& frame, std::string_view bytes) {
  const bool converted = lexing_dialect().trigraphs;
  if (converted) frame.converted_line.convert_outside_raw_strings(bytes);
  const std::string_view line = converted ? frame.converted_line.text() : bytes;
  if (!diagnostic_rules().gives(Warning::trigraphs)) return line;
  for (const TrigraphNote& note : trigraphs_to_warn_of(line, frame.converted_line.trigraphs(), converted)) {
    std::string text = "trigraph ??";
    text += note.third;
    if (converted) {
      text += " converted to ";
      text += trigraph_meaning(note.third);
    } else {
      text += " ignored, use -trigraphs to enable";
    }
    const auto newlines = std::count(line.begin(), line.begin() + static_cast<std::ptrdiff_t>(note.at), '\n');
    report_on(frame.line + static_cast<std::uint32_t>(newlines), Severity::warning, text, Warning::trigraphs);
  }
  return line;
}

}  // namespace sornik::cmode
