#include "cmode/define_directive.h"

#include <algorithm>
#include <cstring>

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

// Reads the parameter list whose "(" is tokens[0]; returns the number of
// tokens it took, or 0 with `error` set.
std::size_t parse_params(std::span<const Token> tokens, Macro& macro, std::string& error) {
  std::size_t i = 1;
  if (i < tokens.size() && is(tokens[i], ")")) return i + 1;
  for (;;) {
    if (i == tokens.size()) {
      error = "expected parameter name before end of line";
      return 0;
    }
    const Token& name = tokens[i];
    if (is(name, "...")) {
      macro.variadic = true;
      macro.params.emplace_back(kVaArgs);
    } else if (name.kind == TokenKind::identifier) {
      if (std::find(macro.params.begin(), macro.params.end(), name.text) != macro.params.end()) {
        error = "duplicate macro parameter " + quoted(name.text);
        return 0;
      }
      macro.params.emplace_back(name.text);
      if (i + 1 < tokens.size() && is(tokens[i + 1], "...")) {
        macro.variadic = true;
        ++i;
      }
    } else {
      error = "expected parameter name, found " + quoted(name.text);
      return 0;
    }
    ++i;
    if (macro.variadic) {
      if (i < tokens.size() && is(tokens[i], ")")) return i + 1;
      error = "expected ')' after \"...\"";
      return 0;
    }
    if (i == tokens.size()) {
      error = "expected ')' before end of line";
      return 0;
    }
    if (is(tokens[i], ")")) return i + 1;
    if (!is(tokens[i], ",")) {
      error = "expected ',' or ')', found " + quoted(tokens[i].text);
      return 0;
    }
    ++i;
  }
}

bool is_param(const Macro& macro, std::string_view name) {
  return std::find(macro.params.begin(), macro.params.end(), name) != macro.params.end();
}

// Checks the replacement list for the errors that leave a macro undefined
// and collects the warnings.
// Whether a token may be `#`, `##` or their digraphs, or __VA_ARGS__ or
// __VA_OPT__: only those need a closer look.
bool is_special(const Token& token) {
  const char first = token.text[0];
  if (token.kind == TokenKind::punctuator) return first == '#' || first == '%';
  return token.kind == TokenKind::identifier && first == '_' &&
         (token.text == kVaArgs || token.text == "__VA_OPT__");
}

bool check_body(std::span<const Token> body, const Macro& macro, DefineParse& result) {
  for (std::size_t i = 0; i < body.size(); ++i) {
    const Token& token = body[i];
    if (!is_special(token)) continue;
    if (is_paste(token) && (i == 0 || i + 1 == body.size())) {
      result.error = "'##' cannot appear at either end of a macro expansion";
      return false;
    }
    if (macro.function_like && is_hash(token) &&
        (i + 1 == body.size() || body[i + 1].kind != TokenKind::identifier ||
         !is_param(macro, body[i + 1].text))) {
      result.error = "'#' is not followed by a macro parameter";
      return false;
    }
    if (token.text == kVaArgs && !(macro.variadic && macro.params.back() == kVaArgs)) {
      result.warnings.emplace_back("__VA_ARGS__ can only appear in the expansion of a C99 variadic macro");
    } else if (token.text == "__VA_OPT__" && !macro.variadic) {
      result.warnings.emplace_back("__VA_OPT__ can only appear in the expansion of a C++20 variadic macro");
    }
  }
  return true;
}

// Copies the replacement list into the macro's storage in its normalised
// spelling; token texts and offsets then refer to the storage.
void store_body(std::span<const Token> body, Macro& macro) {
  std::size_t size = 0;
  for (const Token& token : body) size += token.text.size() + 3;
  macro.storage.resize(size);
  macro.body.resize(body.size());
  char* const storage = macro.storage.data();
  std::size_t used = 0;
  bool glue_next = false;  // the parameter after a stringizing "#"
  for (std::size_t i = 0; i < body.size(); ++i) {
    const Token& source = body[i];
    Token& token = macro.body[i];
    token.kind = source.kind;
    std::string_view spelling = source.text;
    bool space = source.space_before && i != 0 && !glue_next;
    glue_next = false;
    if (is_special(source)) {
      if (is_paste(source)) {
        spelling = "##";
        space = true;
      } else if (macro.function_like && is_hash(source)) {
        spelling = "#";
        glue_next = true;
      }
    }
    token.space_before = space;
    if (space) storage[used++] = ' ';
    token.begin = static_cast<std::uint32_t>(used);
    std::memcpy(storage + used, spelling.data(), spelling.size());
    used += spelling.size();
    token.end = static_cast<std::uint32_t>(used);
    token.text = std::string_view(storage + token.begin, spelling.size());
  }
  macro.storage.resize(used);
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
  auto macro = std::make_unique<Macro>();
  macro->name = tokens[0].text;
  std::size_t body_start = 1;
  if (tokens.size() > 1 && is(tokens[1], "(") && !tokens[1].space_before) {
    macro->function_like = true;
    const std::size_t taken = parse_params(tokens.subspan(1), *macro, result.error);
    if (taken == 0) return result;
    body_start += taken;
  }
  const std::span<const Token> body = tokens.subspan(body_start);
  if (!check_body(body, *macro, result)) return result;
  store_body(body, *macro);
  result.macro = std::move(macro);
  return result;
}

bool same_definition(const Macro& a, const Macro& b) {
  return a.function_like == b.function_like && a.variadic == b.variadic && a.params == b.params &&
         a.storage == b.storage;
}

std::unique_ptr<Macro> copy_macro(const Macro& macro) {
  auto copy = std::make_unique<Macro>(macro);
  const std::string_view storage = copy->storage;
  for (Token& token : copy->body) token.text = storage.substr(token.begin, token.end - token.begin);
  return copy;
}

void append_define_line(std::string& out, const Macro& macro) {
  out += "#define ";
  out += macro.name;
  if (macro.function_like) {
    out += '(';
    for (std::size_t i = 0; i < macro.params.size(); ++i) {
      if (i != 0) out += ',';
      const bool last = i + 1 == macro.params.size();
      if (last && macro.variadic && macro.params[i] == kVaArgs) {
        out += "...";
      } else {
        out += macro.params[i];
        if (last && macro.variadic) out += "...";
      }
    }
    out += ')';
  }
  out += ' ';
  out += macro.storage;
}

}  // namespace sornik::cmode
