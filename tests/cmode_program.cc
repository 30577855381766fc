#include "cmode_program.h"

#include <vector>

#include "captured_io.h"
#include "cmode/listing/expander.h"
#include "cmode/macro/builtin_macros.h"
#include "cmode/pp/define_directive.h"
#include "common/run_io.h"
#include "render/renderer.h"

namespace sornik::testing {

namespace {

using cmode::SourceChunk;

// The end of the logical line that starts at `pos` (after its newline).
std::size_t logical_line_end(std::string_view text, std::size_t pos) {
  for (;;) {
    const std::size_t newline = text.find('\n', pos);
    if (newline == std::string_view::npos) return text.size();
    const bool spliced = (newline >= 1 && text[newline - 1] == '\\') ||
                         (newline >= 2 && text[newline - 1] == '\r' && text[newline - 2] == '\\');
    if (!spliced) return newline + 1;
    pos = newline + 1;
  }
}

// Consecutive lines of code make one chunk; each directive line one of its own.
class ProgramChunks final : public cmode::ChunkSource {
 public:
  ProgramChunks(std::string_view text, cmode::MacroTable& table) : text_(text), table_(table) {}

  bool next(SourceChunk& chunk) override {
    if (pos_ >= text_.size()) return false;
    const std::size_t begin = pos_;
    chunk.first_line = line_;
    std::size_t end = logical_line_end(text_, pos_);
    chunk.is_text = !act_on_directive(text_.substr(begin, end - begin));
    if (chunk.is_text) {
      while (end < text_.size()) {
        const std::size_t next = logical_line_end(text_, end);
        if (is_directive(text_.substr(end, next - end))) break;
        end = next;
      }
    }
    chunk.bytes = text_.substr(begin, end - begin);
    for (char c : chunk.bytes) line_ += c == '\n';
    pos_ = end;
    return true;
  }

 private:
  bool is_directive(std::string_view line) {
    lexer_.lex(line, tokens_);
    return !tokens_.empty() && tokens_[0].text == "#";
  }

  bool act_on_directive(std::string_view line) {
    if (!is_directive(line)) return false;
    if (tokens_.size() >= 3 && tokens_[1].text == "define") {
      cmode::DefineParse parse = cmode::parse_define(std::span<const cmode::Token>(tokens_).subspan(2));
      if (parse.macro != nullptr) table_.define(std::move(parse.macro));
    } else if (tokens_.size() >= 3 && tokens_[1].text == "undef") {
      table_.undefine(tokens_[2].text);
    }
    return true;
  }

  std::string_view text_;
  cmode::MacroTable& table_;
  cmode::Lexer lexer_;
  std::vector<cmode::Token> tokens_;
  std::size_t pos_ = 0;
  std::uint32_t line_ = 1;
};

}  // namespace

ExpandedProgram expand_program(std::string_view text, std::string_view format_text) {
  CapturedIo io;
  cmode::MacroTable table;
  cmode::define_builtins(table);
  ProgramChunks chunks(text, table);
  cmode::Expander expander(table);
  Renderer renderer = format_text.empty() ? Renderer() : Renderer(format_text);
  expander.expand_file(chunks, "t.c", renderer);
  out_flush();
  return {io.out(), io.err()};
}

}  // namespace sornik::testing
