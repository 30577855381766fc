// Light syntax colouring of C and C++ source for the HTML page.
#pragma once

#include <string>
#include <string_view>

namespace sornik {

// Writes a source as HTML text (html_text.h) handed over in pieces, with
// spans for comments (class "c"), string and character literals ("s"),
// numbers ("n"), keywords ("k") and the "#name" of directives ("p"). Each
// piece's spans are closed at its end, so that the page may put markup of
// its own between pieces; a comment or literal that goes on into the next
// piece is opened again there.
class SourceColouring {
 public:
  // Appends the next piece of the source.
  void append(std::string& out, std::string_view bytes);

  // Starts a new source.
  void reset() { *this = SourceColouring(); }

 private:
  enum class State : unsigned char { kCode, kBlockComment, kLineComment, kString, kCharacter };

  // The end of the comment or literal of state_ that goes on at `pos`: past
  // its last byte, or the piece's end (the state then stays).
  std::size_t construct_end(std::string_view bytes, std::size_t pos);
  // The end of the uncoloured code, number, keyword or directive name at
  // `pos`, and its class in `span_class` (null for none); opens a comment or
  // literal in state_ when one starts there.
  std::size_t code_token_end(std::string_view bytes, std::size_t pos, const char*& span_class);

  State state_ = State::kCode;
  // Whether only blanks stand before `pos` on its line: a directive may start.
  bool line_start_ = true;
  // Whether the last byte of a comment or literal was a backslash.
  bool escaped_ = false;
  // Whether the last byte of a block comment was a star.
  bool star_ = false;
};

}  // namespace sornik
