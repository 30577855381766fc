// The values of the integer and character constants of #if expressions.
#include "cmode/condition/constant_value.h"

#include <cerrno>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "cmode/lex/dialect.h"

namespace sornik::cmode {

namespace {

int digit_value(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return 99;
}

bool is_float(std::string_view text, bool hex) {
  for (std::size_t i = hex ? 2 : 0; i < text.size(); ++i) {
    const char c = text[i];
    if (c == '.') return true;
    if (hex ? (c == 'p' || c == 'P') : (c == 'e' || c == 'E')) return true;
  }
  return false;
}

// Whether `suffix` is a valid integer suffix; sets `is_unsigned` for a u.
bool valid_suffix(std::string_view suffix, bool& is_unsigned) {
  std::size_t pos = 0;
  bool seen_u = false;
  bool seen_l = false;
  while (pos < suffix.size()) {
    const char c = suffix[pos];
    if ((c == 'u' || c == 'U') && !seen_u) {
      seen_u = true;
      ++pos;
    } else if ((c == 'l' || c == 'L') && !seen_l) {
      seen_l = true;
      pos += pos + 1 < suffix.size() && suffix[pos + 1] == c ? 2 : 1;
    } else {
      return false;
    }
  }
  is_unsigned = seen_u;
  return true;
}

// The warnings of -Wtraditional and -Wlong-long about a valid suffix of an
// integer: traditional C took none but L, and long long is C99's.
[[gnu::cold]] void check_suffix(std::string_view suffix, std::vector<Finding>& warnings, FormWarnings form) {
  const DiagnosticRules& rules = diagnostic_rules();
  const bool long_long = form.extensions && (suffix.find("ll") != std::string_view::npos ||
                                             suffix.find("LL") != std::string_view::npos);
  const Dialect& dialect = lexing_dialect();
  // Unless chosen, -Wlong-long goes with -pedantic and -Wtraditional before C99.
  const bool long_long_warned =
      long_long && ((rules.warnings_chosen & DiagnosticRules::bit(Warning::long_long)) != 0
                        ? rules.gives(Warning::long_long)
                        : (rules.pedantic || warns_traditional()) && !follows_c99(dialect));
  const bool is_unsigned = suffix.find_first_of("uU") != std::string_view::npos;
  if (form.traditional && warns_traditional() && (is_unsigned || long_long_warned)) {
    warnings.push_back({Severity::warning, "traditional C rejects the " + quoted(suffix) + " suffix",
                        long_long_warned ? Warning::long_long : Warning::traditional});
  }
  if (long_long_warned) {
    warnings.push_back({follows_c99(dialect) ? Severity::warning : Severity::pedwarn,
                        dialect.cplusplus ? "use of C++11 long long integer constant"
                                          : "use of C99 long long integer constant",
                        Warning::long_long});
  }
}

// -pedantic: binary constants came with C2X and C++14.
[[gnu::cold]] void check_binary(std::vector<Finding>& warnings) {
  const Dialect& dialect = lexing_dialect();
  if (dialect.cplusplus ? dialect.version >= "201402L" : dialect.version >= "202000L") return;
  warnings.push_back({Severity::pedwarn, dialect.cplusplus
                                             ? "binary constants are a C++14 feature or GCC extension"
                                             : "binary constants are a C2X feature or GCC extension"});
}

bool is_imaginary(std::string_view suffix) {
  return suffix.size() == 1 && (suffix[0] == 'i' || suffix[0] == 'j' || suffix[0] == 'I' || suffix[0] == 'J');
}

// The characters of a character constant's body as code units: bytes for a
// plain constant, code points for a wide one.
class CharReader {
 public:
  CharReader(std::string_view body, bool wide, std::vector<Finding>& warnings)
      : body_(body), wide_(wide), warnings_(warnings) {}

