// Identifiers beyond ASCII: universal character names (\uXXXX,
// \UXXXXXXXX), characters in UTF-8, the one spelling of a name however its
// characters are written, and the errors for characters out of place.
#pragma once

#include <array>
#include <cstddef>
#include <string>
#include <string_view>

namespace sornik::cmode {

// The length of the UTF-8 sequence that `lead` begins as the C compiler
// reads it (up to six bytes, for characters up to 0x7FFFFFFF), or 0 when
// it begins none.
constexpr std::size_t utf8_length(unsigned char lead) {
  if (lead < 0xC2) return 0;  // ASCII, a continuation byte, or always too long
  if (lead < 0xE0) return 2;
  if (lead < 0xF0) return 3;
  if (lead < 0xF8) return 4;
  if (lead < 0xFC) return 5;
  return lead < 0xFE ? 6 : 0;
}

// Whether `code`, read from a UTF-8 sequence of `length` bytes, is written
// in its shortest form and is no surrogate: the compiler reads nothing else
// as a character.
constexpr bool utf8_well_formed(char32_t code, std::size_t length) {
  constexpr std::array<char32_t, 7> kLeast = {0, 0, 0x80, 0x800, 0x10000, 0x200000, 0x4000000};
  return code >= kLeast[length] && (code < 0xD800 || code > 0xDFFF);
}

// The length of the universal character name at the start of `text` (6 for
// \uXXXX, 10 for \UXXXXXXXX), or 0 when none begins there; its character
// goes to `code`.
std::size_t universal_name_length(std::string_view text, char32_t& code);

namespace detail {
inline constinit thread_local bool universal_names_read = false;
inline constinit thread_local bool extended_characters_read = false;
inline constinit thread_local bool dollar_warning_due = false;
}  // namespace detail

// Whether this thread's scanners have read a universal character name in an
// identifier or a number: until one has, no name is looked at for them (a
// name spelled with them can only come from such a read).
inline bool universal_names_met() { return detail::universal_names_read; }
inline void note_universal_name() {
  detail::universal_names_read = true;
  detail::extended_characters_read = true;
}

// Whether they have read a character beyond ASCII, in UTF-8 or as a
// universal character name, in an identifier or a number: until one has,
// no token's characters are checked.
inline bool extended_characters_met() { return detail::extended_characters_read; }
inline void note_extended_character() { detail::extended_characters_read = true; }

// The compiler's pedwarn "'$' in identifier or number" comes once a
// translation unit, at the first `$` it lexes in an identifier or a number
// (written as itself, or in C++ as \u0024), where -pedantic asks for it:
// C90, C94, C++98 and C++03. Arming it at a unit's start makes it due.
void arm_dollar_warning();
inline bool dollar_warning_due() { return detail::dollar_warning_due; }

// Whether the spelling of an identifier or a number takes the unit's
// warning: it holds the first `$` while the warning is due (which it no
// longer is then).
bool takes_dollar_warning(std::string_view text);

// Whether tokens need their characters checked: once a character beyond
// ASCII has been read, or while the `$` warning is due.
inline bool characters_to_check() { return extended_characters_met() || dollar_warning_due(); }

// Whether `name` (an identifier's spelling, without splices) holds a
// universal character name.
inline bool spells_universal_names(std::string_view name) {
  return name.find('\\') != std::string_view::npos;
}

// Whether a token's spelling holds a character beyond ASCII, in UTF-8 or as
// a universal character name. Every other token costs this test alone.
inline bool spells_extended_characters(std::string_view text) {
  for (const char c : text)
    if (static_cast<unsigned char>(c) >= 0x80 || c == '\\') return true;
  return false;
}

// Appends `name` with each universal character name written as the UTF-8
// bytes of its character: the spelling by which the C compiler knows a
// name, so that `\u00e9t\u00e9` and `été` name the same macro.
void append_utf8_name(std::string& out, std::string_view name);

// Appends a name known by its UTF-8 spelling as the C compiler lists macro
// names: each character beyond ASCII as \UXXXXXXXX (lower-case digits).
void append_listed_name(std::string& out, std::string_view name);

// The C compiler's error for each universal character name and extended
// character of an identifier's spelling that the dialect's table does not
// allow where it stands, one message a line; empty when there is none.
std::string identifier_character_errors(std::string_view name);

}  // namespace sornik::cmode
