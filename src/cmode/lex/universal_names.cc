// Universal character names, their UTF-8 spelling, and the errors for an
// identifier's characters.
#include "cmode/lex/universal_names.h"

#include "cmode/lex/dialect.h"
#include "cmode/lex/identifier_characters.h"

namespace sornik::cmode {

namespace {

int hex_value(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

void append_utf8(std::string& out, char32_t code) {
  if (code < 0x80) {
    out.push_back(static_cast<char>(code));
  } else if (code < 0x800) {
    out.push_back(static_cast<char>(0xC0 | (code >> 6)));
    out.push_back(static_cast<char>(0x80 | (code & 0x3F)));
  } else if (code < 0x10000) {
    out.push_back(static_cast<char>(0xE0 | (code >> 12)));
    out.push_back(static_cast<char>(0x80 | ((code >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (code & 0x3F)));
  } else {
    out.push_back(static_cast<char>(0xF0 | ((code >> 18) & 0x07)));
    out.push_back(static_cast<char>(0x80 | ((code >> 12) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | ((code >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (code & 0x3F)));
  }
}

// The character of the well-formed UTF-8 sequence at the start of `text`
// and its length; 0 when none begins there.
std::size_t utf8_character(std::string_view text, char32_t& code) {
  const std::size_t length = utf8_length(static_cast<unsigned char>(text[0]));
  if (length == 0 || length > text.size()) return 0;
  code = static_cast<unsigned char>(text[0]) & (0x7F >> length);
  for (std::size_t i = 1; i < length; ++i) {
    const auto byte = static_cast<unsigned char>(text[i]);
    if ((byte & 0xC0) != 0x80) return 0;
    code = (code << 6) | (byte & 0x3F);
  }
  return utf8_well_formed(code, length) ? length : 0;
}

// What the compiler reads as a universal character name at all: no
// surrogate, nothing beyond 0x7FFFFFFF and, in C, no basic character but
// `$`, `@` and `` ` `` (C++ takes those as characters no identifier holds).
bool valid_universal_character(char32_t code) {
  if ((code >= 0xD800 && code <= 0xDFFF) || code > 0x7FFFFFFF) return false;
  return code >= 0xA0 || code == '$' || code == '@' || code == '`' || lexing_dialect().cplusplus;
}

}  // namespace

std::size_t universal_name_length(std::string_view text, char32_t& code) {
  if (text.size() < 2 || text[0] != '\\' || (text[1] != 'u' && text[1] != 'U')) return 0;
  const std::size_t length = text[1] == 'u' ? 6 : 10;
  if (text.size() < length) return 0;
  code = 0;
  for (std::size_t i = 2; i < length; ++i) {
    const int digit = hex_value(text[i]);
    if (digit < 0) return 0;
    code = (code << 4) | static_cast<char32_t>(digit);
  }
  return length;
}

void append_utf8_name(std::string& out, std::string_view name) {
  for (std::size_t pos = 0; pos < name.size();) {
    char32_t code = 0;
    const std::size_t length = universal_name_length(name.substr(pos), code);
    if (length == 0) {
      out.push_back(name[pos++]);
      continue;
    }
    // A character no UTF-8 holds keeps its spelling: it names itself.
    if (code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) {
      out.append(name.substr(pos, length));
    } else {
      append_utf8(out, code);
    }
    pos += length;
  }
}

void append_listed_name(std::string& out, std::string_view name) {
  for (std::size_t pos = 0; pos < name.size();) {
    char32_t code = 0;
    const std::size_t length =
        static_cast<unsigned char>(name[pos]) >= 0x80 ? utf8_character(name.substr(pos), code) : 0;
    if (length == 0) {
      out.push_back(name[pos++]);
      continue;
    }
    out.append("\\U");
    for (int shift = 28; shift >= 0; shift -= 4) out.push_back("0123456789abcdef"[(code >> shift) & 0xF]);
    pos += length;
  }
}

void arm_dollar_warning() {
  detail::dollar_warning_due = diagnostic_rules().pedantic && !follows_c99(lexing_dialect());
}

bool takes_dollar_warning(std::string_view text) {
  if (!detail::dollar_warning_due) return false;
  bool dollar = text.find('$') != std::string_view::npos;
  if (!dollar && spells_universal_names(text)) {
    std::string utf8;
    append_utf8_name(utf8, text);
    dollar = utf8.find('$') != std::string::npos;
  }
  if (dollar) detail::dollar_warning_due = false;
  return dollar;
}

std::string identifier_character_errors(std::string_view name) {
  const IdentifierTable table = identifier_table();
  std::string errors;
  const auto report = [&errors, &name](const char* what, std::size_t pos, std::size_t length,
                                       const char* where) {
    errors.append(what).append(name.substr(pos, length)).append(" is not valid ").append(where).append("\n");
  };
  for (std::size_t pos = 0; pos < name.size();) {
    const bool first = pos == 0;
    char32_t code = 0;
    std::size_t length = universal_name_length(name.substr(pos), code);
    if (length != 0) {
      if (!valid_universal_character(code)) {
        errors.append(name.substr(pos, length)).append(" is not a valid universal character\n");
      } else if (code != '$' && !allowed_in_identifier(code, table)) {
        report("universal character ", pos, length, "in an identifier");
      } else if (first && code != '$' && !allowed_at_identifier_start(code, table)) {
        report("universal character ", pos, length, "at the start of an identifier");
      }
    } else if ((length = utf8_character(name.substr(pos), code)) != 0) {
      // Only C++ reads a character its table does not allow into an identifier.
      if (!allowed_in_identifier(code, table)) {
        report("extended character ", pos, length, "in an identifier");
      } else if (first && !allowed_at_identifier_start(code, table)) {
        report("extended character ", pos, length, "at the start of an identifier");
      }
    } else {
      length = 1;
    }
    pos += length;
  }
  return errors;
}

}  // namespace sornik::cmode