  // Appends the next character's code units to `units`; false at the end.
  bool next(std::vector<std::uint32_t>& units) {
    if (pos_ >= body_.size()) return false;
    const auto c = static_cast<unsigned char>(body_[pos_]);
    if (c != '\\') {
      if (wide_ && c >= 0x80) {
        units.push_back(decode_utf8());
      } else {
        units.push_back(c);
        ++pos_;
      }
      return true;
    }
    ++pos_;
    escape(units);
    return true;
  }

 private:
  std::uint32_t decode_utf8() {
    const auto lead = static_cast<unsigned char>(body_[pos_++]);
    const int extra = lead >= 0xf0 ? 3 : lead >= 0xe0 ? 2 : lead >= 0xc0 ? 1 : 0;
    std::uint32_t value = extra == 0 ? lead : lead & (0x3f >> extra);
    for (int i = 0; i < extra && pos_ < body_.size(); ++i) {
      value = (value << 6) | (static_cast<unsigned char>(body_[pos_++]) & 0x3f);
    }
    return value;
  }

  void push_code_point(std::vector<std::uint32_t>& units, std::uint32_t code) {
    if (wide_ || code < 0x80) {
      units.push_back(code);
      return;
    }
    // A universal character name in a plain constant stands for its UTF-8 bytes.
    if (code < 0x800) {
      units.push_back(0xc0 | (code >> 6));
    } else {
      if (code < 0x10000) {
        units.push_back(0xe0 | (code >> 12));
      } else {
        units.push_back(0xf0 | (code >> 18));
        units.push_back(0x80 | ((code >> 12) & 0x3f));
      }
      units.push_back(0x80 | ((code >> 6) & 0x3f));
    }
    units.push_back(0x80 | (code & 0x3f));
  }

  // -Wtraditional: an escape that traditional C reads otherwise.
  void warn_traditional(char escape) {
    if (diagnostic_rules().gives(Warning::traditional))
      warnings_.push_back({Severity::warning,
                           "the meaning of '\\" + std::string(1, escape) + "' is different in traditional C",
                           Warning::traditional});
  }

  // A universal character name that names no character of the source
  // character set (a surrogate; in C, a character of the basic set but $, @
  // and `) is an error; in C one beyond U+10FFFF a pedwarn.
  void check_universal_name(std::string_view spelled, std::uint32_t code) {
    const bool c_language = !lexing_dialect().cplusplus;
    const bool basic = code < 0xa0 && code != 0x24 && code != 0x40 && code != 0x60;
    if ((code >= 0xd800 && code <= 0xdfff) || (c_language && basic)) [[unlikely]] {
      warnings_.push_back({Severity::error, std::string(spelled) + " is not a valid universal character"});
    } else if (c_language && code > 0x10ffff) [[unlikely]] {
      warnings_.push_back({Severity::pedwarn, std::string(spelled) + " is outside the UCS codespace"});
    }
  }

