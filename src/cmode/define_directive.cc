#include "cmode/define_directive.h"

#include <algorithm>

namespace sornik::cmode {

namespace {

constexpr std::string_view kVaArgs = "__VA_ARGS__";

bool is(const Token& token, std::string_view text) {
  return token.kind == TokenKind::punctuator && token.text == text;
}
bool is_paste(const Token& token) { return is(token, "##") || is(token, "%:%:"); }
bool is_hash(const Token& token) { return is(token, "#") || is(token, "%:"); }

std::string quoted(std::string_view text) {
  std::string out = "\"";
  out.append(text);
  out += '"';
  return out;
}

// The parameter list of a function-like macro, as tokens from its "(" to
// its ")".
struct ParamList {
  std::span<const Token> tokens;
  std::size_t count = 0;
  std::size_t bytes = 0;  // of the names together
  bool variadic = false;
  bool va_args = false;  // the variable arguments are named __VA_ARGS__

  // Calls visit(name) for each parameter in order.
  template <typename Visit>
  void for_each(Visit visit) const {
    for (std::size_t i = 1; i + 1 < tokens.size(); ++i) {
      if (tokens[i].kind == TokenKind::identifier) {
        visit(tokens[i].text);
      } else if (is(tokens[i], "...") && tokens[i - 1].kind != TokenKind::identifier) {
        visit(kVaArgs);
      }
    }
  }
  bool contains(std::string_view name) const {
    bool found = false;
    for_each([&](std::string_view param) {
      found = found || param == name;
    });
    return found;
  }
};

// Reads the parameter list whose "(" is tokens[0]; false with `error` set
// when it is in error.
bool parse_params(std::span<const Token> tokens, ParamList& params, std::string& error) {
  std::size_t i = 1;
  const auto close = [&] {
    params.tokens = tokens.first(i + 1);
    return true;
  };
  if (i < tokens.size() && is(tokens[i], ")")) return close();
  for (;;) {
    if (i == tokens.size()) {
      error = "expected parameter name before end of line";
      return false;
    }
    const Token& name = tokens[i];
    if (is(name, "...")) {
      params.variadic = true;
      params.va_args = true;
      params.bytes += kVaArgs.size();
    } else if (name.kind == TokenKind::identifier) {
      params.tokens = tokens.first(i);
      if (params.contains(name.text)) {
        error = "duplicate macro parameter " + quoted(name.text);
        return false;
      }
      params.bytes += name.text.size();
      if (i + 1 < tokens.size() && is(tokens[i + 1], "...")) {
        params.variadic = true;
        params.va_args = name.text == kVaArgs;
        ++i;
      }
    } else {
      error = "expected parameter name, found " + quoted(name.text);
      return false;
    }
    ++params.count;
    ++i;
    if (params.variadic) {
      if (i < tokens.size() && is(tokens[i], ")")) return close();
      error = "expected ')' after \"...\"";
      return false;
    }
    if (i == tokens.size()) {
      error = "expected ')' before end of line";
      return false;
    }
    if (is(tokens[i], ")")) return close();
    if (!is(tokens[i], ",")) {
      error = "expected ',' or ')', found " + quoted(tokens[i].text);
      return false;
    }
    ++i;
  }
}

// Whether a token may be `#`, `##` or their digraphs, or __VA_ARGS__ or
// __VA_OPT__: only those need a closer look.
inline bool is_special(const Token& token) {
  if (token.kind == TokenKind::punctuator) return token.text[0] == '#' || token.text[0] == '%';
  return token.kind == TokenKind::identifier && token.text[0] == '_' &&
         (token.text == kVaArgs || token.text == "__VA_OPT__");
}

// The replacement list in its normalised spelling, built before the macro
// so that the macro is made with its sizes known; kept from call to call.
struct NormalisedBody {
  std::string bytes;  // the text is its first `size` bytes
  std::size_t size = 0;
  std::vector<BodyToken> tokens;  // as many as the replacement list has

