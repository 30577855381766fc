// Parsing #define lines into macros, with the fast path for plainly written ones.
#include "cmode/pp/define_directive.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <deque>
#include <optional>
#include <unordered_set>

#include "cmode/lex/dialect.h"
#include "cmode/lex/universal_names.h"
#include "cmode/pp/define_tokens.h"
#include "common/name_hash.h"

namespace sornik::cmode {

namespace {

using namespace define_tokens;

// __VA_ARGS__ or __VA_OPT__ where the macro's variable arguments do not
// stand for it (variadic_name_warning).
[[gnu::cold]] [[gnu::noinline]] void warn_variadic_name(DefineParse& result, std::string_view name,
                                                        bool in_variadic_body, std::uint32_t at) {
  const std::string_view warning = variadic_name_warning(name, in_variadic_body);
  if (!warning.empty())
    result.warnings.push_back({Severity::pedwarn, std::string(warning), Warning::none, at});
}

// The error that leaves the macro undefined, pointing at `at`; false, for
// the parse to return.
[[gnu::cold]] [[gnu::noinline]] bool fail(DefineParse& result, std::string text, std::uint32_t at) {
  result.error = std::move(text);
  result.error_at = at;
  return false;
}

// Where the compiler points at a misplaced `#` or `##` of a replacement
// list: the macro's name (the first token), or the `)` of its parameters.
template <typename Source>
[[gnu::cold]] std::uint32_t head_offset(const Source& source, bool function_like) {
  return function_like ? source.first_offset(")") : source.start_offset();
}

// The diagnostic of a replacement list that begins right after the macro's
// name with `token`. C99 and C++11 require white space there; C90 (and
// C++98) allows a character of the basic set.
// The compiler points at the name, at `name_at`.
[[gnu::cold]] [[gnu::noinline]] Finding missing_space(const DefineToken& token, std::uint32_t name_at) {
  const Dialect& dialect = lexing_dialect();
  if (follows_c99(dialect)) {
    return {Severity::pedwarn,
            dialect.cplusplus ? "ISO C++11 requires whitespace after the macro name"
                              : "ISO C99 requires whitespace after the macro name",
            Warning::none, name_at};
  }
  const bool basic =
      token.kind != TokenKind::other ||
      std::string_view("!\"#%&'()*+,-./:;<=>?[\\]^{|}~").find(token.text[0]) != std::string_view::npos;
  return {basic ? Severity::warning : Severity::pedwarn, "missing whitespace after the macro name",
          Warning::none, name_at};
}

// A token of the replacement list as the macro's text spells it.
struct Spelling {
  std::string_view text;
  bool space_before = false;
};

// What a #define line holds besides its name, as its parse finds it; kept
// from call to call so that its arrays are allocated once.
struct DefineParts {
  // The parameter names (views into the line) by their UTF-8 spelling, and,
  // once one is written with a universal character name, all as written: a
  // redefinition must spell them alike.
  std::vector<std::string_view> params;
  std::vector<std::string_view> spelled_params;
  bool spelled_apart = false;                      // spelled_params is kept
  std::unordered_set<std::string_view> param_set;  // `params` once there are many
  std::size_t param_bytes = 0;
  bool variadic = false;
  bool va_args = false;  // the variable arguments are named __VA_ARGS__

  // The replacement list: its first `token_count` tokens with their
  // normalised spellings, and the size of the normalised text.
  std::size_t token_count = 0;
  std::size_t text_size = 0;
  std::vector<Spelling> spellings;
  // Whether the normalised text stands in the line as it is: the spellings
  // and blanks of the tokens following each other without a gap.
  bool verbatim = true;
  // An OperatorMark for each `#` and `##` operator.
  std::vector<char> marks;
  // The UTF-8 spellings of names written with universal character names
  // (cleared once universal character names have been met).
  std::deque<std::string> utf8_names;