  void escape(std::vector<std::uint32_t>& units) {
    if (pos_ >= body_.size()) {
      units.push_back('\\');
      return;
    }
    const char c = body_[pos_++];
    const std::uint32_t limit = wide_ ? 0xffffffffu : 0xffu;
    switch (c) {
      case 'n': units.push_back('\n'); return;
      case 't': units.push_back('\t'); return;
      case 'v': units.push_back('\v'); return;
      case 'b': units.push_back('\b'); return;
      case 'r': units.push_back('\r'); return;
      case 'f': units.push_back('\f'); return;
      case 'a':
        warn_traditional(c);
        units.push_back('\a');
        return;
      case 'e':
      case 'E':
        if (diagnostic_rules().pedantic)
          warnings_.push_back(
              {Severity::pedwarn, "non-ISO-standard escape sequence, '\\" + std::string(1, c) + "'"});
        units.push_back(27);
        return;
      case '\\':
      case '\'':
      case '"':
      case '?': units.push_back(static_cast<unsigned char>(c)); return;
      case 'x': {
        warn_traditional(c);
        std::uint64_t value = 0;
        bool too_large = false;
        const std::size_t digits = pos_;
        while (pos_ < body_.size() && digit_value(body_[pos_]) < 16) {
          value = (value << 4) | static_cast<std::uint64_t>(digit_value(body_[pos_++]));
          if (value > limit) too_large = true;
        }
        if (pos_ == digits) warnings_.push_back({Severity::error, "\\x used with no following hex digits"});
        if (too_large) warnings_.push_back({Severity::pedwarn, "hex escape sequence out of range"});
        units.push_back(static_cast<std::uint32_t>(value & limit));
        return;
      }
      case 'u':
      case 'U': {
        const Dialect& dialect = lexing_dialect();
        if (!dialect.cplusplus && !follows_c99(dialect)) {
          warnings_.push_back({Severity::warning, "universal character names are only valid in C++ and C99"});
        } else {
          warn_traditional(c);
        }
        std::uint32_t value = 0;
        const int digits = c == 'u' ? 4 : 8;
        const std::size_t start = pos_ - 2;
        for (int i = 0; i < digits && pos_ < body_.size() && digit_value(body_[pos_]) < 16; ++i) {
          value = (value << 4) | static_cast<std::uint32_t>(digit_value(body_[pos_++]));
        }
        check_universal_name(body_.substr(start, pos_ - start), value);
        push_code_point(units, value);
        return;
      }
      default: break;
    }
    if (c >= '0' && c <= '7') {
      std::uint32_t value = static_cast<std::uint32_t>(c - '0');
      for (int i = 1; i < 3 && pos_ < body_.size() && body_[pos_] >= '0' && body_[pos_] <= '7'; ++i) {
        value = value * 8 + static_cast<std::uint32_t>(body_[pos_++] - '0');
      }
      if (value > limit) warnings_.push_back({Severity::pedwarn, "octal escape sequence out of range"});
      units.push_back(value & limit);
      return;
    }
    warnings_.push_back({Severity::pedwarn, "unknown escape sequence: '\\" + std::string(1, c) + "'"});
    units.push_back(static_cast<unsigned char>(c));
  }

