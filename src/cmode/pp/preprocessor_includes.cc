// The directives that read other files (#include and its kin) and the header
// search of __has_include.
#include <algorithm>
#include <cerrno>
#include <cstring>
#include <string>

#include "cmode/pp/define_directive.h"
#include "cmode/pp/preprocessor.h"
#include "common/name_hash.h"
#include "common/run_io.h"

namespace sornik::cmode {

namespace {

// Nesting deeper than this is refused, as by the C compiler.
constexpr std::size_t kMaxIncludeDepth = 200;
// Files that include themselves more than once without a guard would take
// exponential time within the depth limit: a translation unit reads at most
// this many files.
constexpr std::size_t kMaxIncludes = 20000;

}  // namespace

HeaderForm header_name_of_tokens(std::span<const Token> tokens, std::string& name, std::size_t& taken) {
  if (tokens.empty()) return HeaderForm::none;
  if (tokens[0].kind == TokenKind::string_literal && tokens[0].text.front() == '"') {
    name = tokens[0].text.substr(1, tokens[0].text.size() - 2);
    taken = 1;
    return HeaderForm::quoted;
  }
  if (!tokens[0].is("<")) return HeaderForm::none;
  name.clear();
  for (taken = 1; taken < tokens.size(); ++taken) {
    if (tokens[taken].is(">")) {
      ++taken;
      return HeaderForm::angled;
    }
    if (tokens[taken].space_before) name += ' ';
    name.append(tokens[taken].text);
  }
  return HeaderForm::unended;
}

HeaderForm Preprocessor::header_name(std::span<const Token> operand, std::string_view line,
                                     std::string& name) {
  if (!operand.empty() && (operand[0].is("<") || operand[0].text.front() == '"')) {
    // Written out, a header name is one token up to the first closing byte
    // on the line, whatever tokens or comments its bytes would otherwise
    // make (<a->, <sub//a.h>, "a\"): a backslash escapes nothing. A '<'
    // without its '>' on its physical line (splices aside: a comment may
    // carry the directive on) is a token of its own.
    const bool angled = operand[0].is("<");
    const std::size_t open = angled ? operand[0].end : operand[0].begin + 1;
    const std::size_t close = line.find(angled ? '>' : '"', open);
    if (close != std::string_view::npos) {
      name.clear();
      append_without_splices(name, line.substr(open, close - open));
    }
    if (close != std::string_view::npos && name.find('\n') == std::string::npos) {
      Lexer lexer;
      std::vector<Token> rest;
      lexer.lex(line.substr(close + 1), rest);
      check_end_expanded("#include", rest);
      return angled ? HeaderForm::angled : HeaderForm::quoted;
    }
  }
  std::size_t taken = 0;
  HeaderForm form = header_name_of_tokens(operand, name, taken);
  std::vector<Token> expanded;
  if (form == HeaderForm::none || form == HeaderForm::unended) {
    // A name that macros make: the compiler glues the tokens they expand to.
    const FileFrame& frame = *frames_.back();
    expander_.expand_directive(operand, ExpandedFor::header_name, {frame.path, frame.line}, expanded);
    operand = expanded;
    form = header_name_of_tokens(operand, name, taken);
  }
  if (form == HeaderForm::unended) {
    report(Severity::error, "missing terminating > character");
    return form;
  }
  if (form != HeaderForm::none) check_end_expanded("#include", operand.subspan(taken));
  return form;
}

void Preprocessor::include(FileFrame& frame, IncludeKind kind, std::span<const Token> rest,
                           std::string_view line) {
  std::string name;
  const char* directive = kind == IncludeKind::include  ? "#include"
                          : kind == IncludeKind::import ? "#import"
                                                        : "#include_next";
  if (kind != IncludeKind::include) gnu_directive(directive + 1);
  const HeaderForm form = header_name(rest, line, name);
  if (form == HeaderForm::none) {
    report(rest.empty() ? kAtLineEnd : rest[0].begin, Severity::error,
           std::string(directive) + " expects \"FILENAME\" or <FILENAME>");
    return;
  }
  const bool quoted = form == HeaderForm::quoted;
  if (name.empty()) {
    report(Severity::error, "empty filename in " + std::string(directive));
    return;
  }
  std::size_t start = 0;
  if (kind == IncludeKind::include_next) {
    if (frame.is_source || frame.header == nullptr) {
      report(Severity::warning, "#include_next in primary source file");
      kind = IncludeKind::include;
    } else {
      start = static_cast<std::size_t>(frame.chain_index) + 1;
    }
  }
  if (includes_read_ >= kMaxIncludes) {
    if (includes_read_++ == kMaxIncludes) {
      report(Severity::warning, "more than " + std::to_string(kMaxIncludes) +
                                    " files included; the rest of the #include directives are skipped");
    }
    return;
  }
  if (frames_.size() >= kMaxIncludeDepth) {
    report(Severity::warning, "#include nested depth " + std::to_string(frames_.size()) +
                                  " exceeds maximum of " + std::to_string(kMaxIncludeDepth));
    return;
  }
  if (kind != IncludeKind::include_next && !quoted) start = search_.bracket_start();
  const FoundHeader found = search_.find(name, quoted && kind != IncludeKind::include_next, frame.dir, start);
  if (found.file != nullptr &&
      (once_.contains(found.file) || (!found.file->guard.empty() && is_defined(found.file->guard)))) {
    return;
  }
  if (found.file == nullptr || !IncludeSearch::restore_text(*found.file)) {
    report(Severity::error, name + ": " + std::strerror(found.file == nullptr ? found.error : ENOENT));
    return;
  }
  if (kind == IncludeKind::import) once_.insert(found.file);
  // gcc names the headers of the source, not those of -include files.
  if (show_headers_ && frames_.front()->is_source)
    err_write(std::string(frames_.size(), '.') + " " + found.file->path + "\n");
  read_header(found, found.system || (found.chain_index < 0 && frame.system_header));
  // A shut header is seldom read again in its unit (its guard undefined):
  // unless later units follow, its memory serves the next header. One that
  // included itself is still being read further out.
  if (!keep_header_texts_ && found.file->readings == 0 &&
      (!found.file->guard.empty() || once_.contains(found.file))) {
    IncludeSearch::drop_text(*found.file);
  }
}

void Preprocessor::read_header(const FoundHeader& found, bool system_header) {
  ++includes_read_;
  if (!system_header) watch_for_counter(*found.file);
  if (show_headers_) ++header_readings_[found.file];
  FileFrame child;
  child.path = found.file->path;
  child.dir = IncludeSearch::directory_of(found.file->path);
  child.chain_index = found.chain_index;
  child.header = found.file;
  child.system_header = system_header;
  read_text(child, found.file->text);
  if (expander_.reading_arguments()) [[unlikely]] {
    // The line the compiler's lexer stands on at the file's end: the last
    // one, a final newline opening no other.
    const std::string_view text = found.file->text;
    const bool newline_ended = !text.empty() && text.back() == '\n';
    expander_.end_arguments_in_header(child.path, child.line - (newline_ended ? 1 : 0));
  }
}

void Preprocessor::list_unguarded_headers() {
  std::vector<std::string_view> unguarded;
  for (const auto& [file, readings] : header_readings_) {
    if (readings == 1 && file->guard.empty() && !once_.contains(file)) unguarded.push_back(file->path);
  }
  header_readings_.clear();
  if (unguarded.empty()) return;
  std::sort(unguarded.begin(), unguarded.end());
  std::string text = "Multiple include guards may be useful for:\n";
  for (std::string_view path : unguarded) (text += path) += '\n';
  err_write(text);
}

FoundHeader Preprocessor::find_command_line_header(const std::string& name) {
  // Quoted, from the directory of no includer: the current one.
  return search_.find(name, true, {}, 0);
}

int Preprocessor::include_file(const std::string& name) {
  const FoundHeader found = find_command_line_header(name);
  if (found.file == nullptr) return found.error;
  if (once_.contains(found.file) || (!found.file->guard.empty() && is_defined(found.file->guard))) return 0;
  if (!IncludeSearch::restore_text(*found.file)) return ENOENT;
  read_header(found, found.system);
  return 0;
}

void Preprocessor::expand_operand(std::span<const Token> written, std::vector<Token>& out) {
  const FileFrame& frame = *frames_.back();
  expander_.expand_directive(written, ExpandedFor::condition, {frame.path, frame.line}, out);
}

bool Preprocessor::header_found(std::string_view name, bool angled, bool next) {
  const FileFrame& frame = *frames_.back();
  std::size_t start = angled || next ? search_.bracket_start() : 0;
  if (next && frame.header != nullptr && !frame.is_source)
    start = static_cast<std::size_t>(frame.chain_index) + 1;
  return search_.find(name, !angled && !next, frame.dir, start).file != nullptr;
}

}  // namespace sornik::cmode
