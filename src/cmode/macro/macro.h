// One macro as #define (or the preprocessor itself) made it, in a single block.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <span>
#include <string>
#include <string_view>

#include "cmode/lex/token.h"
#include "cmode/lex/universal_names.h"

namespace sornik::cmode {

// One token of a replacement list; its text is Macro::text(token), which
// ends where the next token (after its blank) begins. Four bytes: a long
// replacement list has many of them.
struct BodyToken {
  std::uint32_t begin : 28 = 0;  // where the text starts in the replacement text
  TokenKind kind : 3 = TokenKind::other;
  bool space_before : 1 = false;
};
static_assert(sizeof(BodyToken) == 4 && static_cast<int>(TokenKind::comment) < 8);

// The longest replacement text a macro holds (its token offsets have 28
// bits); a longer one ends the run as memory that cannot be had.
inline constexpr std::size_t kLargestReplacement = (std::size_t{1} << 28) - 1;

class Macro;

// What a macro made by the preprocessor itself stands for (builtin_macros.h
// lists them); `none` for every macro a #define made.
enum class Builtin : std::uint8_t {
  none,
  file,           // the name of the file being read, as a string literal
  line,           // the line of the use
  pragma,         // _Pragma ( string-literal ), which becomes a #pragma line
  operator_name,  // an operator of #if (__has_include, ...): answers `defined`, never replaced
  feature_test,   // __has_attribute and kin: an operator of #if, the compiler's answer in code
  date,           // the date of the run, "Mmm dd yyyy"
  time,           // the time of the run, "hh:mm:ss"
  timestamp,      // when the file being read was last changed
  counter,        // 0, 1, 2 ... at each use in a translation unit
  include_level,  // how deep in #include the file being read is
  base_file,      // the source file of the translation unit, as a string literal
  file_name,      // the last part of __FILE__'s name
  poisoned,       // a name that #pragma GCC poison forbids: never defined, an error where used
  variadic_name,  // __VA_ARGS__ or __VA_OPT__ till a #define names it: undefined (see warned_at_use)
};

// Sets Token::system_macro (or ExpToken's) of `tokens`, one expansion of
// `macro` (a system header's macro when `system`): each stands in it as the
// innermost expansion, and those whose text lies in its replacement text
// were spelled there (the others came from its arguments).
template <typename Tokens>
void mark_expansion(const Macro& macro, bool system, Tokens&& tokens);

// Gives a macro's block back to the macro store.
struct MacroDeleter {
  void operator()(const Macro* macro) const;
};
using MacroPtr = std::unique_ptr<Macro, MacroDeleter>;

// The sizes of a macro to be made; the names and texts follow once it is.
struct MacroShape {
  std::string_view name;
  bool function_like = false;
  // The last parameter takes the variable arguments: "..." (named
  // "__VA_ARGS__") or a GNU named one ("args...", named "args").
  bool variadic = false;
  std::size_t param_count = 0;
  std::size_t param_bytes = 0;  // of all parameter names together
  std::size_t text_size = 0;    // of the replacement text
  Builtin builtin = Builtin::none;
};

// How the definition spelled one `#` or `##` operator where the normalised
// replacement text cannot tell (flags): the C compiler warns about a
// redefinition that differs only there.
enum OperatorMark : char {
  kSpacingDiffers = 1,  // a blank after a stringizing `#`, none before a `##`
  kDigraph = 2,         // written `%:` or `%:%:`
};

// One macro as #define made it, in a single block: the name, the parameter
// names and the replacement text follow the fixed part, so that a million
// macros cost a million small blocks. The replacement list's tokens are made
// from its text when they are first asked for, in a block of their own: most
// macros are never expanded (a listing expands none), and their tokens would
// cost more than their text.
class Macro {
 public:
  // A macro of that shape with its name set; the caller sets each parameter
  // (in order) and the replacement text.
  static MacroPtr make(const MacroShape& shape);
  // As make(shape), with these operator marks after the replacement text.
  static MacroPtr make(const MacroShape& shape, std::string_view operator_marks);

  // A copy of `macro`, which makes its tokens anew when asked.
  static MacroPtr copy(const Macro& macro);

  Macro(const Macro&) = delete;
  Macro& operator=(const Macro&) = delete;

  std::string_view name() const { return {chars(), name_size_}; }
  bool function_like() const { return function_like_; }
  bool variadic() const { return (forms_ & kVariadic) != 0; }
  Builtin builtin() const { return builtin_; }
  // Whether the name is __VA_ARGS__ or __VA_OPT__, which the compiler warns
  // of wherever it is written outside a variadic macro's replacement list,
  // the stand-in and a #define of the name alike.
  bool warned_at_use() const { return (forms_ & kWarnedAtUse) != 0; }
  // Whether a use of the name is replaced: every macro but the operator
  // names of #if.
  bool replaced() const { return builtin_ != Builtin::operator_name; }

  std::size_t param_count() const { return param_count_; }
  std::string_view param(std::size_t index) const {
    const ParamRef& ref = params()[index];
    return {chars() + name_size_ + ref.begin, ref.size};
  }
  // The index of the parameter named `name`, or -1. A parameter keeps its
  // spelling, and it and `name` may each write a character as a universal
  // character name or in UTF-8: they name the same parameter.
  int param_index(std::string_view name) const {
    for (std::size_t i = 0; i < param_count_; ++i) {
      if (param(i) == name) return static_cast<int>(i);
    }
    return universal_names_met() ? spelled_param_index(name) : -1;
  }

