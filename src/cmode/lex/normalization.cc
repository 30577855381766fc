// The -Wnormalized= check: Unicode's data comes from utf8proc, the walk over
// a token's characters is the compiler's.
#include "cmode/lex/normalization.h"

#include <algorithm>
#include <array>
#include <span>
#include <utf8proc.h>

#include "cmode/lex/identifier_characters.h"
#include "cmode/lex/universal_names.h"

namespace sornik::cmode {

namespace {

// Room for the decomposition of two characters: the longest compatibility
// decomposition is 18 characters.
constexpr std::size_t kRoom = 40;

// Whether NFC (or NFKC when `compatible`) keeps the characters as they are.
bool normalized(std::span<const char32_t> codes, bool compatible) {
  std::array<utf8proc_uint8_t, 8> bytes{};
  utf8proc_ssize_t size = 0;
  for (const char32_t code : codes)
    size += utf8proc_encode_char(static_cast<utf8proc_int32_t>(code), &bytes[size]);
  const auto options =
      static_cast<utf8proc_option_t>(UTF8PROC_STABLE | UTF8PROC_COMPOSE | (compatible ? UTF8PROC_COMPAT : 0));
  std::array<utf8proc_int32_t, kRoom> out{};
  utf8proc_ssize_t length = utf8proc_decompose(bytes.data(), size, out.data(), kRoom, options);
  if (length < 0 || static_cast<std::size_t>(length) > kRoom) return false;
  length = utf8proc_normalize_utf32(out.data(), length, options);
  return length == static_cast<utf8proc_ssize_t>(codes.size()) &&
         std::equal(codes.begin(), codes.end(), out.begin(), [](char32_t code, utf8proc_int32_t normal) {
           return static_cast<utf8proc_int32_t>(code) == normal;
         });
}

// How far a character alone is from NFC and NFKC.
NormalForm form_alone(char32_t code, IdentifierTable table) {
  if (normalized({&code, 1}, true)) return NormalForm::nfkc;
  if (normalized({&code, 1}, false)) return NormalForm::nfc;
  // Outside NFC: by a character no identifier may hold when its NFC holds one.
  std::array<utf8proc_int32_t, kRoom> out{};
  auto bytes = std::array<utf8proc_uint8_t, 4>{};
  const utf8proc_ssize_t size = utf8proc_encode_char(static_cast<utf8proc_int32_t>(code), bytes.data());
  const auto options = static_cast<utf8proc_option_t>(UTF8PROC_STABLE | UTF8PROC_COMPOSE);
  utf8proc_ssize_t length = utf8proc_decompose(bytes.data(), size, out.data(), kRoom, options);
  if (length > 0 && static_cast<std::size_t>(length) <= kRoom)
    length = utf8proc_normalize_utf32(out.data(), length, options);
  const bool leaves = length > 0 && static_cast<std::size_t>(length) <= kRoom &&
                      std::any_of(out.begin(), out.begin() + length, [table](utf8proc_int32_t normal) {
                        return !allowed_in_identifier(static_cast<char32_t>(normal), table);
                      });
  return leaves ? NormalForm::id : NormalForm::none;
}

// The code point before the Hangul final consonants, which composes with
// nothing though utf8proc composes it with a syllable.
constexpr char32_t kHangulNoFinal = 0x11A7;

bool hangul_vowel_or_final(char32_t code) {
  return (code >= 0x1161 && code <= 0x1175) || (code >= 0x11A8 && code <= 0x11C2);
}

// The character of the UTF-8 sequence at `pos` and its length (1 for a
// byte that begins none, read as itself).
std::size_t next_character(std::string_view text, std::size_t pos, char32_t& code) {
  utf8proc_int32_t read = 0;
  const utf8proc_ssize_t length =
      utf8proc_iterate(reinterpret_cast<const utf8proc_uint8_t*>(text.data() + pos),
                       static_cast<utf8proc_ssize_t>(text.size() - pos), &read);
  if (length <= 0) {
    code = static_cast<unsigned char>(text[pos]);
    return 1;
  }
  code = static_cast<char32_t>(read);
  return static_cast<std::size_t>(length);
}

}  // namespace

NormalForm normal_form_of(std::string_view utf8) {
  NormalForm form = NormalForm::nfkc;
  const auto loosen = [&form](NormalForm to) {
    form = std::max(form, to);
  };
  char32_t previous = 0;  // the last character of combining class 0
  int previous_class = 0;
  const IdentifierTable table = identifier_table();
  for (std::size_t pos = 0; pos < utf8.size();) {
    char32_t code = 0;
    pos += next_character(utf8, pos, code);
    // A character no identifier may hold is reported as such, not weighed.
    if (code >= 0x80 && !allowed_in_identifier(code, table)) continue;
    const int combining_class =
        code < 0x80 ? 0 : utf8proc_get_property(static_cast<utf8proc_int32_t>(code))->combining_class;
    if (code >= 0x80 && combining_class != 0 && combining_class < previous_class) {
      loosen(NormalForm::none);  // marks out of their canonical order
    } else if (code >= 0x80) {
      const NormalForm alone = form_alone(code, table);
      // Whether it composes with the last character of class 0 before it,
      // whatever marks stand between.
      const std::array<char32_t, 2> pair = {previous, code};
      const bool composes =
          alone < NormalForm::id && previous != 0 && code != kHangulNoFinal && !normalized(pair, false);
      if (!composes) {
        loosen(alone);
      } else {
        loosen(hangul_vowel_or_final(code) ? NormalForm::id : NormalForm::none);
      }
    }
    if (combining_class == 0) previous = code;
    previous_class = combining_class;
  }
  return form;
}

std::string normalization_warning(std::string_view text, TokenKind kind, NormalForm asked) {
  std::string utf8;
  append_utf8_name(utf8, text);
  const NormalForm form = normal_form_of(utf8);
  if (form <= asked) return {};
  std::string warning = "`";
  if (kind == TokenKind::identifier) {
    append_listed_name(warning, utf8);
  } else {
    warning.append(text);
  }
  warning.append(form == NormalForm::nfc ? "' is not in NFKC" : "' is not in NFC");
  return warning;
}

}  // namespace sornik::cmode
