#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "cmode/lex/dialect.h"
#include "cmode/lex/token.h"
#include "cmode/lex/universal_names.h"

namespace sornik {

// The spellings of the preprocessing tokens of `code`, for comparing token
// sequences whatever the white space: trigraphs converted where the lexing
// dialect converts them, and identifiers in UTF-8, however they spell their
// characters (\u00aa, \U000000AA and the compiler's \U000000aa are one).
inline std::vector<std::string> token_texts(std::string_view code) {
  cmode::Lexer lexer;
  std::vector<cmode::Token> tokens;
  if (cmode::lexing_dialect().trigraphs) {
    lexer.lex_converting(code, tokens);
  } else {
    lexer.lex(code, tokens);
  }
  std::vector<std::string> texts;
  for (const cmode::Token& token : tokens) {
    std::string& text = texts.emplace_back();
    if (token.kind == cmode::TokenKind::identifier && cmode::spells_universal_names(token.text)) {
      cmode::append_utf8_name(text, token.text);
    } else {
      text = token.text;
    }
  }
  return texts;
}

}  // namespace sornik