  // The replacement list: no blank at either end, one blank where the source
  // had white space, " ##" for every paste, "#" glued to the parameter it
  // stringifies (the C compiler's listing of a definition). Its tokens keep
  // their address while the macro lives.
  std::span<const BodyToken> body() const {
    if (tokens_ == nullptr && text_size_ != 0) make_tokens();
    return {tokens_, token_count_};
  }
  // The text of a token of body().
  std::string_view text(const BodyToken& token) const {
    const BodyToken* next = &token + 1;
    const std::uint32_t end =
        next == tokens_ + token_count_ ? text_size_ : next->begin - (next->space_before ? 1 : 0);
    return {replacement_data() + token.begin, end - token.begin};
  }
  std::string_view replacement() const { return {replacement_data(), text_size_}; }
  // An OperatorMark for each `#` and `##` operator of the replacement list,
  // in order; empty when every one is spelled as the normalised text reads
  // (most macros, whatever their operators).
  std::string_view operator_marks() const {
    return (forms_ & kMarked) == 0 ? std::string_view() : stored_operator_marks();
  }
  // Whether a token of body() is that punctuator, as spelled.
  bool is_punctuator(const BodyToken& token, std::string_view punctuator) const {
    return token.kind == TokenKind::punctuator && text(token) == punctuator;
  }

  // Whether the macro's name stands disabled because an expansion of it is
  // being rescanned: the expander sets and clears this on the definition the
  // table holds, so that a use finds it without searching the expansions in
  // progress.
  bool expanding() const { return expanding_; }
  void set_expanding(bool expanding) const { expanding_ = expanding; }

  // Whether the macro has been expanded or asked about (#ifdef, defined)
  // since its definition, for -Wunused-macros.
  bool used() const { return used_; }
  void mark_used() const { used_ = true; }

  // Where the definition stands: an index of the run's DefinitionFiles (0,
  // built in, until set) and the line of its #define in that file (which
  // counts only for a file of lines: DefinitionFile::has_lines).
  std::uint32_t definition_file() const { return definition_file_; }
  std::uint32_t definition_line() const { return definition_line_; }
  void set_definition_place(std::uint32_t file, std::uint32_t line) {
    definition_file_ = file;
    definition_line_ = line;
  }

  // For filling a macro that make() gave.
  void set_param(std::size_t index, std::string_view name);
  char* replacement_text() { return chars() + name_size_ + param_bytes_; }

  // Gives the macro's blocks back to the macro store.
  void release() const;

 private:
  struct ParamRef {
    std::uint32_t begin;  // after the name
    std::uint32_t size;
  };
  Macro() = default;

  // The operator marks of a macro that has them.
  std::string_view stored_operator_marks() const;
  // param_index for a name that may hold universal character names.
  int spelled_param_index(std::string_view name) const;
  // Lexes the replacement text into the tokens of body().
  void make_tokens() const;
  // The bytes of the macro's own block.
  std::size_t block_size() const;

  // The parts after the fixed one, in this order; with operator marks, the
  // replacement text is followed by their count (4 bytes) and the marks.
  ParamRef* params() const { return reinterpret_cast<ParamRef*>(const_cast<Macro*>(this) + 1); }
  char* chars() const { return reinterpret_cast<char*>(params() + param_count_); }
  const char* replacement_data() const { return chars() + name_size_ + param_bytes_; }

  mutable BodyToken* tokens_ = nullptr;  // null until body() is first asked for
  mutable std::uint32_t token_count_ = 0;
  std::uint32_t name_size_ = 0;
  std::uint32_t param_count_ = 0;
  std::uint32_t param_bytes_ = 0;
  std::uint32_t text_size_ = 0;
  std::uint32_t definition_file_ = 0;
  std::uint32_t definition_line_ = 0;
  bool function_like_ = false;  // a whole byte: read at every use
  // kVariadic, kMarked when operator marks follow the replacement text,
  // kWarnedAtUse for __VA_ARGS__ and __VA_OPT__.
  static constexpr std::uint8_t kVariadic = 1;
  static constexpr std::uint8_t kMarked = 2;
  static constexpr std::uint8_t kWarnedAtUse = 4;
  std::uint8_t forms_ = 0;
  Builtin builtin_ = Builtin::none;
  mutable bool expanding_ = false;
  mutable bool used_ = false;
};

// Appends "#define NAME(PARAMS) BODY" as the C compiler lists definitions,
// without a line end; with `listed_name`, the name spelled as the
// compiler's listing of macros spells it (append_listed_name).
void append_define_line(std::string& out, const Macro& macro, bool listed_name = false);

// Whether two definitions of a name are the same token for token, with
// white space between the same tokens and the same spellings of `#` and
// `##`, so that a redefinition is silent.
bool same_definition(const Macro& a, const Macro& b);

template <typename Tokens>
void mark_expansion(const Macro& macro, bool system, Tokens&& tokens) {
  const std::uint8_t innermost = system ? kInSystemMacro : 0;
  const char* const text = macro.replacement().data();
  const char* const text_end = text + macro.replacement().size();
  const std::less<const char*> before;
  for (auto& token : tokens) {
    const char* const at = token.text.data();
    const bool spelled = system && !before(at, text) && before(at, text_end);
    token.system_macro = static_cast<std::uint8_t>((token.system_macro & kSpelledInSystemMacro) |
                                                   (spelled ? kSpelledInSystemMacro : 0) | innermost);
  }
}

}  // namespace sornik::cmode