  void clear() {
    params.clear();
    spelled_params.clear();
    spelled_apart = false;
    param_set.clear();
    param_bytes = 0;
    variadic = va_args = false;
    token_count = text_size = 0;
    verbatim = true;
    marks.clear();
  }
  // The name an identifier's spelling stands for: itself, or the UTF-8
  // spelling of its universal character names (kept while the parse lasts).
  std::string_view utf8_spelling(std::string_view spelled) {
    if (!universal_names_met() || !spells_universal_names(spelled)) return spelled;
    append_utf8_name(utf8_names.emplace_back(), spelled);
    return utf8_names.back();
  }
  void add_mark(int mark) { marks.push_back(static_cast<char>(mark)); }
  // A blank after the last stringizing `#`, which the normalised text drops.
  void mark_blank_after_hash() { marks.back() = static_cast<char>(marks.back() | kSpacingDiffers); }
  // Whether a mark tells what the normalised text does not.
  bool marked() const {
    return std::any_of(marks.begin(), marks.end(), [](char mark) {
      return mark != 0;
    });
  }
  void add_param(std::string_view name, std::string_view spelled) {
    if (spelled.data() != name.data() && !spelled_apart) {
      spelled_apart = true;
      spelled_params.assign(params.begin(), params.end());
    }
    params.push_back(name);
    if (spelled_apart) spelled_params.push_back(spelled);
    param_bytes += spelled.size();
    if (!param_set.empty()) param_set.insert(name);
  }
  // A short list is searched; a long one (a macro that counts arguments may
  // take thousands) is hashed once it is asked about, so that each name
  // costs the same however many come before it.
  bool has_param(std::string_view name) {
    constexpr std::size_t kSearched = 16;
    if (params.size() < kSearched) return std::find(params.begin(), params.end(), name) != params.end();
    if (param_set.empty()) param_set.insert(params.begin(), params.end());
    return param_set.contains(name);
  }
  std::string_view text_start() const { return spellings[0].text; }
};

// Writes the replacement list into DefineParts. Its counters live here, a
// local of the parse loop that the compiler keeps in registers, and go to
// the parts at the end.
template <bool kOneText>
class BodyWriter {
 public:
  explicit BodyWriter(DefineParts& parts) : parts_(parts) { take_array(); }

  std::size_t count() const { return count_; }

  // Adds a replacement token, spelled `spelling`.
  void add(std::string_view spelling, bool space) {
    if (count_ == capacity_) grow();
    if (kOneText && count_ != 0) {
      verbatim_ = verbatim_ && spelling.data() == spelling_end_ + (space ? 1 : 0) &&
                  (!space || *spelling_end_ == ' ');
    } else {
      verbatim_ = kOneText;
    }
    spelling_end_ = spelling.data() + spelling.size();
    spellings_[count_] = {spelling, space};
    ++count_;
    text_size_ += spelling.size() + (space ? 1 : 0);
  }

  void finish() {
    parts_.token_count = count_;
    parts_.text_size = text_size_;
    parts_.verbatim = verbatim_;
  }

 private:
  void take_array() {
    spellings_ = parts_.spellings.data();
    capacity_ = parts_.spellings.size();
  }
  void grow() {
    parts_.spellings.resize(std::max<std::size_t>(64, capacity_ * 2));
    take_array();
  }

