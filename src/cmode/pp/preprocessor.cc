// The preprocessor: translation units and files, their logical lines, the directives sent to their
// handlers, and the answers to feature tests.
#include "cmode/pp/preprocessor.h"

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cstdint>
#include <optional>

#include "cmode/lex/universal_names.h"
#include "cmode/macro/builtin_macros.h"
#include "cmode/pp/define_directive.h"
#include "cmode/pp/file_chunk_reader.h"
#include "common/run_io.h"

namespace sornik::cmode {

namespace {

// How many tokens of a directive line with this name its handling reads:
// the `#`, the name, what the directive takes, and one more to tell whether
// anything follows that.
std::size_t tokens_needed(std::string_view name) {
  if (name == "endif" || name == "else") return 3;
  if (name == "ifdef" || name == "ifndef" || name == "undef" || name == "elifdef" || name == "elifndef")
    return 4;
  return SIZE_MAX;
}

}  // namespace

Preprocessor::Preprocessor(MacroTable& table, IncludeSearch& search, Expander& expander)
    : table_(table), search_(search), expander_(expander) {
  take_rules();
  define_builtins(table_);
  expander_.set_feature_tests(this);
  expander_.set_pragma_actions(this);
  expander_.set_builtin_state(&builtins_);
}

void Preprocessor::take_rules() {
  pedantic_ = diagnostic_rules().pedantic;
  if (pedantic_) line_checks_due = true;
}

int Preprocessor::read_macros(const std::string& name) {
  // Found as an -include header is, but read as a stream, not whole: a
  // header of a million definitions would otherwise take as many fresh
  // pages as it has bytes.
  std::string path = name;
  std::size_t size = 0;
  InputFile stream = open_input(path, size);
  if (stream == nullptr && IncludeSearch::means_absent(errno)) {
    const FoundHeader found = find_command_line_header(name);
    if (found.file == nullptr) return found.error;
    path = found.file->path;
    stream = open_input(path, size);
  }
  if (stream == nullptr) return errno;
  // A file given for its macros is mostly definitions, rarely shorter than
  // 48 bytes a line: the table takes room for them at once instead of
  // growing step by step (a larger guess would clear slots never used).
  constexpr std::size_t kDefinitionBytes = 48;
  table_.reserve(table_.size() + size / kDefinitionBytes);
  HeaderFile& file = search_.enter_unread(path);
  FileFrame frame;
  frame.path = file.path;
  frame.dir = IncludeSearch::directory_of(file.path);
  frame.header = &file;
  begin_file(frame);
  FileChunkReader chunks(stream.get(), *this, frame);
  for (SourceChunk chunk; chunks.next(chunk);) {
  }
  // The compiler reports no list that a file read for its macros leaves open.
  drop_header_code();
  end_file(frame);
  check_read_error(stream.get(), path);
  return 0;
}

void Preprocessor::read_text(FileFrame& frame, std::string_view text) {
  frame.text_in_hand = text;
  begin_file(frame);
  HeaderFile* const header = frame.header;
  const Dialect* const dialect = &lexing_dialect();
  if (header != nullptr && header->lines_dialect == dialect && text.data() == header->text.data()) {
    std::size_t pos = 0;
    for (const LogicalLine& line : header->lines) {
      take_line(frame, text.substr(pos, line.end - pos), line);
      pos = line.end;
    }
  } else {
    // The first reading of a header records its lines; one that the header
    // itself includes, while they are being recorded, only scans.
    const bool record = header != nullptr && header->readings == 1 && text.data() == header->text.data();
    if (record) header->lines.clear();
    TrigraphLineScan lines(!frame.system_header);
    for (std::size_t pos = 0; pos < text.size();) {
      const LogicalLine line = lines.scan(text, pos);
      if (record) header->lines.push_back(line);
      take_line(frame, text.substr(pos, line.end - pos), line);
      pos = line.end;
    }
    if (record) header->lines_dialect = dialect;
  }
  // The compiler's lexer stands on the last line at the end: a final
  // newline opens no other.
  const bool newline_ended = !text.empty() && text.back() == '\n';
  flush_header_code(frame, frame.line - (newline_ended ? 1 : 0));
  end_file(frame);
}

void Preprocessor::begin_unit() {
  if (unit_to_undo_) undo_unit();
  in_unit_ = true;
  take_rules();
  includes_read_ = 0;
  arm_dollar_warning();
  builtins_.begin_unit();
  assertions_.reset(table_);
}

void Preprocessor::end_unit() {
  if (show_headers_) list_unguarded_headers();
  // Undone when the next unit begins: after the last one nothing reads the
  // table any more, and undoing a large unit costs as much as reading it.
  in_unit_ = false;
  unit_to_undo_ = true;
}

void Preprocessor::undo_unit() {
  unit_to_undo_ = false;
  for (auto change = changes_.rbegin(); change != changes_.rend(); ++change) {
    if (change->old) {
      table_.replace(std::move(change->old));
    } else {
      table_.remove(change->name);
    }
  }
  changes_.clear();
  once_.clear();
  pushed_macros_.clear();
}

void Preprocessor::begin_file(FileFrame& frame) {
  if (frame.header != nullptr) ++frame.header->readings;
  set_definition_file(frame);
  if (frame.is_source) source_definition_file_ = frame.definition_file;
  const DiagnosticRules& rules = diagnostic_rules();
  traditional_warnings_ = warns_traditional();
  unused_macro_warnings_ = rules.gives(Warning::unused_macros);
  if (unused_macro_warnings_) expand_header_code_ = true;
  const Dialect& dialect = lexing_dialect();
  const bool gnu90 = !dialect.strict && !dialect.cplusplus && dialect.version.empty();
  c90_comments_ = !dialect.line_comments    ? C90Comments::error
                  : gnu90 && rules.pedantic ? C90Comments::pedwarn
                                            : C90Comments::allowed;
  line_checks_ = traditional_warnings_ || rules.gives(Warning::cxx_compat) || rules.gives(Warning::comment) ||
                 c90_comments_ != C90Comments::allowed;
  warn_undefined_names = rules.gives(Warning::undef);
  frame.conditional_base = conditionals_.size();
  frames_.push_back(&frame);
  builtins_.enter_file(frame.path, frame.presumed_path.empty() ? frame.path : frame.presumed_path);
}

void Preprocessor::set_definition_file(FileFrame& frame) {
  DefinitionFiles& files = table_.definition_files();
  if (frame.header != nullptr) {
    std::uint32_t& known = frame.header->definition_file[frame.system_header ? 1 : 0];
    if (known == 0) known = files.add(frame.path, frame.system_header, frame.is_source, true);
    frame.definition_file = known;
  } else {
    // Definitions read from no file of lines (the command line's, the
    // compiler's own) have no line to show.
    const std::string_view name =
        frame.path == kCommandLinePath ? std::string_view("<command line>") : frame.path;
    frame.definition_file = files.enter(name, frame.system_header, frame.is_source, frame.is_source);
  }
}

void Preprocessor::end_file(FileFrame& frame) {
  if (frame.is_source) warn_of_unused_macros();
  while (conditionals_.size() > frame.conditional_base) {
    const Conditional& open = conditionals_.back();
    const SourcePlace place = presumed_place(open.line);
    report_at(place.file, place.line, Severity::error, "unterminated " + std::string(open.directive));
    conditionals_.pop_back();
  }
  set_skipping(false);
  if (frame.guard == FileFrame::Guard::after_endif && frame.header != nullptr) {
    frame.header->guard = frame.guard_macro;
  }
  if (frame.header != nullptr) --frame.header->readings;
  frames_.pop_back();
  builtins_.leave_file();
}

SourcePlace Preprocessor::presumed_place(std::uint32_t physical_line) const {
  // As the compiler does, a diagnostic names the file and line that #line set.
  return {builtins_.in_file() ? builtins_.presumed_file() : frames_.back()->path,
          builtins_.presumed_line(physical_line)};
}

void Preprocessor::report(Severity severity, std::string_view text, Warning warning) {
  report_on(frames_.back()->line, severity, text, warning);
}

void Preprocessor::report(std::uint32_t at, Severity severity, std::string_view text, Warning warning) {
  // The newlines before the point, a line end's own aside.
  std::string_view before = directive_line_;
  if (at == kAtLineEnd) {
    if (before.ends_with('\n')) before.remove_suffix(1);
  } else {
    before = before.substr(0, std::min<std::size_t>(at, before.size()));
  }
  const auto newlines = static_cast<std::uint32_t>(std::count(before.begin(), before.end(), '\n'));
  report_on(frames_.back()->line + newlines, severity, text, warning);
}

void Preprocessor::report_on(std::uint32_t physical_line, Severity severity, std::string_view text,
                             Warning warning) {
  // As the C compiler does, a system header's warnings are not shown.
  if (severity != Severity::error && frames_.back()->system_header) return;
  const SourcePlace place = presumed_place(physical_line);
  report_at(place.file, place.line, severity, text, warning);
}

std::string_view Preprocessor::check_line(FileFrame& frame, std::string_view bytes, const LogicalLine& line) {
  if (line.trigraphs()) bytes = read_trigraphs(frame, bytes);
  if (line.c90_slashes()) slashes_divide = skipping_ || line.kind == LineKind::directive;
  // Only the last line of a file can end inside a comment.
  if (!line.complete && ends_inside_block_comment(bytes)) report(Severity::error, "unterminated comment");
  if (line_checks_due) check_line_bytes(bytes, frame.line);
  if (pedantic_) {
    // Every line comes here while -pedantic asks for checks of directives.
    line_checks_due = true;
    if (line.kind == LineKind::directive) check_pedantic(frame, bytes);
  }
  if (line.open_literal()) report_open_literals(bytes, frame.line);
  if (!line.raw_string() || skipping_) return bytes;
  lexer_.lex(bytes, tokens_);
  for (const Token& token : tokens_) {
    if (token.kind != TokenKind::other || token.text.find("R\"") > 2) continue;
    for (const RawStringProblem& problem :
         raw_string_problems(bytes.substr(token.begin, token.end - token.begin))) {
      const auto newlines = std::count(
          bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(token.begin + problem.at), '\n');
      const SourcePlace place = presumed_place(frame.line + static_cast<std::uint32_t>(newlines));
      report_at(place.file, place.line, Severity::error, problem.message);
    }
  }
  return bytes;
}

void Preprocessor::report_open_literals(std::string_view bytes, std::uint32_t first_line) {
  // Everywhere, in groups not taken too, as the compiler lexes them.
  lexer_.lex(bytes, tokens_);
  for (const Token& token : tokens_) {
    if (token.kind != TokenKind::other) continue;
    const std::size_t quote = token.text.find_first_of("'\"");
    // A literal's prefix is at most u8, then its quote; an unterminated raw
    // string has an error of its own.
    if (quote > 2 || (quote > 0 && token.text[quote - 1] == 'R' && lexing_dialect().raw_strings)) continue;
    const auto newlines = std::count(bytes.begin(), bytes.begin() + token.begin, '\n');
    report_on(first_line + static_cast<std::uint32_t>(newlines), Severity::pedwarn,
              std::string("missing terminating ") + token.text[quote] + " character");
  }
}

void Preprocessor::take_line(FileFrame& frame, std::string_view bytes, const LogicalLine& line) {
  if (!line.complete || line.marks != 0 || line_checks_due) [[unlikely]]
    bytes = check_line(frame, bytes, line);
  if (line_checks_) [[unlikely]]
    check_line_options(bytes, line, frame.line);
  if (line.kind == LineKind::directive) {
    directive(frame, bytes);
  } else if (line.kind == LineKind::code && !skipping_) {
    if (frame.guard == FileFrame::Guard::expect_ifndef || frame.guard == FileFrame::Guard::after_endif) {
      frame.guard = FileFrame::Guard::none;
    }
    if (frame.header != nullptr && (expand_header_code_ || !frame.system_header))
      take_header_code(frame, bytes);
  }
  frame.line += line.newlines;
}

void Preprocessor::directive(FileFrame& frame, std::string_view line) {
  directive_line_ = line;
  // Most directive lines are written plainly: their name is read once here,
  // without the lexer.
  const std::string_view plain_name = plain_directive_name(line);
  const bool plain = !plain_name.empty();
  if (skipping_) {
    // In a group not taken only the name counts, unless the directive may
    // end the group.
    std::string_view name = plain_name;
    if (!plain) {
      lexer_.lex(line, tokens_, 2);
      if (tokens_.size() < 2 || tokens_[1].kind != TokenKind::identifier) return;
      name = tokens_[1].text;
    }
    if (name == "if" || name == "ifdef" || name == "ifndef") {
      conditionals_.push_back({frame.line, true, true, false, {}});
    } else if (name == "elif" || name == "else" || name == "endif" ||
               ((name == "elifdef" || name == "elifndef") && knows_elifdef(lexing_dialect()))) {
      // Inside a group that an outer one skips, what follows the name is
      // never looked at.
      if (conditionals_.size() > frame.conditional_base && conditionals_.back().was_skipping) {
        conditional_directive(frame, name, {});
        return;
      }
      lex_directive(line, name, plain);
      conditional_directive(frame, tokens_[1].text, std::span<const Token>(tokens_).subspan(2));
    }
    return;
  }
  if (plain_name == "define" && frame.guard != FileFrame::Guard::expect_ifndef &&
      frame.guard != FileFrame::Guard::after_endif) {
    const auto operands = static_cast<std::size_t>(plain_name.data() + plain_name.size() - line.data());
    const std::string_view rest = line.substr(operands);
    add_definition(parse_define_text(rest, lexer_, tokens_, table_), static_cast<std::uint32_t>(operands));
    // After the parse, which may read the first character beyond ASCII.
    if (characters_to_check()) [[unlikely]]
      check_define_characters(rest);
    return;
  }
  lex_directive(line, plain_name, plain);
  if (tokens_.size() < 2) return;  // the null directive
  if (characters_to_check()) [[unlikely]]
    check_directive_characters();
  const std::span<const Token> tokens(tokens_);
  const Token& name_token = tokens[1];
  const std::string_view name = name_token.text;
  const std::span<const Token> rest = tokens.subspan(2);
  if (name == "define" && frame.guard != FileFrame::Guard::expect_ifndef &&
      frame.guard != FileFrame::Guard::after_endif && name_token.kind == TokenKind::identifier) {
    define(rest);
    return;
  }
  const bool opens = name == "if" || name == "ifdef" || name == "ifndef";
  const bool conditional = opens || name == "elif" || name == "else" || name == "endif" ||
                           ((name == "elifdef" || name == "elifndef") && knows_elifdef(lexing_dialect()));
  if (frame.guard == FileFrame::Guard::after_endif ||
      (frame.guard == FileFrame::Guard::expect_ifndef && !opens)) {
    frame.guard = FileFrame::Guard::none;
  }
  if (name_token.kind != TokenKind::identifier) {
    // "# 33 "file"" is a line marker, taken like #line.
    if (name_token.kind == TokenKind::pp_number) {
      line_directive(frame, tokens.subspan(1), line, true);
    } else {
      report(name_token, Severity::error, "invalid preprocessing directive #" + std::string(name));
    }
    return;
  }
  if (conditional) {
    conditional_directive(frame, name, rest);
  } else if (name == "define") {
    define(rest);
  } else if (name == "undef") {
    undefine(rest);
  } else if (name == "include") {
    include(frame, IncludeKind::include, rest, line);
  } else if (name == "include_next") {
    include(frame, IncludeKind::include_next, rest, line);
  } else if (name == "import") {
    include(frame, IncludeKind::import, rest, line);
  } else if (name == "pragma") {
    pragma(frame, rest);
  } else if (name == "error" || name == "warning") {
    report_lexed_names(rest);
    message(name, rest);
  } else if (name == "line") {
    line_directive(frame, rest, line, false);
  } else {
    rare_directive(name, rest);
  }
}

void Preprocessor::lex_directive(std::string_view line, std::string_view name, bool plain) {
  const std::size_t needed = tokens_needed(name);
  const bool include = name == "include" || name == "include_next" || name == "import";
  if (plain && (needed != SIZE_MAX || include)) {
    // Most of these lines are "#endif", "#ifndef NAME", "#include <file.h>"
    // and the like, with at most a comment after them: read without the
    // lexer.
    const std::string_view rest =
        line.substr(static_cast<std::size_t>(name.data() + name.size() - line.data()));
    const std::optional<std::string_view> operand =
        include ? plain_header_name(rest) : plain_directive_operand(rest);
    if (operand) {
      tokens_.clear();
      const auto push = [&](std::string_view text, TokenKind kind, bool space_before) {
        const auto begin = static_cast<std::uint32_t>(text.data() - line.data());
        tokens_.push_back({text, begin, begin + static_cast<std::uint32_t>(text.size()), kind, space_before});
      };
      // A plain line has only blanks before its `#`.
      std::size_t hash_at = 0;
      while (line[hash_at] != '#') ++hash_at;
      push(line.substr(hash_at, 1), TokenKind::punctuator, hash_at > 0);
      push(name, TokenKind::identifier, name.data() > line.data() + hash_at + 1);
      const bool space = operand->data() > rest.data();
      if (include && operand->front() == '<') {
        // The #include reads the bytes between the brackets as they stand.
        push(operand->substr(0, 1), TokenKind::punctuator, space);
        push(operand->substr(operand->size() - 1), TokenKind::punctuator, false);
      } else if (include) {
        push(*operand, TokenKind::string_literal, space);
      } else if (!operand->empty()) {
        push(*operand, TokenKind::identifier, true);
      }
      return;
    }
  }
  lexer_.lex(line, tokens_, needed);
}

void Preprocessor::report_extra_tokens(std::string_view directive, const Token& first) {
  // -Wno-endif-labels lets text follow #else and #endif.
  if (!diagnostic_rules().endif_labels && (directive == "#else" || directive == "#endif")) return;
  report(first, Severity::pedwarn, "extra tokens at end of " + std::string(directive) + " directive");
}

void Preprocessor::check_end_expanded(std::string_view directive, std::span<const Token> extra) {
  if (extra.empty()) return;
  const FileFrame& frame = *frames_.back();
  std::vector<Token> expanded;
  expander_.expand_directive(extra, ExpandedFor::directive, {frame.path, frame.line}, expanded);
  check_end(directive, expanded);
}

std::intmax_t Preprocessor::has_feature(std::string_view test) {
  if (facts_ == nullptr) return 0;
  if (!facts_->knows(test)) {
    // One probe for every test of the text at hand rather than one for each.
    std::vector<std::string> tests = feature_tests_in(frames_.empty() ? "" : frames_.back()->text_in_hand);
    tests.emplace_back(test);
    facts_->learn_features(tests);
  }
  const std::string_view answer = facts_->feature(test);
  std::intmax_t value = 0;
  std::from_chars(answer.data(), answer.data() + answer.size(), value);
  return value;
}

bool Preprocessor::is_defined(std::string_view name) {
  const Macro* macro = table_.find(name);
  if (macro == nullptr || poisoned(*macro) || variadic_stand_in(*macro)) return false;
  macro->mark_used();
  return true;
}

}  // namespace sornik::cmode