  std::string_view body_;
  bool wide_;
  std::vector<Finding>& warnings_;
  std::size_t pos_ = 0;
};

}  // namespace

bool parse_integer(std::string_view text, Value& value, std::string& error, std::vector<Finding>& warnings,
                   FormWarnings form) {
  value = {};
  int base = 10;
  std::size_t pos = 0;
  if (text.size() >= 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
    base = 16;
    pos = 2;
  } else if (text.size() >= 2 && text[0] == '0' && (text[1] == 'b' || text[1] == 'B')) {
    base = 2;
    pos = 2;
  } else if (text[0] == '0') {
    base = 8;
  }
  if (base != 2 && is_float(text, base == 16)) {
    error = "floating constant in preprocessor expression";
    return false;
  }
  const std::size_t digits_start = pos;
  const int scan_base = base == 16 ? 16 : 10;
  std::uintmax_t result = 0;
  bool too_large = false;
  const bool separators = lexing_dialect().digit_separators;
  for (; pos < text.size(); ++pos) {
    if (text[pos] == '\'' && separators) {
      // A digit separator stands between two digits.
      if (pos == digits_start && base != 8) {
        error = "digit separator after base indicator";
        return false;
      }
      if (pos + 1 < text.size() && digit_value(text[pos + 1]) < scan_base) continue;
      error = "digit separator outside digit sequence";
      return false;
    }
    const int digit = digit_value(text[pos]);
    if (digit >= scan_base) break;
    if (digit >= base) {
      error = "invalid digit \"" + std::string(1, text[pos]) + "\" in " + (base == 8 ? "octal" : "binary") +
              " constant";
      return false;
    }
    const std::uintmax_t next =
        result * static_cast<std::uintmax_t>(base) + static_cast<std::uintmax_t>(digit);
    if (result > (UINTMAX_MAX - static_cast<std::uintmax_t>(digit)) / static_cast<std::uintmax_t>(base)) {
      too_large = true;
    }
    result = next;
  }
  std::string_view suffix = text.substr(pos);
  if (pos == digits_start && base != 8) suffix = text.substr(1);
  bool is_unsigned = false;
  if (!valid_suffix(suffix, is_unsigned)) {
    error = is_imaginary(suffix) ? "imaginary number in preprocessor expression"
                                 : "invalid suffix " + quoted(suffix) + " on integer constant";
    return false;
  }
  if (base == 2 && form.extensions && diagnostic_rules().pedantic) [[unlikely]]
    check_binary(warnings);
  if (!suffix.empty()) [[unlikely]]
    check_suffix(suffix, warnings, form);
  if (too_large) warnings.push_back({Severity::pedwarn, "integer constant is too large for its type"});
  if (!is_unsigned && static_cast<std::intmax_t>(result) < 0) {
    if (base == 10 && !too_large)
      warnings.push_back({Severity::warning, "integer constant is so large that it is unsigned"});
    is_unsigned = true;
  }
  value = {result, is_unsigned};
  return true;
}

bool parse_char_constant(std::string_view text, Value& value, std::string& error,
                         std::vector<Finding>& warnings) {
  value = {};
  // A u8 constant (C++17, C2X) is a narrow one of a single byte.
  const bool utf8 = text.starts_with("u8");
  const char prefix = text[0] == '\'' || utf8 ? '\0' : text[0];
  const std::size_t open = text.find('\'');
  std::string_view body = text.substr(open + 1, text.size() - open - 2);
  const bool wide = prefix != '\0';
  std::vector<std::uint32_t> units;
  CharReader reader(body, wide, warnings);
  while (reader.next(units)) {
  }
  if (units.empty()) {
    error = "empty character constant";
    return false;
  }
  if (wide) {
    if (units.size() > 1) warnings.push_back({Severity::warning, "character constant too long for its type"});
    const std::uint32_t last = units.back();
    if (prefix == 'L') {
      value = {static_cast<std::uintmax_t>(static_cast<std::intmax_t>(static_cast<std::int32_t>(last))),
               false};
    } else {
      value = {prefix == 'u' ? (last & 0xffffu) : last, true};
    }
    return true;
  }
  if (utf8 && units.size() > 1) {
    error = "character constant too long for its type";
    return false;
  }
  if (units.size() == 1) {
    value = {static_cast<std::uintmax_t>(static_cast<std::intmax_t>(static_cast<std::int8_t>(units[0]))),
             false};
    return true;
  }
  if (units.size() > 4) {
    warnings.push_back({Severity::warning, "character constant too long for its type"});
  } else {
    warnings.push_back({Severity::warning, "multi-character character constant", Warning::multichar});
  }
  std::uint32_t packed = 0;
  for (std::uint32_t unit : units) packed = (packed << 8) | (unit & 0xff);
  value = {static_cast<std::uintmax_t>(static_cast<std::intmax_t>(static_cast<std::int32_t>(packed))), false};
  return true;
}

bool parse_floating(std::string_view text, long double& value) {
  const bool hex = text.size() >= 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X');
  if (text.empty() || !is_float(text, hex)) return false;
  // A hexadecimal constant needs its binary exponent; its digits may hold
  // an 'f' that is no suffix.
  if (hex && text.find_first_of("pP") == std::string_view::npos) return false;
  const char last = text.back();
  const bool is_float_type = last == 'f' || last == 'F';
  const bool is_long_double = last == 'l' || last == 'L';
  const std::string digits(text.substr(0, text.size() - (is_float_type || is_long_double ? 1 : 0)));
  // Each type rounds the constant its own way.
  char* end = nullptr;
  errno = 0;
  if (is_float_type) {
    value = std::strtof(digits.c_str(), &end);
  } else if (is_long_double) {
    value = std::strtold(digits.c_str(), &end);
  } else {
    value = std::strtod(digits.c_str(), &end);
  }
  return errno == 0 && end == digits.c_str() + digits.size();
}

}  // namespace sornik::cmode