  // Sets token `index`; one call to grow the buffer now and then, no more.
  void set(std::size_t index, const Token& token, std::string_view spelling, bool space) {
    if (bytes.size() - size < spelling.size() + 1)
      bytes.resize(std::max(bytes.size() * 2, size + spelling.size() + 64));
    char* out = bytes.data() + size;
    if (space) *out++ = ' ';
    tokens[index] = {static_cast<std::uint32_t>(out - bytes.data()), token.kind, space};
    // Most tokens are a few bytes long: a loop beats a call to memcpy.
    for (const char byte : spelling) *out++ = byte;
    size = static_cast<std::size_t>(out - bytes.data());
  }
  std::string_view text() const { return {bytes.data(), size}; }
};

// Checks the replacement list for the errors that leave a macro undefined,
// collects the warnings and spells it into `out`.
bool check_body(std::span<const Token> body, bool function_like, const ParamList& params, DefineParse& result,
                NormalisedBody& out) {
  out.size = 0;
  out.tokens.resize(body.size());
  bool glue_next = false;  // the parameter after a stringizing "#"
  for (std::size_t i = 0; i < body.size(); ++i) {
    const Token& token = body[i];
    std::string_view spelling = token.text;
    bool space = token.space_before && i != 0 && !glue_next;
    glue_next = false;
    if (is_special(token)) {
      if (is_paste(token)) {
        if (i == 0 || i + 1 == body.size()) {
          result.error = "'##' cannot appear at either end of a macro expansion";
          return false;
        }
        spelling = "##";
        space = true;
      } else if (function_like && is_hash(token)) {
        if (i + 1 == body.size() || body[i + 1].kind != TokenKind::identifier ||
            !params.contains(body[i + 1].text)) {
          result.error = "'#' is not followed by a macro parameter";
          return false;
        }
        spelling = "#";
        glue_next = true;
      } else if (token.text == kVaArgs && !params.va_args) {
        result.warnings.emplace_back("__VA_ARGS__ can only appear in the expansion of a C99 variadic macro");
      } else if (token.text == "__VA_OPT__" && !params.variadic) {
        result.warnings.emplace_back("__VA_OPT__ can only appear in the expansion of a C++20 variadic macro");
      }
    }
    out.set(i, token, spelling, space);
  }
  return true;
}

// The macro named `name` with those parameters and that replacement list.
MacroPtr make_macro(const Token& name, const ParamList& params, bool function_like,
                    const NormalisedBody& body) {
  MacroPtr macro = Macro::make(
      {name.text, function_like, params.variadic, params.count, params.bytes, body.tokens.size(), body.size});
  std::size_t index = 0;
  params.for_each([&](std::string_view param) {
    macro->set_param(index++, param);
  });
  std::copy(body.tokens.begin(), body.tokens.end(), macro->body_tokens());
  std::copy(body.text().begin(), body.text().end(), macro->replacement_text());
  return macro;
}

}  // namespace

DefineParse parse_define(std::span<const Token> tokens) {
  DefineParse result;
  if (tokens.empty()) {
    result.error = "no macro name given in #define directive";
    return result;
  }
  if (tokens[0].kind != TokenKind::identifier) {
    result.error = "macro names must be identifiers";
    return result;
  }
  if (tokens[0].text == "defined") {
    result.error = "\"defined\" cannot be used as a macro name";
    return result;
  }
  ParamList params;
  const bool function_like = tokens.size() > 1 && is(tokens[1], "(") && !tokens[1].space_before;
  if (function_like && !parse_params(tokens.subspan(1), params, result.error)) return result;
  const std::span<const Token> body = tokens.subspan(1 + params.tokens.size());
  static thread_local NormalisedBody normalised;
  if (!check_body(body, function_like, params, result, normalised)) return result;
  result.macro = make_macro(tokens[0], params, function_like, normalised);
  return result;
}

bool same_definition(const Macro& a, const Macro& b) {
  if (a.function_like() != b.function_like() || a.variadic() != b.variadic() ||
      a.param_count() != b.param_count() || a.replacement() != b.replacement()) {
    return false;
  }
  for (std::size_t i = 0; i < a.param_count(); ++i) {
    if (a.param(i) != b.param(i)) return false;
  }
  return true;
}

void append_define_line(std::string& out, const Macro& macro) {
  out += "#define ";
  out += macro.name();
  if (macro.function_like()) {
    out += '(';
    const std::size_t count = macro.param_count();
    for (std::size_t i = 0; i < count; ++i) {
      if (i != 0) out += ',';
      const bool last = i + 1 == count;
      if (last && macro.variadic() && macro.param(i) == kVaArgs) {
        out += "...";
      } else {
        out += macro.param(i);
        if (last && macro.variadic()) out += "...";
      }
    }
    out += ')';
  }
  out += ' ';
  out += macro.replacement();
}

}  // namespace sornik::cmode
