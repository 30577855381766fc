// The C mode's expander: the chunks it reads and its entry points for files and directives.
#pragma once

#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "cmode/expand/feature_tests.h"
#include "cmode/expand/pragma_actions.h"
#include "cmode/lex/token.h"
#include "cmode/macro/builtin_state.h"
#include "cmode/macro/macro_table.h"
#include "render/renderer.h"

namespace sornik::cmode {

// A piece of a source file as the preprocessor hands it to the expander:
// whole logical lines, their line ends included.
struct SourceChunk {
  std::string_view bytes;
  // Code to expand; otherwise a directive or a line of a skipped group, copied
  // as it stands (also when it falls inside a use's argument list).
  bool is_text = false;
  // The physical line number of the chunk's first byte.
  std::uint32_t first_line = 0;
  // Trigraphs stand in the chunk, which the dialect converts: its lines are
  // read in their converted text (the bytes stay as written).
  bool trigraphs = false;
};

// Hands out the chunks of one source file in order; the bytes stay valid
// until the next call.
class ChunkSource {
 public:
  virtual ~ChunkSource() = default;
  // The next chunk; false at the end of the file. Directives are acted on as
  // their chunk is handed out, so the table changes from there on.
  virtual bool next(SourceChunk& chunk) = 0;
};

// What a diagnostic of the expander refers to.
struct SourcePlace {
  std::string_view file;
  std::uint32_t line = 0;
};

// The reading of a piece of the source for the argument list of a use: a
// header that an #include among its lines reads to its end ends the list
// there, as the compiler's lexer meets that file's end inside the list.
struct ArgumentReading {
  bool active = false;
  bool ended_in_header = false;
  std::string header;
  std::uint32_t header_line = 0;  // the header's last line
};

class Rescanner;
struct ExpToken;

// Expands macro uses by the C preprocessor's rules over one macro table.
class Expander {
 public:
  explicit Expander(const MacroTable& table);
  ~Expander();

  // Copies every chunk of a source file to the output (services/run_io's
  // out_write), each use in a text chunk turned into a marker group (see
  // render/marker.h) and rendered by `renderer`. Diagnostics name `file` and
  // the physical line.
  void expand_file(ChunkSource& source, std::string_view file, Renderer& renderer);

  // Expands the tokens of a directive (#if, #elif, #include, #line), or a
  // header's code lines, into `out`. In a condition, the operand of
  // `defined` (X or (X)) and the parenthesized operand of __has_include and
  // __has_include_next stay as they are. A token in `out` has a blank before
  // it where white space was written before it (ExpToken::own_space), as the
  // compiler glues header names. Token texts in `out` stay valid until the
  // next call.
  void expand_directive(std::span<const Token> in, ExpandedFor use, SourcePlace place,
                        std::vector<Token>& out);

  // What answers __has_attribute and its kin in code lines; without it they
  // stay as written.
  void set_feature_tests(FeatureTests* tests) { feature_tests_ = tests; }
  // What acts on the pragmas of _Pragma operators, in code and directives.
  void set_pragma_actions(PragmaActions* actions) { pragma_actions_ = actions; }

  // Where the built-in macros of code lines and directives find their file,
  // line and counter (see Rescanner::set_builtin_state).
  void set_builtin_state(BuiltinState* state) { builtins_ = state; }

  // Reads the values that a listing shows of final texts ("$v", JSON); null
  // for none.
  void set_value_reader(ValueReader* reader) { value_reader_ = reader; }

  // Whether the chunk being handed out lies inside the argument list of a
  // use in the source: its directives are not portable there.
  bool reading_arguments() const { return argument_reading_.active; }

  // A header read while reading_arguments() has ended at its line `line`:
  // the argument list ends there (the first such header counts).
  void end_arguments_in_header(std::string_view header, std::uint32_t line) {
    if (argument_reading_.ended_in_header) return;
    argument_reading_.ended_in_header = true;
    argument_reading_.header.assign(header);
    argument_reading_.header_line = line;
  }

 private:
  const MacroTable& table_;
  FeatureTests* feature_tests_ = nullptr;
  PragmaActions* pragma_actions_ = nullptr;
  BuiltinState* builtins_ = nullptr;
  ValueReader* value_reader_ = nullptr;
  ArgumentReading argument_reading_;
  // For directives: their own rescanner and token buffers, kept between calls.
  std::unique_ptr<Rescanner> directive_rescanner_;
  std::string directive_file_;
  std::vector<ExpToken> directive_in_;
  std::vector<ExpToken> directive_out_;
};

}  // namespace sornik::cmode