  DefineParts& parts_;
  Spelling* spellings_ = nullptr;
  std::size_t capacity_ = 0;
  std::size_t count_ = 0;
  std::size_t text_size_ = 0;
  bool verbatim_ = true;
  const char* spelling_end_ = nullptr;  // of the last token
};

// Under -pedantic: a named variable argument is no ISO C, an unnamed one no
// C90.
// Both point at the `...`.
template <typename Source>
[[gnu::cold]] void check_variadic_form(const Source& source, const DefineParts& parts, DefineParse& result) {
  const Dialect& dialect = lexing_dialect();
  if (!parts.va_args) {
    result.warnings.push_back({Severity::pedwarn,
                               dialect.cplusplus ? "ISO C++ does not permit named variadic macros"
                                                 : "ISO C does not permit named variadic macros",
                               Warning::variadic_macros, source.first_offset("...")});
  } else if (!follows_c99(dialect)) {
    result.warnings.push_back({Severity::pedwarn,
                               dialect.cplusplus ? "anonymous variadic macros were introduced in C++11"
                                                 : "anonymous variadic macros were introduced in C99",
                               Warning::variadic_macros, source.first_offset("...")});
  }
}

// Reads the parameter list after its "("; false with `error` set when it is
// in error.
template <typename Source>
bool parse_params(Source& source, DefineParts& parts, DefineParse& result) {
  DefineToken token;
  bool more = source.next(token);
  if (more && is(token, ")")) return true;
  // Errors point at the token read, or at the line's end.
  for (;;) {
    if (!more) return fail(result, "expected parameter name before end of line", kAtLineEnd);
    if (is(token, "...")) {
      parts.variadic = true;
      parts.va_args = true;
      parts.add_param(kVaArgs, kVaArgs);
      more = source.next(token);
    } else if (token.kind == TokenKind::identifier) {
      if (is_variadic_name(token.text))
        warn_variadic_name(result, token.text, false, source.offset(token.text.data()));
      const std::string_view name = parts.utf8_spelling(token.text);
      if (parts.has_param(name))
        return fail(result, "duplicate macro parameter " + quoted(token.text),
                    source.offset(token.text.data()));
      parts.add_param(name, token.text);
      more = source.next(token);
      if (more && is(token, "...")) {
        parts.variadic = true;
        parts.va_args = name == kVaArgs;
        more = source.next(token);
      }
    } else {
      return fail(result, "expected parameter name, found " + quoted(token.text),
                  source.offset(token.text.data()));
    }
    if (parts.variadic) {
      if (more && is(token, ")")) return true;
      return fail(result, "expected ')' after \"...\"", more ? source.offset(token.text.data()) : kAtLineEnd);
    }
    if (!more) return fail(result, "expected ')' before end of line", kAtLineEnd);
    if (is(token, ")")) return true;
    if (!is(token, ","))
      return fail(result, "expected ',' or ')', found " + quoted(token.text),
                  source.offset(token.text.data()));
    more = source.next(token);
  }
}

// Checks the __VA_OPT__ group of a variadic macro's replacement list that
// `tokens`, just past the name `opener`, reads on with, as the compiler
// does: a '(' next, its ')' on the line, no __VA_OPT__ and no `##` at
// either end within. False, with the error, for a wrong group.
template <typename Source>
[[gnu::cold]] [[gnu::noinline]] bool check_va_opt_group(Source tokens, const DefineToken& opener,
                                                        DefineParse& result) {
  constexpr std::string_view kPasteError = "'##' cannot appear at either end of __VA_OPT__";
  const std::uint32_t opener_at = tokens.offset(opener.text.data());
  DefineToken token;
  if (!tokens.next(token)) return fail(result, "unterminated __VA_OPT__", opener_at);
  if (!is(token, "(")) return fail(result, "__VA_OPT__ must be followed by an open parenthesis", opener_at);
  int depth = 1;
  bool first = true;
  bool pasted = false;
  while (depth > 0 && tokens.next(token)) {
    const std::uint32_t at = tokens.offset(token.text.data());
    if (token.kind == TokenKind::identifier && token.text == "__VA_OPT__")
      return fail(result, "__VA_OPT__ may not appear in a __VA_OPT__", at);
    if (first && is_paste(token)) return fail(result, std::string(kPasteError), at);
    const bool after_paste = pasted;
    first = false;
    pasted = is_paste(token);
    depth += is(token, "(") ? 1 : is(token, ")") ? -1 : 0;
    if (depth == 0 && after_paste) return fail(result, std::string(kPasteError), at);
  }
  return depth == 0 || fail(result, "unterminated __VA_OPT__", opener_at);
}

// Reads the replacement list from `token` (when `more`) on: checks it for
// the errors that leave a macro undefined, collects the warnings and spells
// it into `parts`.
template <typename Source>
bool parse_body(Source& source, bool more, DefineToken token, bool function_like, DefineParse& result,
                DefineParts& parts) {
  constexpr std::string_view kHashError = "'#' is not followed by a macro parameter";
  constexpr std::string_view kPasteError = "'##' cannot appear at either end of a macro expansion";
  // A copy that the loop keeps in registers: the rest of the line is read
  // here.
  Source tokens = source;
  BodyWriter<Source::kOneText> body(parts);
  bool glue_next = false;  // the parameter after a stringizing "#"
  bool pasted = false;     // the last token was a paste
  for (; more; more = tokens.next(token)) {
    // `#` stringizes a parameter, or in a variadic macro a __VA_OPT__ group.
    if (glue_next) {
      if (token.kind != TokenKind::identifier || !(parts.has_param(parts.utf8_spelling(token.text)) ||
                                                   (parts.variadic && token.text == "__VA_OPT__"))) {
        return fail(result, std::string(kHashError), head_offset(source, function_like));
      }
      if (token.space_before) parts.mark_blank_after_hash();
    }
    std::string_view spelling = token.text;
    bool space = token.space_before && body.count() != 0 && !glue_next;
    glue_next = false;
    pasted = false;
    if (is_special(token)) {
      if (is_paste(token)) {
        if (body.count() == 0)
          return fail(result, std::string(kPasteError), head_offset(source, function_like));
        // The normalised text has a blank before every paste.
        parts.add_mark((token.space_before ? 0 : kSpacingDiffers) | (spelling.size() != 2 ? kDigraph : 0));
        if (spelling.size() != 2) spelling = "##";
        space = true;
        pasted = true;
      } else if (function_like && is_hash(token)) {
        parts.add_mark(spelling.size() != 1 ? kDigraph : 0);
        if (spelling.size() != 1) spelling = "#";
        glue_next = true;
      } else if (token.kind == TokenKind::identifier) {
        warn_variadic_name(result, token.text, token.text == kVaArgs ? parts.va_args : parts.variadic,
                           tokens.offset(token.text.data()));
        if (parts.variadic && token.text != kVaArgs && !check_va_opt_group(tokens, token, result))
          return false;
      }
    }
    body.add(spelling, space);
  }
  body.finish();
  if (glue_next) return fail(result, std::string(kHashError), head_offset(source, function_like));
  if (pasted) return fail(result, std::string(kPasteError), head_offset(source, function_like));
  return true;
}

// The macro named `name` with the parameters of `parts` and the replacement
// text `text` (of parts.text_size bytes), or, when `text` is null, the one
// that the spellings of `parts` make.
MacroPtr make_macro(std::string_view name, bool function_like, const DefineParts& parts, const char* text) {
  const MacroShape shape{
      name, function_like, parts.variadic, parts.params.size(), parts.param_bytes, parts.text_size};
  MacroPtr macro = parts.marks.empty() || !parts.marked()
                       ? Macro::make(shape)
                       : Macro::make(shape, std::string_view(parts.marks.data(), parts.marks.size()));
  const std::vector<std::string_view>& params = parts.spelled_apart ? parts.spelled_params : parts.params;
  for (std::size_t i = 0; i < params.size(); ++i) macro->set_param(i, params[i]);
  if (parts.text_size == 0) return macro;
  char* out = macro->replacement_text();
  if (text != nullptr) {
    std::memcpy(out, text, parts.text_size);
    return macro;
  }
  if (parts.verbatim) {
    std::memcpy(out, parts.text_start().data(), parts.text_size);
    return macro;
  }
  for (std::size_t i = 0; i < parts.token_count; ++i) {
    const Spelling& spelling = parts.spellings[i];
    if (spelling.space_before) *out++ = ' ';
    // Most tokens are a few bytes long: a loop beats a call to memcpy.
    for (const char byte : spelling.text) *out++ = byte;
  }
  return macro;
}

// Makes the macro of a plain replacement list (see plain_replacement) in
// `result`; false when `rest` is no such list.
bool take_plain_list(std::string_view rest, std::string_view name, bool function_like, DefineParts& parts,
                     DefineParse& result) {
  const std::optional<std::string_view> text = plain_replacement(rest);
  if (!text) return false;
  parts.text_size = text->size();
  result.macro = make_macro(name, function_like, parts, text->data());
  return true;
}

// The UTF-8 spelling of a macro name written with universal character
// names; valid until the next call.
std::string_view utf8_name(std::string_view spelled) {
  static thread_local std::string name;
  name.clear();
  append_utf8_name(name, spelled);
  return name;
}

// Parses the tokens that follow `#define`.
template <typename Source>
DefineParse parse_tokens(Source& source, const MacroTable* table) {
  DefineParse result;
  DefineToken name;
  if (!source.next(name)) {
    fail(result, "no macro name given in #define directive", kAtLineEnd);
    return result;
  }
  if (name.kind != TokenKind::identifier) {
    fail(result, "macro names must be identifiers", source.offset(name.text.data()));
    return result;
  }
  if (name.text == "defined") {
    fail(result, "\"defined\" cannot be used as a macro name", source.offset(name.text.data()));
    return result;
  }
  if (is_variadic_name(name.text))
    warn_variadic_name(result, name.text, false, source.offset(name.text.data()));
  static thread_local DefineParts parts;
  parts.clear();
  if (universal_names_met()) {
    parts.utf8_names.clear();
    if (spells_universal_names(name.text)) name.text = utf8_name(name.text);
  }
  result.name_hash = hash_name(name.text);
  if (table != nullptr) table->prefetch(result.name_hash);
  // A plain replacement list needs no tokens: its text is the macro's. It
  // stands apart from the name (else the name's end is looked at closer).
  if constexpr (Source::kOneText) {
    const std::string_view rest = source.rest();
    if ((byte_row(rest.front()).token & kSpace) != 0 &&
        take_plain_list(rest, name.text, false, parts, result))
      return result;
  }
  DefineToken token;
  bool more = source.next(token);
  const bool function_like = more && is(token, "(") && !token.space_before;
  if (more && !function_like && !token.space_before)
    result.warnings.push_back(missing_space(token, source.start_offset()));
  if (function_like) {
    if (!parse_params(source, parts, result)) return result;
    if (parts.variadic && diagnostic_rules().pedantic) check_variadic_form(source, parts, result);
    if constexpr (Source::kOneText) {
      if (take_plain_list(source.rest(), name.text, true, parts, result)) return result;
    }
    more = source.next(token);
  }
  if (!parse_body(source, more, token, function_like, result, parts)) return result;
  result.macro = make_macro(name.text, function_like, parts, nullptr);
  return result;
}

}  // namespace

DefineParse parse_define(std::span<const Token> tokens) {
  LexedTokens source(tokens);
  return parse_tokens(source, nullptr);
}

DefineParse parse_define_text(std::string_view text, Lexer& lexer, std::vector<Token>& tokens,
                              const MacroTable& table) {
  if (!text.empty() && text.back() == '\n' && !has_splice(text)) {
    LineTokens source(text);
    return parse_tokens(source, &table);
  }
  lexer.lex(text, tokens);
  return parse_define(tokens);
}

}  // namespace sornik::cmode
