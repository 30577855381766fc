#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "cmode/lex/dialect.h"
#include "cmode/lex/token.h"

namespace sornik {

// The spellings of the preprocessing tokens of `code`, for comparing token
// sequences whatever the white space: trigraphs converted where the lexing
// dialect converts them.
inline std::vector<std::string> token_texts(std::string_view code) {
  cmode::Lexer lexer;
  std::vector<cmode::Token> tokens;
  if (cmode::lexing_dialect().trigraphs) {
    lexer.lex_converting(code, tokens);
  } else {
    lexer.lex(code, tokens);
  }
  std::vector<std::string> texts;
  for (const cmode::Token& token : tokens) texts.emplace_back(token.text);
  return texts;
}

}  // namespace sornik
